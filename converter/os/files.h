// The converter's files, their error texts and the program's arguments: the one interface to
// them, implemented once for Windows (win/) and once for POSIX systems (posix/). Each system's
// system_file.h says what a file and an output's state are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system_file.h"

namespace tamarack {

// The reason for an error in Japanese, code page 932, without a final full stop.
std::string ErrorReason(SystemError error);

// Reasons of the converter's own beside the system's codes, worded where the messages are made.
// Bit 29 marks an application's codes on Windows; no errno reaches it.
constexpr SystemError kErrorFolderGone = 0x20000001;  // the output's folder went during the run
constexpr SystemError kErrorDeviceName = 0x20000002;  // a name that Windows gives a device
constexpr SystemError kErrorOutputHeld = 0x20000003;  // held by another program past the wait

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

  SystemError Open(const std::string& path);
  // Reads up to size bytes; 0 at the end of the file or on failure (then error is set).
  size_t Read(char* buffer, size_t size, SystemError& error);
  SystemError Rewind();
  // False for an input that cannot go back to its start: a pipe, a FIFO, a device.
  bool CanRewind() const;
  // True when path names an existing file that is this same file, by whatever name.
  bool IsSameFileAs(const std::string& path) const;

 private:
  SystemFile file_;
};

// An output file written under a temporary name in the target's folder and put in place by
// Commit, replacing any existing file in one step, only when complete and flushed: at every
// moment the target's name holds the previous file or the whole new one. Until then the system
// removes the temporary file when the process ends, however it ends (Ctrl+C, End task, a
// crash). Only in the instant of the commit's one step can a run ended from outside leave it;
// its name tells the output it was for, and the next run on that output removes it.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Refuses a target that is a folder, read-only or held, removes what earlier runs on it left,
  // then creates the temporary file.
  SystemError Begin(const std::string& path);
  SystemError Write(const char* data, size_t size);
  // Empties the temporary file, for the writing to start again.
  SystemError Restart();
  // Returns 0 once the new output has the target's name. From then on Ctrl+C and the signals
  // that end a run change nothing: the run finishes its message and exits 0.
  SystemError Commit();

 private:
  OutputState state_;
};

}  // namespace tamarack
