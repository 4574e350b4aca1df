#include <unistd.h>

#include "console.h"
#include "io_posix.h"

namespace tamarack {

std::string PipeText(const std::string& text) { return text; }

// One write() takes the whole text unless a signal or a full pipe interrupts it.
SystemError WriteStandardStream(StandardStream stream, const std::string& text) {
  return WriteAll(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO, text.data(),
                  text.size());
}

}  // namespace tamarack
