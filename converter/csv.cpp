#include "csv.h"

#include <array>

namespace tamarack {

namespace {

struct QuoteTable {
  std::array<bool, 256> needsQuotes{};
  QuoteTable() {
    needsQuotes[','] = needsQuotes['"'] = needsQuotes['\r'] = needsQuotes['\n'] = true;
  }
};
const QuoteTable kQuoteTable;

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
  size_t plain = 0;
  while (plain < field.size() &&
         !kQuoteTable.needsQuotes[static_cast<unsigned char>(field[plain])]) {
    ++plain;
  }
  if (plain == field.size()) {
    out.append(field);
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace tamarack
