// Rules about the names of the converter's files that hold on every system, so that they can be
// tested anywhere; each system's code applies those that concern it.
#pragma once

#include <cstdint>
#include <string_view>

namespace tamarack {

// Whether the last part of path is a name that Windows gives a device: CON, PRN, AUX, NUL,
// COM1 to COM9, LPT1 to LPT9, in any case, with or without an extension ("aux.csv"), blanks
// before the extension or a colon after the name. Windows opens the device for such a name in
// any folder, not a file. A path in the system's own forms ("\\.\", "\\?\") names what it says
// and is never such a name.
bool NamesDosDevice(std::string_view path);

// A number that the same file name always gives (32-bit FNV-1a of its bytes): temporary files
// carry it, so that a later run on the same output recognises those that a run on it left.
uint32_t NameHash(std::string_view name);

}  // namespace tamarack
