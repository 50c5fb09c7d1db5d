#include "host/effect_dialog.h"

namespace tessaro::host {

DialogOutcome RunEffectDialog(EffectController&, SettingsStore&, intptr_t) {
  return DialogOutcome::kNoDialog;
}

}  // namespace tessaro::host
