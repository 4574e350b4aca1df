#include "tests/support/pump.h"

#include "app/application.h"

void PumpPending() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // Leave the quit for whoever runs a loop after us.
    if (msg.message == WM_QUIT) return PostQuitMessage(static_cast<int>(msg.wParam));
    RouteMessage(msg);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpPending();
  }
  return true;
}
