// The whole road of one conversion in-process, with the real Tamarack.exe: this executable is
// built beside it, so the platform's search finds it first.
#include <fstream>
#include <iterator>
#include <string>

#include "tests/frontend/dialog_fixture.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

using ConversionTest = ConverterDialogTest;

TEST_F(ConversionTest, AllSixFieldsGiveTheExpectedCsv) {
  // The samples folder as Wine sees it: the Linux root is drive Z:.
  std::string samples = std::string("Z:") + TAMARACK_SAMPLES + "/";
  for (char& c : samples) c = c == '/' ? '\\' : c;
  const std::string output = "conversion-test.csv";  // in the test's working folder
  SetText(IDC_INPUT_PATH, samples + "addressbook.txt");
  SetText(IDC_OUTPUT_PATH, output);
  Click(IDC_SELECT_ALL);
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk();
  Click(IDOK);
  ASSERT_EQ(boxes.Boxes().size(), 2u) << "a box beyond the confirmation and the completion";
  EXPECT_EQ(boxes.Boxes()[1].text, "処理が終了しました。");
  const std::string expected = ReadFile(samples + "addressbook.csv");
  EXPECT_TRUE(!expected.empty() && ReadFile(output) == expected) << "the CSV differs";
  DeleteFileA(output.c_str());
}

}  // namespace
