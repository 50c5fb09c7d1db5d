#include "host/effect_dialog.h"

#include <windows.h>

#include "host/plugin_errors.h"
#include "ui/dialog/main_dlg_win.h"

namespace tessaro::host {

DialogOutcome RunEffectDialog(EffectController& effect, SettingsStore& store,
                              intptr_t ownerWindow) {
  // Owned by the host's top-level window, which is disabled meanwhile, so the
  // document whose buffers the filter holds cannot be closed underneath it.
  HWND host = reinterpret_cast<HWND>(ownerWindow);
  HWND owner = host != nullptr && IsWindow(host) != FALSE ? GetAncestor(host, GA_ROOT) : nullptr;
  CMainDlg dialog(effect, store);
  const INT_PTR result = dialog.Run(owner);
  if (result == -1) ThrowText("The Tessaro dialog could not be created.");
  return result == IDOK ? DialogOutcome::kConfirmed : DialogOutcome::kCancelled;
}

}  // namespace tessaro::host
