// Where the effect dialog opens: the stored placement, or the first size
// about the template's place, kept where the user can reach it.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaro {

class SettingsStore;

// Screen pixels, right and bottom exclusive.
struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The values as stored; missing ones read as the store's defaults.
struct StoredPlacement {
  int32_t x = -9999;
  int32_t y = -9999;
  int32_t width = 0;
  int32_t height = 0;
};

// Read with the template rectangle's size as the default size.
StoredPlacement ReadPlacement(SettingsStore& store, const ScreenRect& templateRect);
// Written when the dialog is destroyed, after a cancel too.
void WritePlacement(SettingsStore& store, const ScreenRect& window);

// With no stored left edge (or one of 0 or less) the template rectangle grows
// or shrinks about its centre to width x height and is kept off negative
// coordinates; otherwise the stored rectangle, with the template's top when
// the stored top is not positive.
ScreenRect InitialPlacement(const ScreenRect& templateRect, const StoredPlacement& stored,
                            int32_t firstWidth, int32_t firstHeight);

// A window of width x height in the middle of area; a window larger than the
// area keeps to its top-left corner.
ScreenRect CentredOn(const ScreenRect& area, int32_t width, int32_t height);

// A window that shows less than a grip's worth on every monitor (a screen
// since disconnected, a changed layout) is moved onto the work area nearest
// to it, shrunk to fit when it is larger.  Without any work area, or when
// enough of it is on some monitor, it stays where it is.
ScreenRect KeepOnMonitors(const ScreenRect& window, const std::vector<ScreenRect>& workAreas);

}  // namespace tessaro
