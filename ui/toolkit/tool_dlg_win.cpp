#include "ui/toolkit/tool_dlg_win.h"

#include <algorithm>
#include <stdexcept>

#include "settings/settings_store.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"
#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/dpi_win.h"

namespace tessaro {

namespace {


WPARAM HitTestCode(FrameHit hit) {
  switch (hit) {
    case FrameHit::kCaption: return HTCAPTION;
    case FrameHit::kLeft: return HTLEFT;
    case FrameHit::kRight: return HTRIGHT;
    case FrameHit::kTop: return HTTOP;
    case FrameHit::kTopLeft: return HTTOPLEFT;
    case FrameHit::kTopRight: return HTTOPRIGHT;
    case FrameHit::kBottom: return HTBOTTOM;
    case FrameHit::kBottomLeft: return HTBOTTOMLEFT;
    case FrameHit::kBottomRight: return HTBOTTOMRIGHT;
    case FrameHit::kNone: break;
  }
  return HTNOWHERE;
}

// Calls visit(child) for every window below parent.
template <class Visit>
void ForEachChild(HWND parent, Visit visit) {
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) CALLBACK -> BOOL {
        (*reinterpret_cast<Visit*>(data))(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&visit));
}

}  // namespace

CToolDlg::CToolDlg() = default;
CToolDlg::~CToolDlg() {
  if (dpiFont_ != nullptr) DeleteObject(dpiFont_);
}

SettingsStore& CToolDlg::Store() {
  if (store_ != nullptr) return *store_;
  if (!ownStore_ && openStore_) ownStore_ = openStore_();
  // A frame given neither is a programming fault; the window handler reports it.
  if (!ownStore_) throw std::logic_error("a tool dialog without a settings store");
  return *ownStore_;
}

DibRect CToolDlg::CaptionRect() const {
  HWND caption = GetDlgItem(kCaptionId);
  if (caption == nullptr) return {0, 0, 0, 0};
  return ToDibRect(GetChildRect(caption));
}

HCURSOR CToolDlg::CursorFor(FrameCursor cursor) const {
  HCURSOR shape = arrow_;
  switch (cursor) {
    case FrameCursor::kSizeNorthWestSouthEast: shape = sizeNwse_; break;
    case FrameCursor::kSizeNorthEastSouthWest: shape = sizeNesw_; break;
    case FrameCursor::kSizeWestEast: shape = sizeWe_; break;
    case FrameCursor::kSizeNorthSouth: shape = sizeNs_; break;
    case FrameCursor::kArrow: break;
  }
  // Before initialisation (or after destruction) no cursor is loaded; hiding
  // the pointer would be worse than the plain arrow.
  return shape != nullptr ? shape : LoadCursorW(nullptr, IDC_ARROW);
}

// ---- Lifetime ------------------------------------------------------------------

bool CToolDlg::OnInitDialog() {
  // Alt+F1 in the table becomes a command nobody handles, so it does nothing.
  SetAccelerators(LoadAcceleratorsW(ToolkitModule(), MAKEINTRESOURCEW(kToolAcceleratorTable)));
  // A new window starts with its template's font (from an earlier window of
  // this object, a font made for a DPI change may be left).
  if (dpiFont_ != nullptr) DeleteObject(dpiFont_);
  dpiFont_ = nullptr;
  const bool result = CResizableDialog::OnInitDialog();
  dpi_ = SystemDpiForWindow(Hwnd());
  SetWindowSkinDpi(Hwnd(), dpi_);
  TakeOverDialogDpiScaling(Hwnd());
  ShowGrip(false);  // the frame paints a grip of its own
  arrow_ = LoadCursorW(nullptr, IDC_ARROW);
  sizeNwse_ = LoadCursorW(nullptr, IDC_SIZENWSE);
  sizeNesw_ = LoadCursorW(nullptr, IDC_SIZENESW);
  sizeWe_ = LoadCursorW(nullptr, IDC_SIZEWE);
  sizeNs_ = LoadCursorW(nullptr, IDC_SIZENS);
  if (resizable_) AnchorControl(kCaptionId, kAnchorTopLeft, kAnchorTopRight);
  return result;
}

void CToolDlg::OnDestroy() {
  // The platform's shared cursors are never destroyed, only forgotten.
  arrow_ = sizeNwse_ = sizeNesw_ = sizeWe_ = sizeNs_ = nullptr;
  SetWindowSkinDpi(Hwnd(), 0);
  CResizableDialog::OnDestroy();
}

// ---- Mouse -------------------------------------------------------------------

void CToolDlg::OnLButtonDown(UINT flags, POINT p) {
  const FrameHit hit =
      FramePressAt(p.x, p.y, GetClientSize(), CaptionRect(), resizable_, rolledUp_, dpi_);
  if (hit != FrameHit::kNone) {
    // Posted, so the platform's move or size loop starts after this press is
    // done, exactly as a press on a real frame would start it.
    const POINT screen = ClientToScreen(p);
    PostMessage(WM_NCLBUTTONDOWN, HitTestCode(hit), MAKELPARAM(screen.x, screen.y));
  }
  CResizableDialog::OnLButtonDown(flags, p);
}

void CToolDlg::OnLButtonDblClk(UINT flags, POINT p) {
  if (PointInRect(CaptionRect(), p.x, p.y) && CanRollUp()) {
    SetRolledUp(!rolledUp_);
    return;
  }
  CResizableDialog::OnLButtonDblClk(flags, p);
}

void CToolDlg::OnMouseMove(UINT flags, POINT p) {
  if (resizable_)
    SetCursor(CursorFor(FrameCursorAt(p.x, p.y, GetClientSize(), rolledUp_, dpi_)));
  else
    SetCursor(CursorFor(FrameCursor::kArrow));
  CResizableDialog::OnMouseMove(flags, p);
}

bool CToolDlg::OnSetCursor(HWND, UINT, UINT) {
  if (!resizable_) {
    SetCursor(CursorFor(FrameCursor::kArrow));
    return false;
  }
  // Also over children that leave the pointer to us, so the edge zones reach
  // over controls placed near the edge.
  POINT p = {0, 0};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  SetCursor(CursorFor(FrameCursorAt(p.x, p.y, GetClientSize(), rolledUp_, dpi_)));
  return true;
}

// ---- Size and roll-up ------------------------------------------------------------

void CToolDlg::SetRolledUp(bool rolled) {
  Store().WriteInt(title_, "Auto hide", 0);
  if (rolled == rolledUp_ || Hwnd() == nullptr) return;

  const RECT window = GetWindowRect();
  const ClientSize client = GetClientSize();
  const int width = window.right - window.left;
  const int frame = (window.bottom - window.top) - client.height;  // 0 without a frame
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

  skipLayout_ = true;
  if (rolled) {
    rolledUp_ = true;
    savedClientHeight_ = client.height;
    SetWindowPos(nullptr, 0, 0, width, RolledUpClientHeight(CaptionRect()) + frame, flags);
    Invalidate(true);
  } else {
    rolledUp_ = false;
    SetWindowPos(nullptr, 0, 0, width, savedClientHeight_ + frame, flags);
    Invalidate(true);
    SetFocus();
  }
  // A size change that changed nothing sends no size message to clear it.
  skipLayout_ = false;

  Store().WriteInt(title_, "Minimize", rolled ? 1 : 0);
}

void CToolDlg::OnSize(UINT type, int cx, int cy) {
  if (skipLayout_) {
    // Rolling up or down: the controls keep their places, so rolling down
    // finds them where they were.
    skipLayout_ = false;
    Default();
    Invalidate(true);
    return;
  }
  CResizableDialog::OnSize(type, cx, cy);
}

void CToolDlg::OnActivate(UINT state, HWND other, bool minimized) {
  CResizableDialog::OnActivate(state, other, minimized);
  InvalidateRect(ToRect(CaptionRect()), false);
}

// ---- DPI changes -------------------------------------------------------------------

LRESULT CToolDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DPICHANGED) {
    ChangeDpi(int32_t(LOWORD(wParam)), reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
  // The platform keeps a dialog's template font for good; once a DPI change
  // made another, that one is the dialog's font for everyone who asks.
  if (msg == WM_GETFONT && dpiFont_ != nullptr) return reinterpret_cast<LRESULT>(dpiFont_);
  return CResizableDialog::WindowProc(msg, wParam, lParam);
}

void CToolDlg::ChangeDpi(int32_t dpi, const RECT* suggested) {
  if (Hwnd() == nullptr || dpi <= 0) return;
  const int32_t old = dpi_;
  if (dpi != old) {
    dpi_ = dpi;
    SetWindowSkinDpi(Hwnd(), dpi);
    // The template's font, re-made for the new DPI, for the dialog and
    // every control that used it.
    HFONT current = GetFont();
    LOGFONTW face = {};
    if (current != nullptr && GetObjectW(current, sizeof face, &face) == int(sizeof face)) {
      face.lfHeight = RescaleForDpi(face.lfHeight, old, dpi);
      face.lfWidth = RescaleForDpi(face.lfWidth, old, dpi);
      if (HFONT font = CreateFontIndirectW(&face)) {
        ForEachChild(Hwnd(), [&](HWND child) {
          if (reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == current)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        });
        HFONT previous = dpiFont_;
        dpiFont_ = font;
        if (previous != nullptr) DeleteObject(previous);
      }
    }
    RescaleLayout(old, dpi);
    ForEachChild(Hwnd(), [&](HWND child) {
      if (auto* button = dynamic_cast<CButtonST*>(CWnd::FromHandle(child))) {
        const int side = RescaleForDpi(button->IconWidth(), old, dpi);
        if (side > 0) button->ResizeIcons(side, side);
      }
    });
    if (rolledUp_) savedClientHeight_ = RescaleForDpi(savedClientHeight_, old, dpi);
    OnSkinDpiChanged();
  }
  if (suggested != nullptr) {
    SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Places follow the new margins even when the size came out unchanged.
  LayoutControls();
  RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Painting ------------------------------------------------------------------

bool CToolDlg::OnEraseBkgnd(HDC) { return true; }  // the paint covers every pixel

void CToolDlg::PaintCaptionText(HDC dc, const DibRect& caption) {
  HWND captionStatic = GetDlgItem(kCaptionId);
  if (captionStatic == nullptr) return;
  const int length = ::GetWindowTextLengthW(captionStatic);
  if (length <= 0) return;
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(std::max(0, ::GetWindowTextW(captionStatic, text.data(), length + 1))));

  CDC out(dc);
  CSelectObject font(dc, GetFont());
  out.SetBkMode(TRANSPARENT);
  RECT place = ToRect(caption);
  place.left += SkinMetricsFor(dpi_).captionIndent;
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX;
  // A dark copy at each of the eight neighbouring offsets outlines the white
  // title, so it reads on any caption colour.
  out.SetTextColor(CaptionOutlineColor(GetInterfaceSettings().controlColor));
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      RECT r = place;
      OffsetRect(&r, dx, dy);
      out.DrawText(text, r, format);
    }
  }
  out.SetTextColor(kCaptionTextColor);
  out.DrawText(text, place, format);
}

void CToolDlg::OnPaint() {
  CPaintDC dc(Hwnd());
  const ClientSize client = GetClientSize();
  if (client.width <= 0 || client.height <= 0) return;
  const InterfaceSettings& ui = GetInterfaceSettings();
  ToolFrameLook look;
  look.client = client;
  look.caption = CaptionRect();
  look.windowColor = ui.windowColor;
  look.controlColor = ui.controlColor;
  look.stripeContrast = Store().GetInt("", "Linear interface", kDefaultStripeContrast);
  look.showGrip = resizable_ && !rolledUp_;
  look.active = IsActive();
  look.dpi = dpi_;

  // Off screen first and copied once, so a resize does not flicker.  Without
  // the memory for that the frame is painted straight to the screen.
  if (!canvas_.Create(client.width, client.height)) {
    CDcSurface surface(dc.Handle());
    PaintToolFrame(surface, look);
    PaintCaptionText(dc.Handle(), look.caption);
    return;
  }
  CDibSurface surface(canvas_);
  PaintToolFrame(surface, look);
  if (HDC picture = static_cast<HDC>(canvas_.GetDC())) {
    PaintCaptionText(picture, look.caption);
    canvas_.ReleaseDC();
  }
  canvas_.Draw(dc.Handle(), {0, 0, client.width, client.height});
}

}  // namespace tessaro
