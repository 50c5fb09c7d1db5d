// The platform's plain message box (no owner, empty caption, OK button), for
// internal errors about the host's buffers and procedures.
#pragma once

namespace tessaro::host {

// Windows: a message box.  Elsewhere: a line on standard error.
void ShowSystemMessage(const char* text);

}  // namespace tessaro::host
