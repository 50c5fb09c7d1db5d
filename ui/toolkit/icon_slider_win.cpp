#include "ui/toolkit/icon_slider_win.h"

#include <string>

#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/frame_layout.h"
#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

void CIconSlider::SetColors(uint32_t track, uint32_t thumb) {
  trackColor_ = track & 0xFFFFFFu;
  thumbColor_ = thumb & 0xFFFFFFu;
  ModifyStyle(WS_TABSTOP, 0);
  Invalidate(false);
}

void CIconSlider::SetRangeAndPos(int32_t minimum, int32_t maximum, int32_t position) {
  const bool rangeChanged = GetRangeMin() != minimum || GetRangeMax() != maximum;
  if (rangeChanged) SetRange(minimum, maximum, false);
  if (GetPos() != position && !dragging_) {
    SetPos(position, true);
    Invalidate(false);
  } else if (rangeChanged) {
    Invalidate(false);
  }
  PostNotice();
}

SliderState CIconSlider::State() const {
  const ClientSize size = GetClientSize();
  SliderState s;
  s.width = size.width;
  s.height = size.height;
  s.minimum = GetRangeMin();
  s.maximum = GetRangeMax();
  s.position = GetPos();
  s.pageSize = GetPageSize();
  const SkinMetrics metrics = WindowSkinMetrics(Hwnd());
  s.arrowSize = metrics.sliderArrow;
  s.thumbLength = metrics.sliderThumb;
  s.dpi = metrics.dpi;
  return s;
}

void CIconSlider::PostNotice() {
  HWND parent = GetParent();
  if (parent == nullptr) return;
  ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                 reinterpret_cast<LPARAM>(Hwnd()));
}

std::wstring CIconSlider::ValueText() const {
  std::wstring text = format_;
  const size_t at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(GetPos()));
  return text;
}

LRESULT CIconSlider::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_HSCROLL: {
      const LRESULT result = Default();
      PostNotice();
      Invalidate(false);
      return result;
    }
    default:
      return CSliderCtrl::WindowProc(msg, wParam, lParam);
  }
}

bool CIconSlider::OnEraseBkgnd(HDC) { return false; }

void CIconSlider::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  const SliderState s = State();
  CDcSurface surface(dc.Handle());
  PaintSliderBody(surface, s, trackColor_, thumbColor_, IsHoveringThumb(), IsEnabled());

  const DibRect thumb = SliderThumbRect(s);
  if (thumb.right <= thumb.left) return;
  HWND parent = GetParent();
  HFONT font = parent != nullptr
                   ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0))
                   : nullptr;
  CSelectObject selectFont(dc.Handle(), font);
  const std::wstring text = ValueText();
  const SIZE extent = dc.GetTextExtent(text);
  // A value that does not fit is better left out than clipped to a wrong number.
  if (extent.cx >= thumb.right - thumb.left || extent.cy >= thumb.bottom - thumb.top) return;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  RECT r = ToRect(thumb);
  dc.DrawText(text, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

bool CIconSlider::StepAt(int32_t x) {
  int32_t delta = 0;
  const SliderState s = State();
  if (!SliderStepAt(s, x, delta)) return false;
  const int64_t target = int64_t(s.position) + delta;
  SetPos(int32_t(target < INT32_MIN ? INT32_MIN : target > INT32_MAX ? INT32_MAX : target), true);
  PostNotice();
  Invalidate(false);
  return true;
}

void CIconSlider::OnLButtonDown(UINT, POINT p) {
  const SliderState s = State();
  if (s.thumbLength != 0 && PointInRect(SliderThumbRect(s), p.x, p.y)) {
    dragging_ = true;
    dragOffset_ = SliderDragOffset(s, p.x);
    // Normally held already since the pointer hovers the thumb; a press that
    // arrives without a move first must still follow the pointer outside.
    if (::GetCapture() != Hwnd()) SetCapture();
  } else if (StepAt(p.x)) {
    SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  } else {
    Default();
  }
  Invalidate(false);
}

void CIconSlider::OnTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(kRepeatDelayTimer);
    SetTimer(kRepeatTimer, kRepeatMs);
    return;
  }
  if (id == kRepeatTimer) {
    POINT cursor = {0, 0};
    if (GetCursorPos(&cursor)) StepAt(ScreenToClient(cursor).x);
    return;
  }
  CSliderCtrl::OnTimer(id);
}

void CIconSlider::OnMouseMove(UINT, POINT p) {
  Default();
  const SliderState s = State();
  const bool over = s.thumbLength != 0 && PointInRect(SliderThumbRect(s), p.x, p.y);
  if (over && !IsHoveringThumb()) {
    hover_ |= 1u;
    if (!dragging_) SetCapture();
    Invalidate(false);
  } else if (!over && IsHoveringThumb()) {
    hover_ &= ~1u;
    if (!dragging_) ReleaseCapture();
    Invalidate(false);
  }
  if (!dragging_) return;
  const int32_t pos = SliderDragPosition(s, p.x, dragOffset_);
  if (pos != s.position) {
    SetPos(pos, true);
    PostNotice();
    Invalidate(false);
  }
}

void CIconSlider::OnLButtonUp(UINT, POINT) {
  KillTimer(kRepeatTimer);
  KillTimer(kRepeatDelayTimer);
  Default();
  const bool wasDragging = dragging_;
  dragging_ = false;
  if (wasDragging && !IsHoveringThumb() && ::GetCapture() == Hwnd()) ReleaseCapture();
  Invalidate(false);
  SetFocus();
}

void CIconSlider::OnCaptureChanged(HWND newCapture) {
  if (hover_ != 0) {
    hover_ = 0;
    if (::GetCapture() == Hwnd() && newCapture != Hwnd()) ReleaseCapture();
    Invalidate(false);
  }
  CSliderCtrl::OnCaptureChanged(newCapture);
}

}  // namespace tessaro
