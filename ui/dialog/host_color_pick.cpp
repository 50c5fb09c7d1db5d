#include "ui/dialog/host_color_pick.h"

namespace tessaro {

host::ColorServicesInfo HostPickRequest(uint32_t color) {
  host::ColorServicesInfo info = {};
  info.infoSize = int32_t(sizeof info);
  info.selector = host::kChooseColor;
  info.sourceSpace = info.resultSpace = host::kRGBSpace;
  info.colorComponents[0] = int16_t(color & 0xFF);
  info.colorComponents[1] = int16_t((color >> 8) & 0xFF);
  info.colorComponents[2] = int16_t((color >> 16) & 0xFF);
  return info;
}

HostPick InterpretHostPick(int16_t result, const host::ColorServicesInfo& answer,
                           uint32_t before, uint32_t* picked) {
  if (result == host::kUserCanceledErr) return HostPick::kCancelled;
  if (result != host::kNoErr) return HostPick::kUnavailable;
  uint32_t color = 0;
  for (int c = 0; c < 3; ++c) {
    const int16_t v = answer.colorComponents[c];
    if (v < 0 || v > 255) return HostPick::kUnavailable;
    color |= uint32_t(v) << (8 * c);
  }
  if (color == (before & 0xFFFFFFu)) return HostPick::kCancelled;
  if (picked != nullptr) *picked = color;
  return HostPick::kPicked;
}

}  // namespace tessaro
