#include "ui/toolkit/dialog_win.h"

#include "ui/toolkit/controls_win.h"
#include "ui/toolkit/dpi_win.h"
#include "ui/toolkit/host_window_win.h"

namespace tessaro {

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
  // Only the initialisation is handled here: from then on the dialog's window
  // procedure is ours (see Attach) and this procedure is only reached as the
  // platform's default, where it must decline everything.
  if (msg != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  if (dialog == nullptr || !dialog->Attach(hwnd)) return FALSE;
  dialog->SetOwnsWindow(true);
  try {
    return dialog->OnInitDialog() ? TRUE : FALSE;
  } catch (...) {
    KeepHandlerFailure(std::current_exception());
    return FALSE;
  }
}

bool CDialog::Created(HWND hwnd) {
  if (hwnd == nullptr) return false;
  // A template whose initialisation failed to bind still gets destroyed.
  if (Hwnd() != hwnd) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

bool CDialog::Create(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  if (Hwnd() != nullptr || dialogTemplate == nullptr) return false;
  EnsureCommonControls();
  ended_ = false;
  return Created(CreateDialogIndirectParamW(ToolkitModule(), dialogTemplate, owner,
                                            &CDialog::StaticDlgProc,
                                            reinterpret_cast<LPARAM>(this)));
}

bool CDialog::Create(int resourceId, HWND owner) {
  if (Hwnd() != nullptr) return false;
  EnsureCommonControls();
  ended_ = false;
  return Created(CreateDialogParamW(ToolkitModule(), MAKEINTRESOURCEW(resourceId), owner,
                                    &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this)));
}

namespace {

HWND RootOf(HWND owner) { return owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr; }

}  // namespace

INT_PTR CDialog::DoModal(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  if (Hwnd() != nullptr) return -1;
  // Sharp at any scaling, whatever the host declared; the thread's context
  // comes back when the dialog is gone.
  CDpiAwarenessScope dpi;
  CModalLoopScope scope;
  modal_ = true;
  result_ = IDCANCEL;
  if (!Create(dialogTemplate, owner)) {
    modal_ = false;
    if (auto failure = TakeHandlerFailure()) std::rethrow_exception(failure);
    return -1;
  }
  return RunModalLoop(RootOf(owner));
}

INT_PTR CDialog::DoModal(int resourceId, HWND owner) {
  if (Hwnd() != nullptr) return -1;
  CDpiAwarenessScope dpi;
  CModalLoopScope scope;
  modal_ = true;
  result_ = IDCANCEL;
  if (!Create(resourceId, owner)) {
    modal_ = false;
    if (auto failure = TakeHandlerFailure()) std::rethrow_exception(failure);
    return -1;
  }
  return RunModalLoop(RootOf(owner));
}

INT_PTR CDialog::RunModalLoop(HWND ownerRoot) {
  const bool disableOwner = ownerRoot != nullptr && ::IsWindowEnabled(ownerRoot);
  if (disableOwner) ::EnableWindow(ownerRoot, FALSE);
  if (!ended_ && !HasHandlerFailure() && !IsVisible()) ShowWindow(SW_SHOW);
  // Showing activates only within this thread; an owner on another thread
  // (or none) would otherwise leave the dialog behind the editor.  Another
  // program the user has turned to keeps the foreground.
  if (!ended_ && IsVisible() && GetForegroundWindow() != Hwnd() && ForegroundIsOursOrOf(ownerRoot))
    SetForegroundWindow(Hwnd());
  const CKeyboardGuard keys(Hwnd());

  MSG msg;
  while (!ended_ && IsWindow() && !HasHandlerFailure()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The quit belongs to the loop that runs us; leave it for that loop.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (!PreTranslateForDialogs(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  // The owner comes back before the dialog goes, so activation returns to it
  // rather than to another application.
  if (disableOwner) ::EnableWindow(ownerRoot, TRUE);
  if (ownerRoot != nullptr && IsOtherThreadWindow(ownerRoot) && GetForegroundWindow() == Hwnd())
    SetForegroundWindow(ownerRoot);
  else if (ownerRoot != nullptr && IsActive())
    SetActiveWindow(ownerRoot);
  DestroyWindow();
  modal_ = false;
  if (auto failure = TakeHandlerFailure()) std::rethrow_exception(failure);
  return result_;
}

void CDialog::EndDialog(INT_PTR result) {
  result_ = result;
  if (modal_) {
    ended_ = true;
    PostMessage(WM_NULL, 0, 0);  // wakes the loop if it is waiting
    return;
  }
  DestroyWindow();
}

bool CDialog::PreTranslateMessage(MSG& msg) {
  if (accelerators_ != nullptr && TranslateAcceleratorW(Hwnd(), accelerators_, &msg) != 0)
    return true;
  return IsDialogMessageW(Hwnd(), &msg) != FALSE;
}

bool CDialog::PreTranslateForDialogs(MSG& msg) {
  if (msg.hwnd == nullptr) return false;
  auto* dialog = dynamic_cast<CDialog*>(FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  return dialog != nullptr && dialog->PreTranslateMessage(msg);
}

void CDialog::OnCommand(UINT id, UINT code, HWND control) {
  switch (id) {
    case IDOK:
      OnOK();
      return;
    case IDCANCEL:
      OnCancel();
      return;
    default:
      CWnd::OnCommand(id, code, control);
  }
}

}  // namespace tessaro
