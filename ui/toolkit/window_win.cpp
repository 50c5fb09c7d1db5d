#include "ui/toolkit/window_win.h"

#include <windowsx.h>

#include <string>
#include <unordered_map>

#include "host/debug_output.h"

namespace tessaro {

namespace {

// Every bound window; the user-interface thread is the only one touching it.
std::unordered_map<HWND, CWnd*>& WindowMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

std::exception_ptr g_handlerFailure;
int g_modalDepth = 0;

POINT PointFrom(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

HINSTANCE ToolkitModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ToolkitModule), &module);
  return module;
}

// ---- Handler failures ----------------------------------------------------------

void KeepHandlerFailure(std::exception_ptr failure) {
  if (g_modalDepth > 0) {
    if (!g_handlerFailure) g_handlerFailure = failure;
    return;
  }
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    host::WriteDebugOutput((std::string("window handler failed: ") + e.what()).c_str());
  } catch (...) {
    host::WriteDebugOutput("window handler failed");
  }
}

std::exception_ptr TakeHandlerFailure() {
  std::exception_ptr failure = g_handlerFailure;
  g_handlerFailure = nullptr;
  return failure;
}

bool HasHandlerFailure() { return g_handlerFailure != nullptr; }

CModalLoopScope::CModalLoopScope() { ++g_modalDepth; }
CModalLoopScope::~CModalLoopScope() { --g_modalDepth; }

// ---- Binding -----------------------------------------------------------------

CWnd::~CWnd() {
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  const bool owned = ownsWindow_;
  Detach();
  if (owned && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  auto& map = WindowMap();
  auto it = map.find(hwnd);
  return it == map.end() ? nullptr : it->second;
}

void CWnd::Bind(HWND hwnd, WNDPROC previous) {
  hwnd_ = hwnd;
  previous_ = previous;
  WindowMap()[hwnd] = this;
}

bool CWnd::Attach(HWND hwnd) {
  if (hwnd == nullptr || hwnd_ != nullptr || !::IsWindow(hwnd) || FromHandle(hwnd) != nullptr)
    return false;
  auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
  if (previous == nullptr) return false;
  Bind(hwnd, previous);
  ownsWindow_ = false;
  return true;
}

bool CWnd::AttachDlgItem(int id, const CWnd& parent) { return Attach(parent.GetDlgItem(id)); }

HWND CWnd::Detach() {
  HWND hwnd = hwnd_;
  if (hwnd == nullptr) return nullptr;
  // Only put the old procedure back if nobody subclassed the window after us;
  // otherwise the stray calls still reaching StaticWndProc go to the class's
  // own procedure.
  if (::IsWindow(hwnd) && previous_ != nullptr &&
      GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  }
  Unbind();
  return hwnd;
}

void CWnd::Unbind() {
  WindowMap().erase(hwnd_);
  hwnd_ = nullptr;
  previous_ = nullptr;
  ownsWindow_ = false;
}

void CWnd::DestroyWindow() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandle(hwnd);
  if (wnd == nullptr) {
    auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    if (classProc == nullptr || classProc == &CWnd::StaticWndProc)
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    return CallWindowProcW(classProc, hwnd, msg, wParam, lParam);
  }
  const Message outer = wnd->current_;
  wnd->current_ = {msg, wParam, lParam};
  LRESULT result = 0;
  try {
    result = wnd->WindowProc(msg, wParam, lParam);
  } catch (...) {
    KeepHandlerFailure(std::current_exception());
    // The handler is gone; the platform still gets its say, so the window
    // stays consistent (a destroy still completes, a paint still validates).
    try {
      result = wnd->Default();
    } catch (...) {
      result = 0;
    }
  }
  wnd->current_ = outer;
  if (msg == WM_NCDESTROY && wnd->hwnd_ == hwnd) wnd->Unbind();
  return result;
}

LRESULT CWnd::Default() { return CallPrevious(current_.msg, current_.wParam, current_.lParam); }

LRESULT CWnd::CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (previous_ != nullptr) return CallWindowProcW(previous_, hwnd_, msg, wParam, lParam);
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// ---- Dispatch ------------------------------------------------------------------

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const UINT flags = UINT(wParam);
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(flags, PointFrom(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(flags, PointFrom(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(flags, PointFrom(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(flags, PointFrom(lParam));
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)) ? 1 : 0;
    case WM_NCHITTEST:
      return OnNcHitTest(PointFrom(lParam));
    case WM_SIZE:
      OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
      return 0;
    case WM_TIMER:
      OnTimer(UINT_PTR(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && OnChildDrawItem(*item)) return TRUE;
      return Default();
    }
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default();
  }
}

bool CWnd::OnEraseBkgnd(HDC) { return Default() != 0; }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
bool CWnd::OnSetCursor(HWND, UINT, UINT) { return Default() != 0; }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO&) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS&) { Default(); }
void CWnd::OnActivate(UINT, HWND, bool) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnCaptureChanged(HWND) { Default(); }
void CWnd::OnCommand(UINT, UINT, HWND) { Default(); }

bool CWnd::OnChildDrawItem(const DRAWITEMSTRUCT& item) {
  CWnd* child = FromHandle(item.hwndItem);
  if (child == nullptr || child == this) return false;
  return child->DrawItem(item);
}

// ---- Queries and changes ---------------------------------------------------------

RECT CWnd::GetClientRect() const {
  RECT r = {0, 0, 0, 0};
  if (hwnd_ != nullptr) ::GetClientRect(hwnd_, &r);
  return r;
}

RECT CWnd::GetWindowRect() const {
  RECT r = {0, 0, 0, 0};
  if (hwnd_ != nullptr) ::GetWindowRect(hwnd_, &r);
  return r;
}

RECT CWnd::GetChildRect(HWND child) const {
  RECT r = {0, 0, 0, 0};
  if (child == nullptr || hwnd_ == nullptr) return r;
  ::GetWindowRect(child, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

POINT CWnd::ClientToScreen(POINT p) const {
  ::ClientToScreen(hwnd_, &p);
  return p;
}

POINT CWnd::ScreenToClient(POINT p) const {
  ::ScreenToClient(hwnd_, &p);
  return p;
}

std::wstring CWnd::GetWindowText() const {
  const int n = GetWindowTextLengthW(hwnd_);
  if (n <= 0) return {};
  std::wstring text(size_t(n) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd_, text.data(), n + 1);
  text.resize(size_t(got > 0 ? got : 0));
  return text;
}

void CWnd::SetWindowText(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }

void CWnd::ModifyStyle(DWORD remove, DWORD add) {
  const DWORD style = (GetStyle() & ~remove) | add;
  SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR(style));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CWnd::ModifyStyleEx(DWORD remove, DWORD add) {
  const DWORD style = (GetExStyle() & ~remove) | add;
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, LONG_PTR(style));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(hwnd_, insertAfter, x, y, cx, cy, flags) != FALSE;
}

bool CWnd::MoveWindow(const RECT& r, bool repaint) {
  return ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      repaint ? TRUE : FALSE) != FALSE;
}

void CWnd::SetFont(HFONT font, bool redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void CWnd::Invalidate(bool erase) { ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }

void CWnd::InvalidateRect(const RECT& rect, bool erase) {
  ::InvalidateRect(hwnd_, &rect, erase ? TRUE : FALSE);
}

void CWnd::UpdateWindow() { ::UpdateWindow(hwnd_); }
void CWnd::RedrawWindow(UINT flags) { ::RedrawWindow(hwnd_, nullptr, nullptr, flags); }
void CWnd::ShowWindow(int command) { ::ShowWindow(hwnd_, command); }
void CWnd::EnableWindow(bool enable) { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
void CWnd::SetFocus() { ::SetFocus(hwnd_); }
void CWnd::SetCapture() { ::SetCapture(hwnd_); }
void CWnd::SetTimer(UINT_PTR id, UINT milliseconds) { ::SetTimer(hwnd_, id, milliseconds, nullptr); }
void CWnd::KillTimer(UINT_PTR id) { ::KillTimer(hwnd_, id); }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(hwnd_, msg, wParam, lParam);
}

bool CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageW(hwnd_, msg, wParam, lParam) != FALSE;
}

}  // namespace tessaro
