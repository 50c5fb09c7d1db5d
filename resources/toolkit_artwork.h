// The module's icons and eyedropper cursor, drawn at build time and written as
// .ico and .cur files for the resource script (tessaro.rc names the files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/dib.h"

namespace tessaro::resources {

constexpr int kMessageIconSize = 38;  // the message dialog's warning and question
constexpr int kSmallIconSize = 16;    // check box states and caption buttons
constexpr int kCursorSize = 32;
// The sizes each file holds: for 96, 144 and 192 DPI.
constexpr int kMessageIconSizes[3] = {38, 57, 76};
constexpr int kSmallIconSizes[3] = {16, 24, 32};
constexpr int kCursorSizes[3] = {32, 48, 64};

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
