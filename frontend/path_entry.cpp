// Paths that reach the dialog from the system in UTF-16: the command line, drops and the open
// and save dialogs. The dialog holds code page 932, and takes a path only when that holds it
// exactly.
#include <string>

#include "common/wide_text.h"
#include "framework/message_box.h"
#include "frontend/captions.h"
#include "frontend/converter_dialog.h"

namespace {

// Followed by the path, '?' in place of each character that code page 932 lacks: no file name
// holds a '?', so the marks are unmistakable.
const char kUnnamablePath[] =
    "シフトJIS（コードページ932）にない文字（? の所）がパスにあるため、このファイルは指定"
    "できません。\n"
    "ファイルの名前を変えるか、日本語の Windows で表示できる名前のフォルダに移して下さい。\n";

}  // namespace

void ConverterDialog::SetStartPaths(const std::wstring& input, const std::wstring& output) {
  startInput_ = input;
  startOutput_ = output;
}

bool ConverterDialog::SetPathText(EditBox& box, const std::wstring& path) {
  std::string text;
  if (!Cp932FromWideExactly(path, text)) return false;
  box.SetText(text.c_str());
  return true;
}

void ConverterDialog::TakePath(EditBox& box, const std::wstring& path) {
  if (!SetPathText(box, path)) ShowError(kUnnamablePath + Cp932ForDisplay(path));
}

void ConverterDialog::ReportStartPaths() {
  std::string unused;
  for (const std::wstring* path : {&startInput_, &startOutput_}) {
    if (!Cp932FromWideExactly(*path, unused)) ShowError(kUnnamablePath + Cp932ForDisplay(*path));
  }
}

void ConverterDialog::ShowError(const std::string& text) {
  QuitKeeper::Scope active(quitKeeper_);
  quitKeeper_.ShowBoxKeepingQuit(GetHandle(), kErrorCaption, text, kNoticeBoxType);
}
