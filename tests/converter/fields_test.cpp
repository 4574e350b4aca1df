#include "fields.h"

#include <gtest/gtest.h>

namespace tamarack {
namespace {

// The values are string literals, which outlive the record.
Record MakeRecord(std::initializer_list<std::pair<KeptItem, std::string_view>> items) {
  Record record;
  for (const auto& [item, value] : items) record.present[item] = true, record.values[item] = value;
  return record;
}

// A record is a person's unless its form says otherwise; one that holds nothing is no one's.
TEST(Fields, Persons) {
  EXPECT_TRUE(IsPerson(MakeRecord({{kForm, "person"}})));
  EXPECT_FALSE(IsPerson(MakeRecord({{kForm, "Group"}, {kLastName, "x"}})));
  EXPECT_TRUE(IsPerson(MakeRecord({{kDepartment, ""}})));
  EXPECT_FALSE(IsPerson(Record()));
}

TEST(Fields, CommonNamesAndBuiltAddresses) {
  const std::pair<const char*, const char*> commonNames[] = {
      {"CN=山田 太郎/OU=営業部/O=Acme/C=JP", "山田 太郎"},
      {"ou=Sales/cn=Taro Yamada/o=Acme@AcmeMail", "Taro Yamada"},
      {"Taro Yamada/Sales/Acme@AcmeMail", "Taro Yamada"},
      {"OU=Sales/O=Acme", "Sales"},
      {" 山田 太郎 ", "山田 太郎"},
      {"taro@example.com", "taro"},
      {"CN=R&D \"/\" Lab/O=Acme", "R&D \"/\" Lab"},
      {"CN=ァ太郎/O=Acme", "ァ太郎"},  // 0x40, the second byte of ァ, is no domain mark
  };
  for (const auto& [name, common] : commonNames) EXPECT_EQ(CommonName(name), common) << name;
  const std::pair<const char*, const char*> addresses[] = {
      {"CN=山田 太郎/O=Acme, CN=Taro  Yamada/O=Acme", "taro.yamada@d.jp"},
      {"Megumi O'Brien-Yamamoto", "megumi.obrien-yamamoto@d.jp"},
      {" J. R.  Yoshida_2 ", "j.r.yoshida_2@d.jp"},
      {"!!!, 山田 太郎, Taro", "taro@d.jp"},
      {"山田 太郎", ""},
      {"", ""},
  };
  std::string built = "left over";
  for (const auto& [name, address] : addresses) {
    BuildAddress(name, "d.jp", built);
    EXPECT_EQ(built, address) << name;
  }
}

TEST(Fields, AddresseeAndEmail) {
  const MappingOptions plain, built{true, "example.jp"};
  const struct {
    Record record;
    const MappingOptions& options;
    size_t field;
    const char* value;
  } cases[] = {
      {MakeRecord({{kFullName, "CN=山田 太郎/O=Acme, Taro"}, {kLastName, "x"}}), plain, 0,
       "山田 太郎"},
      {MakeRecord({{kFullName, " , Taro"}, {kLastName, "山田"}, {kFirstName, "太郎"}}), plain, 0,
       "山田 太郎"},
      {MakeRecord({{kFirstName, "太郎"}}), plain, 0, "太郎"},
      {MakeRecord({{kInternetAddress, "a@x.jp, b@x.jp"}, {kMailAddress, "c@x.jp"}}), plain, 3,
       "a@x.jp"},
      {MakeRecord({{kMailAddress, "c@x.jp"}}), plain, 3, "c@x.jp"},
      {MakeRecord({{kMailAddress, "Taro/Acme@AcmeMail"}}), plain, 3, ""},
      {MakeRecord({{kMailAddress, "ァ"}}), plain, 3, ""},  // 0x83 0x40 holds no '@'
      {MakeRecord({{kFullName, "Taro"}, {kInternetAddress, "a@x.jp"}}), built, 3,
       "taro@example.jp"},
  };
  for (const auto& c : cases) {
    Row row;
    EXPECT_TRUE(MapPerson(c.record, c.options, row));
    EXPECT_EQ(row.fields[c.field], c.value);
  }
  Row row;  // a built address is missing: the mapping says so and leaves EMAIL empty
  EXPECT_FALSE(
      MapPerson(MakeRecord({{kFullName, "山田"}, {kInternetAddress, "a@x.jp"}}), built, row));
  EXPECT_EQ(row.fields[3], "");
}

}  // namespace
}  // namespace tamarack
