#include <windows.h>

#include <string>

#include "host/user_message.h"

namespace tessaro::host {

int ShowPlatformMessage(const std::string& text, int icon, int buttons) {
  std::wstring wide(size_t(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], int(wide.size()));
  const UINT style = (buttons == kButtonsYesNo ? MB_YESNO : MB_OK) |
                     (icon == kIconQuestion ? MB_ICONQUESTION : MB_ICONWARNING);
  return MessageBoxW(nullptr, wide.c_str(), L"Tessaro", style | MB_TASKMODAL);
}

void ShowPlatformSystemMessage(const char* text) { MessageBoxA(nullptr, text, "", MB_OK); }

}  // namespace tessaro::host
