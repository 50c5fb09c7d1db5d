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

// The eyedropper's hot spot: the pixel at the pipette's tip.
constexpr uint16_t kEyedropperHotX = 1;
constexpr uint16_t kEyedropperHotY = 30;

CDib DrawWarningSign();
CDib DrawQuestionDisc();
CDib DrawCheckBox(bool ticked);
CDib DrawMenuGlyph();
CDib DrawCloseGlyph();
CDib DrawEyedropper();

struct ArtworkFile {
  std::string name;  // file name in the generated folder
  std::vector<uint8_t> bytes;
};

// Every icon and cursor file of the module, in a fixed order.
std::vector<ArtworkFile> BuildArtworkFiles();

}  // namespace tessaro::resources
