#include "csv.h"

namespace tamarack {

void AppendCsvField(std::string& out, std::string_view field) {
  bool plain = true;
  for (char c : field) plain = plain && c != ',' && c != '"' && c != '\r' && c != '\n';
  if (plain) {
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
