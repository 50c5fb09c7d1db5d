// The sixteen effect parameters and the one table that names each of them in
// every place it appears: dialog, settings store, scripting, and its limits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "image/rounding.h"

namespace tessaro {

enum class SettingId : int {
  AngleX,
  AngleY,
  Perspective,
  Zoom,
  Depth,
  Round,
  ColorOverlay,
  Color,
  ColorOpacity,
  Lighting,
  LightDirection,
  HighlightColor,
  HighlightOpacity,
  ShadowColor,
  ShadowOpacity,
  SmoothDepth,
};
constexpr int kSettingCount = 16;

enum class SettingKind {
  Slider,  // int, clamped to [min, max] like the slider clamps a position
  Check,   // bool; stored as 0/1, scripted as a boolean
  Colour,  // 0x00BBGGRR, the platform's colour value order
  Angle,   // whole degrees, the light-direction dial
};

struct SettingInfo {
  SettingId id;
  const char* field;       // member name in EffectSettings
  int labelId;             // dialog label control, 0 when the control carries its own text
  const char* label;       // dialog label text
  int controlId;           // dialog control
  const char* storeName;   // value name in the settings store
  uint32_t scriptKey;      // scripting descriptor key
  const char* scriptName;  // scripting parameter name
  SettingKind kind;
  int32_t min, max;        // meaningful for Slider and Angle
  int32_t defaultIfNotStored;
  int32_t resetValue;      // "Reset to default"
  int32_t initialPosition; // slider position when the dialog is created, before any load
  const char* option;      // command-line option name, without the leading "--"
  // Command-line help; "{range}" stands for min..max.  The default is added.
  const char* help;
  int32_t recordedAt;      // position in the descriptor the filter records
  SettingId recordedWith;  // recorded only while this check is on (itself: always)
};

// In scripting-terminology order.
extern const std::array<SettingInfo, kSettingCount> kSettingTable;

const SettingInfo& Info(SettingId id);
const SettingInfo* FindByStoreName(std::string_view name);  // case-insensitive
const SettingInfo* FindByScriptKey(uint32_t key);

// Plain values of the sixteen parameters.  Colours are 0x00BBGGRR.
struct EffectSettings {
  // The values used where the store has nothing (the table's defaults).
  EffectSettings();

  int32_t angleX;
  int32_t angleY;
  int32_t perspective;
  int32_t zoom;
  int32_t depth;
  int32_t round;
  bool colorOverlay;
  uint32_t color;
  int32_t colorOpacity;
  bool lighting;
  int32_t lightDirection;  // whole degrees, counter-clockwise from pointing right
  uint32_t highlightColor;
  int32_t highlightOpacity;
  uint32_t shadowColor;
  int32_t shadowOpacity;
  bool smoothDepth;

  // Values used where the store has nothing.
  static EffectSettings Defaults();
  // Values of the presets menu's "Reset to default".
  static EffectSettings ResetValues();

  // Integer view used by the store and scripting: checks as 0/1, colours as the
  // signed reinterpretation of 0x00BBGGRR.
  int32_t Get(SettingId id) const;
  // Sets a value the way its control would take it: slider values are clamped,
  // checks become true for any non-zero value, colours and angles are kept.
  void Set(SettingId id, int32_t value);

  bool operator==(const EffectSettings& other) const;
  bool operator!=(const EffectSettings& other) const { return !(*this == other); }
};

int32_t ClampToRange(const SettingInfo& info, int32_t value);


}  // namespace tessaro
