#include <string>

#include "framework/dropped_files.h"
#include "framework/message_box.h"
#include "frontend/captions.h"
#include "frontend/converter_dialog.h"

namespace {

const char kFolderRefused[] = "フォルダは指定できません。ファイルを指定して下さい。\n";

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void ConverterDialog::OnDropFiles(HDROP drop) {
  std::string path;
  POINT point{};
  {
    // Released before any box opens.
    DroppedFiles files(drop);
    if (files.GetCount() == 0) return;
    path = files.GetPath(0);
    point = files.GetPoint();
  }
  if (IsFolder(path)) {
    // A drop can arrive while a conversion runs: its box keeps a pending quit like theirs.
    QuitKeeper::Scope active(quitKeeper_);
    quitKeeper_.ShowBoxKeepingQuit(GetHandle(), kErrorCaption, kFolderRefused + path,
                                   kNoticeBoxType);
    return;
  }
  const bool onOutput =
      ChildWindowFromPointEx(GetHandle(), point, CWP_SKIPINVISIBLE) == outputPath_.GetHandle();
  (onOutput ? outputPath_ : inputPath_).SetText(path.c_str());
}
