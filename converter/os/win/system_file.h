// What the files of the shared interface are on Windows.
#pragma once

#include <string>

#include "common/unique_handle.h"

namespace tamarack {

// GetLastError()'s code. 0 is success.
using SystemError = unsigned long;

using SystemFile = UniqueHandle;

// What an output keeps between its calls.
struct OutputState {
  std::wstring path;  // absolute, in the form that takes any length
  SystemFile file;    // the temporary file, which the system removes when it is closed
};

}  // namespace tamarack
