#include "ui/dialog/preview_bitmap_win.h"

#include <algorithm>

#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

bool CPreviewBitmap::SetImage(CDib* viewImage, PreviewRect& imageRect, bool keepCentre) {
  const ClientSize size = GetClientSize();
  const bool ok = view_.SetImage(viewImage, imageRect, keepCentre, size.width, size.height);
  if (IsWindow()) Invalidate(false);
  return ok;
}

bool CPreviewBitmap::OnEraseBkgnd(HDC) { return true; }

bool CPreviewBitmap::DrawItem(const DRAWITEMSTRUCT& item) {
  const RECT r = item.rcItem;
  CMemDCEx dc(item.hDC, &r);
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  dc.FillSolidRect(r, background_);

  const CDib* viewImage = view_.ViewImage();
  CDib picture;
  if (viewImage != nullptr && ComposePreviewPicture(*viewImage, background_, picture)) {
    const PreviewPlacement at = PlacePreview(w, h, picture.Width(), picture.Height());
    // Only the part inside the pane is copied.
    const int32_t left = std::max(at.left, 0), top = std::max(at.top, 0);
    const int32_t right = std::min(at.left + picture.Width(), w);
    const int32_t bottom = std::min(at.top + picture.Height(), h);
    if (left < right && top < bottom) {
      const DibRect to = {r.left + left, r.top + top, r.left + right, r.top + bottom};
      const DibRect from = {left - at.left, top - at.top, right - at.left, bottom - at.top};
      picture.Draw(dc.Handle(), to, from);
    }
  } else {
    HWND parent = GetParent();
    HFONT font = parent != nullptr
                     ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0))
                     : nullptr;
    CSelectObject selectFont(dc.Handle(), font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    RECT text = r;
    dc.DrawText(waitingText_, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
  dc.Draw3dRect(r, ShadeColor(background_, -48), ShadeColor(background_, 48));
  return true;
}

void CPreviewBitmap::OnLButtonDown(UINT, POINT p) {
  if (view_.BeginDrag(p.x, p.y)) SetCapture();
  Default();
}

void CPreviewBitmap::OnMouseMove(UINT, POINT p) {
  if (!view_.DragTo(p.x, p.y)) {
    Default();
    return;
  }
  if (HWND parent = GetParent()) {
    ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Hwnd()));
  }
}

void CPreviewBitmap::OnLButtonUp(UINT, POINT) {
  view_.EndDrag();
  if (::GetCapture() == Hwnd()) ReleaseCapture();
  Default();
}

void CPreviewBitmap::OnCaptureChanged(HWND newCapture) {
  // Switching windows mid-drag takes the capture away; without it the pane
  // would never see the button go up and would pan on every later move.
  if (newCapture != Hwnd()) view_.EndDrag();
  CButton::OnCaptureChanged(newCapture);
}

}  // namespace tessaro
