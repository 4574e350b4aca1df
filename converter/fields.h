// The six output fields and how each is taken from a person's record.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "reader.h"

namespace tamarack {

enum class Field { kAddressee, kFamily, kGiven, kEmail, kCompany, kDepartment };
constexpr size_t kFieldCount = 6;

// The field for a name in code page 932 ("宛先名"), in UTF-8, or in ASCII ("addressee", any
// case); nothing for an unknown name.
std::optional<Field> FieldByName(std::string_view name);

// The field's name in code page 932, as the CSV header shows it.
std::string_view FieldHeader(Field field);

// A record is a person when its Form is Person, or when it has no Form but has an item that the
// fields use.
bool IsPerson(const Record& record);

// The first of the comma-separated values, trimmed.
std::string_view FirstValue(std::string_view values);

// The common name of a hierarchical name ("CN=Taro Yamada/OU=Sales/O=Acme@Acme" gives
// "Taro Yamada"; "Taro Yamada/Sales/Acme" too); a flat name is itself.
std::string CommonName(std::string_view name);

// The mail address built from the first FullName value whose common name is plain ASCII and
// leaves a usable local part; empty when there is none.
std::string BuildAddress(std::string_view fullName, std::string_view domain);

struct MappingOptions {
  bool emailFromFullName = false;
  std::string domain;  // plain ASCII, lower case, without '@'
};

using Row = std::array<std::string, kFieldCount>;

// Fills row (indexed by Field) for a person. Returns false when EMAIL was to be built from
// FullName and no ASCII name was found; EMAIL is then empty.
bool MapPerson(const Record& record, const MappingOptions& options, Row& row);

}  // namespace tamarack
