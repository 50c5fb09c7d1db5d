// The monitor DPI the dialogs draw for.  The plug-in's windows are created in
// a per-monitor DPI-aware context of their own, whatever the host declares,
// so they are sharp on every monitor; the functions this needs are looked up
// at run time, as older systems lack them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/toolkit/skin_metrics.h"

namespace tessaro {

// Makes the calling thread per-monitor DPI aware for as long as it lives and
// restores the thread's former context afterwards.  Does nothing where the
// system has no such contexts.
class CDpiAwarenessScope {
 public:
  CDpiAwarenessScope();
  ~CDpiAwarenessScope();
  CDpiAwarenessScope(const CDpiAwarenessScope&) = delete;
  CDpiAwarenessScope& operator=(const CDpiAwarenessScope&) = delete;

  // Whether the thread's context was changed.
  bool Changed() const { return previous_ != nullptr; }

 private:
  HANDLE previous_ = nullptr;
};

// While it lives, the calling thread is back in the context the host had
// before our first dialog changed it: windows the host opens from a call we
// make (its colour picker) are then made the way the host expects.  Does
// nothing outside a CDpiAwarenessScope.
class CHostDpiScope {
 public:
  CHostDpiScope();
  ~CHostDpiScope();
  CHostDpiScope(const CHostDpiScope&) = delete;
  CHostDpiScope& operator=(const CHostDpiScope&) = delete;

 private:
  HANDLE ours_ = nullptr;
};

// The DPI the skin of hwnd's dialog is drawn for: the one its top-level
// window keeps (set by SetWindowSkinDpi, followed on every DPI change), else
// the monitor's as the system reports it for the window.
int32_t WindowSkinDpi(HWND hwnd);
SkinMetrics WindowSkinMetrics(HWND hwnd);

// Kept on a top-level window; 0 forgets it (before the window goes).
void SetWindowSkinDpi(HWND topLevel, int32_t dpi);

// The system's DPI for the window: its monitor's for a per-monitor aware
// window, the system's otherwise; 96 when nothing can be asked.
int32_t SystemDpiForWindow(HWND hwnd);

// Leaves a dialog's size, fonts and control places to us when its DPI
// changes: the platform's own re-scaling knows nothing of anchors.
void TakeOverDialogDpiScaling(HWND dialog);

}  // namespace tessaro
