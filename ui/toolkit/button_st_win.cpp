#include "ui/toolkit/button_st_win.h"

#include <string>

#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/mem_dc_win.h"
#include "ui/toolkit/toolkit_icons_win.h"

namespace tessaro {

namespace {

// The swatch's frames: a sunken outer frame and a dark outline that turns
// black while hovered or pressed.
BorderTable SwatchBorders() {
  return {{{-64, 48, -128, -128, 0, 0}, {-64, 48, -255, -255, 0, 0}, {-64, 48, -255, -255, 0, 0}}};
}

bool PointerInside(HWND hwnd) {
  POINT p = {0, 0};
  if (!GetCursorPos(&p)) return false;
  ScreenToClient(hwnd, &p);
  RECT r;
  GetClientRect(hwnd, &r);
  return PtInRect(&r, p) != FALSE;
}

}  // namespace

// ---- CButtonST -------------------------------------------------------------------

CButtonST::~CButtonST() { DestroyIcons(); }

bool CButtonST::SubclassDlgItem(int id, const CWnd& parent) {
  if (!AttachDlgItem(id, parent)) return false;
  const InterfaceSettings& ui = GetInterfaceSettings();
  background_ = ui.controlColor;
  hoverBackground_ = ShadeColor(ui.controlColor, 16);
  textColor_ = hoverTextColor_ = GetSysColor(COLOR_BTNTEXT) & 0xFFFFFFu;
  SetButtonType(BS_OWNERDRAW, false);
  Invalidate(false);
  return true;
}

void CButtonST::SetColor(uint32_t color, bool redraw) {
  background_ = color & 0xFFFFFFu;
  hoverBackground_ = ShadeColor(color, 25);
  textColor_ = hoverTextColor_ = ButtonTextColorFor(color);
  if (redraw && IsWindow()) Invalidate(false);
}

void CButtonST::SetHoverColor(uint32_t color, bool redraw) {
  hoverBackground_ = color & 0xFFFFFFu;
  if (redraw && IsWindow()) Invalidate(false);
}

void CButtonST::SetCheck(int state, bool redraw) {
  check_ = state;
  StartAnimation(state != 0 ? 1 : -1);
  if (redraw && IsWindow()) Invalidate(false);
}

void CButtonST::SetIcon(int id, int hoverId, int width, int height) {
  DestroyIcons();
  iconId_ = id;
  hoverIconId_ = hoverId;
  iconWidth_ = width;
  iconHeight_ = height;
  icon_ = LoadToolkitIcon(id, width, height);
  hoverIcon_ = hoverId != 0 ? LoadToolkitIcon(hoverId, width, height) : nullptr;
  HWND parent = IsWindow() ? GetParent() : nullptr;
  if (IsVisible() && parent != nullptr && IsWindowVisible(parent))
    RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
}

void CButtonST::ResizeIcons(int width, int height) {
  if (icon_ == nullptr && hoverIcon_ == nullptr) return;
  SetIcon(iconId_, hoverIconId_, width, height);
}

void CButtonST::DestroyIcons() {
  if (hoverIcon_ != nullptr) DestroyIcon(hoverIcon_);
  if (icon_ != nullptr) DestroyIcon(icon_);
  icon_ = hoverIcon_ = nullptr;
}

void CButtonST::PostNotice() {
  if (HWND parent = GetParent()) {
    ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                 reinterpret_cast<LPARAM>(Hwnd()));
  }
}

void CButtonST::StartAnimation(int32_t direction) {
  animation_.direction = direction;
  if (IsWindow()) SetTimer(kAnimateTimer, kAnimateMs);
}

LRESULT CButtonST::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KILLFOCUS) {
    hovered_ = false;
    Invalidate(false);
  }
  return CButton::WindowProc(msg, wParam, lParam);
}

void CButtonST::OnMouseMove(UINT flags, POINT p) {
  Default();
  if (!IsEnabled() || hovered_ || (flags & MK_LBUTTON) != 0) return;
  hovered_ = true;
  SetTimer(kLeaveTimer, kLeaveMs);
  StartAnimation(1);
  Invalidate(false);
  (void)p;
}

void CButtonST::OnLButtonUp(UINT, POINT) {
  Default();
  if (IsWindow()) SetTimer(kLeaveTimer, kLeaveMs);
}

void CButtonST::OnTimer(UINT_PTR id) {
  if (id == kLeaveTimer) {
    if (PointerInside(Hwnd())) return;
    hovered_ = false;
    KillTimer(kLeaveTimer);
    if (check_ == 0) StartAnimation(-1);
    Invalidate(false);
    return;
  }
  if (id == kAnimateTimer) {
    if (!animation_.Tick()) KillTimer(kAnimateTimer);
    Invalidate(false);
    return;
  }
  CButton::OnTimer(id);
}

void CButtonST::PaintIcon(HDC dc, const RECT& place, bool hot, bool disabled, uint32_t face) const {
  HICON icon = hot && hoverIcon_ != nullptr ? hoverIcon_ : icon_;
  if (icon == nullptr) return;
  if (!disabled) {
    DrawIconEx(dc, place.left, place.top, icon, iconWidth_, iconHeight_, 0, nullptr, DI_NORMAL);
    return;
  }
  // Embossed: a light copy one pixel down-right under a dark one.
  HBRUSH light = CreateSolidBrush(ShadeColor(face, 32));
  HBRUSH dark = CreateSolidBrush(ShadeColor(face, -64));
  DrawStateW(dc, light, nullptr, reinterpret_cast<LPARAM>(icon), 0, place.left + 1, place.top + 1,
             iconWidth_, iconHeight_, DST_ICON | DSS_MONO);
  DrawStateW(dc, dark, nullptr, reinterpret_cast<LPARAM>(icon), 0, place.left, place.top,
             iconWidth_, iconHeight_, DST_ICON | DSS_MONO);
  DeleteObject(light);
  DeleteObject(dark);
}

bool CButtonST::DrawItem(const DRAWITEMSTRUCT& item) {
  const RECT r = item.rcItem;
  CMemDCEx dc(item.hDC, &r);
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool pressedLook = (check_ != 0) != pressed;
  const uint32_t face = ButtonFaceColor(background_, FaceHoverColor(), animation_.step);
  const ButtonLook look = ButtonLookFor(check_ != 0, pressed, hovered_, animation_.step);
  CDcSurface surface(dc.Handle());
  DrawStyledBar(surface, ToDibRect(r), face, look.state, look.blend);

  const std::wstring text = drawText_ ? GetWindowText() : std::wstring();
  CSelectObject font(dc.Handle(), font_ != nullptr ? font_ : GetFont());
  RECT textRect = r;
  const int shift = pressedLook ? 1 : 0;
  if (icon_ != nullptr) {
    RECT place;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (text.empty()) {
      place.left = r.left + (w - iconWidth_) / 2;
      place.top = r.top + (h - iconHeight_) / 2;
    } else if (iconPlacement_ == 0) {
      place.left = r.left + WindowSkinMetrics(Hwnd()).buttonIconGap;
      place.top = r.top + (h - iconHeight_) / 2;
      textRect.left = place.left + iconWidth_;
    } else if (iconPlacement_ == 1) {
      place.left = r.left + (w - iconWidth_) / 2;
      place.top = r.top + 2;
      textRect.top = place.top + iconHeight_;
    } else {
      place.left = r.left;
      place.top = r.top;
    }
    place.left += shift;
    place.top += shift;
    place.right = place.left + iconWidth_;
    place.bottom = place.top + iconHeight_;
    PaintIcon(dc.Handle(), place, hovered_ || pressed, disabled, face);
  }

  if (!text.empty()) {
    const bool leftAligned = (GetStyle() & BS_CENTER) == BS_LEFT;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (leftAligned) {
      textRect.left += 3;
    } else {
      format |= DT_CENTER;
    }
    OffsetRect(&textRect, shift, shift);
    dc.SetBkMode(TRANSPARENT);
    if (disabled) {
      dc.SetTextColor(ShadeColor(face, 48));
      dc.DrawText(text, textRect, format);
      OffsetRect(&textRect, -1, -1);
      dc.SetTextColor(ShadeColor(face, -80));
      dc.DrawText(text, textRect, format);
    } else {
      dc.SetTextColor((hovered_ || pressed) ? hoverTextColor_ : textColor_);
      dc.DrawText(text, textRect, format);
    }
  }

  if (drawFocus_ && (item.itemState & ODS_FOCUS) != 0) {
    RECT focus = r;
    InflateRect(&focus, -2, -2);
    dc.DrawFocusRect(focus);
  }
  return true;
}

// ---- CColorButton ----------------------------------------------------------------

void CColorButton::SetColor(uint32_t color, bool redraw) { CButtonST::SetColor(color, redraw); }

bool CColorButton::Inside(POINT p) const {
  const RECT r = GetClientRect();
  return PtInRect(&r, p) != FALSE;
}

bool CColorButton::DrawItem(const DRAWITEMSTRUCT& item) {
  const int32_t style = GetInterfaceSettings().buttonStyle;
  SetButtonStyle(kButtonStyleFlat);
  bool painted = false;
  {
    CScopedBorderTable borders(SwatchBorders());
    painted = CButtonST::DrawItem(item);
  }
  SetButtonStyle(style);
  return painted;
}

void CColorButton::OnLButtonDown(UINT, POINT) {
  pressState_ = -1;
  clicked_ = false;
  pressColor_ = background_;
  Default();
}

void CColorButton::OnMouseMove(UINT flags, POINT p) {
  if ((flags & MK_LBUTTON) != 0) {
    if (pressState_ != -1) {
      pressColor_ = background_;
      clicked_ = false;
      pressState_ = -1;
    }
    if (Inside(p)) {
      SetColor(pressColor_);
      ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    } else {
      const POINT screen = ClientToScreen(p);
      HDC desktop = ::GetDC(nullptr);
      const COLORREF under = GetPixel(desktop, screen.x, screen.y);
      ::ReleaseDC(nullptr, desktop);
      if (under != CLR_INVALID) SetColor(under & 0xFFFFFFu);
      ::SetCursor(LoadToolkitCursor(kEyedropperCursorId, WindowSkinMetrics(Hwnd()).cursor));
    }
    PostNotice();
  }
  CButtonST::OnMouseMove(flags, p);
}

void CColorButton::OnLButtonUp(UINT flags, POINT p) {
  if (Inside(p)) {
    SetColor(pressColor_);
    pressState_ = 1;
  } else {
    pressState_ = 0;
    PostNotice();
  }
  // Set before the click notice goes out, so its handler reads it.
  clicked_ = pressState_ == 1;
  CButtonST::OnLButtonUp(flags, p);
}

}  // namespace tessaro
