#include "settings/effect_settings.h"

#include <cmath>
#include <limits>

#include "image/numeric.h"

namespace tessaro {

namespace {
constexpr SettingKind kSlider = SettingKind::Slider;
constexpr SettingKind kCheck = SettingKind::Check;
constexpr SettingKind kColour = SettingKind::Colour;
constexpr SettingKind kAngle = SettingKind::Angle;
}  // namespace

// clang-format off
const std::array<SettingInfo, kSettingCount> kSettingTable = {{
  // id                        field               label  label text             ctrl  store name          key              script name          kind     min   max  default  reset  start
  //  command-line option, its help, position in the recorded descriptor, recorded only with
  {SettingId::AngleX,          "angleX",           1009, "Angle X",             1007, "Angle X",          FourCC("angX"), "Angle X",           kSlider, -75,   75,        0,       0,   0,
   "angle-x", "turn about the horizontal axis, {range}", 0, SettingId::AngleX},
  {SettingId::AngleY,          "angleY",           1024, "Angle Y",             1008, "Angle Y",          FourCC("angY"), "Angle Y",           kSlider, -75,   75,        0,       0,   0,
   "angle-y", "turn about the vertical axis, {range}", 1, SettingId::AngleY},
  {SettingId::Perspective,     "perspective",      1011, "Perspective",         1012, "Perspective",      FourCC("angZ"), "Perspective",       kSlider,   0,  100,       80,      80,  80,
   "perspective", "{range}", 2, SettingId::Perspective},
  {SettingId::Zoom,            "zoom",             1025, "Zoom",                1026, "Zoom",             FourCC("zooM"), "Zoom",              kSlider,  50,  150,       90,      90,  90,
   "zoom", "percent, {range}", 3, SettingId::Zoom},
  {SettingId::Depth,           "depth",            1028, "Depth",               1029, "Depth",            FourCC("depT"), "Depth",             kSlider,   0,  100,       30,      30,  20,
   "depth", "{range}", 5, SettingId::Depth},
  {SettingId::Round,           "round",            1030, "Round",               1031, "Round",            FourCC("rouN"), "Round",             kSlider, -100, 100,        0,       0,   0,
   "round", "{range}", 4, SettingId::Round},
  {SettingId::ColorOverlay,    "colorOverlay",        0, "Overlay",             1013, "Use color",        FourCC("oveR"), "Color overlay",     kCheck,    0,    1,        0,       0,   0,
   "overlay", "colour overlay", 6, SettingId::ColorOverlay},
  {SettingId::Color,           "color",               0, "Color",               1014, "Color",            FourCC("colR"), "Color",             kColour,   0, 0xFFFFFF, 0xFF6C35, 0xFF6C35, 0,
   "color", "overlay colour", 7, SettingId::ColorOverlay},
  {SettingId::ColorOpacity,    "colorOpacity",     1015, "Color opacity",       1016, "Opacity",          FourCC("opaC"), "Color opacity",     kSlider,   0,  100,      100,     100,   0,
   "color-opacity", "{range}", 8, SettingId::ColorOverlay},
  {SettingId::Lighting,        "lighting",            0, "Lighting",            1027, "Lighting",         FourCC("ligH"), "Lighting",          kCheck,    0,    1,        1,       1,   0,
   "lighting", "lighting", 9, SettingId::Lighting},
  {SettingId::LightDirection,  "lightDirection",   1032, "Light direction",     1010, "Angle",            FourCC("angL"), "Light direction",   kAngle,  -180, 180,       45,      90,   0,
   "light-direction", "degrees counter-clockwise from the right, wraps\ninto {range}", 10, SettingId::Lighting},
  {SettingId::HighlightColor,  "highlightColor",      0, "Highlight",           1017, "Light",            FourCC("higH"), "Highlight color",   kColour,   0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0,
   "highlight", "highlight colour", 11, SettingId::Lighting},
  {SettingId::HighlightOpacity,"highlightOpacity", 1019, "Hightlight opacity",  1020, "Light intensity",  FourCC("higO"), "Highlight opacity", kSlider,   0,  100,       50,      50,   0,
   "highlight-opacity", "{range}", 12, SettingId::Lighting},
  {SettingId::ShadowColor,     "shadowColor",         0, "Shadow",              1018, "Shadow",           FourCC("shaD"), "Shadow color",      kColour,   0, 0xFFFFFF,        0,       0,   0,
   "shadow", "shadow colour", 13, SettingId::Lighting},
  {SettingId::ShadowOpacity,   "shadowOpacity",    1021, "Shadow opacity",      1022, "Shadow intensity", FourCC("shaO"), "Shadow opacity",    kSlider,   0,  100,       50,      50,   0,
   "shadow-opacity", "{range}", 14, SettingId::Lighting},
  {SettingId::SmoothDepth,     "smoothDepth",         0, "Smooth depth",           5, "Smooth",           FourCC("smoO"), "Smooth depth",      kCheck,    0,    1,        0,       1,   0,
   "smooth", "smooth depth", 15, SettingId::SmoothDepth},
}};
// clang-format on

const SettingInfo& Info(SettingId id) { return kSettingTable[static_cast<size_t>(id)]; }

namespace {
bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace

const SettingInfo* FindByStoreName(std::string_view name) {
  for (const SettingInfo& info : kSettingTable)
    if (EqualsIgnoreCase(info.storeName, name)) return &info;
  return nullptr;
}

const SettingInfo* FindByScriptKey(uint32_t key) {
  for (const SettingInfo& info : kSettingTable)
    if (info.scriptKey == key) return &info;
  return nullptr;
}

int32_t ClampToRange(const SettingInfo& info, int32_t value) {
  if (value < info.min) return info.min;
  if (value > info.max) return info.max;
  return value;
}

EffectSettings::EffectSettings() {
  for (const SettingInfo& info : kSettingTable) Set(info.id, info.defaultIfNotStored);
}

EffectSettings EffectSettings::Defaults() { return EffectSettings(); }

EffectSettings EffectSettings::ResetValues() {
  EffectSettings s;
  for (const SettingInfo& info : kSettingTable) s.Set(info.id, info.resetValue);
  return s;
}

int32_t EffectSettings::Get(SettingId id) const {
  switch (id) {
    case SettingId::AngleX: return angleX;
    case SettingId::AngleY: return angleY;
    case SettingId::Perspective: return perspective;
    case SettingId::Zoom: return zoom;
    case SettingId::Depth: return depth;
    case SettingId::Round: return round;
    case SettingId::ColorOverlay: return colorOverlay ? 1 : 0;
    case SettingId::Color: return static_cast<int32_t>(color);
    case SettingId::ColorOpacity: return colorOpacity;
    case SettingId::Lighting: return lighting ? 1 : 0;
    case SettingId::LightDirection: return lightDirection;
    case SettingId::HighlightColor: return static_cast<int32_t>(highlightColor);
    case SettingId::HighlightOpacity: return highlightOpacity;
    case SettingId::ShadowColor: return static_cast<int32_t>(shadowColor);
    case SettingId::ShadowOpacity: return shadowOpacity;
    case SettingId::SmoothDepth: return smoothDepth ? 1 : 0;
  }
  return 0;
}

void EffectSettings::Set(SettingId id, int32_t value) {
  const SettingInfo& info = Info(id);
  const int32_t clamped = ClampToRange(info, value);
  const uint32_t colour = static_cast<uint32_t>(value);
  switch (id) {
    case SettingId::AngleX: angleX = clamped; break;
    case SettingId::AngleY: angleY = clamped; break;
    case SettingId::Perspective: perspective = clamped; break;
    case SettingId::Zoom: zoom = clamped; break;
    case SettingId::Depth: depth = clamped; break;
    case SettingId::Round: round = clamped; break;
    case SettingId::ColorOverlay: colorOverlay = value != 0; break;
    case SettingId::Color: color = colour; break;
    case SettingId::ColorOpacity: colorOpacity = clamped; break;
    case SettingId::Lighting: lighting = value != 0; break;
    // The dial holds any whole number of degrees it is given; only the user's
    // own dragging limits it to -180..180.
    case SettingId::LightDirection: lightDirection = value; break;
    case SettingId::HighlightColor: highlightColor = colour; break;
    case SettingId::HighlightOpacity: highlightOpacity = clamped; break;
    case SettingId::ShadowColor: shadowColor = colour; break;
    case SettingId::ShadowOpacity: shadowOpacity = clamped; break;
    case SettingId::SmoothDepth: smoothDepth = value != 0; break;
  }
}

bool EffectSettings::operator==(const EffectSettings& other) const {
  for (const SettingInfo& info : kSettingTable)
    if (Get(info.id) != other.Get(info.id)) return false;
  return true;
}

}  // namespace tessaro
