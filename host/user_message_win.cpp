#include <windows.h>

#include <cstdint>
#include <string>

#include "host/user_message.h"
#include "i18n/utf16.h"
#include "settings/product_identity.h"

namespace tessaro::host {

// The product's message dialog comes through the interface hooks; this plain
// box is for when it cannot be made at all: the message must still reach the
// user.
int ShowPlatformMessage(const std::string& text, int icon, int buttons, intptr_t ownerWindow) {
  HWND owner = reinterpret_cast<HWND>(ownerWindow);
  if (owner == nullptr) owner = GetActiveWindow();
  const std::wstring wide = Utf8ToWide(text);
  const UINT style = (buttons == kButtonsYesNo ? MB_YESNO : MB_OK) |
                     (icon == kIconQuestion ? MB_ICONQUESTION : MB_ICONWARNING);
  return MessageBoxW(owner, wide.c_str(), Utf8ToWide(kProductName).c_str(), style | MB_TASKMODAL);
}

void ShowPlatformSystemMessage(const char* text) { MessageBoxA(nullptr, text, "", MB_OK); }

}  // namespace tessaro::host
