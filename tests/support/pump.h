// Bounded waits that keep the test thread's windows alive.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches the thread's messages through the program's routing (so dialog navigation works)
// until condition holds or timeoutMs pass. Returns whether the condition held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Dispatches whatever is queued now.
void PumpPending();
