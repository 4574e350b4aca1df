// The converter's two texts on their way to standard output and standard error.
#pragma once

#include <string>

namespace tamarack {

enum class StandardStream { kOutput, kError };

// Writes text (code page 932, lines ended by '\n') to the stream in one piece: the front-end
// shows each piece it reads from standard error as a message box of its own. On Windows a
// console gets the text as UTF-16, so it reads right whatever the console's code page; a pipe
// or a file gets the code page 932 bytes with CR LF line ends.
void WriteStandardStream(StandardStream stream, const std::string& text);

}  // namespace tamarack
