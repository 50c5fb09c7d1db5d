#include "ui/dialog/window_placement.h"

#include <algorithm>
#include <cstdlib>

#include "settings/settings_store.h"

namespace tessaro {

namespace {
// Enough of the window to take hold of it by its caption.
constexpr int32_t kGrip = 48;

int64_t Overlap(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
  return std::max<int64_t>(0, int64_t(std::min(a1, b1)) - std::max(a0, b0));
}

// Distance between the two rectangles (0 when they touch or overlap), as the
// sum of the gaps on each axis.
int64_t Gap(const ScreenRect& a, const ScreenRect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t(b.left) - a.right, int64_t(a.left) - b.right});
  const int64_t dy = std::max<int64_t>({0, int64_t(b.top) - a.bottom, int64_t(a.top) - b.bottom});
  return dx + dy;
}

int32_t ShiftInto(int32_t start, int32_t length, int32_t lo, int32_t hi) {
  if (start + int64_t(length) > hi) start = int32_t(int64_t(hi) - length);
  return std::max(start, lo);
}
}  // namespace

StoredPlacement ReadPlacement(SettingsStore& store, const ScreenRect& templateRect) {
  StoredPlacement p;
  p.x = store.GetInt("", "X", -9999);
  p.y = store.GetInt("", "y", -9999);
  p.width = store.GetInt("", "Width", templateRect.Width());
  p.height = store.GetInt("", "Height", templateRect.Height());
  return p;
}

void WritePlacement(SettingsStore& store, const ScreenRect& window) {
  store.WriteInt("", "X", window.left);
  store.WriteInt("", "Y", window.top);
  store.WriteInt("", "Width", window.Width());
  store.WriteInt("", "Height", window.Height());
}

ScreenRect InitialPlacement(const ScreenRect& templateRect, const StoredPlacement& stored,
                            int32_t firstWidth, int32_t firstHeight) {
  if (stored.x <= 0) {
    ScreenRect r = templateRect;
    const int32_t dx = (firstWidth - r.Width()) / 2, dy = (firstHeight - r.Height()) / 2;
    r.left -= dx;
    r.right += dx;
    r.top -= dy;
    r.bottom += dy;
    if (r.left < 0) r.right -= r.left, r.left = 0;
    if (r.top < 0) r.bottom -= r.top, r.top = 0;
    return r;
  }
  ScreenRect r;
  r.left = stored.x;
  r.top = stored.y > 0 ? stored.y : templateRect.top;
  // Sizes from a damaged store must not wrap the rectangle round.
  const int64_t right = int64_t(r.left) + std::max(stored.width, 0);
  const int64_t bottom = int64_t(r.top) + std::max(stored.height, 0);
  r.right = int32_t(std::min<int64_t>(right, INT32_MAX));
  r.bottom = int32_t(std::min<int64_t>(bottom, INT32_MAX));
  return r;
}

ScreenRect CentredOn(const ScreenRect& area, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  ScreenRect r;
  r.left = int32_t(std::max<int64_t>(area.left, area.left + (int64_t(area.Width()) - width) / 2));
  r.top = int32_t(std::max<int64_t>(area.top, area.top + (int64_t(area.Height()) - height) / 2));
  r.right = int32_t(std::min<int64_t>(int64_t(r.left) + width, INT32_MAX));
  r.bottom = int32_t(std::min<int64_t>(int64_t(r.top) + height, INT32_MAX));
  return r;
}

ScreenRect KeepOnMonitors(const ScreenRect& window, const std::vector<ScreenRect>& workAreas) {
  if (workAreas.empty()) return window;
  const ScreenRect* nearest = nullptr;
  int64_t nearestGap = 0;
  for (const ScreenRect& area : workAreas) {
    const int64_t w = Overlap(window.left, window.right, area.left, area.right);
    const int64_t h = Overlap(window.top, window.bottom, area.top, area.bottom);
    if (w >= std::min(kGrip, window.Width()) && h >= std::min(kGrip, window.Height()) && w > 0 &&
        h > 0)
      return window;
    const int64_t gap = Gap(window, area);
    if (nearest == nullptr || gap < nearestGap) nearest = &area, nearestGap = gap;
  }
  const int32_t width = std::min(window.Width(), nearest->Width());
  const int32_t height = std::min(window.Height(), nearest->Height());
  ScreenRect r;
  r.left = ShiftInto(window.left, width, nearest->left, nearest->right);
  r.top = ShiftInto(window.top, height, nearest->top, nearest->bottom);
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

}  // namespace tessaro
