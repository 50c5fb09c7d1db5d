#include "ui/toolkit/resizable_dialog_win.h"

#include <cwchar>

#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/skin_metrics.h"

namespace tessaro {

namespace {

bool IsClass(HWND control, const wchar_t* name) {
  wchar_t buffer[32] = {};
  GetClassNameW(control, buffer, int(sizeof(buffer) / sizeof(buffer[0])));
  return _wcsicmp(buffer, name) == 0;
}

// Statics that draw text, or centre their picture, repaint their whole area
// on every size change; others only the uncovered part.
bool StaticNeedsRefresh(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  if (type == SS_SIMPLE) return false;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || (style & SS_CENTERIMAGE) != 0;
}

struct Move {
  HWND control;
  RECT rect;
  UINT flags;
};

}  // namespace

bool CResizableDialog::OnInitDialog() {
  const bool result = CDialog::OnInitDialog();
  UpdateGripRect();
  minimumTrack_ = SizeOf(GetWindowRect());
  initialised_ = true;
  return result;
}

void CResizableDialog::AnchorControl(HWND control, Anchor topLeft, Anchor bottomRight) {
  if (control == nullptr || Hwnd() == nullptr) return;
  const DWORD style = DWORD(GetWindowLongPtrW(control, GWL_STYLE));
  // Check boxes, radio buttons and group boxes overlap their neighbours'
  // transparent parts; clipping keeps a move from painting over them.
  if (IsClass(control, L"BUTTON") && (style & 0x7) != 0)
    SetWindowLongPtrW(control, GWL_STYLE, LONG_PTR(style | WS_CLIPSIBLINGS));
  Layout entry;
  entry.control = control;
  entry.listBox = IsClass(control, L"LISTBOX");
  entry.refresh = IsClass(control, L"STATIC") && StaticNeedsRefresh(style);
  entry.placement =
      MeasureAnchoredControl(GetClientSize(), ToDibRect(GetChildRect(control)), topLeft, bottomRight);
  layout_.push_back(entry);
}

void CResizableDialog::UpdateGripRect() {
  grip_ = ToRect(GripRect(GetClientSize(), GetSystemMetrics(SM_CXVSCROLL),
                          GetSystemMetrics(SM_CYHSCROLL)));
}

void CResizableDialog::ShowGrip(bool show) {
  if (show == showGrip_) return;
  showGrip_ = show;
  InvalidateRect(grip_, true);
}

void CResizableDialog::LayoutControls() {
  if (showGrip_) {
    InvalidateRect(grip_, true);
    UpdateGripRect();
    InvalidateRect(grip_, true);
  }

  const ClientSize client = GetClientSize();
  std::vector<Move> moves;
  for (Layout& entry : layout_) {
    if (!::IsWindow(entry.control)) continue;
    const RECT old = GetChildRect(entry.control);
    const RECT now = ToRect(PlaceAnchoredControl(entry.placement, client));
    if (EqualRect(&old, &now)) continue;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (old.left == now.left && old.top == now.top) flags |= SWP_NOMOVE;
    const ClientSize oldSize = SizeOf(old), newSize = SizeOf(now);
    if (oldSize.width == newSize.width && oldSize.height == newSize.height) flags |= SWP_NOSIZE;
    if (entry.listBox) {
      SCROLLINFO info = {};
      info.cbSize = sizeof(info);
      info.fMask = SIF_ALL;
      entry.refresh = false;
      if (GetScrollInfo(entry.control, SB_HORZ, &info)) {
        const int limit = info.nMax - int(info.nPage) + 1;
        entry.refresh = ListBoxNeedsRefresh(limit, info.nPos, oldSize.width, newSize.width);
      }
    }
    moves.push_back({entry.control, now, flags});
  }

  // One deferred move, so the controls change place together; if the platform
  // cannot defer, each control is moved on its own instead.
  HDWP deferred = moves.empty() ? nullptr : BeginDeferWindowPos(int(moves.size()));
  for (const Move& m : moves) {
    if (deferred == nullptr) break;
    deferred = DeferWindowPos(deferred, m.control, nullptr, m.rect.left, m.rect.top,
                              m.rect.right - m.rect.left, m.rect.bottom - m.rect.top, m.flags);
  }
  if (deferred != nullptr) {
    EndDeferWindowPos(deferred);
  } else {
    for (const Move& m : moves) {
      ::SetWindowPos(m.control, nullptr, m.rect.left, m.rect.top, m.rect.right - m.rect.left,
                     m.rect.bottom - m.rect.top, m.flags);
    }
  }

  for (const Layout& entry : layout_) {
    if (entry.refresh && ::IsWindow(entry.control)) ::InvalidateRect(entry.control, nullptr, TRUE);
  }
  if (!showGrip_) Invalidate(true);
}

void CResizableDialog::RescaleLayout(int32_t fromDpi, int32_t toDpi) {
  const auto scale = [&](int32_t& v) { v = RescaleForDpi(v, fromDpi, toDpi); };
  for (Layout& entry : layout_) {
    AnchoredPlacement& p = entry.placement;
    scale(p.leftMargin), scale(p.topMargin), scale(p.rightMargin), scale(p.bottomMargin);
  }
  scale(minimumTrack_.width);
  scale(minimumTrack_.height);
}

void CResizableDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  // Another window being maximised or restored is not our size change.
  if (type == SIZE_MAXSHOW || type == SIZE_MAXHIDE || !initialised_) return;
  LayoutControls();
}

void CResizableDialog::OnGetMinMaxInfo(MINMAXINFO& info) {
  CDialog::OnGetMinMaxInfo(info);
  if (initialised_ && useMinimumTrack_) {
    info.ptMinTrackSize.x = minimumTrack_.width;
    info.ptMinTrackSize.y = minimumTrack_.height;
  }
}

void CResizableDialog::OnWindowPosChanging(WINDOWPOS& pos) {
  CDialog::OnWindowPosChanging(pos);
  // The platform holds only its own sizing loop to the minimum; a size set in
  // code (a restored placement, say) is held here, so the layout never has to
  // fit a dialog smaller than its template.
  if (!initialised_ || !useMinimumTrack_ || (pos.flags & SWP_NOSIZE) != 0 || IsIconic(Hwnd()) ||
      !KeepsMinimumSize())
    return;
  const ClientSize held = ClampToMinimumSize({pos.cx, pos.cy}, minimumTrack_);
  pos.cx = held.width;
  pos.cy = held.height;
}

LRESULT CResizableDialog::OnNcHitTest(POINT screen) {
  const LRESULT hit = CDialog::OnNcHitTest(screen);
  if (!showGrip_ || hit != HTCLIENT) return hit;
  const POINT p = ScreenToClient(screen);
  return PtInRect(&grip_, p) ? HTBOTTOMRIGHT : hit;
}

void CResizableDialog::OnPaint() {
  if (!showGrip_) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(Hwnd());
  RECT grip = grip_;
  DrawFrameControl(dc.Handle(), &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void CResizableDialog::OnDestroy() {
  layout_.clear();
  initialised_ = false;
  CDialog::OnDestroy();
}

}  // namespace tessaro
