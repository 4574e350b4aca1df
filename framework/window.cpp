#include "framework/window.h"

namespace {

const char kBindingProperty[] = "CPP_CLASS";

// The dialog manager's class atom (WC_DIALOG, "#32770").
const ULONG_PTR kDialogClassAtom = 0x8002;

// True for a window of the dialog manager's class (every dialog made from a template).
bool IsDialogBox(HWND hwnd) {
  return hwnd != nullptr && GetClassLongPtrA(hwnd, GCW_ATOM) == kDialogClassAtom;
}

LONG_PTR SharedProcValue() { return reinterpret_cast<LONG_PTR>(&SharedWindowProc); }

// The unbound default: a dialog procedure that handles nothing, or the system's default in the
// window's own character set.
LRESULT UnboundDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (IsDialogBox(hwnd)) return 0;
  return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                               : DefWindowProcA(hwnd, msg, wParam, lParam);
}

WindowHandle* ObjectFromCreation(UINT msg, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE:
      return static_cast<WindowHandle*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    case WM_INITDIALOG:
      return reinterpret_cast<WindowHandle*>(lParam);
    default:
      return nullptr;
  }
}

}  // namespace

LRESULT WindowHandle::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultProc(hwnd, msg, wParam, lParam);
}

int WindowHandle::ProcSlot() const { return isDialog_ ? DWLP_DLGPROC : GWLP_WNDPROC; }

int WindowHandle::Attach(HWND hwnd) {
  if (hwnd == nullptr) return 0;
  if (window_ != nullptr) Detach();
  window_ = hwnd;
  isDialog_ = IsDialogBox(hwnd) ? 1 : 0;
  // A procedure set through the ANSI form makes a window ANSI: a Unicode control would then
  // get its text through the code page, and lose what the code page lacks.
  isUnicode_ = IsWindowUnicode(hwnd) ? 1 : 0;
  SetPropA(hwnd, kBindingProperty, this);
  // Dialogs created by the framework already run SharedWindowProc: subclassing them again
  // would make the procedure call itself.
  if (GetProc() != SharedProcValue()) {
    previousProc_ = reinterpret_cast<WNDPROC>(SetProc(SharedProcValue()));
  }
  return 1;
}

int WindowHandle::Detach() {
  if (window_ == nullptr) return 0;
  if (previousProc_ != nullptr) SetProc(reinterpret_cast<LONG_PTR>(previousProc_));
  RemovePropA(window_, kBindingProperty);
  window_ = nullptr;
  previousProc_ = nullptr;
  isDialog_ = 0;
  isUnicode_ = 0;
  return 1;
}

LONG_PTR WindowHandle::GetProc() const {
  return isUnicode_ ? GetWindowLongPtrW(window_, ProcSlot())
                    : GetWindowLongPtrA(window_, ProcSlot());
}

LONG_PTR WindowHandle::SetProc(LONG_PTR proc) {
  return isUnicode_ ? SetWindowLongPtrW(window_, ProcSlot(), proc)
                    : SetWindowLongPtrA(window_, ProcSlot(), proc);
}

LRESULT WindowHandle::DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (previousProc_ != nullptr) {
    return isUnicode_ ? CallWindowProcW(previousProc_, hwnd, msg, wParam, lParam)
                      : CallWindowProcA(previousProc_, hwnd, msg, wParam, lParam);
  }
  return UnboundDefault(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* object = static_cast<WindowHandle*>(GetPropA(hwnd, kBindingProperty));
  if (object == nullptr) {
    object = ObjectFromCreation(msg, lParam);
    if (object == nullptr) return UnboundDefault(hwnd, msg, wParam, lParam);
    object->Attach(hwnd);
  }
  // No C++ exception may unwind through the system's message dispatch.
  LRESULT result = 0;
  try {
    result = object->WindowProc(hwnd, msg, wParam, lParam);
  } catch (...) {
    result = UnboundDefault(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_DESTROY) object->Detach();
  return result;
}

int Window::GetControlId() const {
  return static_cast<int>(GetWindowLongPtrA(GetHandle(), GWLP_ID));
}

LRESULT Window::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(GetHandle(), msg, wParam, lParam);
}

BOOL Window::Show(int cmd) { return ShowWindow(GetHandle(), cmd); }

void Window::Refresh(BOOL erase) {
  InvalidateRect(GetHandle(), nullptr, erase);
  UpdateWindow(GetHandle());
}

BOOL Window::SetTitle(const char* text) {
  return text == nullptr ? 0 : SetWindowTextA(GetHandle(), text);
}

void FrameWindow::Destroy() {
  if (GetHandle() != nullptr) DestroyWindow(GetHandle());
}

int FrameWindow::SetSmallIcon(int resourceId) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId & 0xFFFF));
  return SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)) != 0 ? 1 : 0;
}

HWND Dialog::CreateModeless(HWND owner, int resourceId) {
  return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId & 0xFFFF), owner,
                            reinterpret_cast<DLGPROC>(&SharedWindowProc),
                            reinterpret_cast<LPARAM>(this));
}

void Dialog::FocusControl(int id) {
  SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(GetHandle(), id)), TRUE);
}

void CenterWindow(HWND reference, HWND window) {
  RECT own{}, ref{};
  GetWindowRect(window, &own);
  GetWindowRect(reference, &ref);
  const int w = own.right - own.left;
  const int h = own.bottom - own.top;
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, sizeof(work), &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  int x = ref.left + ((ref.right - ref.left) - w) / 2;
  if (x < work.left) {
    x = work.left;
  } else if (x + w > work.right) {
    x = work.right - w;
  }
  int y = ref.top + ((ref.bottom - ref.top) - h) / 2;
  if (y < work.top) {
    y = work.top;
  } else if (y + h > work.bottom) {
    y = work.bottom - h;
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
