#include <string>

#include "common/wide_text.h"
#include "framework/dropped_files.h"
#include "frontend/converter_dialog.h"
#include "frontend/output_path.h"

namespace {

const char kRunning[] = "変換中はファイルを指定できません。変換が終わってから指定して下さい。";
const char kFolderRefused[] = "フォルダは指定できません。ファイルを指定して下さい。\n";
// An existing file that is no CSV, dropped on the output box: the converter would write over it.
const char kNotCsvRefused[] =
    "CSV ファイルではないため、出力ファイルには指定できません（変換すると上書きされます）。\n"
    "名前が .csv で終わるファイルを指定して下さい。\n";

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void ConverterDialog::OnDropFiles(HDROP drop) {
  std::wstring path;
  POINT point{};
  {
    // Released before any box opens.
    DroppedFiles files(drop);
    if (files.GetCount() == 0) return;
    path = files.GetPath(0);
    point = files.GetPoint();
  }
  if (requestActive_) {
    ShowError(kRunning);
    return;
  }
  if (IsFolder(path)) {
    ShowError(kFolderRefused + Cp932ForDisplay(path));
    return;
  }
  const bool onOutput =
      ChildWindowFromPointEx(GetHandle(), point, CWP_SKIPINVISIBLE) == outputPath_.GetHandle();
  if (onOutput && !MayBecomeOutput(path)) {
    // The long name, which the rule looked at: a short one may end in ".CSV" all the same.
    ShowError(kNotCsvRefused + Cp932ForDisplay(LongPathName(path)));
    return;
  }
  TakePath(onOutput ? outputPath_ : inputPath_, path);
}
