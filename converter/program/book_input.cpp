#include "book_input.h"

namespace tamarack {

SystemError BookInput::StartCopy() {
  if (file_.CanRewind()) return 0;
  const SystemError error = copy_.Create();
  copying_ = error == 0;
  return error;
}

size_t BookInput::Read(char* buffer, size_t size, SystemError& error) {
  copyFailed_ = false;
  if (position_ < copied_) {
    const uint64_t left = copied_ - position_;
    const size_t n =
        copy_.ReadAt(position_, buffer, left < size ? static_cast<size_t>(left) : size, error);
    copyFailed_ = error != 0;
    position_ += n;
    return n;
  }
  const size_t n = file_.Read(buffer, size, error);
  if (!copying_ || n == 0) return n;
  error = copy_.Append(buffer, n);
  if (error) {
    copyFailed_ = true;
    return 0;
  }
  copied_ += n;
  position_ = copied_;
  return n;
}

SystemError BookInput::Rewind() {
  // Without a whole copy, only the input itself can go back.
  if (!copying_) return file_.Rewind();
  position_ = 0;
  return 0;
}

}  // namespace tamarack
