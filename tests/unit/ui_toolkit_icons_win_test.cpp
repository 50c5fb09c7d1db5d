// A module without icon and cursor resources (this test program has none)
// gets no picture at all from the toolkit, not one made up in code.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/user_message.h"
#include "resources/resource_ids.h"
#include "ui/toolkit/toolkit_icons_win.h"

namespace tessaro {
namespace {

TEST(ToolkitIconsTest, MissingIconsAreNull) {
  for (int id : {host::kIconWarning, host::kIconQuestion, CHECKED_BOX_ICON_ID, EMPTY_BOX_ICON_ID,
                 CAPTION_MENU_ICON_ID, CAPTION_CLOSE_ICON_ID, 0, -1}) {
    HICON icon = LoadToolkitIcon(id, 16, 16);
    EXPECT_EQ(icon, nullptr) << id;
    if (icon != nullptr) DestroyIcon(icon);
  }
}

TEST(ToolkitIconsTest, MissingCursorIsTheSystemArrow) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadToolkitCursor(kEyedropperCursorId, 32), arrow);
  EXPECT_EQ(LoadToolkitCursor(0, 32), arrow);
}

}  // namespace
}  // namespace tessaro
