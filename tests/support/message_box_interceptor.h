// Records and answers every message box the test thread opens, while the object lives.
#pragma once

#include <windows.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

struct RecordedBox {
  HWND owner = nullptr;
  std::string caption;  // code page 932 bytes
  std::string text;     // code page 932 bytes
  UINT type = 0;        // reconstructed: MB_OK or MB_YESNO, MB_SYSTEMMODAL, MB_ICONEXCLAMATION
};
bool operator==(const RecordedBox& a, const RecordedBox& b);
// Shows a box in failure messages, its texts as UTF-8.
void PrintTo(const RecordedBox& box, std::ostream* out);

class MessageBoxInterceptor {
 public:
  MessageBoxInterceptor();
  ~MessageBoxInterceptor();
  MessageBoxInterceptor(const MessageBoxInterceptor&) = delete;
  MessageBoxInterceptor& operator=(const MessageBoxInterceptor&) = delete;

  // Scripts the button (IDOK, IDYES, IDNO) that answers the next box. A box without the
  // scripted button fails the test; one with no scripted answer is closed with a button it has
  // (and shows in Boxes()).
  void Answer(int button) { answers_.push_back(button); }
  void AnswerOk(int count = 1) { answers_.insert(answers_.end(), count, IDOK); }

  // Every box seen so far. Tests compare the whole list, so a box that should not have come,
  // or one that never came, shows there.
  const std::vector<RecordedBox>& Boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnBoxOpened(HWND box);

  HHOOK hook_ = nullptr;
  std::deque<int> answers_;
  std::vector<RecordedBox> boxes_;
};
