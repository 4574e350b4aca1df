#include "frontend/entry_check.h"

namespace {

const char kNoInputFile[] = "入力ファイルが指定されていません";
const char kQuoteInInputFile[] = "入力ファイルに「\"」は使えません";
const char kNoOutputFile[] = "出力ファイルが指定されていません";
const char kQuoteInOutputFile[] = "出力ファイルに「\"」は使えません";
const char kNoFieldChecked[] = "出力項目にチェックが入っていません";
const char kNoDomain[] = "ドメインを入力して下さい。";
const char kQuoteInDomain[] = "ドメインに「\"」は使えません";

// A double quote would end the entry's quoted argument early and let the rest of it become
// arguments of its own. No file name can hold one.
bool HasQuote(const std::string& entry) { return entry.find('"') != std::string::npos; }

}  // namespace

const char* FirstEntryError(const RequestEntries& entries) {
  if (entries.input.empty()) return kNoInputFile;
  if (HasQuote(entries.input)) return kQuoteInInputFile;
  if (entries.output.empty()) return kNoOutputFile;
  if (HasQuote(entries.output)) return kQuoteInOutputFile;
  if (entries.fields.empty()) return kNoFieldChecked;
  if (entries.useFullName && entries.domain.empty()) return kNoDomain;
  // Only then is the domain on the command line.
  if (entries.useFullName && HasQuote(entries.domain)) return kQuoteInDomain;
  return nullptr;
}
