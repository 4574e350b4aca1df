// The whole road of one conversion in-process, with the real Tamarack.exe: this executable is
// built beside it, so the platform's search finds it first.
#include <fstream>
#include <iterator>
#include <string>

#include "resources/resource.h"
#include "tests/frontend/dialog_fixture.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

// The samples folder as Wine sees it: the Linux root is drive Z:.
std::string SamplePath(const std::string& name) {
  std::string path = std::string("Z:") + TAMARACK_SAMPLES + "/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class ConversionTest : public ConverterDialogTest {
 protected:
  void SetUp() override {
    ConverterDialogTest::SetUp();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    output_ = std::string(folder) + "tamarack-conversion-" + std::to_string(GetCurrentProcessId()) +
              ".csv";
    DeleteFileA(output_.c_str());
    SetText(IDC_INPUT_PATH, SamplePath("addressbook.txt"));
    SetText(IDC_OUTPUT_PATH, output_);
  }
  void TearDown() override {
    DeleteFileA(output_.c_str());
    ConverterDialogTest::TearDown();
  }

  std::string output_;
};

TEST_F(ConversionTest, AllSixFieldsGiveTheExpectedCsv) {
  Click(IDC_SELECT_ALL);
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk();
  Start();
  ASSERT_EQ(boxes.Boxes().size(), 2u) << "a box beyond the confirmation and the completion";
  EXPECT_EQ(boxes.Boxes()[1].text, "処理が終了しました。");
  EXPECT_EQ(ReadFile(output_), ReadFile(SamplePath("addressbook.csv")));
}

TEST_F(ConversionTest, FullNameOptionWithAReorderedSubset) {
  // EMAIL to the top, then 宛先名 and 部署 checked in that order below it.
  for (int i = 0; i < 3; ++i) {
    SelectRow(3 - i);
    Click(IDC_MOVE_UP);
  }
  CheckField("EMAIL");
  CheckField("宛先名");
  CheckField("部署");
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, "example.co.jp");

  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk(2);
  Start();
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  // The converter's warning about people without a romanised name, shown as it wrote it.
  const RecordedBox& warning = boxes.Boxes()[1];
  EXPECT_EQ(warning.caption, "");
  EXPECT_NE(warning.text.find("EMAIL"), std::string::npos) << Utf8(warning.text);
  EXPECT_EQ(boxes.Boxes()[2].text, "処理が終了しました。");
  EXPECT_EQ(ReadFile(output_), ReadFile(SamplePath("addressbook-fullname.csv")));
}

TEST_F(ConversionTest, AMissingInputFileIsReportedByTheConverter) {
  SetText(IDC_INPUT_PATH, SamplePath("no-such-book.txt"));
  CheckField("姓");
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk(2);
  Start();
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[1].caption, "");
  EXPECT_NE(boxes.Boxes()[1].text.find("no-such-book.txt"), std::string::npos)
      << Utf8(boxes.Boxes()[1].text);
  EXPECT_EQ(GetFileAttributesA(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
