#include "ui/toolkit/toolkit_icons_win.h"

#include "ui/toolkit/window_win.h"

namespace tessaro {

HICON LoadToolkitIcon(int id, int width, int height) {
  if (id <= 0) return nullptr;
  // Not shared, so that the caller may destroy it; the system picks the
  // image of the file that suits the size and the screen's colours.
  return static_cast<HICON>(
      LoadImageW(ToolkitModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

HCURSOR LoadToolkitCursor(int id, int size) {
  // Shared: the system keeps one cursor per size, however often it is asked.
  HCURSOR cursor = id > 0 ? static_cast<HCURSOR>(LoadImageW(ToolkitModule(), MAKEINTRESOURCEW(id),
                                                            IMAGE_CURSOR, size, size, LR_SHARED))
                          : nullptr;
  return cursor != nullptr ? cursor : LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace tessaro
