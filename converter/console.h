// The converter's two texts on their way to standard output and standard error.
#pragma once

#include <string>

#include "platform.h"

namespace tamarack {

enum class StandardStream { kOutput, kError };

// A name the user gave (a file's, or another argument) as the converter's texts hold it, in the
// form the arguments have. On Windows, where that is UTF-8, a name that code page 932 cannot
// hold exactly is marked, so that WriteStandardStream can give it in full to a console and, to
// a pipe or a file, in code page 932 with '?' for each character that code page 932 lacks;
// every other name is its code page 932 bytes. Elsewhere it is the name's bytes.
std::string MessageName(const std::string& name);

// The text as a pipe or a file gets it: code page 932, with CR LF line ends on Windows.
std::string PipeText(const std::string& text);

// Writes text (code page 932 with names from MessageName, lines ended by '\n') to the stream in
// one piece: the front-end shows each piece it reads from standard error as a message box of its
// own. On Windows a console gets the text as UTF-16, so it reads right whatever the console's
// code page; a pipe or a file gets PipeText. Returns 0, or the system's error code when the
// stream took not all of it (none is no error: a program may start the converter without one).
SystemError WriteStandardStream(StandardStream stream, const std::string& text);

}  // namespace tamarack
