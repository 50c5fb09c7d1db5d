#include "host/system_message.h"

#include <windows.h>

namespace tessaro::host {

void ShowSystemMessage(const char* text) { MessageBoxA(nullptr, text, "", MB_OK); }

}  // namespace tessaro::host
