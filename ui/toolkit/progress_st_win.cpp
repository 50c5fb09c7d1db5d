#include "ui/toolkit/progress_st_win.h"

#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

void CProgressST::SetColors(uint32_t track, uint32_t bar) {
  trackColor_ = track & 0xFFFFFFu;
  barColor_ = bar & 0xFFFFFFu;
  ModifyStyleEx(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 0);
  Invalidate(false);
}

bool CProgressST::OnEraseBkgnd(HDC) { return true; }

void CProgressST::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  int low = 0, high = 0;
  GetRange(low, high);
  CDcSurface surface(dc.Handle());
  // An empty range would paint nothing over a stale picture; show the track.
  if (high <= low) {
    surface.FillRect(ToDibRect(client), trackColor_);
    return;
  }
  PaintProgressBar(surface, client.right, client.bottom, low, high, GetPos(), trackColor_,
                   barColor_);
}

}  // namespace tessaro
