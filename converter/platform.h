// The converter's contact with the operating system: files, error texts and the program's
// arguments. Implemented once for Windows and once for POSIX systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamarack {

// The system's own error code: GetLastError() on Windows, errno elsewhere. 0 is success.
using SystemError = unsigned long;

// The reason for an error in Japanese, code page 932, without a final full stop.
std::string ErrorReason(SystemError error);

// The program's arguments without the program name. On Windows they come from the raw command
// line (see SplitCommandLine), elsewhere from argv.
std::vector<std::string> ProgramArguments(int argc, char** argv);

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

// An output file written under a temporary name in the target's folder and put in place by
// Commit, replacing any existing file only when complete and flushed. Destroying an uncommitted
// OutputFile removes the temporary file, so an existing target is never damaged.
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
  SystemError Commit();

  // After a failed Commit, the name the previous output was left under when it could not be
  // put back, else empty: it is where it was, unchanged, or there was none.
  const std::string& PreviousKeptAs() const { return previousKeptAs_; }
  // After a failed Commit that found the previous output gone, the name the new one was left
  // under, else empty.
  const std::string& NewKeptAs() const { return newKeptAs_; }

 private:
  void Discard();

  std::string path_;
  std::string temporary_;
  std::string previousKeptAs_;
  std::string newKeptAs_;
#ifdef _WIN32
  SystemError Replace();

  std::string folder_;
  void* handle_ = reinterpret_cast<void*>(std::intptr_t{-1});  // INVALID_HANDLE_VALUE
#else
  int fd_ = -1;
  uint64_t written_ = 0;
  uint64_t started_ = 0;  // the data before this offset is being written to disk
#endif
};

#ifdef _WIN32
// Where a replace that failed left the files, once what could be put right has been.
struct FailedReplace {
  std::string previousKeptAs;  // the previous output, when it could not get its name back
  std::string newKeptAs;       // the new file, when the previous one was gone and it could not
                               // take its place
  bool newInPlace = false;     // the previous one was gone and the new one took its place
};

// After ReplaceFileA(target, replacement, backup) failed. What each file is called now decides:
// the previous output under the backup name gets its own name back; when it is gone altogether,
// the replacement is moved into its place. The replacement stays otherwise.
FailedReplace SettleFailedReplace(const std::string& target, const std::string& replacement,
                                  const std::string& backup);
#endif

}  // namespace tamarack
