// Paths that reach the dialog from the system in UTF-16: the command line, drops and the open
// and save dialogs. The converter is given code page 932, so a box takes a path only when that
// holds it exactly.
#include <string>

#include "common/wide_text.h"
#include "frontend/box_style.h"
#include "frontend/converter_dialog.h"
#include "frontend/entry_check.h"

void ConverterDialog::SetStartPaths(const std::wstring& input, const std::wstring& output) {
  startInput_ = input;
  startOutput_ = output;
}

bool ConverterDialog::SetPathText(EditBox& box, const std::wstring& path) {
  std::string unused;
  if (!Cp932FromWideExactly(path, unused)) return false;
  box.SetWideText(path);
  return true;
}

void ConverterDialog::TakePath(EditBox& box, const std::wstring& path) {
  if (!SetPathText(box, path)) ShowError(UnnamablePathError("", Cp932ForDisplay(path)));
}

void ConverterDialog::ReportStartPaths() {
  std::string unused;
  for (const std::wstring* path : {&startInput_, &startOutput_}) {
    if (!Cp932FromWideExactly(*path, unused)) {
      ShowError(UnnamablePathError("", Cp932ForDisplay(*path)));
    }
  }
}

void ConverterDialog::ShowError(const std::string& text) {
  QuitKeeper::Scope active(quitKeeper_);
  quitKeeper_.ShowNotice(GetHandle(), text, kErrorCaption);
}
