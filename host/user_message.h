// Messages to the user.  The Windows build shows them in the skinned message
// dialog; the native build, and any host that runs without a user interface,
// writes a line on standard error instead.
#pragma once

#include <cstdint>
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

// Shows the text and returns the platform's dialog result (1 OK, 6 yes, 7 no;
// 2 when the dialog was closed without an answer, which callers take as no).
// The dialog is owned by ownerWindow (the platform's window handle); without
// one, by the window active on the calling thread, which during a filter run
// is the host's.
int ShowMessageDlg(const std::string& text, int icon, int buttons);
int ShowMessageDlg(const std::string& text, int icon, int buttons, intptr_t ownerWindow);

// The platform's plain message box (no owner, empty caption, OK button), for
// internal errors about the host's buffers and procedures.
void ShowSystemMessage(const char* text);

// One message as a line on standard error, with the product's name before it;
// a question is answered no (the dialog result of no, or of OK).
int WriteToConsole(const std::string& text, int buttons);

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
