// How the converter's texts hold a name the user gave (a file's, or another argument), so that
// a message can be made with it before it is known where the message goes.
#pragma once

#include <string>

namespace tamarack {

// name, in the form the arguments have, as the texts hold it. On Windows, where that is UTF-8, a
// name that code page 932 cannot hold exactly is marked, so that WriteStandardStream can give it
// in full to a console and, to a pipe or a file, in code page 932 with '?' for each character
// that code page 932 lacks; every other name is its code page 932 bytes. Elsewhere it is the
// name's bytes.
std::string MessageName(const std::string& name);

}  // namespace tamarack
