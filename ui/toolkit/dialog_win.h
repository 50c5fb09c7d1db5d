// CDialog: a dialog made from a template, modeless (Create) or modal
// (DoModal).  The modal loop is our own rather than the platform's so that
// keyboard pre-translation (accelerators, then the dialog keys: Enter presses
// the default button, Escape cancels) and failures in handlers are ours to
// handle.
#pragma once

#include <windows.h>

#include "ui/toolkit/window_win.h"

namespace tessaro {

class CDialog : public CWnd {
 public:
  // The dialog exists when these return true; it shows if its template has
  // the visible style.
  bool Create(const DLGTEMPLATE* dialogTemplate, HWND owner);
  bool Create(int resourceId, HWND owner);

  // Shows the dialog with its owner's top-level window disabled and runs
  // until EndDialog; returns the result given to EndDialog, or -1 when the
  // dialog could not be created.  A dialog ended during its initialisation is
  // never shown.  An exception thrown by any handler while the dialog runs
  // ends it and is rethrown here.
  INT_PTR DoModal(const DLGTEMPLATE* dialogTemplate, HWND owner);
  INT_PTR DoModal(int resourceId, HWND owner);

  // Modal: ends the loop with result (1 OK, 2 Cancel by convention).
  // Modeless: destroys the window.
  void EndDialog(INT_PTR result);
  bool IsModal() const { return modal_; }

  // Checked before the dialog keys; the dialog does not own the table.
  void SetAccelerators(HACCEL table) { accelerators_ = table; }

  // Keyboard handling for a message of any window: the dialog the window
  // belongs to, if it is one of ours, gets to translate it.  Message loops
  // that run modeless dialogs call this before dispatching.
  static bool PreTranslateForDialogs(MSG& msg);

 protected:
  // Runs once the dialog and its items exist.  Return true to let the platform
  // put the focus on the first control.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  virtual bool PreTranslateMessage(MSG& msg);

  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool Created(HWND hwnd);
  INT_PTR RunModalLoop(HWND ownerRoot);

  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = IDCANCEL;
  HACCEL accelerators_ = nullptr;
};

}  // namespace tessaro
