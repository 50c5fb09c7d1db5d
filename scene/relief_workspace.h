// The effect's working state for one filter run: the object's picture, the
// render target, the scene and the height field it is shaded from.  It knows
// no window: the dialog and the run without dialog both drive it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "image/dib.h"
#include "image/host_pixels.h"
#include "scene/scene3d.h"
#include "settings/effect_settings.h"

namespace tessaro {

// Unsigned 16-bit heights around the object's picture with a border of
// kHeightBorder positions on every side: picture pixel (x, y) is at
// (x + kHeightBorder, y + kHeightBorder).
struct HeightField {
  static constexpr int32_t kBorder = 10;
  int32_t width = 0;   // picture width + 2 * kBorder
  int32_t height = 0;  // picture height + 2 * kBorder
  std::vector<uint16_t> values;

  // Picture coordinates; -kBorder .. picture size + kBorder - 1 are valid.
  uint16_t At(int32_t x, int32_t y) const {
    return values[size_t(y + kBorder) * size_t(width) + size_t(x + kBorder)];
  }
};

class ReliefWorkspace {
 public:
  // Everything that depends only on the host's pixels and the object's bounds:
  // the picture (the new scene's texture 0), the render target,
  // the camera centre and the blurred height field.  Throws std::bad_alloc
  // when memory runs out, leaving nothing half built behind.
  void PrepareScene(const HostPixels& pixels, const ObjectBounds& bounds);

  // Objects 0 (the front face) and 1 (the slices behind it) from Depth and Round.
  void BuildSliceStack(int32_t depth, int32_t round);

  // Texture 1: the picture with overlay, light and smoothing.
  void BuildSideTexture(const EffectSettings& settings);

  // Poses the camera from the view parameters and draws into the render target.
  void Render(const EffectSettings& settings, ProgressCallback progress);
  // The same for one rectangle of the render target only (CScene3D::RenderPart):
  // its pixels come out as Render makes them, the others are left as they are.
  void RenderPart(const EffectSettings& settings, ProgressCallback progress, const DibRect& part);

  bool HasScene() const { return scene_ != nullptr; }
  CScene3D& Scene() { return *scene_; }
  const CDib& RenderTarget() const { return renderTarget_; }
  const HeightField& RawHeights() const { return raw_; }
  const HeightField& BlurredHeights() const { return blurred_; }

 private:
  CDib renderTarget_;
  std::unique_ptr<CScene3D> scene_;
  HeightField raw_;
  HeightField blurred_;
};

// Lights (and optionally smooths) the picture from the blurred height field:
// outlines facing the light get the highlight, those facing away the shadow.
void ShadeTexture(CDib& image, const HeightField& heights, const EffectSettings& settings);

}  // namespace tessaro
