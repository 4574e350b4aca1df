// The program's main dialog, created for one test, with helpers that drive its controls and
// start conversions. The test executables lie in a folder of their own beside a copy of the
// scriptable fake converter named Tamarack.exe, which the platform's search finds first (the
// folder of the starting program).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/remote_ui.h"
#include "frontend/converter_dialog.h"
#include "resources/resource.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

using Boxes = std::vector<RecordedBox>;

const UINT kNotice = MB_OK | MB_SYSTEMMODAL;

class ConverterDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    dialog_.Show(SW_SHOW);
    DispatchPending();
    SetEnvironmentVariableA("FAKE_CONVERTER_RECORD", record_.c_str());
  }
  void TearDown() override {
    // Other tests of this process start the stand-in too: it must not record or act for them.
    SetEnvironmentVariableA("FAKE_CONVERTER_RECORD", nullptr);
    SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", nullptr);
    DeleteFileA(record_.c_str());
    dialog_.Destroy();
    DispatchPending();
  }

  // Dispatches what is queued; the quit a destroyed dialog posted goes too, so that it cannot
  // stand in for a quit that a later test expects.
  static void DispatchPending() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  HWND Dialog() const { return dialog_.GetHandle(); }
  HWND Item(int id) const { return GetDlgItem(Dialog(), id); }
  void SetText(int id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }
  std::wstring WideText(int id) const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Item(id))) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(Item(id), text.data(), int(text.size()))));
    return text;
  }
  // The ways a user puts a path into a box, each in place of the whole text: typed, a character at
  // a time (an IME hands over its result the same way); set by another program; pasted.
  void Type(int id, const std::wstring& text) {
    SendMessageW(Item(id), EM_SETSEL, 0, -1);
    for (const wchar_t c : text) SendMessageW(Item(id), WM_CHAR, c, 1);
  }
  void SetWide(int id, const std::wstring& text) { SetWindowTextW(Item(id), text.c_str()); }
  void Paste(int id, const std::wstring& text) { PasteText(Item(id), text); }
  // Drops paths on the middle of the dialog's control id, as a real HDROP: a DROPFILES block of
  // wide names in global memory, sent as WM_DROPFILES; the dialog releases it.
  void DropOn(int id, const std::vector<std::wstring>& paths) {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(Dialog(), &at);
    size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring& path : paths) size += (path.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);  // zero-filled: each name's NUL, a final NUL
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    auto* name = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) name = std::copy(path.begin(), path.end(), name) + 1;
    GlobalUnlock(memory);
    SendMessageA(Dialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }
  std::string Paths() {
    return RemoteWindowText(Item(IDC_INPUT_PATH)) + "|" + RemoteWindowText(Item(IDC_OUTPUT_PATH));
  }
  void Click(int id) {
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  // Presses start with the stand-in scripted by actions, and answers the boxes in turn;
  // returns them.
  Boxes Start(const std::vector<int>& answers, const std::string& actions = "") {
    SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", actions.c_str());
    MessageBoxInterceptor boxes;
    for (const int answer : answers) boxes.Answer(answer);
    Click(IDOK);
    return boxes.Boxes();
  }
  // The command lines the stand-in was started with, one a line, as UTF-8.
  std::string Recorded() const {
    std::ifstream file(record_, std::ios::binary);
    return Utf8(std::string(std::istreambuf_iterator<char>(file), {}));
  }

  ConverterDialog dialog_;
  // In the test's current folder, which the stand-in inherits.
  const std::string record_ = "stand-in-" + std::to_string(GetCurrentProcessId()) + ".txt";
};
