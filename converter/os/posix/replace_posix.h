// Putting a finished output in the place of the previous one on POSIX systems: rename(), which
// swaps the name in one step; and the open() that makes the output's file without a name.
#pragma once

#include <sys/types.h>

#include <string>

namespace tamarack {

// The rename through which the output is put in place. A test puts a stand-in here that ends
// the process at that instant.
using RenameFunction = int (*)(const char*, const char*);
extern RenameFunction renameFile;

// The OpenUnnamed (io_posix.h) through which the output's temporary file is made without a name.
// A test puts a stand-in here that fails as a file system without such files does.
using OpenFunction = int (*)(const std::string&, int, mode_t);
extern OpenFunction openUnnamed;

}  // namespace tamarack
