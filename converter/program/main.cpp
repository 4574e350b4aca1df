// Tamarack: converts a groupware address book (structured text) to CSV. See run.h.
#include <new>

#include "files.h"
#include "run.h"

int main(int argc, char** argv) {
  std::string out;
  std::string err;
  int code = tamarack::kExitFailed;
  try {
    const auto args = tamarack::ProgramArguments(argc, argv);
    if (args) {
      code = tamarack::Run(*args, out, err);
    } else {
      err +=
          "Tamarack: コマンドラインに、ファイル名にできない文字（対のないサロゲート）があります\n";
      code = tamarack::kExitUsage;
    }
  } catch (const std::bad_alloc&) {
    err += "メモリが足りません\n";
  }
  tamarack::WriteTexts(out, err);
  return code;
}
