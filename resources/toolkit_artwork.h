// The module's icons and eyedropper cursor, drawn at build time and written as
// .ico and .cur files for the resource script (tessaro.rc names the files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/dib.h"
#include "resources/resource_ids.h"

namespace tessaro::resources {

// The eyedropper's hot spot: the pixel at the pipette's tip.
constexpr uint16_t kEyedropperHotX = 1;
constexpr uint16_t kEyedropperHotY = 30;

// Each drawn at its first size by default, or at any other, scaled.
CDib DrawWarningSign(int size = kMessageIconSize);
CDib DrawQuestionDisc(int size = kMessageIconSize);
CDib DrawCheckBox(bool ticked, int size = kSmallIconSize);
CDib DrawMenuGlyph(int size = kSmallIconSize);
CDib DrawCloseGlyph(int size = kSmallIconSize);
CDib DrawEyedropper(int size = kCursorSize);

// The eyedropper's hot spot in its picture of size x size pixels.
struct EyedropperHotSpot {
  uint16_t x, y;
};
EyedropperHotSpot EyedropperHotSpotFor(int size);

struct ArtworkFile {
  std::string name;  // file name in the generated folder
  std::vector<uint8_t> bytes;
};

// Every icon and cursor file of the module, in a fixed order.
std::vector<ArtworkFile> BuildArtworkFiles();

}  // namespace tessaro::resources
