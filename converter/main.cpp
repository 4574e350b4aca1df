// Tamarack: converts a groupware address book (structured text) to CSV. See run.h.
#include <cstdio>
#include <new>

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
  // Each text in one write: the front-end shows every piece it reads as a message box of its own.
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  std::fflush(stderr);
  return code;
}
