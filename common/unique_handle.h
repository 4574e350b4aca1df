// Owns one kernel handle and closes it when it goes out of scope.
#pragma once

#include <windows.h>

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  // Where a creating call writes the new handle; the object must still be empty.
  HANDLE* Receive() { return &handle_; }

 private:
  HANDLE handle_ = nullptr;
};
