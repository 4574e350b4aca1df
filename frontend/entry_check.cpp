#include "frontend/entry_check.h"

namespace {

const char kNoInputFile[] = "入力ファイルが指定されていません";
const char kQuoteInInputFile[] = "入力ファイルに「\"」は使えません";
const char kNoOutputFile[] = "出力ファイルが指定されていません";
const char kQuoteInOutputFile[] = "出力ファイルに「\"」は使えません";
const char kNoFieldChecked[] = "出力項目にチェックが入っていません";
const char kNoDomain[] = "ドメインを入力して下さい。";
const char kQuoteInDomain[] = "ドメインに「\"」は使えません";

// The boxes as their labels name them.
const char kInputBox[] = "構造化テキストファイル";
const char kOutputBox[] = "出力CSVファイル";

// '?' marks each character that code page 932 lacks: no file name holds a '?', so the marks are
// unmistakable.
const char kUnnamablePath[] =
    "シフトJIS（コードページ932）にない文字（? の所）がパスにあるため、このファイルは指定"
    "できません。\n"
    "ファイルの名前を変えるか、日本語の Windows で表示できる名前のフォルダに移して下さい。\n";

// A double quote would end the entry's quoted argument early and let the rest of it become
// arguments of its own. No file name can hold one.
bool HasQuote(const std::string& entry) { return entry.find('"') != std::string::npos; }

}  // namespace

std::string FirstEntryError(const RequestEntries& entries) {
  if (entries.input.empty()) return kNoInputFile;
  if (!entries.inputHeld) return UnnamablePathError(kInputBox, entries.input);
  if (HasQuote(entries.input)) return kQuoteInInputFile;
  if (entries.output.empty()) return kNoOutputFile;
  if (!entries.outputHeld) return UnnamablePathError(kOutputBox, entries.output);
  if (HasQuote(entries.output)) return kQuoteInOutputFile;
  if (entries.fields.empty()) return kNoFieldChecked;
  if (entries.useFullName && entries.domain.empty()) return kNoDomain;
  // Only then is the domain on the command line.
  if (entries.useFullName && HasQuote(entries.domain)) return kQuoteInDomain;
  return std::string();
}

std::string UnnamablePathError(const std::string& box, const std::string& path) {
  return (box.empty() ? "" : box + "：\n") + kUnnamablePath + path;
}
