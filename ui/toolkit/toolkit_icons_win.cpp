#include "ui/toolkit/toolkit_icons_win.h"

#include <cstdint>
#include <map>
#include <vector>

#include "image/dib.h"
#include "ui/toolkit/window_win.h"

namespace tessaro {

namespace {

// A colour per id, so different stand-ins are told apart at a glance.
uint32_t StandInColour(int id) {
  static const uint32_t kColours[] = {0xFF2E6FB5u, 0xFF3C9A46u, 0xFFB5472Eu, 0xFF7A4FB0u};
  return kColours[uint32_t(id) % 4u];
}

// The icon or cursor made from an image with straight alpha: opaque where the
// alpha is at least half.
HICON IconFromPicture(const CDib& picture, bool isIcon, DWORD hotX, DWORD hotY) {
  const int w = picture.Width(), h = picture.Height();
  if (w <= 0 || h <= 0) return nullptr;
  BITMAPV5HEADER header = {};
  header.bV5Size = sizeof(header);
  header.bV5Width = w;
  header.bV5Height = -h;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (colour == nullptr || bits == nullptr) {
    if (colour != nullptr) DeleteObject(colour);
    return nullptr;
  }
  // Mask rows are padded to 16 bits; a set bit keeps the screen.
  const int maskStride = ((w + 15) / 16) * 2;
  std::vector<uint8_t> mask(size_t(maskStride) * size_t(h), 0);
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      const uint32_t a = p >> 24;
      // Icons take premultiplied colour.
      const uint32_t r = ((p >> 16) & 0xFFu) * a / 255, g = ((p >> 8) & 0xFFu) * a / 255,
                     b = (p & 0xFFu) * a / 255;
      out[size_t(y) * size_t(w) + size_t(x)] = (a << 24) | (r << 16) | (g << 8) | b;
      if (a < 128)
        mask[size_t(y) * size_t(maskStride) + size_t(x / 8)] |= uint8_t(0x80u >> (x % 8));
    }
  }
  HBITMAP monochrome = CreateBitmap(w, h, 1, 1, mask.data());
  ICONINFO info = {isIcon ? TRUE : FALSE, hotX, hotY, monochrome, colour};
  HICON icon = monochrome != nullptr ? CreateIconIndirect(&info) : nullptr;
  if (monochrome != nullptr) DeleteObject(monochrome);
  DeleteObject(colour);
  return icon;
}

// A disc in the id's colour, with a light ring round it: a neutral mark that
// says "an icon goes here".
HICON StandInIcon(int id, int width, int height) {
  CDib picture;
  if (!picture.Create(width, height)) return nullptr;
  const uint32_t colour = StandInColour(id);
  picture.FillEllipse(1, 1, width - 2, height - 2, colour);
  picture.DrawEllipseRing(1, 1, width - 2, height - 2, 0xFFFFFFFFu, 1);
  return IconFromPicture(picture, true, 0, 0);
}

// A pipette pointing at its hot spot in the bottom-left corner.
HCURSOR StandInEyedropper() {
  const int size = GetSystemMetrics(SM_CXCURSOR) > 0 ? GetSystemMetrics(SM_CXCURSOR) : 32;
  CDib picture;
  if (!picture.Create(size, size)) return nullptr;
  const int32_t s = size / 2;
  picture.DrawLine(1, s - 2, s - 6, 7, 0xFFFFFFFFu, 4);
  picture.DrawLine(1, s - 2, s - 6, 7, 0xFF000000u, 2);
  picture.FillEllipse(s - 10, 1, s - 1, 10, 0xFF000000u);
  return IconFromPicture(picture, false, 1, DWORD(s - 2));
}

}  // namespace

HICON LoadToolkitIcon(int id, int width, int height) {
  if (id > 0) {
    HANDLE icon = LoadImageW(ToolkitModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0);
    if (icon != nullptr) return static_cast<HICON>(icon);
  }
  return StandInIcon(id, width, height);
}

HCURSOR LoadToolkitCursor(int id) {
  static std::map<int, HCURSOR> cursors;
  auto it = cursors.find(id);
  if (it != cursors.end()) return it->second;
  HCURSOR cursor = LoadCursorW(ToolkitModule(), MAKEINTRESOURCEW(id));
  if (cursor == nullptr && id == kEyedropperCursorId) cursor = StandInEyedropper();
  if (cursor == nullptr) cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  cursors[id] = cursor;
  return cursor;
}

}  // namespace tessaro
