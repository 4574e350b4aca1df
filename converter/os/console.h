// The converter's two texts on their way to standard output and standard error.
#pragma once

#include <string>

#include "files.h"
#include "message_name.h"

namespace tamarack {

enum class StandardStream { kOutput, kError };

// The text as a pipe or a file gets it: code page 932, with CR LF line ends on Windows.
std::string PipeText(const std::string& text);

// Writes text (code page 932 with names from MessageName, lines ended by '\n') to the stream in
// one piece: the front-end shows each piece it reads from standard error as a message box of its
// own. On Windows a console gets the text as UTF-16, so it reads right whatever the console's
// code page; a pipe or a file gets PipeText. Returns 0, or the system's error code when the
// stream took not all of it (none is no error: a program may start the converter without one).
SystemError WriteStandardStream(StandardStream stream, const std::string& text);

}  // namespace tamarack
