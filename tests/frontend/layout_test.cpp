// The main dialog at the display's scaling. tools/test runs this at 96 DPI and again at 144 with
// TAMARACK_EXPECT_DPI=144, after setting Wine's LogPixels, so that a run that did not get the
// scaling it was meant to test fails instead of passing at 96.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "frontend/converter_dialog.h"
#include "resources/resource.h"

namespace {

int ClientWidth(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.right;
}

// The dialog font grows with the scaling, and the field list's one column is exactly as wide as
// the list, at start and again when the dialog is moved to a monitor of another scaling (there
// the dialog manager resizes the list; here the test does). Looked at before the first paint:
// Wine then sizes a list-mode column to its texts again, where Windows keeps the width set.
TEST(LayoutTest, TheFontGrowsWithTheScalingAndTheColumnFillsTheList) {
  InitCommonControls();
  ConverterDialog dialog;
  ASSERT_NE(dialog.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
  const HWND hwnd = dialog.GetHandle();
  const HDC dc = GetDC(hwnd);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd, dc);
  if (const char* expected = std::getenv("TAMARACK_EXPECT_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected));
  }
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72)) << "9 points at " << dpi << " DPI";

  const HWND list = GetDlgItem(hwnd, IDC_FIELD_LIST);
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), ClientWidth(list)) << dpi << " DPI";
  RECT placed{};
  GetWindowRect(list, &placed);
  SetWindowPos(list, nullptr, 0, 0, (placed.right - placed.left) * 3 / 4,
               placed.bottom - placed.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT suggested{};
  GetWindowRect(hwnd, &suggested);
  SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  MSG msg{};
  while (PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), ClientWidth(list)) << "after the scaling changed";
  dialog.Destroy();
}

// The path boxes are Unicode edit controls in the template's place, with its id, styles, font
// and tab position: between their label and their browse button.
TEST(LayoutTest, ThePathBoxesAreUnicodeInTheTemplatesPlaceAndTabOrder) {
  InitCommonControls();
  ConverterDialog dialog;
  ASSERT_NE(dialog.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
  const HWND hwnd = dialog.GetHandle();
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  const struct {
    int box, browse;
    RECT place;  // x, y, width, height, in dialog units, as the template has them
  } boxes[] = {{IDC_INPUT_PATH, IDC_BROWSE_INPUT, {7, 21, 169, 12}},
               {IDC_OUTPUT_PATH, IDC_BROWSE_OUTPUT, {7, 51, 169, 12}}};
  for (const auto& b : boxes) {
    const HWND box = GetDlgItem(hwnd, b.box);
    EXPECT_TRUE(IsWindowUnicode(box)) << b.box;
    RECT want = b.place, placed{};
    MapDialogRect(hwnd, &want);
    GetWindowRect(box, &placed);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right - placed.left,
                                 placed.bottom - placed.top}),
              std::vector<LONG>({want.left, want.top, want.right, want.bottom}))
        << b.box;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), font) << b.box;
    EXPECT_EQ(GetNextDlgTabItem(hwnd, box, FALSE), GetDlgItem(hwnd, b.browse)) << b.box;
    EXPECT_EQ(GetDlgCtrlID(GetWindow(box, GW_HWNDPREV)), -1) << "its label comes before it";
  }
  dialog.Destroy();
}

}  // namespace
