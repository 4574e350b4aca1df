// Writing on Windows as the converter does it: whole, in pieces that WriteFile takes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "system_file.h"

namespace tamarack {

// Writes all size bytes to file: at *offset, which moves on past them, when offset is given;
// else where the file's pointer is. 0, or the reason it could not.
SystemError WriteAll(HANDLE file, const char* data, size_t size, uint64_t* offset = nullptr);

}  // namespace tamarack
