#include "ui/dialog/product_interface.h"

#include <windows.h>

#include "host/effect_dialog.h"
#include "host/plugin_errors.h"
#include "host/user_message.h"
#include "ui/dialog/about_dlg_win.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/main_dlg_win.h"
#include "ui/toolkit/small_dialogs_win.h"

namespace tessaro {

namespace {

host::DialogOutcome RunMainDialog(host::EffectController& effect, SettingsStore& store,
                                  intptr_t ownerWindow) {
  // Owned by the host's top-level window, which is disabled meanwhile, so the
  // document whose buffers the filter holds cannot be closed underneath it.
  HWND host = reinterpret_cast<HWND>(ownerWindow);
  HWND owner = host != nullptr && IsWindow(host) != FALSE ? GetAncestor(host, GA_ROOT) : nullptr;
  CMainDlg dialog(effect, store);
  const INT_PTR result = dialog.Run(owner);
  if (result == -1) host::ThrowText("The Tessaro dialog could not be created.");
  return result == IDOK ? host::DialogOutcome::kConfirmed : host::DialogOutcome::kCancelled;
}

bool ShowAbout() {
  CAboutDlg box;
  box.Run();
  return true;
}

int ShowSkinnedMessage(const std::string& text, int icon, int buttons, intptr_t ownerWindow) {
  HWND owner = reinterpret_cast<HWND>(ownerWindow);
  if (owner == nullptr) owner = GetActiveWindow();
  try {
    CMessageDlg dialog(text, icon, buttons);
    return int(dialog.Run(owner));  // -1: not made, the plain message follows
  } catch (...) {
    // A failure inside the dialog must not reach the host; unanswered is no.
    return kResultCancel;
  }
}

}  // namespace

host::InterfaceHooks ProductInterfaceHooks() {
  host::InterfaceHooks hooks;
  hooks.runEffectDialog = RunMainDialog;
  hooks.showAboutBox = ShowAbout;
  hooks.showMessage = ShowSkinnedMessage;
  hooks.resetDrawingState = ResetBorderTable;
  return hooks;
}

}  // namespace tessaro
