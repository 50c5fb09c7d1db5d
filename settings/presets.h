// The sixteen effect values in the settings store: last used (the application
// key itself, section "") and named presets (one section each).
#pragma once

#include <string>
#include <vector>

#include "settings/effect_settings.h"
#include "settings/settings_store.h"

namespace tessaro {

// Each value with its default where the store has none, taken as the controls
// take it: slider values clamped, any non-zero check value on.
EffectSettings LoadEffectSettings(SettingsStore& store, const std::string& section);

// The store nests keys at a backslash, so such a name would make a preset that
// the list shows only by its first part and cannot delete.  Every way of naming
// a preset (the dialog, the command line) refuses such names with this test.
bool IsAcceptablePresetName(const std::string& name);

// An empty section name writes the last-used values; an existing preset of
// that name is overwritten.  Refuses (false, nothing written) a name that
// IsAcceptablePresetName rejects.
bool SaveEffectSettings(SettingsStore& store, const std::string& section,
                        const EffectSettings& settings);

// Preset names in the order the store enumerates them.
std::vector<std::string> ListPresets(SettingsStore& store);

// Removes the sixteen values and then the preset's section.  An empty name, or
// a preset that does not exist, changes nothing.
void DeletePreset(SettingsStore& store, const std::string& name);

}  // namespace tessaro
