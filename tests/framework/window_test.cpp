#include "framework/window.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

MSG last;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg < WM_USER) return DefWindowProcA(hwnd, msg, wParam, lParam);
  last = {hwnd, msg, wParam, lParam, 0, {}};
  return 0x1234;
}

// A window whose procedure before any binding is RecordingProc.
HWND NewWindow() {
  HWND hwnd = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                              nullptr);
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
  return hwnd;
}

WNDPROC ProcOf(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

void* Binding(HWND hwnd) { return GetPropA(hwnd, "CPP_CLASS"); }

TEST(WindowTest, ObjectIsBoundToOneWindowAtATime) {
  HWND first = NewWindow();
  HWND second = NewWindow();
  FrameWindow object;
  EXPECT_EQ(object.Attach(nullptr), 0);
  ASSERT_EQ(object.Attach(first), 1);
  EXPECT_EQ(ProcOf(first), &SharedWindowProc);
  ASSERT_EQ(object.Attach(second), 1);
  EXPECT_EQ(Binding(first), nullptr);
  EXPECT_EQ(ProcOf(first), &RecordingProc);
  EXPECT_EQ(Binding(second), &object);
  // The bound window passes messages unchanged to the procedure it had.
  EXPECT_EQ(object.SendMessage(WM_USER + 7, 11, 22), 0x1234);
  EXPECT_EQ(std::make_tuple(last.hwnd, last.message, last.wParam, last.lParam),
            std::make_tuple(second, WM_USER + 7u, WPARAM{11}, LPARAM{22}));
  // Bound again to the same window: subclassed once, the original procedure kept.
  object.Attach(second);
  EXPECT_EQ(object.GetPreviousProc(), &RecordingProc);
  ASSERT_EQ(object.Detach(), 1);
  EXPECT_EQ(ProcOf(second), &RecordingProc);
  EXPECT_EQ(Binding(second), nullptr);
  EXPECT_EQ(object.Detach(), 0);
  // Destroying the window unbinds the object, which may then be bound again.
  object.Attach(second);
  object.Destroy();
  EXPECT_EQ(object.GetHandle(), nullptr);
  EXPECT_EQ(object.GetPreviousProc(), nullptr);
  EXPECT_EQ(object.Attach(first), 1);
  EXPECT_EQ(Binding(first), &object);
  object.Destroy();
}

TEST(WindowTest, CenterWindowKeepsTheWindowInsideTheWorkArea) {
  RECT work{}, placed{};
  SystemParametersInfoA(SPI_GETWORKAREA, sizeof(work), &work, 0);
  HWND reference = NewWindow(), window = NewWindow();
  const struct {
    int x, y, cx, cy;  // the 200 by 200 reference's corner, the window's size
    LONG left, top;
  } cases[] = {
      {100, 100, 101, 50, 100 + 99 / 2, 175},
      // Hanging over the bottom right corner: pushed back inside.
      {work.right - 50, work.bottom - 50, 300, 200, work.right - 300, work.bottom - 200},
      // Larger than the work area: the left and top edges win.
      {0, 0, work.right - work.left + 300, work.bottom - work.top + 200, work.left, work.top},
  };
  for (const auto& c : cases) {
    MoveWindow(reference, c.x, c.y, 200, 200, FALSE);
    MoveWindow(window, 0, 0, c.cx, c.cy, FALSE);
    CenterWindow(reference, window);
    GetWindowRect(window, &placed);
    EXPECT_EQ(std::make_tuple(placed.left, placed.top), std::make_tuple(c.left, c.top)) << c.cx;
  }
  DestroyWindow(reference);
  DestroyWindow(window);
}

}  // namespace
