#include "framework/window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

#include "resources/resource.h"

namespace {

const char kTestClass[] = "TamarackRecordingWindow";

struct Call {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Call> recorded;

// The procedure a window has before any object binds it.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= WM_USER) {
    recorded.push_back({msg, wParam, lParam});
    return 0x1234;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitCommonControls();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTestClass;
    RegisterClassA(&wc);
  }
  void SetUp() override { recorded.clear(); }
  void TearDown() override {
    for (HWND hwnd : windows_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
  }
  HWND NewWindow() {
    HWND hwnd = CreateWindowExA(0, kTestClass, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(hwnd);
    return hwnd;
  }
  static WNDPROC ProcOf(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  }
  static void* Binding(HWND hwnd) { return GetPropA(hwnd, "CPP_CLASS"); }

  std::vector<HWND> windows_;
};

TEST_F(WindowTest, AttachingToAnotherWindowReleasesTheFirst) {
  HWND first = NewWindow();
  HWND second = NewWindow();
  Window object;
  ASSERT_EQ(object.Attach(first), 1);
  EXPECT_EQ(Binding(first), &object);
  EXPECT_EQ(ProcOf(first), &SharedWindowProc);

  ASSERT_EQ(object.Attach(second), 1);
  EXPECT_EQ(Binding(first), nullptr);
  EXPECT_EQ(ProcOf(first), &RecordingProc);
  EXPECT_EQ(Binding(second), &object);
  EXPECT_EQ(object.GetHandle(), second);
  EXPECT_EQ(object.GetPreviousProc(), &RecordingProc);
  object.Detach();
}

TEST_F(WindowTest, AttachingAgainToTheSameWindowSubclassesItOnce) {
  HWND hwnd = NewWindow();
  Window object;
  object.Attach(hwnd);
  object.Attach(hwnd);
  EXPECT_EQ(object.GetPreviousProc(), &RecordingProc);
  EXPECT_EQ(ProcOf(hwnd), &SharedWindowProc);
  ASSERT_EQ(object.Detach(), 1);
  EXPECT_EQ(ProcOf(hwnd), &RecordingProc);
  EXPECT_EQ(Binding(hwnd), nullptr);
  EXPECT_EQ(object.Detach(), 0);
}

TEST_F(WindowTest, NullHandleIsRefused) {
  Window object;
  EXPECT_EQ(object.Attach(nullptr), 0);
  EXPECT_EQ(object.GetHandle(), nullptr);
}

TEST_F(WindowTest, BoundWindowPassesMessagesToItsOldProcedure) {
  HWND hwnd = NewWindow();
  Window object;
  object.Attach(hwnd);
  EXPECT_EQ(object.SendMessage(WM_USER + 7, 11, 22), 0x1234);
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].msg, WM_USER + 7u);
  EXPECT_EQ(recorded[0].wParam, 11u);
  EXPECT_EQ(recorded[0].lParam, 22);
  object.Detach();
}

TEST_F(WindowTest, DestroyedWindowLeavesTheObjectFreeToBindAgain) {
  FrameWindow object;
  object.Attach(NewWindow());
  object.Destroy();
  EXPECT_EQ(object.GetHandle(), nullptr);
  EXPECT_EQ(object.GetPreviousProc(), nullptr);

  HWND next = NewWindow();
  EXPECT_EQ(object.Attach(next), 1);
  EXPECT_EQ(Binding(next), &object);
  object.Destroy();
}

TEST_F(WindowTest, ModelessDialogIsBoundWithoutSubclassing) {
  Dialog dialog;
  HWND hwnd = dialog.CreateModeless(nullptr, IDD_CONVERTER);
  ASSERT_NE(hwnd, nullptr);
  windows_.push_back(hwnd);
  EXPECT_EQ(dialog.GetHandle(), hwnd);
  EXPECT_EQ(Binding(hwnd), &dialog);
  EXPECT_EQ(dialog.GetPreviousProc(), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&SharedWindowProc));
  EXPECT_TRUE(IsDialogBox(hwnd));
  EXPECT_FALSE(IsDialogBox(GetDlgItem(hwnd, IDC_INPUT_PATH)));
  EXPECT_FALSE(IsDialogBox(GetDlgItem(hwnd, IDC_FIELD_LIST)));
  EXPECT_FALSE(IsDialogBox(NewWindow()));
  dialog.Destroy();
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST_F(WindowTest, MissingTemplateCreatesNothing) {
  Dialog dialog;
  EXPECT_EQ(dialog.CreateModeless(nullptr, 4242), nullptr);
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, sizeof(work), &work, 0);
  return work;
}

RECT Placed(HWND reference, int width, int height, HWND window) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
  CenterWindow(reference, window);
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

TEST_F(WindowTest, CenterWindowCentresOverTheReference) {
  HWND reference = NewWindow();
  SetWindowPos(reference, nullptr, 100, 100, 401, 300, SWP_NOZORDER);
  RECT rect = Placed(reference, 200, 100, NewWindow());
  EXPECT_EQ(rect.left, 100 + (401 - 200) / 2);
  EXPECT_EQ(rect.top, 100 + (300 - 100) / 2);
}

TEST_F(WindowTest, CenterWindowKeepsTheWindowInsideTheWorkArea) {
  const RECT work = WorkArea();
  HWND reference = NewWindow();
  // A reference hanging over the bottom right corner pushes the window back inside.
  SetWindowPos(reference, nullptr, work.right - 50, work.bottom - 50, 200, 200, SWP_NOZORDER);
  RECT rect = Placed(reference, 300, 200, NewWindow());
  EXPECT_EQ(rect.right, work.right);
  EXPECT_EQ(rect.bottom, work.bottom);
}

TEST_F(WindowTest, CenterWindowPutsAnOversizedWindowAtTheTopLeft) {
  const RECT work = WorkArea();
  RECT rect = Placed(GetDesktopWindow(), work.right - work.left + 300, work.bottom - work.top + 200,
                     NewWindow());
  EXPECT_EQ(rect.left, work.left);
  EXPECT_EQ(rect.top, work.top);
}

}  // namespace
