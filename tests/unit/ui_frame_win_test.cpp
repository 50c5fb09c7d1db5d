// The dialog frame and the window layer, driven through real window messages
// and the platform's own move and size loop.  Every wait is bounded: message
// pumps have deadlines, modal dialogs have timers that end them, and a press
// that starts the move or size loop always has its release queued behind it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "settings/file_settings_store.h"
#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/controls_win.h"
#include "support/message_pump_win.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/frame_layout.h"
#include "ui/toolkit/tool_dlg_win.h"

namespace tessaro {
namespace {

constexpr int kFiveToTenId = 3001;
constexpr int kCornerId = 3002;

using testing::Pump;
using testing::PumpUntil;

// ---- Test dialogs --------------------------------------------------------------

// A frame with the template convention: caption static, optionally the
// caption close button, a control anchored (5,0)-(10,0) and one that keeps
// to the bottom-right corner.
CDialogTemplate FrameTemplate(bool closeButton) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  CDialogTemplate t(WS_POPUP | WS_CLIPCHILDREN, 0, 0, 200, 120, L"Frame test");
  t.AddItem(DialogItemClass::kStatic, kCaptionId, L"Frame test", SS_LEFT, 2, 2, 196, 11);
  if (closeButton)
    t.AddItem(DialogItemClass::kButton, kCaptionCloseId, L"x", child | BS_PUSHBUTTON, 184, 3, 12, 9);
  t.AddItem(DialogItemClass::kButton, kFiveToTenId, L"Anchored", child | BS_PUSHBUTTON, 20, 40, 40,
            14);
  t.AddItem(DialogItemClass::kButton, kCornerId, L"Corner", child | BS_PUSHBUTTON, 140, 96, 50, 14);
  return t;
}

class CTestFrame : public CToolDlg {
 protected:
  bool OnInitDialog() override {
    CToolDlg::OnInitDialog();
    AnchorControl(kFiveToTenId, {5, 0}, {10, 0});
    AnchorControl(kCornerId, kAnchorBottomRight);
    return true;
  }
};

std::string TempPath(const char* stem) {
  static int counter = 0;
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + ".txt";
}

// While the platform's move or size loop runs, nothing but a button release
// ends it.  This timer sends one if the queued release went missing, so a
// broken test fails instead of hanging.
HWND g_loopWindow = nullptr;
void CALLBACK ReleaseStuckLoop(HWND, UINT, UINT_PTR, DWORD) {
  if (g_loopWindow != nullptr) PostMessageW(g_loopWindow, WM_LBUTTONUP, 0, 0);
}

class FrameWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterfaceColors();
    ResetBorderTable();
    storePath_ = TempPath("tessaro-frame-test");
    store_ = std::make_unique<FileSettingsStore>(storePath_);
  }
  void TearDown() override {
    dialog_.reset();
    store_.reset();
    std::remove(storePath_.c_str());
    std::remove((storePath_ + ".tmp").c_str());
    ResetInterfaceColors();
    ResetBorderTable();
  }

  CTestFrame& Open(bool resizable, bool closeButton = false, const std::string& title = "") {
    dialog_ = std::make_unique<CTestFrame>();
    dialog_->SetResizable(resizable);
    dialog_->SetTitle(title);
    dialog_->SetSettingsStore(store_.get());
    const CDialogTemplate t = FrameTemplate(closeButton);
    EXPECT_TRUE(dialog_->Create(t.Get(), nullptr));
    dialog_->SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog_->ShowWindow(SW_SHOW);
    SetForegroundWindow(dialog_->Hwnd());
    Pump(50);
    return *dialog_;
  }

  // Presses at a client point, moves the pointer by (dx, dy) and releases,
  // through the frame's press handling and whatever loop the press starts.
  void Drag(CWnd& wnd, POINT from, int dx, int dy) {
    const POINT screen = wnd.ClientToScreen(from);
    SetCursorPos(screen.x, screen.y);
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SetCursorPos(screen.x + dx, screen.y + dy);
    wnd.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y + dy));
    wnd.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y + dy));
    g_loopWindow = wnd.Hwnd();
    const UINT_PTR safety = SetTimer(nullptr, 0, 3000, &ReleaseStuckLoop);
    Pump(100);
    KillTimer(nullptr, safety);
    g_loopWindow = nullptr;
  }

  std::string storePath_;
  std::unique_ptr<FileSettingsStore> store_;
  std::unique_ptr<CTestFrame> dialog_;
};

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// ---- DPI changes ------------------------------------------------------------------

int FontHeight(HWND window) {
  LOGFONTW face = {};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof face, &face);
  return face.lfHeight;
}

// The system sends this when the window moves to a monitor of another DPI;
// sending it here stands for the move.
void MoveToDpi(CToolDlg& dlg, int dpi, RECT suggested) {
  dlg.SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  Pump(50);
}

TEST_F(FrameWin, MovingToTwiceTheDpiScalesFontPlacesAndLimitsAndBackAgain) {
  CTestFrame& dlg = Open(true);
  const int dpi = dlg.Dpi();
  ASSERT_GE(dpi, 96);
  HWND corner = dlg.GetDlgItem(kCornerId), fiveToTen = dlg.GetDlgItem(kFiveToTenId);
  const RECT window = dlg.GetWindowRect(), cornerRect = dlg.GetChildRect(corner);
  const RECT anchoredRect = dlg.GetChildRect(fiveToTen);
  const ClientSize client = dlg.GetClientSize(), minimum = dlg.MinimumTrackSize();
  const int font = FontHeight(dlg.Hwnd());
  ASSERT_NE(font, 0);

  RECT doubled = window;
  doubled.right = window.left + 2 * (window.right - window.left);
  doubled.bottom = window.top + 2 * (window.bottom - window.top);
  MoveToDpi(dlg, 2 * dpi, doubled);
  EXPECT_EQ(dlg.Dpi(), 2 * dpi);
  EXPECT_EQ(WindowSkinDpi(corner), 2 * dpi) << "controls draw for their dialog's DPI";
  EXPECT_TRUE(SameRect(dlg.GetWindowRect(), doubled)) << Describe(dlg.GetWindowRect());
  EXPECT_EQ(FontHeight(dlg.Hwnd()), 2 * font);
  EXPECT_EQ(FontHeight(corner), 2 * font) << "the controls take the new font";
  EXPECT_EQ(dlg.MinimumTrackSize().width, 2 * minimum.width);
  EXPECT_EQ(dlg.MinimumTrackSize().height, 2 * minimum.height);
  // Every place is the old one twice over: the corner control keeps twice its
  // distance from the corner, the anchored one twice its margins.
  const RECT c2 = dlg.GetChildRect(corner), a2 = dlg.GetChildRect(fiveToTen);
  const ClientSize client2 = dlg.GetClientSize();
  EXPECT_EQ(client2.width - c2.right, 2 * (client.width - cornerRect.right));
  EXPECT_EQ(client2.height - c2.bottom, 2 * (client.height - cornerRect.bottom));
  EXPECT_EQ(c2.right - c2.left, 2 * (cornerRect.right - cornerRect.left));
  EXPECT_EQ(a2.top, 2 * anchoredRect.top);
  EXPECT_EQ(a2.left - client2.width * 5 / 100, 2 * (anchoredRect.left - client.width * 5 / 100));

  MoveToDpi(dlg, dpi, window);
  EXPECT_EQ(dlg.Dpi(), dpi);
  EXPECT_TRUE(SameRect(dlg.GetWindowRect(), window)) << Describe(dlg.GetWindowRect());
  EXPECT_EQ(FontHeight(dlg.Hwnd()), font);
  EXPECT_EQ(FontHeight(corner), font);
  EXPECT_TRUE(SameRect(dlg.GetChildRect(corner), cornerRect));
  EXPECT_TRUE(SameRect(dlg.GetChildRect(fiveToTen), anchoredRect));
  EXPECT_EQ(dlg.MinimumTrackSize().width, minimum.width);
}

TEST(DpiAwareness, ModalDialogsRunPerMonitorAwareAndTheHostKeepsItsContext) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  using GetContext = HANDLE(WINAPI*)();
  using Awareness = int(WINAPI*)(HANDLE);
  const auto get = reinterpret_cast<GetContext>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
  const auto awareness = reinterpret_cast<Awareness>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
  if (get == nullptr || awareness == nullptr) GTEST_SKIP() << "no DPI awareness contexts here";
  const int before = awareness(get());
  static int during = -1, forTheHost = -1, afterTheHost = -1;
  static GetContext s_get;
  static Awareness s_awareness;
  s_get = get, s_awareness = awareness;
  CDialogTemplate t(WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, L"Aware");
  t.AddItem(DialogItemClass::kButton, IDOK, L"OK", WS_CHILD | WS_VISIBLE, 5, 5, 40, 14);
  CDialog dialog;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    during = s_awareness(s_get());
    {
      const CHostDpiScope host;  // around a call into the host
      forTheHost = s_awareness(s_get());
    }
    afterTheHost = s_awareness(s_get());
    KillTimer(nullptr, id);
    if (HWND box = FindWindowW(nullptr, L"Aware")) PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dialog.DoModal(t.Get(), nullptr), IDOK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(during, 2) << "per-monitor aware while the dialog runs";
  EXPECT_EQ(forTheHost, before) << "the host's own context for the host's windows";
  EXPECT_EQ(afterTheHost, 2);
  EXPECT_EQ(awareness(get()), before);
}

// ---- Frame ---------------------------------------------------------------------

TEST_F(FrameWin, AnchoredChildrenFollowTheSize) {
  CTestFrame& dlg = Open(true);
  HWND fiveToTen = dlg.GetDlgItem(kFiveToTenId), corner = dlg.GetDlgItem(kCornerId);
  const RECT a0 = dlg.GetChildRect(fiveToTen), c0 = dlg.GetChildRect(corner);
  const RECT w0 = dlg.GetWindowRect();
  const int width = w0.right - w0.left, height = w0.bottom - w0.top;
  const ClientSize client0 = dlg.GetClientSize();
  const DibRect caption0 = dlg.CaptionRect();

  dlg.SetWindowPos(nullptr, 0, 0, width + 200, height + 50, SWP_NOMOVE | SWP_NOZORDER);
  const RECT a1 = dlg.GetChildRect(fiveToTen), c1 = dlg.GetChildRect(corner);
  // Whatever the template's pixel size, 200 more pixels move a (5,0)-(10,0)
  // control by 10 and widen it by 10.
  EXPECT_EQ(a1.left - a0.left, (client0.width + 200) * 5 / 100 - client0.width * 5 / 100);
  EXPECT_EQ(a1.left - a0.left, 10);
  EXPECT_EQ(a1.right - a0.right, 20);
  EXPECT_EQ(a1.top, a0.top);
  EXPECT_EQ(a1.bottom, a0.bottom);
  EXPECT_EQ(c1.left - c0.left, 200);
  EXPECT_EQ(c1.top - c0.top, 50);
  EXPECT_EQ(c1.right - c1.left, c0.right - c0.left);
  // The caption strip stretches with the width of a resizable frame.
  EXPECT_EQ(dlg.CaptionRect().right, caption0.right + 200);
  EXPECT_EQ(dlg.CaptionRect().left, caption0.left);

  dlg.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(SameRect(dlg.GetChildRect(fiveToTen), a0)) << Describe(dlg.GetChildRect(fiveToTen));
  EXPECT_TRUE(SameRect(dlg.GetChildRect(corner), c0)) << Describe(dlg.GetChildRect(corner));
}

TEST_F(FrameWin, NeverSmallerThanItsTemplate) {
  CTestFrame& dlg = Open(true);
  const RECT w0 = dlg.GetWindowRect();
  const int width = w0.right - w0.left, height = w0.bottom - w0.top;
  EXPECT_EQ(dlg.MinimumTrackSize().width, width);
  EXPECT_EQ(dlg.MinimumTrackSize().height, height);

  MINMAXINFO info = {};
  dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, width);
  EXPECT_EQ(info.ptMinTrackSize.y, height);

  // Dragging the corner inwards stops at the template size...
  const ClientSize c = dlg.GetClientSize();
  Drag(dlg, {c.width - 2, c.height - 2}, 40, 30);
  RECT w = dlg.GetWindowRect();
  EXPECT_EQ(w.right - w.left, width + 40);
  EXPECT_EQ(w.bottom - w.top, height + 30);
  const ClientSize grown = dlg.GetClientSize();
  Drag(dlg, {grown.width - 2, grown.height - 2}, -120, -100);
  w = dlg.GetWindowRect();
  EXPECT_EQ(w.right - w.left, width);
  EXPECT_EQ(w.bottom - w.top, height);
  EXPECT_EQ(w.left, w0.left);
  EXPECT_EQ(w.top, w0.top);

  // ...and so does a size set in code.
  dlg.SetWindowPos(nullptr, 0, 0, width / 2, height - 30, SWP_NOMOVE | SWP_NOZORDER);
  w = dlg.GetWindowRect();
  EXPECT_EQ(w.right - w.left, width);
  EXPECT_EQ(w.bottom - w.top, height);
}

struct ZoneCase {
  const char* name;
  int x, y;  // press point; negative values count from the right or bottom
  int dx, dy;
  bool left, top, right, bottom;  // which edges follow the pointer
};

TEST_F(FrameWin, EachResizeZoneMovesItsOwnEdges) {
  const ZoneCase cases[] = {
      {"bottom-right", -3, -3, 15, 12, false, false, true, true},
      {"top-left", 1, 1, -15, -12, true, true, false, false},
      {"bottom-left", 3, -2, -15, 12, true, false, false, true},
      {"top-right", -2, 1, 15, -12, false, true, true, false},
      {"right", -2, 60, 15, 12, false, false, true, false},
      {"left", 2, 60, -15, 12, true, false, false, false},
      // Three pixels from the bottom edge and fifty from the left.
      {"bottom", 50, -3, 15, 12, false, false, false, true},
      // Top edge above the caption strip.
      {"top", 60, 1, 15, -12, false, true, false, false},
  };
  CTestFrame& dlg = Open(true);
  const RECT start = dlg.GetWindowRect();
  for (const ZoneCase& z : cases) {
    SCOPED_TRACE(z.name);
    dlg.SetWindowPos(nullptr, start.left, start.top, start.right - start.left,
                     start.bottom - start.top, SWP_NOZORDER);
    const ClientSize c = dlg.GetClientSize();
    const POINT at = {z.x < 0 ? c.width + z.x : z.x, z.y < 0 ? c.height + z.y : z.y};
    const FrameHit hit = FramePressAt(at.x, at.y, c, dlg.CaptionRect(), true, false);
    ASSERT_NE(hit, FrameHit::kNone);
    ASSERT_NE(hit, FrameHit::kCaption);
    const RECT before = dlg.GetWindowRect();
    Drag(dlg, at, z.dx, z.dy);
    const RECT after = dlg.GetWindowRect();
    EXPECT_EQ(after.left - before.left, z.left ? z.dx : 0);
    EXPECT_EQ(after.right - before.right, z.right ? z.dx : 0);
    EXPECT_EQ(after.top - before.top, z.top ? z.dy : 0);
    EXPECT_EQ(after.bottom - before.bottom, z.bottom ? z.dy : 0);
  }
}

TEST_F(FrameWin, FixedSizeDialogIgnoresEdgePresses) {
  CTestFrame& dlg = Open(false);
  const ClientSize c = dlg.GetClientSize();
  const RECT before = dlg.GetWindowRect();
  Drag(dlg, {50, c.height - 3}, 15, 12);
  Drag(dlg, {c.width - 3, c.height - 3}, 15, 12);
  EXPECT_TRUE(SameRect(dlg.GetWindowRect(), before)) << Describe(dlg.GetWindowRect());
}

TEST_F(FrameWin, CaptionDragMovesTheWindow) {
  for (bool resizable : {true, false}) {
    SCOPED_TRACE(resizable ? "resizable" : "fixed");
    CTestFrame& dlg = Open(resizable);
    const DibRect caption = dlg.CaptionRect();
    const RECT before = dlg.GetWindowRect();
    Drag(dlg, {caption.left + 40, (caption.top + caption.bottom) / 2}, 30, 20);
    const RECT after = dlg.GetWindowRect();
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    dialog_.reset();
  }
}

TEST_F(FrameWin, DoubleClickOnTheCaptionRollsUpAndDown) {
  CTestFrame& dlg = Open(true, true, "Frame test");
  const DibRect caption = dlg.CaptionRect();
  const RECT window0 = dlg.GetWindowRect();
  const ClientSize client0 = dlg.GetClientSize();
  HWND corner = dlg.GetDlgItem(kCornerId);
  const RECT corner0 = dlg.GetChildRect(corner);
  const LPARAM onCaption = MAKELPARAM(caption.left + 30, caption.top + 3);

  dlg.SendMessage(WM_LBUTTONDBLCLK, 0, onCaption);
  EXPECT_TRUE(dlg.IsRolledUp());
  EXPECT_EQ(dlg.GetClientSize().height, RolledUpClientHeight(caption));
  EXPECT_EQ(dlg.GetClientSize().width, client0.width);
  EXPECT_EQ(dlg.GetWindowRect().top, window0.top);
  EXPECT_EQ(dlg.GetWindowRect().left, window0.left);
  // The controls stay where they were, out of sight below the caption.
  EXPECT_TRUE(SameRect(dlg.GetChildRect(corner), corner0));
  EXPECT_EQ(store_->GetInt("Frame test", "Minimize", -1), 1);
  EXPECT_EQ(store_->GetInt("Frame test", "Auto hide", -1), 0);

  // A rolled-up frame neither resizes from its edges...
  const ClientSize rolled = dlg.GetClientSize();
  Drag(dlg, {rolled.width - 2, rolled.height - 1}, 20, 20);
  EXPECT_EQ(dlg.GetClientSize().height, rolled.height);
  EXPECT_EQ(dlg.GetClientSize().width, rolled.width);
  // ...nor rolls down from a double click off the caption.
  dlg.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(caption.left + 30, caption.bottom));
  EXPECT_TRUE(dlg.IsRolledUp());

  dlg.SendMessage(WM_LBUTTONDBLCLK, 0, onCaption);
  EXPECT_FALSE(dlg.IsRolledUp());
  EXPECT_EQ(dlg.GetClientSize().height, client0.height);
  EXPECT_TRUE(SameRect(dlg.GetChildRect(corner), corner0)) << Describe(dlg.GetChildRect(corner));
  EXPECT_EQ(store_->GetInt("Frame test", "Minimize", -1), 0);

  // Rolling down lays out again normally afterwards.
  const RECT w = dlg.GetWindowRect();
  dlg.SetWindowPos(nullptr, 0, 0, w.right - w.left + 30, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(dlg.GetChildRect(corner).left, corner0.left + 30);
}

TEST_F(FrameWin, DialogsWithoutACloseButtonNeverRollUp) {
  CTestFrame& dlg = Open(true, false);
  const DibRect caption = dlg.CaptionRect();
  const ClientSize before = dlg.GetClientSize();
  dlg.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(caption.left + 30, caption.top + 3));
  EXPECT_FALSE(dlg.IsRolledUp());
  EXPECT_EQ(dlg.GetClientSize().height, before.height);
}

TEST_F(FrameWin, PointerShapesOverTheEdges) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR corner = LoadCursorW(nullptr, IDC_SIZENWSE);
  const HCURSOR side = LoadCursorW(nullptr, IDC_SIZEWE);
  auto query = [](CTestFrame& dlg, POINT client) {
    const POINT s = dlg.ClientToScreen(client);
    SetCursorPos(s.x, s.y);
    return dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.Hwnd()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };

  CTestFrame& dlg = Open(true);
  const ClientSize c = dlg.GetClientSize();
  EXPECT_EQ(query(dlg, {c.width - 2, c.height - 2}), TRUE);
  EXPECT_EQ(GetCursor(), corner);
  EXPECT_EQ(query(dlg, {c.width - 3, c.height / 2}), TRUE);
  EXPECT_EQ(GetCursor(), side);
  EXPECT_EQ(query(dlg, {c.width / 2, c.height / 2}), TRUE);
  EXPECT_EQ(GetCursor(), arrow);
  // A child leaving the pointer to its parent gets the parent's zones: put the
  // pointer on the frame's right edge and ask on the child's behalf.
  HWND child = dlg.GetDlgItem(kCornerId);
  const POINT edge = dlg.ClientToScreen({c.width - 2, c.height / 2});
  SetCursorPos(edge.x, edge.y);
  SetCursor(arrow);
  EXPECT_EQ(dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), side);
  dialog_.reset();

  CTestFrame& fixed = Open(false);
  SetCursor(corner);
  EXPECT_EQ(query(fixed, {c.width - 2, c.height - 2}), FALSE);
  EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(FrameWin, PaintsStripesBorderCaptionAndTitle) {
  SetWindowColor(0x808080);
  SetControlColor(0x906030);
  SetButtonStyle(kButtonStyleFlat);
  CTestFrame& dlg = Open(true);
  dlg.RedrawWindow();
  const ClientSize c = dlg.GetClientSize();
  const DibRect caption = dlg.CaptionRect();
  HDC dc = GetDC(dlg.Hwnd());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetPixel(dc, 0, c.height / 2), 0xE0E0E0u);           // light left edge
  EXPECT_EQ(GetPixel(dc, c.width - 1, c.height / 2), 0x242424u);  // dark right edge
  const int y = c.height - 20;
  EXPECT_EQ(GetPixel(dc, 3, y), StripeRowColor(0x808080, 4, y));
  EXPECT_EQ(GetPixel(dc, 3, y + 1), StripeRowColor(0x808080, 4, y + 1));
  EXPECT_NE(GetPixel(dc, 3, y), GetPixel(dc, 3, y + 1));
  // The caption bar right of the title, and the white title somewhere in it.
  EXPECT_EQ(GetPixel(dc, caption.right - 5, (caption.top + caption.bottom) / 2),
            CaptionBarColor(0x906030, dlg.IsActive()));
  int white = 0, outline = 0;
  for (int py = caption.top; py < caption.bottom; ++py) {
    for (int px = caption.left; px < caption.left + 80; ++px) {
      const COLORREF p = GetPixel(dc, px, py);
      white += p == kCaptionTextColor;
      outline += p == CaptionOutlineColor(0x906030);
    }
  }
  EXPECT_GT(white, 10);
  EXPECT_GT(outline, white);

  // The stripe contrast is read at every paint.
  store_->WriteInt("", "Linear interface", 0);
  dlg.RedrawWindow();
  EXPECT_EQ(GetPixel(dc, 3, y), 0x808080u);
  EXPECT_EQ(GetPixel(dc, 3, y + 1), 0x808080u);
  ReleaseDC(dlg.Hwnd(), dc);
}

// ---- Modal dialogs -------------------------------------------------------------

// Ends itself after a while whatever else happens, so no test waits forever.
class CTimedDialog : public CDialog {
 public:
  std::function<void(CTimedDialog&)> onInit;
  std::function<void(CTimedDialog&)> onTick;
  bool everShown = false;
  HWND ownerWhileRunning = nullptr;
  bool ownerEnabledWhileRunning = true;

 protected:
  bool OnInitDialog() override {
    SetTimer(1, 50);
    SetTimer(2, 3000);
    if (onInit) onInit(*this);
    return true;
  }
  void OnTimer(UINT_PTR id) override {
    if (id == 2) {
      EndDialog(99);
      return;
    }
    KillTimer(1);
    if (ownerWhileRunning != nullptr) ownerEnabledWhileRunning = IsWindowEnabled(ownerWhileRunning);
    if (onTick) onTick(*this);
  }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SHOWWINDOW && wParam) everShown = true;
    return CDialog::WindowProc(msg, wParam, lParam);
  }
};

CDialogTemplate ButtonsTemplate() {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  CDialogTemplate t(WS_POPUP | WS_CAPTION, 20, 20, 120, 60, L"Modal");
  t.AddItem(DialogItemClass::kButton, IDOK, L"OK", child | BS_DEFPUSHBUTTON, 10, 30, 40, 14);
  t.AddItem(DialogItemClass::kButton, IDCANCEL, L"Cancel", child | BS_PUSHBUTTON, 60, 30, 40, 14);
  return t;
}

void PressKey(CTimedDialog& dlg, WPARAM key) {
  HWND target = GetFocus() != nullptr ? GetFocus() : dlg.Hwnd();
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

TEST(ModalDialog, EnterPressesTheDefaultButtonAndEscapeCancels) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog enter;
  enter.onTick = [](CTimedDialog& d) { PressKey(d, VK_RETURN); };
  EXPECT_EQ(enter.DoModal(t.Get(), nullptr), IDOK);
  EXPECT_TRUE(enter.everShown);
  EXPECT_EQ(enter.Hwnd(), nullptr);

  CTimedDialog escape;
  escape.onTick = [](CTimedDialog& d) { PressKey(d, VK_ESCAPE); };
  EXPECT_EQ(escape.DoModal(t.Get(), nullptr), IDCANCEL);

  // The same object runs again.
  EXPECT_EQ(enter.DoModal(t.Get(), nullptr), IDOK);
}

TEST(ModalDialog, OwnerIsDisabledWhileItRuns) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog owner;
  ASSERT_TRUE(owner.Create(t.Get(), nullptr));
  CTimedDialog modal;
  modal.ownerWhileRunning = owner.Hwnd();
  modal.onTick = [](CTimedDialog& d) { d.EndDialog(7); };
  EXPECT_EQ(modal.DoModal(t.Get(), owner.GetDlgItem(IDOK)), 7);
  EXPECT_FALSE(modal.ownerEnabledWhileRunning);
  EXPECT_TRUE(owner.IsEnabled());
}

TEST(ModalDialog, EndedDuringInitialisationIsNeverShown) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog silent;
  silent.onInit = [](CTimedDialog& d) { d.EndDialog(IDOK); };
  EXPECT_EQ(silent.DoModal(t.Get(), nullptr), IDOK);
  EXPECT_FALSE(silent.everShown);
}

TEST(ModalDialog, HandlerExceptionEndsTheDialogAndReachesTheCaller) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog failing;
  failing.onTick = [](CTimedDialog&) { throw std::runtime_error("render failed"); };
  try {
    failing.DoModal(t.Get(), nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "render failed");
  }
  EXPECT_EQ(failing.Hwnd(), nullptr);
  EXPECT_FALSE(HasHandlerFailure());

  CTimedDialog failingInit;
  failingInit.onInit = [](CTimedDialog&) { throw std::runtime_error("no memory"); };
  EXPECT_THROW(failingInit.DoModal(t.Get(), nullptr), std::runtime_error);
  EXPECT_EQ(failingInit.Hwnd(), nullptr);
}

TEST(ModalDialog, ModelessDialogHandlerExceptionIsContained) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog modeless;
  bool ticked = false;
  modeless.onTick = [&](CTimedDialog&) {
    ticked = true;
    throw std::runtime_error("ignored");
  };
  ASSERT_TRUE(modeless.Create(t.Get(), nullptr));
  EXPECT_TRUE(PumpUntil([&] { return ticked; }, 2000));
  EXPECT_FALSE(HasHandlerFailure());
  EXPECT_TRUE(modeless.IsWindow());
}

// ---- Binding and controls ------------------------------------------------------

class CTimerSpy : public CWnd {
 public:
  UINT_PTR lastTimer = 0;

 protected:
  void OnTimer(UINT_PTR id) override { lastTimer = id; }
};

class COwnerDrawnSpy : public CButton {
 public:
  RECT drawn = {0, 0, 0, 0};
  int draws = 0;

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    drawn = item.rcItem;
    ++draws;
    return true;
  }
};

TEST(WindowBinding, ItemsBindByIdAndComeBackOnDetachOrDestroy) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog dlg;
  ASSERT_TRUE(dlg.Create(t.Get(), nullptr));
  HWND ok = dlg.GetDlgItem(IDOK);
  const LONG_PTR original = GetWindowLongPtrW(ok, GWLP_WNDPROC);

  CTimerSpy spy;
  ASSERT_TRUE(spy.AttachDlgItem(IDOK, dlg));
  EXPECT_EQ(CWnd::FromHandle(ok), &spy);
  EXPECT_EQ(CWnd::FromHandle(dlg.Hwnd()), &dlg);
  SendMessageW(ok, WM_TIMER, 77, 0);
  EXPECT_EQ(spy.lastTimer, 77u);

  CTimerSpy second;
  EXPECT_FALSE(second.Attach(ok));               // one object per window
  EXPECT_FALSE(spy.AttachDlgItem(IDCANCEL, dlg));  // one window per object
  EXPECT_FALSE(second.AttachDlgItem(4242, dlg));   // no such item

  EXPECT_EQ(spy.Detach(), ok);
  EXPECT_EQ(GetWindowLongPtrW(ok, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandle(ok), nullptr);
  SendMessageW(ok, WM_TIMER, 78, 0);
  EXPECT_EQ(spy.lastTimer, 77u);

  // Destroying the dialog unbinds everything bound to it.
  ASSERT_TRUE(second.Attach(ok));
  HWND dialogWindow = dlg.Hwnd();
  dlg.DestroyWindow();
  EXPECT_EQ(dlg.Hwnd(), nullptr);
  EXPECT_EQ(second.Hwnd(), nullptr);
  EXPECT_EQ(CWnd::FromHandle(ok), nullptr);
  EXPECT_EQ(CWnd::FromHandle(dialogWindow), nullptr);
}

TEST(WindowBinding, ObjectGoneBeforeItsWindowLeavesAWorkingWindow) {
  const CDialogTemplate t = ButtonsTemplate();
  CTimedDialog dlg;
  ASSERT_TRUE(dlg.Create(t.Get(), nullptr));
  HWND ok = dlg.GetDlgItem(IDOK);
  {
    CTimerSpy spy;
    ASSERT_TRUE(spy.Attach(ok));
  }
  EXPECT_EQ(CWnd::FromHandle(ok), nullptr);
  SendMessageW(ok, WM_TIMER, 1, 0);  // reaches the button's own procedure
  EXPECT_TRUE(IsWindow(ok));
  HWND window = dlg.Hwnd();
  {
    auto temporary = std::make_unique<CTimedDialog>();
    ASSERT_TRUE(temporary->Create(t.Get(), nullptr));
    window = temporary->Hwnd();
  }
  // The object created its window, so the window went with it.
  EXPECT_FALSE(IsWindow(window));
}

TEST(WindowBinding, OwnerDrawnChildPaintsThroughItsObject) {
  CDialogTemplate t(WS_POPUP | WS_VISIBLE, 0, 0, 100, 40, L"Owner draw");
  t.AddItem(DialogItemClass::kButton, 10, L"Bar", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 5, 60, 14);
  EXPECT_EQ(t.ItemCount(), 1);
  CTimedDialog dlg;
  ASSERT_TRUE(dlg.Create(t.Get(), nullptr));
  COwnerDrawnSpy bar;
  ASSERT_TRUE(bar.AttachDlgItem(10, dlg));
  InvalidateRect(bar.Hwnd(), nullptr, TRUE);
  UpdateWindow(bar.Hwnd());
  EXPECT_GE(bar.draws, 1);
  const ClientSize size = bar.GetClientSize();
  EXPECT_EQ(bar.drawn.right - bar.drawn.left, size.width);
  EXPECT_EQ(bar.drawn.bottom - bar.drawn.top, size.height);
}

TEST(StandardControls, SliderAndProgressKeepTheirValuesInTheControl) {
  CDialogTemplate t(WS_POPUP, 0, 0, 160, 60, L"Controls");
  t.AddItem(TRACKBAR_CLASSW, 20, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 5, 5, 150, 14);
  t.AddItem(PROGRESS_CLASSW, 21, L"", WS_CHILD | WS_VISIBLE, 5, 30, 150, 8);
  t.AddItem(DialogItemClass::kButton, 22, L"Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 42,
            60, 10);
  CTimedDialog dlg;
  ASSERT_TRUE(dlg.Create(t.Get(), nullptr));

  CSliderCtrl slider;
  ASSERT_TRUE(slider.AttachDlgItem(20, dlg));
  slider.SetRange(-50, 150);
  slider.SetPageSize(10);
  slider.SetPos(200);  // the control clamps to its range
  EXPECT_EQ(slider.GetRangeMin(), -50);
  EXPECT_EQ(slider.GetRangeMax(), 150);
  EXPECT_EQ(slider.GetPageSize(), 10);
  EXPECT_EQ(slider.GetPos(), 150);
  slider.SetPos(-7);
  EXPECT_EQ(slider.GetPos(), -7);

  CProgressCtrl progress;
  ASSERT_TRUE(progress.AttachDlgItem(21, dlg));
  progress.SetRange(0, 70000);
  int low = -1, high = -1;
  progress.GetRange(low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 65535);
  progress.SetPos(1234);
  EXPECT_EQ(progress.GetPos(), 1234);

  CButton check;
  ASSERT_TRUE(check.AttachDlgItem(22, dlg));
  EXPECT_EQ(check.GetButtonType(), UINT(BS_AUTOCHECKBOX));
  check.Click();
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
}

}  // namespace
}  // namespace tessaro
