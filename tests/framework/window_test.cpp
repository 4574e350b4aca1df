#include "framework/window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Throws where the system called it with WM_USER.
class ThrowingWindow : public FrameWindow {
 public:
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_USER) throw std::runtime_error("thrown inside the window procedure");
    return DefaultProc(hwnd, msg, wParam, lParam);
  }
};

// Without the shared procedure's catch, the exception would unwind through the system's
// dispatch, which ends the process.
TEST(WindowTest, NoExceptionUnwindsThroughTheSystemsDispatch) {
  ThrowingWindow object;
  object.Attach(
      CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(object.SendMessage(WM_USER, 0, 0), 0) << "the unbound default answers";
  object.Destroy();
}

}  // namespace
