#include "frontend/entry_check.h"

namespace {

const char kNoInputFile[] = "入力ファイルが指定されていません";
const char kNoOutputFile[] = "出力ファイルが指定されていません";
const char kNoFieldChecked[] = "出力項目にチェックが入っていません";
const char kNoDomain[] = "ドメインを入力して下さい。";

}  // namespace

const char* FirstEntryError(const RequestEntries& entries) {
  if (entries.input.empty()) return kNoInputFile;
  if (entries.output.empty()) return kNoOutputFile;
  if (entries.fields.empty()) return kNoFieldChecked;
  if (entries.useFullName && entries.domain.empty()) return kNoDomain;
  return nullptr;
}
