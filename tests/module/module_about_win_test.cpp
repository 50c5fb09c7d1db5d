// The host's about call on the real module: the box opens over the logo,
// its credits can be dragged into view, every way out ends it, and the small
// about record comes back untouched.  A timer of the test's own looks at the
// box from inside its modal loop and ends it; a deadline ends it regardless.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "host/plugin_interface.h"
#include "module_fixture.h"

namespace tessaro::testing {
namespace {

constexpr int kPictureId = 1143;
constexpr int kCloseId = 1014;

struct Seen {
  bool found = false;
  int darkInBand = -1;  // text pixels over the left of the logo
  int warmOnRight = 0;  // the logo's tiles
  UINT exitMessage = 0;
  WPARAM exitParam = 0;
  int ticks = 0;
  int ticksSinceExit = -1;
  bool stuck = false;  // the way out did not end the box
};
Seen g_seen;

int Luma(COLORREF c) {
  return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
}

void Look(HWND picture) {
  // Pull the credits well up into the band, where they are fully dark.
  SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 300));
  SendMessageW(picture, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 150));
  SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(100, 150));
  RECT r;
  GetClientRect(picture, &r);
  HDC dc = GetDC(picture);
  g_seen.darkInBand = 0;
  for (int y = 1; y < r.bottom - 1; y += 2)
    for (int x = 1; x < r.right - 1; x += 2) {
      const COLORREF c = GetPixel(dc, x, y);
      if (x < r.right * 150 / 185 - 30 && Luma(c) < 90) ++g_seen.darkInBand;
      if (x > r.right - 100 && GetRValue(c) > 180 && GetBValue(c) < 130) ++g_seen.warmOnRight;
    }
  ReleaseDC(picture, dc);
}

// The box by its picture, whatever a language file calls it.
HWND FindBox() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM data) CALLBACK -> BOOL {
        if (GetDlgItem(h, kPictureId) == nullptr) return TRUE;
        *reinterpret_cast<HWND*>(data) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindBox();
  if (++g_seen.ticks > 100) {  // 30 s: whatever happened, the box must go
    g_seen.stuck = true;
    KillTimer(nullptr, id);
    if (box != nullptr) DestroyWindow(box);
    return;
  }
  if (box == nullptr || !IsWindowVisible(box)) return;
  g_seen.found = true;
  if (g_seen.ticksSinceExit >= 0) {
    if (++g_seen.ticksSinceExit > 10) {
      g_seen.stuck = true;
      KillTimer(nullptr, id);
      DestroyWindow(box);
    }
    return;
  }
  if (g_seen.darkInBand < 0) Look(GetDlgItem(box, kPictureId));
  g_seen.ticksSinceExit = 0;
  PostMessageW(box, g_seen.exitMessage, g_seen.exitParam, 0);
}

class ModuleAboutTest : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    g_seen = Seen{};
  }

  // Calls about and leaves the box with message; the record must come back
  // as it went in.
  int16_t AboutLeavingWith(UINT message, WPARAM param) {
    g_seen.exitMessage = message;
    g_seen.exitParam = param;
    auto about = std::make_unique<host::AboutRecord>();
    std::memset(about.get(), 0x33, sizeof(host::AboutRecord));
    const std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(about.get()),
                                      reinterpret_cast<uint8_t*>(about.get()) +
                                          sizeof(host::AboutRecord));
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, Drive);
    intptr_t data = 0;
    int16_t result = 777;
    module_->entry()(host::kSelectorAbout, about.get(), &data, &result);
    KillTimer(nullptr, timer);
    EXPECT_EQ(std::vector<uint8_t>(reinterpret_cast<uint8_t*>(about.get()),
                                   reinterpret_cast<uint8_t*>(about.get()) +
                                       sizeof(host::AboutRecord)),
              before);
    EXPECT_EQ(data, 0);
    return result;
  }

};

TEST_F(ModuleAboutTest, ShowsTheLogoWithCreditsThatCanBeDraggedAndEscapeEndsIt) {
  EXPECT_EQ(AboutLeavingWith(WM_KEYDOWN, VK_ESCAPE), 0);
  ASSERT_TRUE(g_seen.found);
  EXPECT_FALSE(g_seen.stuck);
  EXPECT_GT(g_seen.warmOnRight, 200);
  EXPECT_GT(g_seen.darkInBand, 50);
}

TEST_F(ModuleAboutTest, EnterAndTheCloseButtonEndItToo) {
  EXPECT_EQ(AboutLeavingWith(WM_KEYDOWN, VK_RETURN), 0);
  EXPECT_TRUE(g_seen.found);
  EXPECT_FALSE(g_seen.stuck);
  g_seen = Seen{};
  EXPECT_EQ(AboutLeavingWith(WM_COMMAND, MAKEWPARAM(kCloseId, BN_CLICKED)), 0);
  EXPECT_TRUE(g_seen.found);
  EXPECT_FALSE(g_seen.stuck);
}

}  // namespace
}  // namespace tessaro::testing
