#include "host/user_message.h"

#include <cstdio>

#include "host/interface_hooks.h"
#include "settings/product_identity.h"

namespace tessaro::host {

// The platform's plain presentation, in user_message_win.cpp / user_message_posix.cpp.
int ShowPlatformMessage(const std::string& text, int icon, int buttons, intptr_t ownerWindow);
void ShowPlatformSystemMessage(const char* text);

int WriteToConsole(const std::string& text, int buttons) {
  std::fprintf(stderr, "%s: %s\n", kProductName, text.c_str());
  std::fflush(stderr);
  // Nobody can answer a question here: the safe answer is no.
  return buttons == kButtonsYesNo ? 7 : 1;
}

namespace {
bool g_console = false;
}  // namespace

ConsoleMessages::ConsoleMessages(bool enable) : previous_(g_console) {
  if (enable) g_console = true;
}
ConsoleMessages::~ConsoleMessages() { g_console = previous_; }

int ShowMessageDlg(const std::string& text, int icon, int buttons) {
  return ShowMessageDlg(text, icon, buttons, 0);
}

int ShowMessageDlg(const std::string& text, int icon, int buttons, intptr_t ownerWindow) {
  if (g_console) return WriteToConsole(text, buttons);
  if (const auto show = InstalledInterfaceHooks().showMessage) {
    const int result = show(text, icon, buttons, ownerWindow);
    if (result != -1) return result;
  }
  return ShowPlatformMessage(text, icon, buttons, ownerWindow);
}

void ShowSystemMessage(const char* text) {
  if (g_console) {
    WriteToConsole(text, kButtonsOk);
    return;
  }
  ShowPlatformSystemMessage(text);
}

}  // namespace tessaro::host
