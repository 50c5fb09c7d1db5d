#include "host/interface_hooks.h"

#include "host/about_box.h"
#include "host/effect_dialog.h"

namespace tessaro::host {

namespace {
InterfaceHooks g_hooks;
}  // namespace

void InstallInterfaceHooks(const InterfaceHooks& hooks) { g_hooks = hooks; }
const InterfaceHooks& InstalledInterfaceHooks() { return g_hooks; }

DialogOutcome RunEffectDialog(EffectController& effect, SettingsStore& store,
                              intptr_t ownerWindow) {
  if (g_hooks.runEffectDialog == nullptr) return DialogOutcome::kNoDialog;
  return g_hooks.runEffectDialog(effect, store, ownerWindow);
}

bool ShowAboutBox() { return g_hooks.showAboutBox != nullptr && g_hooks.showAboutBox(); }

}  // namespace tessaro::host
