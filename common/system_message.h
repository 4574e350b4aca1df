// The system's own text for an error code, for the messages both programs show.
#pragma once

#include <windows.h>

#include <string>

// FormatMessageA's text for error in the ANSI code page, without the line end and the final
// full stop the system puts after it; empty when the system has none.
std::string SystemMessage(DWORD error);
