#include <string>

#include "common/wide_text.h"
#include "frontend/box_style.h"
#include "frontend/command_line.h"
#include "frontend/converter_dialog.h"
#include "frontend/converter_runner.h"
#include "frontend/entry_check.h"
#include "resources/resource.h"

namespace {

const char kConfirmStart[] = "変換処理を開始します。よろしいですか？";
const char kFinished[] = "処理が終了しました。";
const char kCommandLineTooLong[] =
    "パスが長すぎるため、変換を開始できません。\n"
    "入力ファイル、出力ファイル、ドメインを合わせて 32,000 文字ほどまでにして下さい。";

// The box's whole text in code page 932; false, with the text as a message shows it ('?' for
// each character that code page 932 lacks), when code page 932 cannot hold it.
bool ReadPath(const EditBox& box, std::string& path) {
  const std::wstring text = box.GetWideText();
  if (Cp932FromWideExactly(text, path)) return true;
  path = Cp932ForDisplay(text);
  return false;
}

// Marks a request as active for as long as it lives.
class ActiveRequest {
 public:
  explicit ActiveRequest(bool& active) : active_(active) { active_ = true; }
  ~ActiveRequest() { active_ = false; }
  ActiveRequest(const ActiveRequest&) = delete;
  ActiveRequest& operator=(const ActiveRequest&) = delete;

 private:
  bool& active_;
};

}  // namespace

void ConverterDialog::OnStart() {
  // One request at a time: a start that reaches the dialog during one (a click sent as a
  // message reaches a greyed button's handler too) would run a second converter on the same
  // output.
  if (requestActive_) return;
  ActiveRequest active(requestActive_);
  QuitKeeper::Scope keeping(quitKeeper_);
  RequestEntries entries;
  entries.inputHeld = ReadPath(inputPath_, entries.input);
  entries.outputHeld = ReadPath(outputPath_, entries.output);
  entries.fields = CheckedFieldNames();
  entries.useFullName = useFullName_.IsChecked() != 0;
  // Copied at once: GetText's pointer lasts only until the box's next read.
  entries.domain = domain_.GetText();
  const std::string error = FirstEntryError(entries);
  if (!error.empty()) {
    quitKeeper_.ShowNotice(GetHandle(), error, kErrorCaption);
    return;
  }

  const std::string options = entries.useFullName ? FullNameOptions(entries.domain) : "";
  std::string commandLine =
      ComposeCommandLine(entries.input, entries.output, options, entries.fields);
  if (!FitsCommandLine(commandLine)) {
    quitKeeper_.ShowNotice(GetHandle(), kCommandLineTooLong, kErrorCaption);
    return;
  }
  if (!quitKeeper_.AskYesNo(GetHandle(), kConfirmStart, kQuestionCaption)) return;
  // Greying moves the focus off 変換開始, where the click that started the run put it.
  const bool startHadFocus = GetFocus() == GetDlgItem(GetHandle(), IDOK);
  ShowRunning(true);
  RunConverter(*this, quitKeeper_, commandLine.data());
  ShowRunning(false);
  if (startHadFocus) FocusControl(IDOK);
  // After every run; without an owner once the dialog was closed during the run.
  quitKeeper_.ShowNotice(GetHandle(), kFinished, kCompletionCaption);
}

void ConverterDialog::ShowRunning(bool running) {
  if (GetHandle() == nullptr) return;
  for (const int id : {IDOK, IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT}) {
    EnableWindow(GetDlgItem(GetHandle(), id), !running);
  }
  inputPath_.SetReadOnly(running);
  outputPath_.SetReadOnly(running);
}

std::string ConverterDialog::CheckedFieldNames() {
  std::string fields;
  for (int row = 0; row < fieldList_.GetItemCount(); ++row) {
    if (fieldList_.GetCheck(row) == 0) continue;
    std::string name;
    fieldList_.GetItemText(row, 0, name);
    fields += name + " ";
  }
  return fields;
}
