// CMemDCEx: an off-screen picture for one paint.  Drawing goes into a
// compatible bitmap in the target's coordinates and reaches the target in one
// block transfer when the object goes, so a control never flickers through its
// own layers.  A printing target is drawn on directly.
#pragma once

#include <windows.h>

#include "ui/toolkit/dc_win.h"

namespace tessaro {

class CMemDCEx final : public CDC {
 public:
  // rect: the part of the target to cover; null means the target's clip box.
  // copyBackground starts the picture from the target's current pixels.
  CMemDCEx(HDC target, const RECT* rect = nullptr, bool copyBackground = false);
  ~CMemDCEx() override;

  // False when drawing goes straight to the target (printing, or no memory
  // for the picture).
  bool IsOffScreen() const { return bitmap_ != nullptr; }
  const RECT& Rect() const { return rect_; }

 private:
  HDC target_;
  RECT rect_ = {0, 0, 0, 0};
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace tessaro
