// Writes a large address book in the groupware's structured text format, the same bytes for
// the same arguments on every machine: generate_book MEGABYTES OUTPUT
// Records end with a form feed line and a blank line, so that Miller's XTAB reader sees the
// same records as the converter. Built with -fexec-charset=CP932: the names are code page 932.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// xorshift64*: fixed arithmetic, unlike the standard library's distributions.
struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ULL;
  uint32_t Below(uint32_t n) {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 33) % n;
  }
};

struct Name {
  const char* kanji;
  const char* roman;
};

const Name kFamily[] = {{"山田", "Yamada"},    {"鈴木", "Suzuki"},   {"佐藤", "Sato"},
                        {"高橋", "Takahashi"}, {"田中", "Tanaka"},   {"伊藤", "Ito"},
                        {"渡辺", "Watanabe"},  {"中村", "Nakamura"}, {"小林", "Kobayashi"},
                        {"加藤", "Kato"},      {"能登", "Noto"},     {"十河", "Sogo"}};
const Name kGiven[] = {{"太郎", "Taro"},   {"花子", "Hanako"},   {"一郎", "Ichiro"},
                       {"美咲", "Misaki"}, {"健", "Ken"},        {"由美", "Yumi"},
                       {"翔", "Sho"},      {"さくら", "Sakura"}, {"大輔", "Daisuke"},
                       {"ソラ", "Sora"}};
const char* kCompanies[] = {"株式会社タマラック", "タマラック物流株式会社", "Sato, Ito & Partners",
                            "株式会社ポートフォリオ"};
const char* kDepartments[] = {"営業部",   "表示デザイン課",           "開発部: 第2グループ",
                              "構造設計", "Research and Development", "予算管理室"};
const char* kUnits[] = {"Sales", "Design", "Dev", "Osaka"};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_book MEGABYTES OUTPUT\n");
    return 2;
  }
  const uint64_t target = std::strtoull(argv[1], nullptr, 10) * 1000 * 1000;
  FILE* out = std::fopen(argv[2], "wb");
  if (!out) return 1;
  Random random;
  std::string record;
  uint64_t written = 0;
  for (uint64_t n = 0; written < target; ++n) {
    record.clear();
    if (n % 25 == 24) {
      record += "Form:  Group\nListName:  Group " + std::to_string(n) +
                "\nMembers:  CN=山田 太郎/O=Tamarack, CN=Taro Yamada/O=Tamarack\n";
    } else {
      const Name& family = kFamily[random.Below(12)];
      const Name& given = kGiven[random.Below(10)];
      const char* unit = kUnits[random.Below(4)];
      const std::string number = std::to_string(n);
      record += "Form:  Person\n";
      record += std::string("FullName:  CN=") + family.kanji + " " + given.kanji + "/OU=" + unit +
                "/O=Tamarack/C=JP, " + given.roman + " " + family.roman + "\n";
      record += std::string("LastName:  ") + family.kanji + "\n";
      record += std::string("FirstName:  ") + given.kanji + "\n";
      if (random.Below(5) != 0) {
        record += std::string("InternetAddress:  ") + given.roman + "." + family.roman + number +
                  "@example.co.jp\n";
      }
      record += std::string("MailAddress:  CN=") + family.kanji + " " + given.kanji +
                "/OU=" + unit + "/O=Tamarack@TamarackMail\n";
      record += std::string("CompanyName:  ") + kCompanies[random.Below(4)] + "\n";
      record += std::string("Department:  ") + kDepartments[random.Below(6)] + "\n";
      record += "OfficePhoneNumber:  03-" + std::to_string(1000 + random.Below(9000)) + "-" +
                std::to_string(1000 + random.Below(9000)) + "\n";
      record += "Comment:  取引先 " + number + " 番。連絡はメールで。\n";
    }
    record += "\f\n\n";
    std::fwrite(record.data(), 1, record.size(), out);
    written += record.size();
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
