// CProgressST: the segmented render progress bar.  The platform's progress
// control keeps range and position; the blocks are painted in the interface's
// button style.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/toolkit/controls_win.h"

namespace tessaro {

class CProgressST : public CProgressCtrl {
 public:
  // Also drops the platform's sunken edges: the bar draws its own frame.
  void SetColors(uint32_t track, uint32_t bar);

 protected:
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;

 private:
  uint32_t trackColor_ = 0;
  uint32_t barColor_ = 0;
};

}  // namespace tessaro
