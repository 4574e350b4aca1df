// CSV rows as RFC 4180 describes them, with CRLF line ends.
#pragma once

#include <string>
#include <string_view>

namespace tamarack {

// Appends one field: quoted, with quotes doubled, when it holds a comma, a double quote, CR or
// LF; as it stands otherwise. None of these bytes can be the second byte of a double-byte
// character, so the test needs no character walk.
void AppendCsvField(std::string& out, std::string_view field);

// Appends a separator before every field but the first of a row.
inline void AppendCsvSeparator(std::string& out) { out += ','; }
inline void EndCsvRow(std::string& out) { out += "\r\n"; }

}  // namespace tamarack
