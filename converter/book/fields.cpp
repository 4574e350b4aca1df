#include "fields.h"

#include "cp932_chars.h"
#include "scan.h"
#include "trim.h"

namespace tamarack {
namespace {

struct FieldNames {
  std::string_view cp932;
  std::string_view utf8;
  std::string_view ascii;
};

constexpr std::array<FieldNames, kFieldCount> kFieldNames = {{
    {"宛先名", u8"宛先名", "addressee"},
    {"姓", u8"姓", "family"},
    {"名", u8"名", "given"},
    {"EMAIL", "EMAIL", "email"},
    {"会社名", u8"会社名", "company"},
    {"部署", u8"部署", "department"},
}};

// Splits a labelled component such as "CN=Taro" into its label and value; false for a component
// without one of the labels CN, OU, O and C.
bool SplitLabel(std::string_view component, std::string_view& label, std::string_view& value) {
  static constexpr std::array<std::string_view, 4> kLabels = {"CN", "OU", "O", "C"};
  // Most components that matter start "CN=" (setting bit 5 lowers a capital letter and turns
  // no other byte into a small one).
  if (component.size() >= 3 && component[2] == '=' && (component[0] | 0x20) == 'c' &&
      (component[1] | 0x20) == 'n') {
    label = kLabels[0];
    value = component.substr(3);
    return true;
  }
  const size_t equals = FindByte(component, '=');
  if (equals == std::string_view::npos) return false;
  const std::string_view candidate = Trim(component.substr(0, equals));
  for (std::string_view known : kLabels) {
    if (EqualsIgnoreCase(candidate, known)) {
      label = known;
      value = component.substr(equals + 1);
      return true;
    }
  }
  return false;
}

bool IsPlainAscii(std::string_view s) {
  for (char c : s) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Appends the local part made of name: lower-cased, blank runs as one '.', only letters, digits,
// '.', '-' and '_' kept. Dots that would make an invalid address (leading, trailing, doubled) are
// dropped as well. local must be empty.
void AppendLocalPart(std::string_view name, std::string& local) {
  bool pendingDot = false;
  for (char c : name) {
    const char lower = AsciiLower(c);
    const bool keep = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') ||
                      lower == '-' || lower == '_';
    if (c == ' ' || c == '.') {
      pendingDot = true;
    } else if (keep) {
      if (pendingDot && !local.empty()) local += '.';
      pendingDot = false;
      local += lower;
    }
  }
}

}  // namespace

std::optional<Field> FieldByName(std::string_view name) {
  for (size_t i = 0; i < kFieldNames.size(); ++i) {
    const FieldNames& names = kFieldNames[i];
    if (name == names.cp932 || name == names.utf8 || EqualsIgnoreCase(name, names.ascii)) {
      return static_cast<Field>(i);
    }
  }
  return std::nullopt;
}

std::string_view FieldHeader(Field field) { return kFieldNames[static_cast<size_t>(field)].cp932; }

bool IsPerson(const Record& record) {
  if (record.present[kForm]) return EqualsIgnoreCase(record.values[kForm], "Person");
  for (int item = kFullName; item < kKeptItemCount; ++item) {
    if (record.present[item]) return true;
  }
  return false;
}

std::string_view FirstValue(std::string_view values) {
  return Trim(values.substr(0, FindChar(values, ',')));
}

std::string_view CommonName(std::string_view name) {
  name = Trim(name);
  // A trailing "@domain" (Notes' mail domain) is not part of the name. '@' can be the second
  // byte of a double-byte character, so only a whole-character walk can tell.
  if (FindByte(name, '@') != std::string_view::npos) {
    size_t at = std::string_view::npos;
    bool quoted = false;
    for (size_t i = 0; i < name.size();) {
      const size_t length = CharLength(name, i);
      if (length == 1 && name[i] == '"') quoted = !quoted;
      if (length == 1 && !quoted && name[i] == '@') at = i;
      if (length == 1 && !quoted && name[i] == '/') at = std::string_view::npos;
      i += length;
    }
    if (at != std::string_view::npos) name = name.substr(0, at);
  }

  // With labelled components (CN=.../OU=.../O=...) the CN; otherwise the first component.
  // Components are separated by '/' outside double quotes; neither byte can be the second
  // byte of a double-byte character, so a byte search finds them.
  std::string_view result;
  std::string_view label;
  std::string_view value;
  bool quoted = false;
  const char* const end = name.data() + name.size();
  for (size_t i = FindEither(name, '/', '"', 0, end), start = 0;;
       i = FindEither(name, '/', '"', i + 1, end)) {
    if (i < name.size() && name[i] == '"') {
      quoted = !quoted;
      continue;
    }
    if (i < name.size() && quoted) continue;
    const std::string_view component = name.substr(start, i - start);
    const bool labelled = SplitLabel(component, label, value);
    if (start == 0) result = labelled ? value : component;
    if (labelled && label == "CN") {
      result = value;
      break;
    }
    if (i >= name.size()) break;
    start = i + 1;
  }
  return Trim(result);
}

void BuildAddress(std::string_view fullName, std::string_view domain, std::string& address) {
  address.clear();
  size_t start = 0;
  while (start <= fullName.size()) {
    size_t comma = FindChar(fullName, ',', start);
    if (comma == std::string_view::npos) comma = fullName.size();
    const std::string_view name = CommonName(fullName.substr(start, comma - start));
    if (!name.empty() && IsPlainAscii(name)) {
      AppendLocalPart(name, address);
      if (!address.empty()) {
        address += '@';
        address += domain;
        return;
      }
    }
    start = comma + 1;
  }
}

bool MapPerson(const Record& record, const MappingOptions& options, Row& row) {
  const std::string_view fullName = record.values[kFullName];
  const std::string_view last = record.values[kLastName];
  const std::string_view first = record.values[kFirstName];

  std::string_view& addressee = row.fields[static_cast<size_t>(Field::kAddressee)];
  addressee = CommonName(FirstValue(fullName));
  if (addressee.empty()) {
    row.addressee.assign(last);
    if (!last.empty() && !first.empty()) row.addressee += ' ';
    row.addressee += first;
    addressee = row.addressee;
  }
  row.fields[static_cast<size_t>(Field::kFamily)] = last;
  row.fields[static_cast<size_t>(Field::kGiven)] = first;
  row.fields[static_cast<size_t>(Field::kCompany)] = record.values[kCompanyName];
  row.fields[static_cast<size_t>(Field::kDepartment)] = record.values[kDepartment];

  std::string_view& email = row.fields[static_cast<size_t>(Field::kEmail)];
  if (options.emailFromFullName) {
    BuildAddress(fullName, options.domain, row.email);
    email = row.email;
    return !email.empty();
  }
  email = FirstValue(record.values[kInternetAddress]);
  if (email.empty()) {
    const std::string_view mail = record.values[kMailAddress];
    // A hierarchical name has a '/', found by a byte search; '@' needs a character walk.
    if (FindChar(mail, '/') == std::string_view::npos &&
        FindChar(mail, '@') != std::string_view::npos) {
      email = mail;
    }
  }
  return true;
}

}  // namespace tamarack
