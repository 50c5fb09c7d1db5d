#include "ui/dialog/about_dlg_win.h"

#include <algorithm>

#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "settings/product_identity.h"
#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/mem_dc_win.h"
#include "ui/toolkit/window_win.h"

namespace tessaro {

namespace {

// Lines are written with doubled ampersands where one is meant.
std::wstring ShownText(const std::string& line) {
  std::wstring text = Utf8ToWide(line);
  for (size_t at = text.find(L"&&"); at != std::wstring::npos; at = text.find(L"&&", at + 1))
    text.erase(at, 1);
  return text;
}

CDialogTemplate AboutTemplate() {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  CDialogTemplate t(WS_POPUP | WS_CLIPCHILDREN, 0, 0, 412, 266, L"About dialog");
  // Hidden: the frame paints the title into its caption strip from it.
  t.AddItem(DialogItemClass::kStatic, kCaptionId, L"About", WS_CHILD | SS_LEFT, 5, 5, 382, 17);
  t.AddItem(DialogItemClass::kButton, CAboutDlg::kCloseId, L"", child | BS_PUSHBUTTON, 387, 5, 20,
            17);
  t.AddItem(DialogItemClass::kStatic, CAboutDlg::kPictureId, L"", child | SS_NOTIFY, 5, 26, 402,
            235);
  return t;
}

}  // namespace

// ---- CAboutDib -------------------------------------------------------------------

CAboutDib::~CAboutDib() {
  if (font_ != nullptr) DeleteObject(font_);
}

bool CAboutDib::Init(const std::vector<std::string>& lines) {
  lines_.clear();
  for (const std::string& line : lines) lines_.push_back(ShownText(line));
  SetCentered(false);
  const ClientSize size = GetClientSize();
  const int32_t w = std::max(size.width - 2, 0), h = std::max(size.height - 2, 0);
  scroller_.Reset(h);
  const bool loaded = LoadFromResource(ABOUT_LOGO_ID, L"LOGO");

  CDib first;
  if (loaded && first.Create(w, h)) {
    if (void* dc = first.GetDC()) {
      CDC target(static_cast<HDC>(dc));
      DrawPicture(target, {0, 0, w, h});
      first.ReleaseDC();
    }
    // The platform's drawing leaves alpha alone: the logo is opaque.
    uint32_t* pixels = first.Pixels();
    for (size_t i = 0, n = size_t(first.Stride()) * size_t(h); i < n; ++i)
      pixels[i] |= 0xFF000000u;
  }

  if (font_ == nullptr) {
    LOGFONTW face = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
    face.lfHeight = 72;  // quarter pixels: lines of 18 pixels on the picture
    font_ = CreateFontIndirectW(&face);
  }
  first.CopyTo(clean_);
  first.CopyTo(working_);
  SetTimer(kRollTimer, 10);
  return loaded && clean_.Width() > 0;
}

void CAboutDib::OnDestroy() {
  KillTimer(kRollTimer);
  CBitmapView::OnDestroy();
}

void CAboutDib::OnTimer(UINT_PTR id) {
  if (id != kRollTimer) {
    CBitmapView::OnTimer(id);
    return;
  }
  scroller_.Tick();
  Invalidate(false);
}

void CAboutDib::OnLButtonDown(UINT, POINT p) {
  scroller_.Press(p.y);
  SetCapture();
}

void CAboutDib::OnLButtonUp(UINT, POINT) {
  scroller_.Release();
  if (::GetCapture() == Hwnd()) ReleaseCapture();
}

void CAboutDib::OnMouseMove(UINT, POINT p) {
  if (scroller_.Move(p.y)) RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
}

void CAboutDib::DrawLines(CDib& mask) {
  void* handle = mask.GetDC();
  if (handle == nullptr) return;
  HDC dc = static_cast<HDC>(handle);
  CSelectObject font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  scroller_.ForEachVisibleLine(lines_.size(), [&](size_t i, int32_t top, int32_t blue) {
    SetTextColor(dc, RGB(0, 0, blue));
    TextOutW(dc, AboutScroller::kTextLeft, top, lines_[i].c_str(), int(lines_[i].size()));
  });
  mask.ReleaseDC();
}

void CAboutDib::OnPaint() {
  CPaintDC paint(Hwnd());
  const RECT client = GetClientRect();
  CMemDCEx dc(paint.Handle(), &client);
  const InterfaceSettings& ui = GetInterfaceSettings();
  dc.FillSolidRect(client, ui.windowColor);
  dc.Draw3dRect(client, ShadeColor(ui.windowColor, -48), ShadeColor(ui.windowColor, 48));
  const int32_t w = clean_.Width(), h = clean_.Height();
  if (w <= 0 || h <= 0) return;

  // Kept between paints: re-creating at the same size only clears it.
  CDib& mask = mask_;
  const int32_t band = AboutTextWidth(w);
  if (band > 0 && mask.Create(band * AboutScroller::kUnits, h * AboutScroller::kUnits)) {
    DrawLines(mask);
  } else {
    mask.Destroy();
    // Without memory for the text the roll still moves on.
    scroller_.ForEachVisibleLine(lines_.size(), [](size_t, int32_t, int32_t) {});
  }
  if (!ComposeAboutPicture(clean_, mask, working_)) clean_.CopyTo(working_);
  working_.Draw(dc.Handle(), {1, 1, 1 + w, 1 + h});
}

// ---- CAboutDlg -------------------------------------------------------------------

CAboutDlg::CAboutDlg(const std::vector<std::string>& lines) : lines_(lines) {
  SetTitle("About dialog");
  SetSettingsStoreOpener(OpenProductSettingsStore);
}

INT_PTR CAboutDlg::Run(HWND owner) {
  const CDialogTemplate t = AboutTemplate();
  DoModal(t.Get(), owner);
  return IDOK;
}

bool CAboutDlg::OnInitDialog() {
  CToolDlg::OnInitDialog();
  i18n::CLanguage& language = i18n::TheLanguage();
  language.ApplyToDialog("About", Hwnd());
  if (HWND title = GetDlgItem(kCaptionId))
    ::SetWindowTextW(title, Utf8ToWide(language.GetText("About", "0", "About")).c_str());
  picture_.AttachDlgItem(kPictureId, *this);
  picture_.SetBackground(GetInterfaceSettings().windowColor);
  picture_.Init(lines_);
  close_.SubclassDlgItem(kCloseId, *this);
  close_.SetWindowText(L"");
  close_.SetIcon(CAPTION_CLOSE_ICON_ID, 0, 16, 16);
  // Centred on the screen: the box has no owner to centre on.
  const RECT r = GetWindowRect();
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void CAboutDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == UINT(kCloseId)) {
    EndDialog(IDOK);
    return;
  }
  CToolDlg::OnCommand(id, code, control);
}

}  // namespace tessaro
