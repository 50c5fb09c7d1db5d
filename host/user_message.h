// Messages to the user.  The skinned message dialog replaces the platform box
// once the window toolkit provides it; until then the Windows build shows the
// platform's message box and the native build writes a line on standard error.
#pragma once

#include <string>

#include "host/plugin_interface.h"

namespace tessaro::host {

constexpr int kIconWarning = 177;
constexpr int kIconQuestion = 178;
constexpr int kButtonsYesNo = 0;
constexpr int kButtonsOk = 1;

// A host that runs without any user interface (a command-line host) says so
// with this signature: its messages go to standard error instead of a window
// that nobody could close.
constexpr OSType kConsoleHostSignature = FourCC("qmCL");

// Shows the text and returns the platform's dialog result (1 OK, 6 yes, 7 no).
int ShowMessageDlg(const std::string& text, int icon, int buttons);

// The platform's plain message box (no owner, empty caption, OK button), for
// internal errors about the host's buffers and procedures.
void ShowSystemMessage(const char* text);

// Sends every message to standard error instead of a window while it lives:
// for hosts that run without a user interface.
class ConsoleMessages {
 public:
  explicit ConsoleMessages(bool enable);
  ~ConsoleMessages();
  ConsoleMessages(const ConsoleMessages&) = delete;
  ConsoleMessages& operator=(const ConsoleMessages&) = delete;

 private:
  bool previous_;
};

}  // namespace tessaro::host
