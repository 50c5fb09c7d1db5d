// The window a modal dialog of the plug-in is owned by, whatever the host
// hands over: a child of its window, a window of another thread or process,
// or nothing at all.  And a keyboard that stays ours while our dialog has it.
#pragma once

#include <windows.h>

namespace tessaro {

// The top-level window that should own a modal dialog for a host that named
// given (a child of its window, 0, or a handle that is no window):
// given's top-level window when it answers messages, else the active window
// of this thread, else the foreground window when it belongs to this process.
// Null when none of them exists: the dialog then has no owner.  A window of
// another thread that does not answer within timeoutMs is not used, since
// disabling it would wait for that thread for ever.
HWND ModalOwnerFor(HWND given, UINT timeoutMs = 1000);

// Whether hwnd belongs to another thread than the calling one.
bool IsOtherThreadWindow(HWND hwnd);

// Whether the foreground window is missing, of this process, or of owner's
// process: the editor (or nothing) is in front rather than another program.
bool ForegroundIsOursOrOf(HWND owner);

// While it lives, keystrokes for the calling thread's windows of dialog
// reach them without passing the keyboard and message hooks installed
// before it (hosts hang their shortcuts there), so typing in the dialog never
// triggers the host's commands.  Keys for other windows pass as before.
class CKeyboardGuard {
 public:
  explicit CKeyboardGuard(HWND dialog);
  ~CKeyboardGuard();
  CKeyboardGuard(const CKeyboardGuard&) = delete;
  CKeyboardGuard& operator=(const CKeyboardGuard&) = delete;

 private:
  static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam);

  HWND dialog_;
  HHOOK keyboard_ = nullptr;
  HHOOK messages_ = nullptr;
  CKeyboardGuard* outer_ = nullptr;
};

}  // namespace tessaro
