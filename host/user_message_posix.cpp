#include <cstdint>
#include <string>

#include "host/user_message.h"

namespace tessaro::host {

// Without a window system every message is a line on standard error.
int ShowPlatformMessage(const std::string& text, int /*icon*/, int buttons,
                        intptr_t /*ownerWindow*/) {
  return WriteToConsole(text, buttons);
}

void ShowPlatformSystemMessage(const char* text) { WriteToConsole(text, kButtonsOk); }

}  // namespace tessaro::host
