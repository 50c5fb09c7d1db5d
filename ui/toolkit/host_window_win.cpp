#include "ui/toolkit/host_window_win.h"

namespace tessaro {

namespace {

// The innermost guard of this thread (modal dialogs nest on one thread).
thread_local CKeyboardGuard* t_guard = nullptr;
thread_local HWND t_guardDialog = nullptr;

bool Answers(HWND window, UINT timeoutMs) {
  if (!IsOtherThreadWindow(window)) return true;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs,
                             &ignored) != 0;
}

bool IsUsableOwner(HWND window) {
  return window != nullptr && IsWindow(window) != FALSE && IsWindowVisible(window) != FALSE;
}

bool OfThisProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// Whether the key message for target is one our dialog should have alone.
bool ForGuardedDialog(HWND target) {
  if (t_guardDialog == nullptr || target == nullptr) return false;
  return target == t_guardDialog || IsChild(t_guardDialog, target) != FALSE;
}

}  // namespace

bool IsOtherThreadWindow(HWND hwnd) {
  return hwnd != nullptr && GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId();
}

bool ForegroundIsOursOrOf(HWND owner) {
  HWND front = GetForegroundWindow();
  if (front == nullptr || OfThisProcess(front)) return true;
  if (owner == nullptr) return false;
  DWORD frontProcess = 0, ownerProcess = 0;
  GetWindowThreadProcessId(front, &frontProcess);
  GetWindowThreadProcessId(owner, &ownerProcess);
  return frontProcess == ownerProcess;
}

HWND ModalOwnerFor(HWND given, UINT timeoutMs) {
  if (given != nullptr && IsWindow(given) != FALSE) {
    HWND root = GetAncestor(given, GA_ROOT);
    if (root == nullptr) root = given;
    if (Answers(root, timeoutMs)) return root;
  }
  // No window from the host: the editor is the window the user was working
  // in, which is this thread's active one, or the process's foreground one
  // when the host runs us on a thread of our own.
  HWND active = GetActiveWindow();
  if (IsUsableOwner(active)) return GetAncestor(active, GA_ROOT);
  HWND foreground = GetForegroundWindow();
  if (IsUsableOwner(foreground) && OfThisProcess(foreground) && Answers(foreground, timeoutMs))
    return GetAncestor(foreground, GA_ROOT);
  return nullptr;
}

CKeyboardGuard::CKeyboardGuard(HWND dialog) : dialog_(dialog), outer_(t_guard) {
  t_guard = this;
  t_guardDialog = dialog;
  const DWORD thread = GetCurrentThreadId();
  keyboard_ = SetWindowsHookExW(WH_KEYBOARD, &CKeyboardGuard::KeyboardHook, nullptr, thread);
  messages_ = SetWindowsHookExW(WH_GETMESSAGE, &CKeyboardGuard::MessageHook, nullptr, thread);
}

CKeyboardGuard::~CKeyboardGuard() {
  if (messages_ != nullptr) UnhookWindowsHookEx(messages_);
  if (keyboard_ != nullptr) UnhookWindowsHookEx(keyboard_);
  t_guard = outer_;
  t_guardDialog = outer_ != nullptr ? outer_->dialog_ : nullptr;
}

LRESULT CALLBACK CKeyboardGuard::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  // Not passed on: the hooks after ours are the host's.  0 lets the key
  // through to the window that has the focus.
  if (code == HC_ACTION && ForGuardedDialog(GetFocus())) return 0;
  HHOOK self = t_guard != nullptr ? t_guard->keyboard_ : nullptr;
  return CallNextHookEx(self, code, wParam, lParam);
}

LRESULT CALLBACK CKeyboardGuard::MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && msg != nullptr && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && ForGuardedDialog(msg->hwnd))
    return 0;
  HHOOK self = t_guard != nullptr ? t_guard->messages_ : nullptr;
  return CallNextHookEx(self, code, wParam, lParam);
}

}  // namespace tessaro
