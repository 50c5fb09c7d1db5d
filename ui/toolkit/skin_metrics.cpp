#include "ui/toolkit/skin_metrics.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/frame_layout.h"

namespace tessaro {

namespace {
int64_t Rounded(int64_t numerator, int64_t denominator) {
  const int64_t half = denominator / 2;
  return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }
}  // namespace

int32_t ScaleToDpi(int32_t pixels, int32_t dpi) { return RescaleForDpi(pixels, kBaseDpi, dpi); }

int32_t RescaleForDpi(int32_t pixels, int32_t fromDpi, int32_t toDpi) {
  if (fromDpi <= 0) fromDpi = kBaseDpi;
  if (toDpi <= 0) toDpi = kBaseDpi;
  if (fromDpi == toDpi) return pixels;
  return Clamp32(Rounded(int64_t(pixels) * toDpi, fromDpi));
}

SkinMetrics SkinMetricsFor(int32_t dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  const auto s = [dpi](int32_t pixels) { return ScaleToDpi(pixels, dpi); };
  SkinMetrics m;
  m.dpi = dpi;
  m.sliderThumb = s(kSliderThumbLength);
  m.sliderArrow = s(kSliderArrowSize);
  m.smallIcon = s(resources::kSmallIconSize);
  m.messageIcon = s(resources::kMessageIconSize);
  m.buttonIconGap = s(kButtonIconGap);
  m.captionIndent = s(kCaptionTextIndent);
  m.cursor = s(resources::kCursorSize);
  return m;
}

}  // namespace tessaro
