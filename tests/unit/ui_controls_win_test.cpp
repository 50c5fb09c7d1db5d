// The skinned controls driven through real mouse and keyboard messages on a
// visible dialog.  Every wait is bounded: pumps have deadlines, and the
// auto-repeat and hover timers are checked against generous limits.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/angle_ctrl_win.h"
#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/controls_win.h"
#include "support/message_pump_win.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/dialog_win.h"
#include "ui/toolkit/icon_slider_win.h"
#include "ui/toolkit/progress_st_win.h"
#include "ui/toolkit/static_controls_win.h"

namespace tessaro {
namespace {

constexpr int kSliderId = 4001, kDialId = 4002, kSwatchId = 4003, kButtonId = 4004,
              kProgressId = 4005, kLinkId = 4006, kPlainId = 4007, kWwwId = 4008,
              kPictureId = 4009, kLabelId = 4010;
constexpr COLORREF kDialogColor = 0x603010;  // dark: labels on it turn white

using testing::Pump;
using testing::PumpUntil;

LPARAM At(int x, int y) { return MAKELPARAM(short(x), short(y)); }

COLORREF PixelOf(const CWnd& wnd, int x, int y) {
  HDC dc = GetDC(wnd.Hwnd());
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(wnd.Hwnd(), dc);
  return c;
}

// Pixels of colour within r of the window, as painted on screen.
int CountPixels(const CWnd& wnd, const RECT& r, COLORREF color) {
  int n = 0;
  HDC dc = GetDC(wnd.Hwnd());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += GetPixel(dc, x, y) == color ? 1 : 0;
  ReleaseDC(wnd.Hwnd(), dc);
  return n;
}

struct Notice {
  UINT id, code;
  HWND control;
};

// A plain dialog in one known colour, so the eyedropper has something to read,
// that records every command notice it receives.
class CControlsDlg : public CDialog {
 public:
  std::vector<Notice> notices;
  CIconSlider slider;
  CAngleCtrl dial;
  CColorButton swatch;
  CButtonST button;
  CProgressST progress;
  CHyperLink link, plain, www;
  CBitmapView picture;
  CTranspStatic label;

  size_t CountFrom(int id) const {
    size_t n = 0;
    for (const Notice& k : notices)
      if (int(k.id) == id && k.code == 0 && k.control == GetDlgItem(id)) ++n;
    return n;
  }

 protected:
  bool OnInitDialog() override {
    slider.AttachDlgItem(kSliderId, *this);
    dial.AttachDlgItem(kDialId, *this);
    swatch.SubclassDlgItem(kSwatchId, *this);
    button.SubclassDlgItem(kButtonId, *this);
    progress.AttachDlgItem(kProgressId, *this);
    link.SubclassDlgItem(kLinkId, *this);
    plain.SubclassDlgItem(kPlainId, *this);
    www.SubclassDlgItem(kWwwId, *this);
    picture.AttachDlgItem(kPictureId, *this);
    label.AttachDlgItem(kLabelId, *this);
    return true;
  }
  bool OnEraseBkgnd(HDC dc) override {
    const RECT r = GetClientRect();
    const COLORREF old = SetBkColor(dc, kDialogColor);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
    return true;
  }
  void OnCommand(UINT id, UINT code, HWND control) override {
    notices.push_back({id, code, control});
  }
};

class ControlsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureCommonControls());
    ResetInterfaceColors();
    ResetBorderTable();
    const DWORD child = WS_CHILD | WS_VISIBLE;
    CDialogTemplate t(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 240, 160, L"Controls");
    t.AddItem(TRACKBAR_CLASSW, kSliderId, L"", child | TBS_HORZ | TBS_BOTH | TBS_NOTICKS, 8, 8,
              200, 14);
    t.AddItem(DialogItemClass::kButton, kDialId, L"", child | BS_OWNERDRAW, 8, 30, 30, 30);
    t.AddItem(DialogItemClass::kButton, kSwatchId, L"Color", child | BS_PUSHBUTTON, 60, 30, 40, 14);
    t.AddItem(DialogItemClass::kButton, kButtonId, L"Button", child | BS_PUSHBUTTON, 120, 30, 50,
              14);
    t.AddItem(PROGRESS_CLASSW, kProgressId, L"", child, 8, 120, 200, 8);
    t.AddItem(DialogItemClass::kStatic, kLinkId, L"https://example.org/", child | SS_LEFT, 8, 132,
              80, 10);
    t.AddItem(DialogItemClass::kStatic, kPlainId, L"Visit our page", child | SS_LEFT, 100, 132,
              80, 10);
    t.AddItem(DialogItemClass::kStatic, kWwwId, L"www.example.org", child | SS_LEFT, 8, 144, 80,
              10);
    t.AddItem(DialogItemClass::kStatic, kPictureId, L"", child, 100, 144, 20, 10);
    t.AddItem(DialogItemClass::kStatic, kLabelId, L"Engraved", child | SS_LEFT, 130, 144, 60, 10);
    dlg_ = std::make_unique<CControlsDlg>();
    ASSERT_TRUE(dlg_->Create(t.Get(), nullptr));
    dlg_->SetWindowPos(HWND_TOPMOST, 200, 200, 0, 0, SWP_NOSIZE);
    // Exact pixel sizes, whatever the dialog units come to.
    dlg_->slider.SetWindowPos(nullptr, 10, 10, 200, 20, SWP_NOZORDER);
    dlg_->dial.SetWindowPos(nullptr, 10, 60, 40, 40, SWP_NOZORDER);
    dlg_->swatch.SetWindowPos(nullptr, 100, 60, 60, 24, SWP_NOZORDER);
    dlg_->button.SetWindowPos(nullptr, 200, 60, 80, 24, SWP_NOZORDER);
    dlg_->progress.SetWindowPos(nullptr, 10, 200, 100, 10, SWP_NOZORDER);
    SetForegroundWindow(dlg_->Hwnd());
    dlg_->RedrawWindow();
    Pump(100);
    dlg_->notices.clear();
  }
  void TearDown() override {
    SetCursorPos(1200, 1000);
    dlg_.reset();
    ResetInterfaceColors();
    ResetBorderTable();
  }

  // Delivers the notices posted so far.
  void Deliver() { Pump(30); }

  std::unique_ptr<CControlsDlg> dlg_;
};

// ---- Slider --------------------------------------------------------------------

TEST_F(ControlsWin, SliderDragReachesBothEnds) {
  CIconSlider& s = dlg_->slider;
  s.SetRangeAndPos(0, 100, 40);
  Deliver();
  dlg_->notices.clear();
  const DibRect thumb = s.ThumbRect();
  const int cx = (thumb.left + thumb.right) / 2, cy = 10;
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(cx, cy));
  ASSERT_TRUE(s.IsDragging());
  s.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(-300, cy));
  EXPECT_EQ(s.GetPos(), 0);
  s.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(-200, cy + 50));  // no change, no notice
  s.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(500, cy));
  EXPECT_EQ(s.GetPos(), 100);
  // A range set by the dialog during a drag keeps the dragged position.
  s.SetRangeAndPos(0, 100, 10);
  EXPECT_EQ(s.GetPos(), 100);
  s.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(100, cy));
  EXPECT_EQ(s.GetPos(), 50);
  s.SendMessage(WM_LBUTTONUP, 0, At(100, cy));
  EXPECT_FALSE(s.IsDragging());
  Deliver();
  // Three position changes and the SetRangeAndPos.
  EXPECT_EQ(dlg_->CountFrom(kSliderId), 4u);
  EXPECT_EQ(dlg_->notices.size(), 4u);
}

TEST_F(ControlsWin, SliderSetRangeAndPosAlwaysNotifies) {
  CIconSlider& s = dlg_->slider;
  s.SetRangeAndPos(-10, 10, 3);
  s.SetRangeAndPos(-10, 10, 3);
  EXPECT_EQ(dlg_->CountFrom(kSliderId), 0u);  // posted, not sent
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kSliderId), 2u);
  EXPECT_EQ(s.GetRangeMin(), -10);
  EXPECT_EQ(s.GetRangeMax(), 10);
  EXPECT_EQ(s.GetPos(), 3);
}

TEST_F(ControlsWin, SliderPageStepsEitherSideOfTheThumb) {
  CIconSlider& s = dlg_->slider;
  s.SetRangeAndPos(0, 100, 40);
  s.SetPageSize(10);
  Deliver();
  dlg_->notices.clear();
  DibRect thumb = s.ThumbRect();
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.right + 2, 10));
  s.SendMessage(WM_LBUTTONUP, 0, At(thumb.right + 2, 10));
  EXPECT_EQ(s.GetPos(), 50);
  thumb = s.ThumbRect();
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.left - 2, 10));
  s.SendMessage(WM_LBUTTONUP, 0, At(thumb.left - 2, 10));
  EXPECT_EQ(s.GetPos(), 40);
  // The trackbar clamps a step past the end.
  s.SetRangeAndPos(0, 100, 95);
  thumb = s.ThumbRect();
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.right + 1, 10));
  s.SendMessage(WM_LBUTTONUP, 0, At(thumb.right + 1, 10));
  EXPECT_EQ(s.GetPos(), 100);
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kSliderId), 4u);
}

TEST_F(ControlsWin, SliderArrowRepeatsAfterADelay) {
  CIconSlider& s = dlg_->slider;
  s.SetRangeAndPos(0, 100, 50);
  Deliver();
  const POINT arrow = s.ClientToScreen({5, 10});
  SetCursorPos(arrow.x, arrow.y);
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 10));
  EXPECT_EQ(s.GetPos(), 49);
  Pump(200);  // inside the delay
  EXPECT_EQ(s.GetPos(), 49);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(PumpUntil([&] { return s.GetPos() <= 44; }, 3000));
  // Five repeats at 40 ms need well under a second after the delay.
  EXPECT_GE(GetTickCount() - start, 100u);
  s.SendMessage(WM_LBUTTONUP, 0, At(5, 10));
  const int released = s.GetPos();
  Pump(200);
  EXPECT_EQ(s.GetPos(), released);

  // The right arrow counts up.
  const POINT right = s.ClientToScreen({195, 10});
  SetCursorPos(right.x, right.y);
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(195, 10));
  s.SendMessage(WM_LBUTTONUP, 0, At(195, 10));
  EXPECT_EQ(s.GetPos(), released + 1);
}

TEST_F(ControlsWin, SliderKeysAndEmptyRange) {
  CIconSlider& s = dlg_->slider;
  s.SetRangeAndPos(0, 100, 50);
  Deliver();
  dlg_->notices.clear();
  s.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(s.GetPos(), 51);
  s.SendMessage(WM_KEYUP, VK_RIGHT, 0);
  s.SendMessage(WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(s.GetPos(), 0);
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kSliderId), 3u);

  s.SetRangeAndPos(5, 5, 5);
  const DibRect thumb = s.ThumbRect();
  EXPECT_GE(thumb.left, thumb.right);
  s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(100, 10));
  EXPECT_FALSE(s.IsDragging());
  s.SendMessage(WM_LBUTTONUP, 0, At(100, 10));
  EXPECT_EQ(s.GetPos(), 5);
}

// ---- Dial ----------------------------------------------------------------------

TEST_F(ControlsWin, DialFollowsThePointer) {
  CAngleCtrl& d = dlg_->dial;
  ASSERT_EQ(d.GetClientSize().width, 40);
  d.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 2));
  EXPECT_EQ(d.Degrees(), 90);
  EXPECT_NEAR(d.Angle(), 3.14159265358979 / 2, 1e-9);
  d.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(-80, 20));
  EXPECT_EQ(d.Degrees(), 180);
  d.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(20, 38));
  EXPECT_EQ(d.Degrees(), -90);
  d.SendMessage(WM_LBUTTONUP, 0, At(20, 38));
  EXPECT_FALSE(d.IsDragging());
  d.SendMessage(WM_MOUSEMOVE, 0, At(38, 20));  // not dragging: ignored
  EXPECT_EQ(d.Degrees(), -90);
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kDialId), 3u);
  // The position just handled is not handled again.
  d.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 38));
  d.SendMessage(WM_LBUTTONUP, 0, At(20, 38));
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kDialId), 3u);
}

// ---- Colour swatch -----------------------------------------------------------------

TEST_F(ControlsWin, SwatchEyedropperKeepsAColourPickedOutside) {
  CColorButton& b = dlg_->swatch;
  b.SetColor(0x112233);
  const POINT outside = {-40, 12};  // over the dialog's own colour
  b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 12));
  EXPECT_EQ(b.PressState(), -1);
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(outside.x, outside.y));
  EXPECT_EQ(b.GetColor(), kDialogColor);
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(30, 12));
  EXPECT_EQ(b.GetColor(), 0x112233u);
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(outside.x, outside.y));
  const size_t before = dlg_->notices.size();
  b.SendMessage(WM_LBUTTONUP, 0, At(outside.x, outside.y));
  EXPECT_EQ(dlg_->notices.size(), before);  // no click is sent
  EXPECT_EQ(b.GetColor(), kDialogColor);
  EXPECT_EQ(b.PressState(), 0);
  EXPECT_FALSE(b.ClickReport());
  Deliver();
  EXPECT_EQ(dlg_->CountFrom(kSwatchId), 4u);  // three moves and the release
  // Dark picked colour: the label turns white.
  EXPECT_EQ(b.TextColor(), 0xFFFFFFu);
}

TEST_F(ControlsWin, SwatchBackInsideRestoresAndClicks) {
  CColorButton& b = dlg_->swatch;
  b.SetColor(0xFFD7AE);
  EXPECT_EQ(b.TextColor(), 0u);
  b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 12));
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(-40, 12));
  EXPECT_EQ(b.GetColor(), kDialogColor);
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(31, 12));
  b.SendMessage(WM_LBUTTONUP, 0, At(31, 12));
  // The click is sent during the release, before anything posted arrives.
  ASSERT_EQ(dlg_->CountFrom(kSwatchId), 1u);
  EXPECT_EQ(b.GetColor(), 0xFFD7AEu);
  EXPECT_EQ(b.PressState(), 1);
  EXPECT_TRUE(b.ClickReport());
}

// ---- Buttons and progress ----------------------------------------------------------

TEST_F(ControlsWin, ButtonHoverFadesInAndOut) {
  CButtonST& b = dlg_->button;
  const POINT over = b.ClientToScreen({10, 10});
  SetCursorPos(over.x, over.y);
  b.SendMessage(WM_MOUSEMOVE, 0, At(10, 10));
  EXPECT_TRUE(b.IsHovered());
  EXPECT_TRUE(PumpUntil([&] { return b.HoverStep() == 5; }, 2000));
  SetCursorPos(1200, 1000);
  EXPECT_TRUE(PumpUntil([&] { return !b.IsHovered() && b.HoverStep() == 0; }, 2000));
  // A checked button fades in and stays in the hover colour.
  b.SetCheck(1);
  EXPECT_TRUE(PumpUntil([&] { return b.HoverStep() == 5; }, 2000));
  Pump(100);
  EXPECT_EQ(b.HoverStep(), 5);
  b.SetCheck(0);
  EXPECT_TRUE(PumpUntil([&] { return b.HoverStep() == 0; }, 2000));
}

TEST_F(ControlsWin, CheckedButtonLooksPressed) {
  SetButtonStyle(kButtonStyleFlat);
  CButtonST& b = dlg_->button;
  const uint32_t frame = GetInterfaceSettings().frameColor;
  b.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(b, 0, 0), ShadeColor(frame, -16));
  b.SetCheck(1);
  b.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(b, 0, 0), ShadeColor(frame, -64));
  // Pressing a checked button shows it released.
  b.SendMessage(BM_SETSTATE, TRUE, 0);
  b.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(b, 0, 0), ShadeColor(frame, -16));
}

TEST_F(ControlsWin, ProgressShowsABlockAtZero) {
  SetButtonStyle(kButtonStyleFlat);
  CProgressST& p = dlg_->progress;
  p.SetColors(0xE0E0E0, 0xFFD7AE);
  p.SetRange(0, 100);
  p.SetPos(0);
  p.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  const RECT r = p.GetClientRect();
  ASSERT_EQ(r.right, 100);
  EXPECT_EQ(PixelOf(p, 7, 5), ShadeColor(0xFFD7AE, -64));
  EXPECT_EQ(PixelOf(p, 20, 5), 0xE0E0E0u);
  p.SetPos(50);
  p.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(p, 47, 5), ShadeColor(0xFFD7AE, -64));
  EXPECT_EQ(PixelOf(p, 55, 5), 0xE0E0E0u);
}

// ---- Statics ---------------------------------------------------------------------

TEST_F(ControlsWin, LinksDecideFromTheirText) {
  EXPECT_EQ(dlg_->link.Address(), L"https://example.org/");
  EXPECT_TRUE(dlg_->link.HasHandCursor());
  EXPECT_EQ(dlg_->plain.LinkStyle(), kLinkNotALink);
  EXPECT_FALSE(dlg_->plain.HasHandCursor());
  EXPECT_TRUE(dlg_->www.Address().empty());
  EXPECT_TRUE(dlg_->www.HasHandCursor());

  // Hovering captures the pointer until it leaves.
  CHyperLink& w = dlg_->www;
  w.SendMessage(WM_MOUSEMOVE, 0, At(2, 2));
  EXPECT_TRUE(w.IsHovered());
  EXPECT_EQ(GetCapture(), w.Hwnd());
  w.SendMessage(WM_MOUSEMOVE, 0, At(-5, 2));
  EXPECT_FALSE(w.IsHovered());
  EXPECT_NE(GetCapture(), w.Hwnd());

  // Without an address a click tells the parent, with no window.
  w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
  w.SendMessage(WM_LBUTTONUP, 0, At(2, 2));
  Deliver();
  ASSERT_EQ(dlg_->notices.size(), 1u);
  EXPECT_EQ(int(dlg_->notices[0].id), kWwwId);
  EXPECT_EQ(dlg_->notices[0].code, 0u);
  EXPECT_EQ(dlg_->notices[0].control, nullptr);
  EXPECT_FALSE(w.IsVisited());
}

TEST_F(ControlsWin, PictureCentredOrStretched) {
  CBitmapView& v = dlg_->picture;
  v.SetWindowPos(nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
  const uint32_t red[16] = {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000,
                            0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000,
                            0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000};
  v.SetBitmap(CreateBitmap(4, 4, 1, 32, red), 4, 4);
  v.SetBackground(0xFFFFFF);
  v.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(v, 9, 9), 0x0000FFu);
  EXPECT_EQ(PixelOf(v, 1, 1), 0xFFFFFFu);
  v.SetCentered(false);
  v.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(v, 1, 1), 0x0000FFu);
  EXPECT_EQ(PixelOf(v, 19, 19), 0x0000FFu);
}

TEST_F(ControlsWin, SliderValueTextOnlyWhenItFits) {
  SetButtonStyle(kButtonStyleFlat);
  CIconSlider& s = dlg_->slider;
  s.SetColors(0xE0E0E0, 0xFFD7AE);
  s.SetRangeAndPos(0, 100, 40);
  const RECT thumb = ToRect(s.ThumbRect());
  const RECT inside = {thumb.left + 2, thumb.top + 2, thumb.right - 2, thumb.bottom - 2};
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  s.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(CountPixels(s, inside, text), 0);
  s.SetValueFormat(L"%d is far too wide");
  s.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(CountPixels(s, inside, text), 0);
  EXPECT_GT(CountPixels(s, inside, 0xFFD7AE), 0);
}

TEST_F(ControlsWin, LabelIsEngraved) {
  CTranspStatic& l = dlg_->label;
  l.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  const uint32_t c = GetInterfaceSettings().windowColor;
  const RECT all = l.GetClientRect();
  EXPECT_GT(CountPixels(l, all, ShadeColor(c, -128)), 0);
  EXPECT_GT(CountPixels(l, all, ShadeColor(c, 64)), 0);
  EXPECT_EQ(CountPixels(l, all, kDialogColor), 0);  // its own background, not the dialog's
}

}  // namespace
}  // namespace tessaro
