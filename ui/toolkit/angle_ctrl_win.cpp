#include "ui/toolkit/angle_ctrl_win.h"

#include <cmath>
#include <string>

#include "image/dib.h"
#include "image/rounding.h"
#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

namespace {

const wchar_t kDegreeSign[] = L"\u00B0";

// Shared by every dial: a second dial does not react to the position the
// first one has just handled.
POINT g_lastDialPoint = {0, 0};

}  // namespace

void CAngleCtrl::SetAngle(double radians) {
  angle_ = std::isfinite(radians) ? radians : 0.0;
  if (IsWindow()) Invalidate(false);
}

int32_t CAngleCtrl::Degrees() const { return RadiansToDegrees(angle_); }

void CAngleCtrl::SetColors(uint32_t background, uint32_t foreground) {
  background_ = background & 0xFFFFFFu;
  foreground_ = foreground & 0xFFFFFFu;
  if (IsWindow()) Invalidate(false);
}

bool CAngleCtrl::OnEraseBkgnd(HDC) { return true; }

void CAngleCtrl::OnLButtonDown(UINT, POINT p) {
  dragging_ = true;
  SetCapture();
  Track(p);
}

void CAngleCtrl::OnLButtonUp(UINT, POINT) {
  if (!dragging_) return;
  dragging_ = false;
  if (::GetCapture() == Hwnd()) ReleaseCapture();
}

void CAngleCtrl::OnMouseMove(UINT, POINT p) {
  if (dragging_) Track(p);
}

void CAngleCtrl::Track(POINT p) {
  if (p.x == g_lastDialPoint.x && p.y == g_lastDialPoint.y) return;
  g_lastDialPoint = p;
  const ClientSize size = GetClientSize();
  angle_ = DegreesToRadians(DialDegreesAt(p.x, p.y, size.width, size.height));
  Invalidate(false);
  if (HWND parent = GetParent()) {
    ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                 reinterpret_cast<LPARAM>(Hwnd()));
  }
}

void CAngleCtrl::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  const DibRect inner = {client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  HFONT font = GetFont();

  int32_t halfWidth = 0;
  {
    CSelectObject selectFont(dc.Handle(), font);
    halfWidth = dc.GetTextExtent(std::wstring(L"360") + kDegreeSign).cx / 2;
  }
  CDib picture;
  PaintDialPicture(picture, inner, angle_, background_, foreground_, halfWidth);
  if (HDC pictureDc = static_cast<HDC>(picture.GetDC())) {
    CDC text(pictureDc);
    CSelectObject selectFont(pictureDc, font);
    text.SetBkMode(TRANSPARENT);
    text.SetTextColor(foreground_);
    RECT r = {0, 0, picture.Width(), picture.Height()};
    text.DrawText(std::to_wstring(Degrees()) + kDegreeSign, r,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    picture.ReleaseDC();
  }
  picture.Draw(dc.Handle(), {inner.left, inner.top, inner.left + picture.Width(),
                             inner.top + picture.Height()});
  CDcSurface surface(dc.Handle());
  surface.Draw3dRect(ToDibRect(client), ShadeColor(background_, -48), ShadeColor(background_, 48));
}

}  // namespace tessaro
