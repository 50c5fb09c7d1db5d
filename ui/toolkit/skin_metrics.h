// Every pixel size of the skin, for the DPI of the monitor a window is on.
// The sizes are drawn for 96 DPI and multiplied by DPI / 96 here and nowhere
// else, so at 96 DPI each one is exactly its base value.
#pragma once

#include <cstdint>

namespace tessaro {

constexpr int32_t kBaseDpi = 96;

// pixels * dpi / 96, rounded half away from zero.  A DPI of 0 or less (a
// query that failed) counts as 96.
int32_t ScaleToDpi(int32_t pixels, int32_t dpi);

// A value that already is scaled for fromDpi, carried over to toDpi.
int32_t RescaleForDpi(int32_t pixels, int32_t fromDpi, int32_t toDpi);

struct SkinMetrics {
  int32_t dpi;
  int32_t sliderThumb;    // the slider's thumb length
  int32_t sliderArrow;    // each arrow button's width
  int32_t smallIcon;      // check boxes and caption buttons
  int32_t messageIcon;    // the message dialog's warning and question
  int32_t buttonIconGap;  // from a button's left edge to its icon
  int32_t captionIndent;  // from the caption's left edge to the title
  int32_t cursor;         // the eyedropper
};

SkinMetrics SkinMetricsFor(int32_t dpi);

}  // namespace tessaro
