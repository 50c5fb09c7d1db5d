// CIconSlider: the skinned horizontal slider of every numeric parameter.  The
// platform's trackbar still keeps range, position and page size and handles
// the keyboard; painting and the mouse are ours: a sunken track, an arrow
// button at each end, and a styled thumb that carries the value.
//
// Every change by the user, and every SetRangeAndPos, posts a command notice
// (the control's id, code 0, its window) to the parent; posting lets the
// parent rebuild after the slider's own message is done.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/controls_win.h"

namespace tessaro {

class CIconSlider : public CSliderCtrl {
 public:
  static constexpr UINT_PTR kRepeatDelayTimer = 967;
  static constexpr UINT_PTR kRepeatTimer = 966;
  static constexpr UINT kRepeatDelayMs = 300;
  static constexpr UINT kRepeatMs = 40;

  // Drops the tab stop: the slider takes the focus only when clicked.
  void SetColors(uint32_t track, uint32_t thumb);
  // Posts the notice even when nothing changed, so the parent always
  // re-reads the value.  A drag in progress keeps its position.
  void SetRangeAndPos(int32_t minimum, int32_t maximum, int32_t position);
  // "%d" is replaced by the position; other text is shown as it is.
  void SetValueFormat(const std::wstring& format) { format_ = format; }

  DibRect ThumbRect() const { return SliderThumbRect(State()); }
  SliderState State() const;
  bool IsDragging() const { return dragging_; }
  bool IsHoveringThumb() const { return (hover_ & 1u) != 0; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  void OnLButtonDblClk(UINT flags, POINT p) override { OnLButtonDown(flags, p); }
  void OnMouseMove(UINT flags, POINT p) override;
  void OnCaptureChanged(HWND newCapture) override;
  void OnTimer(UINT_PTR id) override;

 private:
  bool StepAt(int32_t x);
  void PostNotice();
  std::wstring ValueText() const;

  std::wstring format_ = L"%d";
  uint32_t trackColor_ = kSliderDefaultColor;
  uint32_t thumbColor_ = kSliderDefaultColor;
  int32_t dragOffset_ = 0;
  uint32_t hover_ = 0;
  bool dragging_ = false;
};

}  // namespace tessaro
