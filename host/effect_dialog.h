// The effect dialog of an interactive run, where the build has windows.
#pragma once

#include <cstdint>

namespace tessaro {
class SettingsStore;
}

namespace tessaro::host {

class EffectController;

enum class DialogOutcome {
  kConfirmed,  // the result is written, the parameters recorded and saved
  kCancelled,  // nothing written
  kNoDialog,   // this build has no dialog to show
};

// Runs the dialog modally over the host's window (none when ownerWindow is
// 0), starting from the effect's settings.
DialogOutcome RunEffectDialog(EffectController& effect, SettingsStore& store,
                              intptr_t ownerWindow);

}  // namespace tessaro::host
