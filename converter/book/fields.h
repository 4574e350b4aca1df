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
// "Taro Yamada"; "Taro Yamada/Sales/Acme" too); a flat name is itself. A part of name.
std::string_view CommonName(std::string_view name);

// Sets address to the mail address built from the first FullName value whose common name is
// plain ASCII and leaves a usable local part; empty when there is none.
void BuildAddress(std::string_view fullName, std::string_view domain, std::string& address);

struct MappingOptions {
  bool emailFromFullName = false;
  std::string domain;  // plain ASCII, lower case, without '@'
};

// A person's fields, indexed by Field. They point into the record, or into the row's own
// strings where they are built, and are valid as long as both are unchanged.
struct Row {
  std::array<std::string_view, kFieldCount> fields;
  std::string addressee;  // family and given name, when FullName gives none
  std::string email;      // built from FullName
};

// Fills row for a person. Returns false when EMAIL was to be built from FullName and no ASCII
// name was found; EMAIL is then empty.
bool MapPerson(const Record& record, const MappingOptions& options, Row& row);

}  // namespace tamarack
