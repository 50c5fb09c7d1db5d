// Where the interface's arithmetic painting lands.  The style painter and the
// controls describe what they paint through this small surface, so the exact
// rows and frame colours can be checked on an image natively, while the
// Windows layer paints the same calls into a drawing context.
//
// Colours are colour values 0x00BBGGRR (red in the low byte); rectangles are
// left/top inclusive, right/bottom exclusive; an empty rectangle paints
// nothing.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

class CPaintSurface {
 public:
  CPaintSurface() = default;
  CPaintSurface(const CPaintSurface&) = delete;
  CPaintSurface& operator=(const CPaintSurface&) = delete;
  virtual ~CPaintSurface() = default;

  // The part of the plane where painting can change anything; painters may
  // skip work outside it.
  virtual DibRect Bounds() const = 0;
  virtual void FillRect(const DibRect& rect, uint32_t color) = 0;

  // A one-pixel frame just inside rect: top and left edges in topLeft, bottom
  // and right edges in bottomRight, which also takes the top-right and
  // bottom-left corners (the classic 3D rectangle).  Built on FillRect so every
  // surface draws the same pixels.
  void Draw3dRect(const DibRect& rect, uint32_t topLeft, uint32_t bottomRight);
};

// Paints opaque pixels into an image, clipped to its clip rectangle.
class CDibSurface final : public CPaintSurface {
 public:
  explicit CDibSurface(CDib& image) : image_(image) {}
  DibRect Bounds() const override;
  void FillRect(const DibRect& rect, uint32_t color) override;

 private:
  CDib& image_;
};

}  // namespace tessaro
