#include "ui/toolkit/static_controls_win.h"

#include <commctrl.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/frame_layout.h"
#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

namespace {

// The statics stand on the tool frame's pin-striped background; painting the
// same rows under them keeps them seamless without asking the parent.
void FillFrameBackground(HWND hwnd, HDC dc, const RECT& client) {
  const InterfaceSettings& ui = GetInterfaceSettings();
  POINT origin = {0, 0};
  if (HWND parent = ::GetParent(hwnd)) MapWindowPoints(hwnd, parent, &origin, 1);
  CDcSurface surface(dc);
  for (int32_t y = client.top; y < client.bottom; ++y) {
    surface.FillRect({client.left, y, client.right, y + 1},
                     StripeRowColor(ui.windowColor, ui.stripeContrast, y + origin.y));
  }
}

UINT AlignmentOf(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: return DT_CENTER;
    case SS_RIGHT: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

}  // namespace

// ---- CTranspStatic -----------------------------------------------------------------

bool CTranspStatic::OnEraseBkgnd(HDC) { return true; }

void CTranspStatic::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  FillFrameBackground(Hwnd(), dc.Handle(), client);
  const std::wstring text = GetWindowText();
  if (text.empty()) {
    if (HICON icon = GetIcon()) DrawIconEx(dc.Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  const uint32_t c = GetInterfaceSettings().windowColor;
  CSelectObject font(dc.Handle(), GetFont());
  dc.SetBkMode(TRANSPARENT);
  const UINT align = AlignmentOf(GetStyle()) | DT_NOPREFIX;
  RECT r = client;
  OffsetRect(&r, 1, 1);
  dc.SetTextColor(ShadeColor(c, 64));
  dc.DrawText(text, r, align | DT_WORDBREAK | DT_VCENTER);
  r = client;
  dc.SetTextColor(ShadeColor(c, -128));
  dc.DrawText(text, r, align | DT_SINGLELINE | DT_VCENTER);
}

// ---- CHyperLink --------------------------------------------------------------------

CHyperLink::~CHyperLink() {
  if (tooltip_ != nullptr && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
  if (IsWindow()) Detach();
  if (font_ != nullptr) DeleteObject(font_);
}

bool CHyperLink::SubclassDlgItem(int id, const CWnd& parent) {
  if (!AttachDlgItem(id, parent)) return false;
  ModifyStyle(0, SS_NOTIFY);
  if (address_.empty()) {
    const LinkTarget target = LinkTargetFromText(GetWindowText());
    address_ = target.address;
    if (target.plainText) style_ = kLinkNotALink;
  }
  MakeFont();
  if ((style_ & kLinkSizeToText) != 0) SizeToText();
  if ((style_ & (kLinkNoHandCursor | kLinkNotALink)) == 0)
    hand_ = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // the system hand
  if (!address_.empty() && EnsureCommonControls()) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(),
                               nullptr, ToolkitModule(), nullptr);
    if (tooltip_ != nullptr) {
      TOOLINFOW tool = {};
      tool.cbSize = sizeof(tool);
      tool.uFlags = TTF_SUBCLASS;
      tool.hwnd = Hwnd();
      tool.rect = GetClientRect();
      tool.lpszText = address_.data();
      ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  return true;
}

void CHyperLink::MakeFont() {
  LOGFONTW lf = {};
  HFONT base = GetFont();
  if (base == nullptr || GetObjectW(base, sizeof(lf), &lf) == 0) return;
  lf.lfUnderline = (style_ & kLinkUnderline) != 0 ? TRUE : FALSE;
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return;
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
}

void CHyperLink::SizeToText() {
  HDC dc = ::GetDC(Hwnd());
  if (dc == nullptr) return;
  const std::wstring text = GetWindowText();
  SIZE size = {0, 0};
  {
    CSelectObject font(dc, font_ != nullptr ? font_ : GetFont());
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  }
  ::ReleaseDC(Hwnd(), dc);
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::SetLinkText(const std::wstring& text) {
  SetWindowText(text);
  if ((style_ & kLinkSizeToText) != 0) SizeToText();
  Invalidate(false);
}

void CHyperLink::ModifyLinkStyle(uint32_t remove, uint32_t add, bool redraw) {
  style_ = (style_ & ~remove) | add;
  if (IsWindow()) {
    MakeFont();
    if ((style_ & kLinkSizeToText) != 0) SizeToText();
    if (redraw) Invalidate(false);
  }
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFONT: {
      // A new dialog font (a DPI change): the link's own copy follows.
      const LRESULT result = CStatic::WindowProc(msg, wParam, lParam);
      MakeFont();
      if ((style_ & kLinkSizeToText) != 0) SizeToText();
      return result;
    }
    case WM_SETFOCUS:
      focused_ = true;
      Invalidate(false);
      break;
    case WM_KILLFOCUS:
      focused_ = false;
      Invalidate(false);
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        Follow();
        return 0;
      }
      break;
    default:
      break;
  }
  return CStatic::WindowProc(msg, wParam, lParam);
}

bool CHyperLink::OnEraseBkgnd(HDC) { return true; }

void CHyperLink::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  if ((style_ & kLinkNoErase) != 0) {
    FillFrameBackground(Hwnd(), dc.Handle(), client);
  } else {
    dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  }
  uint32_t color = GetSysColor(COLOR_WINDOWTEXT);
  LinkTextColor(style_, hovered_, focused_, visited_, color);
  CSelectObject font(dc.Handle(), font_ != nullptr ? font_ : GetFont());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(color);
  RECT r = client;
  dc.DrawText(GetWindowText(), r, AlignmentOf(GetStyle()) | DT_NOPREFIX | DT_WORDBREAK);
}

void CHyperLink::OnMouseMove(UINT, POINT p) {
  const RECT r = GetClientRect();
  const bool inside = PtInRect(&r, p) != FALSE;
  if (inside && !hovered_) {
    hovered_ = true;
    SetCapture();
    Invalidate(false);
  } else if (!inside && hovered_) {
    hovered_ = false;
    if (::GetCapture() == Hwnd()) ReleaseCapture();
    Invalidate(false);
  }
}

void CHyperLink::OnLButtonDown(UINT, POINT) {
  if ((style_ & kLinkFocusOnPress) != 0) SetFocus();
  if ((style_ & kLinkFollowOnPress) != 0) Follow();
  pressed_ = true;
}

void CHyperLink::OnLButtonUp(UINT, POINT) {
  const bool follow = pressed_ && (style_ & kLinkFollowOnPress) == 0;
  pressed_ = false;
  if (follow) Follow();
}

bool CHyperLink::OnSetCursor(HWND over, UINT hitTest, UINT mouseMessage) {
  if (hand_ != nullptr) {
    ::SetCursor(hand_);
    return true;
  }
  return CStatic::OnSetCursor(over, hitTest, mouseMessage);
}

bool CHyperLink::OpenAddress() {
  const auto shell = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", address_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (shell > 32) return true;
  // No association for the address itself: start the program that opens
  // web pages with it.
  wchar_t kind[256] = {};
  LONG size = sizeof(kind);
  if (RegQueryValueW(HKEY_CLASSES_ROOT, L".htm", kind, &size) == ERROR_SUCCESS) {
    const std::wstring key = std::wstring(kind) + L"\\shell\\open\\command";
    std::vector<wchar_t> command(1024, L'\0');
    size = LONG(command.size() * sizeof(wchar_t));
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), command.data(), &size) == ERROR_SUCCESS) {
      std::wstring line = BrowserCommandLine(command.data(), address_);
      STARTUPINFOW startup = {};
      startup.cb = sizeof(startup);
      PROCESS_INFORMATION process = {};
      if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
      }
    }
  }
  MessageBeep(MB_ICONEXCLAMATION);
  const std::wstring text = L"Can't open link:\n\n" + LinkOpenFailureText(shell);
  MessageBoxW(Hwnd(), text.c_str(), L"", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void CHyperLink::Follow() {
  if (address_.empty()) {
    if (HWND parent = GetParent())
      ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), 0);
    return;
  }
  if (OpenAddress()) {
    visited_ = true;
    Invalidate(false);
  }
}

// ---- CBitmapView -------------------------------------------------------------------

CBitmapView::~CBitmapView() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void CBitmapView::SetBitmap(HBITMAP bitmap, int width, int height) {
  if (bitmap_ != nullptr && bitmap_ != bitmap) DeleteObject(bitmap_);
  bitmap_ = bitmap;
  width_ = width;
  height_ = height;
  if (IsWindow()) Invalidate(false);
}

bool CBitmapView::LoadFromResource(int id, const wchar_t* type) {
  HBITMAP decoded = nullptr;
  int w = 0, h = 0;
  HMODULE module = ToolkitModule();
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = info != nullptr ? SizeofResource(module, info) : 0;
  if (bytes != nullptr && size > 0) {
    // The loader wants a stream over memory it may keep; give it a copy.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* to = copy != nullptr ? GlobalLock(copy) : nullptr) {
      memcpy(to, bytes, size);
      GlobalUnlock(copy);
      IStream* stream = nullptr;
      if (SUCCEEDED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        copy = nullptr;  // the stream frees it
        IPicture* picture = nullptr;
        if (SUCCEEDED(OleLoadPicture(stream, LONG(size), FALSE, IID_IPicture,
                                     reinterpret_cast<void**>(&picture)))) {
          OLE_HANDLE handle = 0;
          if (SUCCEEDED(picture->get_Handle(&handle))) {
            decoded = static_cast<HBITMAP>(
                CopyImage(reinterpret_cast<HANDLE>(UINT_PTR(handle)), IMAGE_BITMAP, 0, 0, 0));
            BITMAP bm = {};
            if (decoded != nullptr && GetObjectW(decoded, sizeof(bm), &bm) != 0) {
              w = bm.bmWidth;
              h = bm.bmHeight;
            }
          }
          picture->Release();
        }
        stream->Release();
      }
    }
    if (copy != nullptr) GlobalFree(copy);
  }
  if (decoded == nullptr) {
    MessageBoxW(IsWindow() ? Hwnd() : nullptr, L"Image load error", L"Error", MB_OK);
    return false;
  }
  SetBitmap(decoded, w, h);
  return true;
}

bool CBitmapView::OnEraseBkgnd(HDC) { return true; }

void CBitmapView::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  dc.FillSolidRect(client, background_);
  DrawPicture(dc, client);
}

void CBitmapView::DrawPicture(CDC& dc, const RECT& to) const {
  if (bitmap_ == nullptr || width_ <= 0 || height_ <= 0) return;
  HDC source = CreateCompatibleDC(dc.Handle());
  if (source == nullptr) return;
  {
    CSelectObject select(source, bitmap_);
    if (centered_) {
      const int x = to.left + (to.right - to.left - width_) / 2;
      const int y = to.top + (to.bottom - to.top - height_) / 2;
      dc.BitBlt({x, y, x + width_, y + height_}, source, {0, 0});
    } else {
      dc.StretchBlt(to, source, {0, 0, width_, height_});
    }
  }
  DeleteDC(source);
}

}  // namespace tessaro
