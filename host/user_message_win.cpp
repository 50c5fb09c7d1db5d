#include <windows.h>

#include <cstdint>
#include <string>

#include "host/user_message.h"
#include "ui/toolkit/small_dialogs_win.h"

namespace tessaro::host {

namespace {

// Only when the skinned dialog cannot be made at all: the message must still
// reach the user.
int ShowPlainMessage(const std::string& text, int icon, int buttons, HWND owner) {
  const std::wstring wide = Utf8ToWide(text);
  const UINT style = (buttons == kButtonsYesNo ? MB_YESNO : MB_OK) |
                     (icon == kIconQuestion ? MB_ICONQUESTION : MB_ICONWARNING);
  return MessageBoxW(owner, wide.c_str(), L"Tessaro", style | MB_TASKMODAL);
}

}  // namespace

int ShowPlatformMessage(const std::string& text, int icon, int buttons, intptr_t ownerWindow) {
  HWND owner = reinterpret_cast<HWND>(ownerWindow);
  if (owner == nullptr) owner = GetActiveWindow();
  try {
    CMessageDlg dialog(text, icon, buttons);
    const INT_PTR result = dialog.Run(owner);
    if (result != -1) return int(result);
  } catch (...) {
    // A failure inside the dialog must not reach the host; unanswered is no.
    return kResultCancel;
  }
  return ShowPlainMessage(text, icon, buttons, owner);
}

void ShowPlatformSystemMessage(const char* text) { MessageBoxA(nullptr, text, "", MB_OK); }

}  // namespace tessaro::host
