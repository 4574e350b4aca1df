// Keeps a quit request away from the modal loops of message boxes during a conversion.
#pragma once

#include <windows.h>

#include <string>

// While a conversion request or run is active, a WM_QUIT is taken off the queue (by the
// runner's pump, or before a box opens, whose modal loop would otherwise take it and close the
// box at once) and kept; the outermost request or run posts it again, with its exit code, when
// it ends, so the program's own loop still ends.
class QuitKeeper {
 public:
  // Marks one active request or run for as long as it lives.
  class Scope {
   public:
    explicit Scope(QuitKeeper& keeper);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    QuitKeeper& keeper_;
  };

  // Keeps a quit that a pump has fetched.
  void Keep(int exitCode);
  // Every box of a request or a run keeps a quit that waits in the thread's queue, then shows
  // the box, owned by owner. A notice, an error or the converter's text:
  void ShowNotice(HWND owner, const std::string& text, const char* caption);
  // The question before a run; true when the answer is Yes.
  bool AskYesNo(HWND owner, const std::string& text, const char* caption);

 private:
  int ShowBox(HWND owner, const std::string& text, const char* caption, UINT type);

  int depth_ = 0;
  bool kept_ = false;
  int exitCode_ = 0;
};
