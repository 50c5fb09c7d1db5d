#include "settings/presets.h"

#include <utility>

namespace tessaro {

namespace {
// The order in which values are written and deleted, as the platform's store
// lists values in the order they were first written.
constexpr SettingId kStoreOrder[] = {
    SettingId::AngleX,         SettingId::AngleY,        SettingId::Perspective,
    SettingId::Zoom,           SettingId::Depth,         SettingId::Round,
    SettingId::LightDirection, SettingId::SmoothDepth,   SettingId::Lighting,
    SettingId::ColorOverlay,   SettingId::Color,         SettingId::ColorOpacity,
    SettingId::HighlightColor, SettingId::ShadowColor,   SettingId::HighlightOpacity,
    SettingId::ShadowOpacity,
};
static_assert(sizeof kStoreOrder / sizeof kStoreOrder[0] == kSettingCount);
}  // namespace

EffectSettings LoadEffectSettings(SettingsStore& store, const std::string& section) {
  EffectSettings settings;
  for (SettingId id : kStoreOrder) {
    const SettingInfo& info = Info(id);
    settings.Set(id, store.GetInt(section, info.storeName, info.defaultIfNotStored));
  }
  return settings;
}

bool IsAcceptablePresetName(const std::string& name) {
  return name.find('\\') == std::string::npos;
}

bool SaveEffectSettings(SettingsStore& store, const std::string& section,
                        const EffectSettings& settings) {
  if (!IsAcceptablePresetName(section)) return false;
  std::vector<std::pair<std::string, int32_t>> values;
  for (SettingId id : kStoreOrder) values.emplace_back(Info(id).storeName, settings.Get(id));
  return store.WriteInts(section, values);
}

std::vector<std::string> ListPresets(SettingsStore& store) { return store.ListSections(); }

void DeletePreset(SettingsStore& store, const std::string& name) {
  // A name of nothing but separators would open the application key itself
  // and delete the last-used values.
  if (name.find_first_not_of('\\') == std::string::npos || !store.SectionExists(name)) return;
  for (SettingId id : kStoreOrder) store.DeleteValue(name, Info(id).storeName);
  store.DeleteSection(name);
}

}  // namespace tessaro
