#include <cstdint>
#include <cstdio>
#include <string>

#include "host/user_message.h"

namespace tessaro::host {

// Without a window system every message is a line on standard error.
int ShowPlatformMessage(const std::string& text, int /*icon*/, int buttons,
                        intptr_t /*ownerWindow*/) {
  std::fprintf(stderr, "Tessaro: %s\n", text.c_str());
  return buttons == kButtonsYesNo ? 7 : 1;
}

void ShowPlatformSystemMessage(const char* text) { std::fprintf(stderr, "Tessaro: %s\n", text); }

}  // namespace tessaro::host
