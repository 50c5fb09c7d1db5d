#include "host/debug_output.h"

#include <cstdio>
#include <cstdlib>

namespace tessaro::host {

void WriteDebugOutput(const char* text) {
  if (std::getenv("TESSARO_DEBUG")) std::fprintf(stderr, "tessaro: %s\n", text);
}

}  // namespace tessaro::host
