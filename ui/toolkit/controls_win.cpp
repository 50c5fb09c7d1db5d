#include "ui/toolkit/controls_win.h"

#include <commctrl.h>

#include <algorithm>

namespace tessaro {

bool EnsureCommonControls() {
  static int state = 0;  // 0 not tried, 1 registered, -1 unavailable
  if (state != 0) return state > 0;
  state = -1;
  // Stays loaded for the life of the process: the control classes live in it.
  HMODULE library = LoadLibraryW(L"comctl32.dll");
  if (library == nullptr) return false;
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // Through a plain function pointer type: the procedure's declared type
  // differs from the real one, as with every looked-up procedure.
  auto init = reinterpret_cast<InitFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
  if (init == nullptr) return false;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  if (!init(&controls)) return false;
  state = 1;
  return true;
}

void CButton::SetButtonType(UINT type, bool redraw) {
  const UINT style = (GetStyle() & ~UINT(BS_TYPEMASK)) | (type & BS_TYPEMASK);
  SendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE);
}

HICON CStatic::SetIcon(HICON icon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
}

int CSliderCtrl::GetPos() const { return int(SendMessage(TBM_GETPOS, 0, 0)); }
void CSliderCtrl::SetPos(int pos, bool redraw) { SendMessage(TBM_SETPOS, redraw, pos); }
int CSliderCtrl::GetRangeMin() const { return int(SendMessage(TBM_GETRANGEMIN, 0, 0)); }
int CSliderCtrl::GetRangeMax() const { return int(SendMessage(TBM_GETRANGEMAX, 0, 0)); }

void CSliderCtrl::SetRange(int minimum, int maximum, bool redraw) {
  SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
  SendMessage(TBM_SETRANGEMAX, redraw, maximum);
}

void CSliderCtrl::SetRangeMin(int minimum, bool redraw) {
  SendMessage(TBM_SETRANGEMIN, redraw, minimum);
}

void CSliderCtrl::SetRangeMax(int maximum, bool redraw) {
  SendMessage(TBM_SETRANGEMAX, redraw, maximum);
}

int CSliderCtrl::GetPageSize() const { return int(SendMessage(TBM_GETPAGESIZE, 0, 0)); }
void CSliderCtrl::SetPageSize(int size) { SendMessage(TBM_SETPAGESIZE, 0, size); }

void CProgressCtrl::SetRange(int low, int high) {
  low = std::clamp(low, 0, 0xFFFF);
  high = std::clamp(high, 0, 0xFFFF);
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void CProgressCtrl::GetRange(int& low, int& high) const {
  PBRANGE range = {0, 0};
  SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  low = range.iLow;
  high = range.iHigh;
}

int CProgressCtrl::GetPos() const { return int(SendMessage(PBM_GETPOS, 0, 0)); }
int CProgressCtrl::SetPos(int pos) { return int(SendMessage(PBM_SETPOS, WPARAM(pos), 0)); }

}  // namespace tessaro
