#include "tests/support/pump.h"

#include <algorithm>

#include "app/application.h"

void PumpPending() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for whoever runs a loop after us.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    RouteMessage(msg);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
                              QS_ALLINPUT);
    PumpPending();
  }
  return true;
}
