// Window objects bound to their windows through the "CPP_CLASS" property, and the one window
// procedure that dispatches every message to the bound object's virtual WindowProc.
#pragma once

#include <windows.h>

// The root of every window class: the binding between one object and one window.
class WindowHandle {
 public:
  WindowHandle() = default;
  WindowHandle(const WindowHandle&) = delete;
  WindowHandle& operator=(const WindowHandle&) = delete;
  // Neither detaches nor destroys the window: the window must be destroyed first.
  virtual ~WindowHandle() = default;
  virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // Binds this object to hwnd (detaching it from any earlier window first) and subclasses the
  // window with SharedWindowProc unless it already uses it; a Unicode window stays Unicode, and
  // its messages reach WindowProc in UTF-16. 0 for a null hwnd, else 1.
  int Attach(HWND hwnd);
  // Restores the replaced procedure and removes the property. 0 when unbound, else 1.
  int Detach();
  // The previous procedure when one was replaced; else 0 for a dialog, DefWindowProcA otherwise.
  LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // The bound window; null while unbound.
  HWND GetHandle() const { return window_; }

 private:
  int ProcSlot() const;
  // The window's procedure, read and set in the window's own character set.
  LONG_PTR GetProc() const;
  LONG_PTR SetProc(LONG_PTR proc);

  HWND window_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  int isDialog_ = 0;
  int isUnicode_ = 0;
};

class Window : public WindowHandle {
 public:
  int GetControlId() const;
  LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL Show(int cmd);
  void Refresh(BOOL erase);
  // 0 for a null text, else the result of SetWindowTextA.
  BOOL SetTitle(const char* text);
};

class FrameWindow : public Window {
 public:
  void Destroy();
  // Sets the small icon from the module's icon resource; 1 when the window had one before.
  int SetSmallIcon(int resourceId);
};

class Dialog : public FrameWindow {
 public:
  // Creates the dialog of template resourceId with SharedWindowProc as its dialog procedure.
  // The object is bound, and WM_INITDIALOG handled, before this returns; null on failure.
  HWND CreateModeless(HWND owner, int resourceId);
  // Gives the control with that id the focus as the dialog's keyboard navigation does: a push
  // button becomes the default one, an edit box's text is selected.
  void FocusControl(int id);
};

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Places window centred over reference, kept inside the work area; the left and top edges win
// when the window is larger than the work area.
void CenterWindow(HWND reference, HWND window);
