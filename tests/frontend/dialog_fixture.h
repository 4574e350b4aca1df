// The program's main dialog, created for one test, with helpers that drive its controls and
// start conversions. The test executables lie in a folder of their own beside a copy of the
// scriptable fake converter named Tamarack.exe, which the platform's search finds first (the
// folder of the starting program).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

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
