// Owns one kernel handle and closes it when it goes out of scope.
#pragma once

#include <windows.h>

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  // False while empty, also after a creating call failed with INVALID_HANDLE_VALUE.
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // Closes the handle held, if any, and holds handle instead.
  void Reset(HANDLE handle = nullptr) {
    if (Valid()) CloseHandle(handle_);
    handle_ = handle;
  }
  // Where a creating call writes the new handle; the object must still be empty.
  HANDLE* Receive() { return &handle_; }

 private:
  HANDLE handle_ = nullptr;
};
