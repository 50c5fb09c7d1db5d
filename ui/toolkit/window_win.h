// CWnd: one object per window handle.  Binding an object to a window (by
// subclassing a template's item, or when a dialog is created) routes the
// window's messages to the object's virtual handlers; a handler that wants the
// platform's behaviour calls Default(), and every message without a handler
// goes to the window's previous procedure.
//
// Objects must outlive their windows' message handling: destroying an object
// whose window still exists first unbinds it (no handler runs on a half
// destroyed object), then destroys the window if the object created it.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "i18n/utf16.h"
#include "image/dib.h"
#include "ui/toolkit/frame_layout.h"

namespace tessaro {

// The module holding this code: the plug-in when it is loaded by a host, the
// program otherwise.  Templates, cursors and accelerators are loaded from it.
HINSTANCE ToolkitModule();

// Conversions between the platform's rectangle and ours; both have exclusive
// right and bottom edges.
inline DibRect ToDibRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const DibRect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline ClientSize SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }


class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The object bound to hwnd, or null.
  static CWnd* FromHandle(HWND hwnd);

  HWND Hwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }

  // Subclasses an existing window.  Fails for a null handle, a window already
  // bound to an object, or when this object is bound already.
  bool Attach(HWND hwnd);
  // Binds the template item id of parent, so the template stays the one place
  // that lays the control out.
  bool AttachDlgItem(int id, const CWnd& parent);
  // Gives the window back its previous procedure; the window stays.
  HWND Detach();
  void DestroyWindow();

  // ---- Queries -------------------------------------------------------------
  RECT GetClientRect() const;
  ClientSize GetClientSize() const { return SizeOf(GetClientRect()); }
  RECT GetWindowRect() const;  // screen coordinates
  // A child's window rectangle in this window's client coordinates.
  RECT GetChildRect(HWND child) const;
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;
  HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd_); }
  HWND GetParent() const { return ::GetParent(hwnd_); }
  std::wstring GetWindowText() const;
  DWORD GetStyle() const { return DWORD(::GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
  DWORD GetExStyle() const { return DWORD(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)); }
  bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
  bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
  bool IsActive() const { return hwnd_ != nullptr && ::GetActiveWindow() == hwnd_; }

  // ---- Changes ----------------------------------------------------------------
  void SetWindowText(const std::wstring& text);
  // Style changes take effect on the frame at once (the platform caches it).
  void ModifyStyle(DWORD remove, DWORD add);
  void ModifyStyleEx(DWORD remove, DWORD add);
  bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  bool MoveWindow(const RECT& rect, bool repaint = true);
  void SetFont(HFONT font, bool redraw = true);
  void Invalidate(bool erase = true);
  void InvalidateRect(const RECT& rect, bool erase = true);
  void UpdateWindow();
  void RedrawWindow(UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  void ShowWindow(int command);
  void EnableWindow(bool enable);
  void SetFocus();
  void SetCapture();
  // Setting an id that is already running restarts it.
  void SetTimer(UINT_PTR id, UINT milliseconds);
  void KillTimer(UINT_PTR id);
  LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const;
  bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const;

 protected:
  // Every message of the bound window arrives here first.  Overriding it is
  // for the rare message without a handler below; call the base for the rest.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // The platform's handling of the message being processed.
  LRESULT Default();
  // The platform's handling of another message (the window's previous
  // procedure); for handlers that pass on a changed message.
  LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam);

  // Handlers.  Each default passes the message on; results follow the
  // platform's meaning of each message.
  virtual void OnPaint() { Default(); }
  virtual bool OnEraseBkgnd(HDC dc);
  virtual void OnLButtonDown(UINT flags, POINT p);
  virtual void OnLButtonUp(UINT flags, POINT p);
  virtual void OnLButtonDblClk(UINT flags, POINT p);
  virtual void OnMouseMove(UINT flags, POINT p);
  virtual bool OnSetCursor(HWND over, UINT hitTest, UINT mouseMessage);
  virtual LRESULT OnNcHitTest(POINT screen);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnGetMinMaxInfo(MINMAXINFO& info);
  virtual void OnWindowPosChanging(WINDOWPOS& pos);
  virtual void OnActivate(UINT state, HWND other, bool minimized);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnCaptureChanged(HWND newCapture);
  virtual void OnCommand(UINT id, UINT code, HWND control);
  virtual void OnDestroy() { Default(); }
  // Owner-drawn children paint themselves: the parent hands the request to
  // the child's object (DrawItem).  Return false to let the platform have it.
  virtual bool OnChildDrawItem(const DRAWITEMSTRUCT& item);
  // The paint request of an owner-drawn control; true when it painted.
  virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

  // Whoever created the window says so, and the object then destroys the
  // window when it goes first.
  void SetOwnsWindow(bool owns) { ownsWindow_ = owns; }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void Bind(HWND hwnd, WNDPROC previous);
  void Unbind();

  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  Message current_ = {};
  bool ownsWindow_ = false;
};

// ---- Failures inside handlers ---------------------------------------------------
// Exceptions must not cross the platform's frames.  A handler's exception is
// kept here; the innermost modal loop ends and rethrows it to its caller.
// Outside a modal loop it is written to the debug output and dropped.
void KeepHandlerFailure(std::exception_ptr failure);
std::exception_ptr TakeHandlerFailure();
bool HasHandlerFailure();

// Marks a running modal loop for as long as it lives.
class CModalLoopScope {
 public:
  CModalLoopScope();
  ~CModalLoopScope();
  CModalLoopScope(const CModalLoopScope&) = delete;
  CModalLoopScope& operator=(const CModalLoopScope&) = delete;
};

}  // namespace tessaro
