// The main dialog at the display's scaling. tools/test runs this at 96 DPI and again at 144 with
// TAMARACK_EXPECT_DPI=144, after setting Wine's LogPixels, so that a run that did not get the
// scaling it was meant to test fails instead of passing at 96.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "frontend/converter_dialog.h"
#include "resources/resource.h"

namespace {

// The dialog font grows with the scaling, every control keeps its template rectangle in dialog
// units of that font, and the field list's one column is exactly as wide as the list. Looked
// at before the first paint: Wine then sizes a list-mode column to its texts again, where
// Windows keeps the width set.
TEST(LayoutTest, ControlsGrowWithTheDialogFontAndTheColumnFillsTheList) {
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

  // x, y, width and height in dialog units, which the dialog manager maps one by one.
  const struct {
    int id;
    RECT units;
  } controls[] = {
      {IDOK, {7, 223, 50, 14}},
      {IDCANCEL, {138, 223, 50, 14}},
      {IDC_FIELD_LIST, {7, 69, 181, 106}},
      {IDC_INPUT_PATH, {7, 21, 169, 12}},
      {IDC_USE_FULLNAME, {13, 203, 84, 11}},
      {IDC_DOMAIN, {129, 202, 53, 12}},
  };
  for (const auto& c : controls) {
    RECT want = c.units, got{};
    MapDialogRect(hwnd, &want);
    GetWindowRect(GetDlgItem(hwnd, c.id), &got);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&got), 2);
    const RECT seen = {got.left, got.top, got.right - got.left, got.bottom - got.top};
    EXPECT_TRUE(EqualRect(&want, &seen))
        << "control " << c.id << " at " << dpi << " DPI: " << seen.left << " " << seen.top << " "
        << seen.right << " " << seen.bottom << " instead of " << want.left << " " << want.top << " "
        << want.right << " " << want.bottom;
  }
  const HWND list = GetDlgItem(hwnd, IDC_FIELD_LIST);
  RECT client{};
  GetClientRect(list, &client);
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), client.right) << dpi << " DPI";
  dialog.Destroy();
}

}  // namespace
