// The platform's standard controls as thin objects: each keeps its state in
// the control itself and talks to it through the control's own messages.
// Bind them to template items with AttachDlgItem.
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/window_win.h"

namespace tessaro {

// Registers the trackbar and progress bar classes.  The common controls
// library is loaded on first use rather than imported, so a host that never
// opens a dialog never loads it.  False when the classes are unavailable.
bool EnsureCommonControls();

class CButton : public CWnd {
 public:
  int GetCheck() const { return int(SendMessage(BM_GETCHECK, 0, 0)); }
  void SetCheck(int state) { SendMessage(BM_SETCHECK, WPARAM(state), 0); }
  UINT GetState() const { return UINT(SendMessage(BM_GETSTATE, 0, 0)); }
  // The button type (push, check, owner-drawn...) without the other style bits.
  UINT GetButtonType() const { return GetStyle() & BS_TYPEMASK; }
  void SetButtonType(UINT type, bool redraw = true);
  void Click() { SendMessage(BM_CLICK, 0, 0); }
};

class CStatic : public CWnd {
 public:
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON, 0, 0)); }
  HICON SetIcon(HICON icon);
};

// A horizontal trackbar; position, range and page size live in the control.
class CSliderCtrl : public CWnd {
 public:
  int GetPos() const;
  void SetPos(int pos, bool redraw = true);
  int GetRangeMin() const;
  int GetRangeMax() const;
  void SetRange(int minimum, int maximum, bool redraw = true);
  void SetRangeMin(int minimum, bool redraw = true);
  void SetRangeMax(int maximum, bool redraw = true);
  int GetPageSize() const;
  void SetPageSize(int size);
};

// Progress range is limited to 0..65535 by the control's 16-bit range message.
class CProgressCtrl : public CWnd {
 public:
  void SetRange(int low, int high);
  void GetRange(int& low, int& high) const;
  int GetPos() const;
  int SetPos(int pos);
};

}  // namespace tessaro
