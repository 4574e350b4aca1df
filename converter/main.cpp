// Tamarack: converts a groupware address book (structured text) to CSV. See run.h.
#include <new>

#include "console.h"
#include "platform.h"
#include "run.h"

int main(int argc, char** argv) {
  std::string out;
  std::string err;
  int code = tamarack::kExitFailed;
  try {
    code = tamarack::Run(tamarack::ProgramArguments(argc, argv), out, err);
  } catch (const std::bad_alloc&) {
    err += "メモリが足りません\n";
  }
  tamarack::WriteStandardStream(tamarack::StandardStream::kOutput, out);
  tamarack::WriteStandardStream(tamarack::StandardStream::kError, err);
  return code;
}
