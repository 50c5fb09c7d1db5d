// The effect's parameters in the host's scripting descriptors: read when a
// recorded step is replayed, written when the user confirms the dialog.
#pragma once

#include <functional>

#include "host/plugin_interface.h"
#include "settings/effect_settings.h"

namespace tessaro::host {

// What reading found: nothing to read, a descriptor with the dialog to show,
// or a descriptor with the dialog not to show.
enum DescriptorResult : int { kNoDescriptor = 0, kShowDialog = 1, kDontShowDialog = 2 };

// Messages about the host's procedures go through this (the plain system box
// in the product; tests record them).
using SystemMessageFn = std::function<void(const char*)>;

// Reads the descriptor over the given values: each key applied as its control
// takes it.  A getter error or an unknown key ends the reading; values applied
// before stay.  Disposes the host's descriptor and clears it.
int ReadDescriptor(FilterRecord& record, EffectSettings& settings, const SystemMessageFn& message);

// Records the values in a new descriptor for the host: colour and opacity only
// with the overlay on, the light values only with lighting on.
void WriteDescriptor(FilterRecord& record, const EffectSettings& settings,
                     const SystemMessageFn& message);

}  // namespace tessaro::host
