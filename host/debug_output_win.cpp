#include "host/debug_output.h"

#include <windows.h>

namespace tessaro::host {

void WriteDebugOutput(const char* text) {
  OutputDebugStringA(text);
  OutputDebugStringA("\n");
}

}  // namespace tessaro::host
