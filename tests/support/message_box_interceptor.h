// Records and answers every message box the test thread opens, while the object lives.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

struct RecordedBox {
  HWND owner = nullptr;
  std::string caption;  // code page 932 bytes
  std::string text;     // code page 932 bytes
  UINT type = 0;        // reconstructed: MB_OK or MB_YESNO, MB_SYSTEMMODAL, MB_ICONEXCLAMATION
};

class MessageBoxInterceptor {
 public:
  MessageBoxInterceptor();
  // Fails the test when an answer was scripted for a box that never came.
  ~MessageBoxInterceptor();
  MessageBoxInterceptor(const MessageBoxInterceptor&) = delete;
  MessageBoxInterceptor& operator=(const MessageBoxInterceptor&) = delete;

  // Scripts the button (IDOK, IDYES, IDNO) that answers the next box. A box with no scripted
  // answer, or without the scripted button, fails the test and is closed with a button it has.
  void Answer(int button) { answers_.push_back(button); }
  void AnswerOk(int count = 1) { answers_.insert(answers_.end(), count, IDOK); }
  // Answers every box beyond the scripted ones with OK, for texts that arrive in an unknown
  // number of pieces.
  void AnswerOkToAll() { okToAll_ = true; }

  const std::vector<RecordedBox>& Boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnBoxOpened(HWND box);

  HHOOK hook_ = nullptr;
  std::deque<int> answers_;
  bool okToAll_ = false;
  std::vector<RecordedBox> boxes_;
};
