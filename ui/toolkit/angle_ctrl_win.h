// CAngleCtrl: the light-direction dial.  A press and drag points the needle at
// the pointer; the angle is whole degrees kept in radians, 0 pointing right
// and growing counter-clockwise.  Every change by the user posts a command
// notice (id, code 0, window) to the parent.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/toolkit/controls_win.h"

namespace tessaro {

class CAngleCtrl : public CButton {
 public:
  double Angle() const { return angle_; }
  void SetAngle(double radians);
  // The angle in whole degrees, as the dial shows it.
  int32_t Degrees() const;
  void SetColors(uint32_t background, uint32_t foreground);
  bool IsDragging() const { return dragging_; }

 protected:
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonDblClk(UINT flags, POINT p) override { OnLButtonDown(flags, p); }
  void OnLButtonUp(UINT flags, POINT p) override;
  void OnMouseMove(UINT flags, POINT p) override;

 private:
  void Track(POINT p);

  bool dragging_ = false;
  double angle_ = 0.0;
  uint32_t background_ = 0xF2F2F2;
  uint32_t foreground_ = 0x57297E;
};

}  // namespace tessaro
