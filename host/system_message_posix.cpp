#include "host/system_message.h"

#include <cstdio>

namespace tessaro::host {

void ShowSystemMessage(const char* text) { std::fprintf(stderr, "Tessaro: %s\n", text); }

}  // namespace tessaro::host
