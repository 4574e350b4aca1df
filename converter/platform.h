// The converter's contact with the operating system: files, error texts and the program's
// arguments. Implemented once for Windows and once for POSIX systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamarack {

// The system's own error code: GetLastError() on Windows, errno elsewhere. 0 is success.
using SystemError = unsigned long;

// The reason for an error in Japanese, code page 932, without a final full stop.
std::string ErrorReason(SystemError error);

// Reasons of the converter's own beside the system's codes, worded where the messages are made.
// Bit 29 marks an application's codes on Windows; no errno reaches it.
constexpr SystemError kErrorDeviceName = 0x20000002;  // a name that Windows gives a device

// The program's arguments without the program name. On Windows they come from the raw command
// line in UTF-16 (see SplitCommandLine), as UTF-8, which holds every file name; nothing when one
// holds a lone surrogate, which UTF-8 cannot. Elsewhere they are argv's bytes.
std::optional<std::vector<std::string>> ProgramArguments(int argc, char** argv);

// An input file read sequentially from the start, with one way back to the start.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  SystemError Open(const std::string& path);
  // Reads up to size bytes; 0 at the end of the file or on failure (then error is set).
  size_t Read(char* buffer, size_t size, SystemError& error);
  SystemError Rewind();
  // False for an input that cannot go back to its start: a pipe, a FIFO, a device.
  bool CanRewind() const;
  // True when path names an existing file that is this same file, by whatever name.
  bool IsSameFileAs(const std::string& path) const;

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(std::intptr_t{-1});  // INVALID_HANDLE_VALUE
#else
  int fd_ = -1;
#endif
};

// Where a commit left files that the user may have to look for, in the form the program's
// arguments have. Each name is empty when it does not apply.
struct Leftovers {
  // The previous output under another name: it could not get its own back after a failed
  // replace, or could not be removed after the new output took its place.
  std::string previous;
  // After a failed commit, the new output under its temporary name, kept because the previous
  // one is not under its own name either.
  std::string converted;
  // After a failed commit, a temporary file that could not be removed.
  std::string temporary;
};

// An output file written under a temporary name in the target's folder and put in place by
// Commit, replacing any existing file only when complete and flushed. Until then the system
// removes the temporary file when the process ends, however it ends (Ctrl+C, End task, a
// crash), so an existing target is never damaged and nothing is left behind.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Refuses a target that is a folder, read-only or locked, then creates the temporary file.
  SystemError Begin(const std::string& path);
  SystemError Write(const char* data, size_t size);
  // Empties the temporary file, for the writing to start again.
  SystemError Restart();
  // Returns 0 once the new output has the target's name, even when something else is left
  // (see Left).
  SystemError Commit();
  // What a Commit could not put right.
  const Leftovers& Left() const { return left_; }

 private:
  Leftovers left_;
#ifdef _WIN32
  std::wstring path_;
  std::wstring folder_;
  std::wstring temporary_;
  void* handle_ = reinterpret_cast<void*>(std::intptr_t{-1});  // INVALID_HANDLE_VALUE
#else
  void Discard();

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  uint64_t written_ = 0;
  uint64_t started_ = 0;  // the data before this offset is being written to disk
#endif
};

}  // namespace tamarack
