#include <string>

#include "framework/message_box.h"
#include "frontend/captions.h"
#include "frontend/command_line.h"
#include "frontend/converter_dialog.h"
#include "frontend/converter_runner.h"
#include "frontend/entry_check.h"

namespace {

const char kConfirmStart[] = "変換処理を開始します。よろしいですか？";
const char kFinished[] = "処理が終了しました。";

}  // namespace

void ConverterDialog::OnStart() {
  QuitKeeper::Scope active(quitKeeper_);
  RequestEntries entries;
  // Each text is copied at once: GetText's pointer lasts only until the box's next read.
  entries.input = inputPath_.GetText();
  entries.output = outputPath_.GetText();
  entries.fields = CheckedFieldNames();
  entries.useFullName = useFullName_.IsChecked() != 0;
  entries.domain = domain_.GetText();
  if (const char* error = FirstEntryError(entries)) {
    quitKeeper_.ShowBoxKeepingQuit(GetHandle(), kErrorCaption, error, kNoticeBoxType);
    return;
  }

  const std::string options = entries.useFullName ? FullNameOptions(entries.domain) : "";
  std::string commandLine =
      ComposeCommandLine(entries.input, entries.output, options, entries.fields);
  if (quitKeeper_.ShowBoxKeepingQuit(GetHandle(), kQuestionCaption, kConfirmStart,
                                     kQuestionBoxType) != IDYES) {
    return;
  }
  RunConverter(*this, quitKeeper_, commandLine.data());
  // After every run; without an owner once the dialog was closed during the run.
  quitKeeper_.ShowBoxKeepingQuit(GetHandle(), kCompletionCaption, kFinished, kNoticeBoxType);
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
