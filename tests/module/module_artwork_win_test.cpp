// The icons, the cursor and the accelerator table the toolkit asks the module
// for, loaded back from the built module by the platform's own loaders, under
// the ids the code uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "host/user_message.h"
#include "module_loader.h"
#include "resources/about_logo.h"
#include "resources/resource_ids.h"
#include "resources/toolkit_artwork.h"
#include "tests/support/icon_file_reader.h"
#include "ui/toolkit/tool_dlg_win.h"
#include "ui/toolkit/toolkit_icons_win.h"

namespace tessaro::testing {
namespace {

struct IconCase {
  int id;
  int size;
};

const IconCase kIcons[] = {
    {host::kIconWarning, resources::kMessageIconSize},
    {host::kIconQuestion, resources::kMessageIconSize},
    {CHECKED_BOX_ICON_ID, resources::kSmallIconSize},
    {EMPTY_BOX_ICON_ID, resources::kSmallIconSize},
    {CAPTION_MENU_ICON_ID, resources::kSmallIconSize},
    {CAPTION_CLOSE_ICON_ID, resources::kSmallIconSize},
};

std::vector<uint8_t> ResourceData(HMODULE module, const wchar_t* type, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

struct IconBits {
  int width = 0, height = 0;
  bool isIcon = false;
  DWORD hotX = 0, hotY = 0;
  std::set<uint32_t> alphas;  // of the colour bitmap, when it has one
};

// What the platform made of a loaded icon or cursor.
IconBits Inspect(HICON icon) {
  IconBits bits;
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return bits;
  bits.isIcon = info.fIcon != FALSE;
  bits.hotX = info.xHotspot;
  bits.hotY = info.yHotspot;
  BITMAP bm = {};
  if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
    bits.width = bm.bmWidth;
    bits.height = bm.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(bm.bmWidth) * size_t(bm.bmHeight));
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, info.hbmColor, 0, UINT(bm.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS))
      for (uint32_t p : pixels) bits.alphas.insert(p >> 24);
    ReleaseDC(nullptr, screen);
  } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof bm, &bm)) {
    bits.width = bm.bmWidth;
    bits.height = bm.bmHeight / 2;  // monochrome: mask and colour stacked
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bits;
}

class ModuleArtworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(ModuleBesideExecutable().c_str());
    ASSERT_NE(module_, nullptr) << "cannot load " << ModuleBesideExecutable();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ModuleArtworkTest, IconsLoadAtTheirSizeWithTheirAlpha) {
  for (const IconCase& c : kIcons) {
    // The sizes for 96, 144 and 192 DPI are each drawn, not stretched.
    for (int step = 2; step <= 4; ++step) {
      const int size = c.size * step / 2;
      SCOPED_TRACE(std::to_string(c.id) + " at " + std::to_string(size));
      HICON icon = static_cast<HICON>(
          LoadImageW(module_, MAKEINTRESOURCEW(c.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
      ASSERT_NE(icon, nullptr);
      const IconBits bits = Inspect(icon);
      DestroyIcon(icon);
      EXPECT_TRUE(bits.isIcon);
      EXPECT_EQ(bits.width, size);
      EXPECT_EQ(bits.height, size);
      // A screen of many colours gets the blended form: transparent corners,
      // solid middle and soft edges between.
      EXPECT_TRUE(bits.alphas.count(0) && bits.alphas.count(255)) << "no alpha channel";
      EXPECT_GT(bits.alphas.size(), 2u);
    }
  }
}

TEST_F(ModuleArtworkTest, EveryIconHasAPaletteAndABlendedFormThatLoadAlone) {
  for (const IconCase& c : kIcons) {
    SCOPED_TRACE(c.id);
    // The group directory: 6 bytes, then 14 per image with the image's id last.
    const std::vector<uint8_t> group = ResourceData(module_, MAKEINTRESOURCEW(14), c.id);
    ASSERT_GE(group.size(), 6u);
    ByteReader in(group.data(), group.size());
    in.U16();
    EXPECT_EQ(in.U16(), 1);
    const uint16_t count = in.U16();
    ASSERT_EQ(count, 6);  // three sizes in two depths
    std::set<uint16_t> depths;
    for (uint16_t i = 0; i < count; ++i) {
      const int size = c.size * (2 + i / 2) / 2;
      EXPECT_EQ(in.U8(), size);
      EXPECT_EQ(in.U8(), size);
      in.Bytes(4);
      const uint16_t bitCount = in.U16();
      const uint32_t bytes = in.U32();
      const uint16_t imageId = in.U16();
      ASSERT_TRUE(in.ok());
      depths.insert(bitCount);
      std::vector<uint8_t> image = ResourceData(module_, MAKEINTRESOURCEW(3), imageId);
      ASSERT_EQ(image.size(), bytes);
      const IconImage decoded = ReadIconImage(image.data(), image.size());
      EXPECT_TRUE(decoded.complete);
      EXPECT_EQ(decoded.Width(), size);
      EXPECT_EQ(decoded.bitCount, bitCount);
      HICON icon = CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00030000,
                                            size, size, 0);
      ASSERT_NE(icon, nullptr) << "form of " << bitCount << " bits";
      EXPECT_EQ(Inspect(icon).width, size);
      DestroyIcon(icon);
    }
    EXPECT_EQ(depths, (std::set<uint16_t>{8, 32}));
  }
}

TEST_F(ModuleArtworkTest, EyedropperCursorPointsWithItsTip) {
  HCURSOR shared = LoadCursorW(module_, MAKEINTRESOURCEW(kEyedropperCursorId));
  ASSERT_NE(shared, nullptr);
  const IconBits bits = Inspect(shared);
  EXPECT_FALSE(bits.isIcon);
  EXPECT_EQ(bits.hotX, resources::kEyedropperHotX);
  EXPECT_EQ(bits.hotY, resources::kEyedropperHotY);
  EXPECT_NE(shared, LoadCursorW(nullptr, IDC_ARROW));

  HCURSOR sized = static_cast<HCURSOR>(
      LoadImageW(module_, MAKEINTRESOURCEW(kEyedropperCursorId), IMAGE_CURSOR,
                 resources::kCursorSize, resources::kCursorSize, 0));
  ASSERT_NE(sized, nullptr);
  const IconBits sizedBits = Inspect(sized);
  DestroyCursor(sized);
  EXPECT_EQ(sizedBits.width, resources::kCursorSize);
  EXPECT_EQ(sizedBits.height, resources::kCursorSize);

  // Larger pointers for higher DPI, each pointing with its own tip: the pixel
  // under the centre of the first size's tip, scaled.
  for (int size : resources::kCursorSizes) {
    const int hotX = int((resources::kEyedropperHotX + 0.5) * size / resources::kCursorSize);
    const int hotY = int((resources::kEyedropperHotY + 0.5) * size / resources::kCursorSize);
    HCURSOR big = static_cast<HCURSOR>(
        LoadImageW(module_, MAKEINTRESOURCEW(kEyedropperCursorId), IMAGE_CURSOR, size, size, 0));
    ASSERT_NE(big, nullptr) << size;
    const IconBits b = Inspect(big);
    DestroyCursor(big);
    EXPECT_EQ(b.width, size);
    EXPECT_EQ(b.hotX, hotX) << size;
    EXPECT_EQ(b.hotY, hotY) << size;
  }

  // The cursor resource is the hot spot followed by the image block; the
  // 96-DPI image comes first.
  const std::vector<uint8_t> group = ResourceData(module_, MAKEINTRESOURCEW(12), kEyedropperCursorId);
  ASSERT_EQ(group.size(), 6u + 3u * 14u);
  ByteReader in(group.data() + 18, 2);
  const std::vector<uint8_t> image = ResourceData(module_, MAKEINTRESOURCEW(1), in.U16());
  ASSERT_GT(image.size(), 4u);
  EXPECT_EQ(image[0] | (image[1] << 8), resources::kEyedropperHotX);
  EXPECT_EQ(image[2] | (image[3] << 8), resources::kEyedropperHotY);
  const IconImage decoded = ReadIconImage(image.data() + 4, image.size() - 4);
  EXPECT_TRUE(decoded.complete);
  EXPECT_EQ(decoded.bitCount, 32);
}

TEST_F(ModuleArtworkTest, ToolAcceleratorsHoldAltF1ForTheExitCommandAlone) {
  HACCEL table = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(kToolAcceleratorTable));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 1);
  ACCEL entry = {};
  EXPECT_EQ(CopyAcceleratorTableW(table, &entry, 1), 1);
  DestroyAcceleratorTable(table);
  EXPECT_EQ(entry.fVirt, FVIRTKEY | FALT);
  EXPECT_EQ(entry.key, VK_F1);
  EXPECT_EQ(entry.cmd, APP_EXIT_COMMAND_ID);
}

TEST_F(ModuleArtworkTest, LogoIsAWholeTwentyFourBitBitmapFile) {
  const std::vector<uint8_t> logo = ResourceData(module_, L"LOGO", ABOUT_LOGO_ID);
  ASSERT_GT(logo.size(), 54u);
  ByteReader in(logo.data(), logo.size());
  EXPECT_EQ(in.U16(), 0x4D42u);  // "BM"
  EXPECT_EQ(in.U32(), logo.size());
  in.U32();
  EXPECT_EQ(in.U32(), 54u);
  EXPECT_EQ(in.U32(), 40u);
  EXPECT_EQ(in.U32(), uint32_t(resources::kLogoWidth));
  EXPECT_EQ(in.U32(), uint32_t(resources::kLogoHeight));
  EXPECT_EQ(in.U16(), 1u);
  EXPECT_EQ(in.U16(), 24u);
  EXPECT_EQ(logo.size(), 54u + size_t(resources::kLogoWidth) * 3u * resources::kLogoHeight);
}

}  // namespace
}  // namespace tessaro::testing
