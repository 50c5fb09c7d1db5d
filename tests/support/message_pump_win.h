// Bounded message pumping for tests that drive real windows: every wait has a
// deadline, so a control that never answers fails its test instead of hanging
// the run.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/toolkit/dialog_win.h"

namespace tessaro::testing {

// Dispatches messages (dialog keys go to their dialogs first) until done()
// holds or timeoutMs has passed; says whether done() came true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CDialog::PreTranslateForDialogs(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

}  // namespace tessaro::testing
