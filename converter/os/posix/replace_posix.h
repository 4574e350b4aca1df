// Putting a finished output in the place of the previous one on POSIX systems: rename(), which
// swaps the name in one step.
#pragma once

namespace tamarack {

// The rename through which the output is put in place. A test puts a stand-in here that ends
// the process at that instant.
using RenameFunction = int (*)(const char*, const char*);
extern RenameFunction renameFile;

}  // namespace tamarack
