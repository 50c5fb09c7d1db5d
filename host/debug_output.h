// Texts for a developer watching the module, never for the user.
#pragma once

namespace tessaro::host {

// Windows: the debugger output.  Elsewhere: standard error, only when the
// environment variable TESSARO_DEBUG is set.
void WriteDebugOutput(const char* text);

}  // namespace tessaro::host
