// The preview pane on a real dialog: panning through mouse messages, the
// notices its parent gets, and what it paints before and after a render.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "image/dib.h"
#include "support/message_pump_win.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/preview_bitmap_win.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/dialog_win.h"

namespace tessaro {
namespace {

using testing::Pump;

constexpr int kPaneId = 1006;
constexpr int kPaneW = 200, kPaneH = 150;

LPARAM At(int x, int y) { return MAKELPARAM(short(x), short(y)); }

COLORREF PixelOf(const CWnd& wnd, int x, int y) {
  HDC dc = GetDC(wnd.Hwnd());
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(wnd.Hwnd(), dc);
  return c;
}

class CPaneDlg : public CDialog {
 public:
  CPreviewBitmap pane;
  int paneNotices = 0;

 protected:
  bool OnInitDialog() override {
    pane.AttachDlgItem(kPaneId, *this);
    return true;
  }
  void OnCommand(UINT id, UINT code, HWND control) override {
    if (int(id) == kPaneId && code == BN_CLICKED && control == pane.Hwnd()) ++paneNotices;
  }
};

class PreviewWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterfaceColors();
    CDialogTemplate t(WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, L"Preview");
    t.AddItem(DialogItemClass::kButton, kPaneId, L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0,
              100, 100);
    dlg_ = std::make_unique<CPaneDlg>();
    ASSERT_TRUE(dlg_->Create(t.Get(), nullptr));
    dlg_->SetWindowPos(HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE);
    dlg_->pane.SetWindowPos(nullptr, 0, 0, kPaneW, kPaneH, SWP_NOZORDER);
    Pump(50);
  }
  void TearDown() override { dlg_.reset(); }

  // A 1000 x 800 render: the view image refilled from it as the dialog does.
  void ShowLargeRender() {
    PreviewRect extent{0, 0, 999, 799};
    ASSERT_TRUE(dlg_->pane.SetImage(&viewImage_, extent, false));
    viewImage_.Fill(0xFF2040C0u);
    dlg_->pane.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  }

  std::unique_ptr<CPaneDlg> dlg_;
  CDib viewImage_;
};

TEST_F(PreviewWin, WaitsWithTextThenShowsTheViewInsideASunkenFrame) {
  CPreviewBitmap& pane = dlg_->pane;
  pane.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
  // White background: light grey top and left edges, white bottom and right.
  EXPECT_EQ(PixelOf(pane, 0, 40), RGB(207, 207, 207));
  EXPECT_EQ(PixelOf(pane, 40, 0), RGB(207, 207, 207));
  EXPECT_EQ(PixelOf(pane, kPaneW - 1, 40), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(pane, 40, kPaneH - 1), RGB(255, 255, 255));
  // The waiting text darkens some pixels across the middle row band.
  int dark = 0;
  for (int y = kPaneH / 2 - 6; y < kPaneH / 2 + 6; ++y)
    for (int x = 20; x < kPaneW - 20; ++x) dark += PixelOf(pane, x, y) != RGB(255, 255, 255);
  EXPECT_GT(dark, 20);

  ShowLargeRender();
  EXPECT_EQ(PixelOf(pane, kPaneW / 2, kPaneH / 2), RGB(0x20, 0x40, 0xC0));
  EXPECT_EQ(PixelOf(pane, 0, 40), RGB(207, 207, 207));
}

TEST_F(PreviewWin, DraggingPansToTheEdgesAndTellsTheParentEachStep) {
  ShowLargeRender();
  CPreviewBitmap& pane = dlg_->pane;
  const PreviewRect start = pane.View().View();
  pane.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100));
  pane.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(90, 100));
  EXPECT_EQ(pane.View().View().left, start.left + 10);
  pane.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(5000, 5000));
  EXPECT_EQ(pane.View().View(), (PreviewRect{0, 0, kPaneW - 1, kPaneH - 1}));
  pane.SendMessage(WM_LBUTTONUP, 0, At(5000, 5000));
  EXPECT_EQ(dlg_->paneNotices, 0) << "posted, not sent";
  Pump(50);
  EXPECT_EQ(dlg_->paneNotices, 2);

  // After the release, moves pan nothing.
  pane.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(0, 0));
  EXPECT_EQ(pane.View().View(), (PreviewRect{0, 0, kPaneW - 1, kPaneH - 1}));
}

TEST_F(PreviewWin, LosingTheCaptureEndsTheDrag) {
  ShowLargeRender();
  CPreviewBitmap& pane = dlg_->pane;
  pane.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100));
  ASSERT_TRUE(pane.View().Dragging());
  SetCapture(dlg_->Hwnd());  // another window takes the mouse
  EXPECT_FALSE(pane.View().Dragging());
  ReleaseCapture();
  const PreviewRect before = pane.View().View();
  pane.SendMessage(WM_MOUSEMOVE, 0, At(10, 10));
  EXPECT_EQ(pane.View().View(), before);
}

}  // namespace
}  // namespace tessaro
