#include <string>

#include "framework/message_box.h"
#include "frontend/command_line.h"
#include "frontend/converter_dialog.h"

namespace {

const char kErrorCaption[] = "エラー";
const char kConfirmCaption[] = "確認";
const char kNoInputFile[] = "入力ファイルが指定されていません";
const char kNoOutputFile[] = "出力ファイルが指定されていません";
const char kNoFieldChecked[] = "出力項目にチェックが入っていません";
const char kNoDomain[] = "ドメインを入力して下さい。";
const char kConfirmStart[] = "変換処理を開始します。よろしいですか？";
const char kFinished[] = "処理が終了しました。";

}  // namespace

void ConverterDialog::OnStart() {
  QuitKeeper::Scope active(quitKeeper_);
  // Each text is copied at once: GetText's pointer lasts only until the box's next read.
  const std::string input = inputPath_.GetText();
  const std::string output = outputPath_.GetText();
  if (input.empty()) return Notify(kErrorCaption, kNoInputFile);
  if (output.empty()) return Notify(kErrorCaption, kNoOutputFile);

  // Checked rows in the order the user arranged them.
  std::string fields;
  for (int row = 0; row < fieldList_.GetItemCount(); ++row) {
    if (fieldList_.GetCheck(row) == 0) continue;
    std::string name;
    fieldList_.GetItemText(row, 0, name);
    fields += name + " ";
  }
  if (fields.empty()) return Notify(kErrorCaption, kNoFieldChecked);

  const std::string domain = domain_.GetText();
  std::string options;
  if (useFullName_.IsChecked()) {
    if (domain.empty()) return Notify(kErrorCaption, kNoDomain);
    options = FullNameOptions(domain);
  }

  std::string commandLine = ComposeCommandLine(input, output, options, fields);
  quitKeeper_.TakePending();
  if (!ConfirmYesNo(GetHandle(), kConfirmCaption, kConfirmStart)) return;
  RunConverter(commandLine.data());
  // After every run; without an owner once the dialog was closed during the run.
  Notify(kConfirmCaption, kFinished);
}

void ConverterDialog::Notify(const char* caption, const char* text) {
  quitKeeper_.TakePending();
  ShowMessage(GetHandle(), caption, text, kNoticeBoxType);
}
