// What the host glue asks of a user interface.  The host layer has no windows
// of its own: the module fills these in from the product's dialogs before the
// host's first call.  A hook left empty behaves as a build without windows:
// no dialog, no about box, messages in the platform's plain form.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro {
class SettingsStore;
}

namespace tessaro::host {

class EffectController;
enum class DialogOutcome;

struct InterfaceHooks {
  // The effect dialog of an interactive run (host/effect_dialog.h).
  DialogOutcome (*runEffectDialog)(EffectController& effect, SettingsStore& store,
                                   intptr_t ownerWindow) = nullptr;
  // The about box, modal; false when it could not be shown.
  bool (*showAboutBox)() = nullptr;
  // A message in the product's own dialog: the platform's dialog result, or -1
  // when that dialog could not be made (the plain platform message follows).
  int (*showMessage)(const std::string& text, int icon, int buttons, intptr_t ownerWindow) =
      nullptr;
  // Puts the interface's drawing state back to its defaults; every prepare
  // call runs it, so nothing a run changed leaks into the next.
  void (*resetDrawingState)() = nullptr;
};

void InstallInterfaceHooks(const InterfaceHooks& hooks);
const InterfaceHooks& InstalledInterfaceHooks();

}  // namespace tessaro::host
