#include "fields.h"

#include <gtest/gtest.h>

namespace tamarack {
namespace {

Record MakeRecord(std::initializer_list<std::pair<Item, std::string>> items) {
  Record record;
  for (const auto& [item, value] : items) {
    record.present[item] = true;
    record.values[item] = value;
  }
  return record;
}

std::string Email(const Record& record, const MappingOptions& options = {}) {
  Row row;
  MapPerson(record, options, row);
  return row[static_cast<size_t>(Field::kEmail)];
}

TEST(Fields, NamesInCodePage932Utf8AndAscii) {
  EXPECT_EQ(FieldByName("宛先名"), Field::kAddressee);
  EXPECT_EQ(FieldByName(u8"部署"), Field::kDepartment);
  EXPECT_EQ(FieldByName("Family"), Field::kFamily);
  EXPECT_EQ(FieldByName("email"), Field::kEmail);
  EXPECT_EQ(FieldByName("名前"), std::nullopt);
  EXPECT_EQ(FieldByName(""), std::nullopt);
  EXPECT_EQ(FieldHeader(Field::kCompany), "会社名");
}

TEST(Fields, PersonsAreFormPersonOrRecordsWithUsedItems) {
  EXPECT_TRUE(IsPerson(MakeRecord({{kForm, "person"}})));
  EXPECT_FALSE(IsPerson(MakeRecord({{kForm, "Group"}, {kLastName, "x"}})));
  EXPECT_TRUE(IsPerson(MakeRecord({{kDepartment, ""}})));
  EXPECT_FALSE(IsPerson(Record()));
}

TEST(Fields, CommonNameOfHierarchicalNames) {
  EXPECT_EQ(CommonName("CN=山田 太郎/OU=営業部/O=Acme/C=JP"), "山田 太郎");
  EXPECT_EQ(CommonName("ou=Sales/cn=Taro Yamada/o=Acme@AcmeMail"), "Taro Yamada");
  EXPECT_EQ(CommonName("Taro Yamada/Sales/Acme@AcmeMail"), "Taro Yamada");
  EXPECT_EQ(CommonName("OU=Sales/O=Acme"), "Sales");
  EXPECT_EQ(CommonName(" 山田 太郎 "), "山田 太郎");
  EXPECT_EQ(CommonName("taro@example.com"), "taro");
  EXPECT_EQ(CommonName("CN=R&D \"/\" Lab/O=Acme"), "R&D \"/\" Lab");
  // 0x40 as the second byte of ァ is not a domain mark.
  EXPECT_EQ(CommonName("CN=ァ太郎/O=Acme"), "ァ太郎");
}

TEST(Fields, BuiltAddressUsesTheFirstAsciiName) {
  EXPECT_EQ(BuildAddress("CN=山田 太郎/O=Acme, CN=Taro  Yamada/O=Acme", "example.jp"),
            "taro.yamada@example.jp");
  EXPECT_EQ(BuildAddress("Megumi O'Brien-Yamamoto", "d.jp"), "megumi.obrien-yamamoto@d.jp");
  EXPECT_EQ(BuildAddress(" J. R.  Yoshida_2 ", "d.jp"), "j.r.yoshida_2@d.jp");
  EXPECT_EQ(BuildAddress("!!!, 山田 太郎, Taro", "d.jp"), "taro@d.jp");
  EXPECT_EQ(BuildAddress("山田 太郎", "d.jp"), "");
  EXPECT_EQ(BuildAddress("", "d.jp"), "");
}

TEST(Fields, AddresseeFallsBackToLastAndFirstName) {
  Row row;
  MapPerson(MakeRecord({{kFullName, "CN=山田 太郎/O=Acme, Taro"}, {kLastName, "x"}}), {}, row);
  EXPECT_EQ(row[0], "山田 太郎");
  MapPerson(MakeRecord({{kFullName, " , Taro"}, {kLastName, "山田"}, {kFirstName, "太郎"}}), {},
            row);
  EXPECT_EQ(row[0], "山田 太郎");
  MapPerson(MakeRecord({{kFirstName, "太郎"}}), {}, row);
  EXPECT_EQ(row[0], "太郎");
}

TEST(Fields, EmailRules) {
  EXPECT_EQ(Email(MakeRecord({{kInternetAddress, "a@x.jp, b@x.jp"}, {kMailAddress, "c@x.jp"}})),
            "a@x.jp");
  EXPECT_EQ(Email(MakeRecord({{kMailAddress, "c@x.jp"}})), "c@x.jp");
  EXPECT_EQ(Email(MakeRecord({{kMailAddress, "Taro/Acme@AcmeMail"}})), "");
  EXPECT_EQ(Email(MakeRecord({{kMailAddress, "ァ"}})), "");  // 0x83 0x40 holds no '@'

  const MappingOptions built{true, "example.jp"};
  Row row;
  EXPECT_TRUE(
      MapPerson(MakeRecord({{kFullName, "Taro"}, {kInternetAddress, "a@x.jp"}}), built, row));
  EXPECT_EQ(row[static_cast<size_t>(Field::kEmail)], "taro@example.jp");
  EXPECT_FALSE(
      MapPerson(MakeRecord({{kFullName, "山田"}, {kInternetAddress, "a@x.jp"}}), built, row));
  EXPECT_EQ(row[static_cast<size_t>(Field::kEmail)], "");
}

}  // namespace
}  // namespace tamarack
