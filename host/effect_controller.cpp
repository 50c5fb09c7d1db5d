#include "host/effect_controller.h"

#include <algorithm>

#include "settings/presets.h"

namespace tessaro::host {

EffectController::EffectController(FilterRecord& record, const HostPixels& pixels,
                                   const ObjectBounds& bounds)
    : record_(record), pixels_(pixels), bounds_(bounds) {}

void EffectController::LoadSettings(SettingsStore& store, const std::string& section) {
  settings_ = LoadEffectSettings(store, section);
}

void EffectController::SaveSettings(SettingsStore& store, const std::string& section) const {
  SaveEffectSettings(store, section, settings_);
}

int EffectController::ReadDescriptor(const SystemMessageFn& message) {
  return host::ReadDescriptor(record_, settings_, message);
}

void EffectController::WriteDescriptor(const SystemMessageFn& message) {
  host::WriteDescriptor(record_, settings_, message);
}

namespace {
// The texture does not depend on how the camera looks at it.
EffectSettings WithoutCamera(EffectSettings s) {
  s.angleX = s.angleY = s.perspective = s.zoom = 0;
  return s;
}
}  // namespace

void EffectController::BuildScene() {
  slices_ = texture_ = render_ = part_ = Stage{};
  drawn_ = {0, 0, 0, 0};
  workspace_.PrepareScene(pixels_, bounds_);
  RebuildSlices();
}

void EffectController::RebuildSlices() {
  slices_.built = false;
  workspace_.BuildSliceStack(settings_.depth, settings_.round);
  slices_ = Stage{true, settings_, 0, ++generations_};
  Reshade();
}

void EffectController::Reshade() {
  texture_.built = false;
  workspace_.BuildSideTexture(settings_);
  texture_ = Stage{true, settings_, slices_.generation, ++generations_};
}

void EffectController::Render(const ProgressCallback& progress) {
  render_.built = part_.built = false;
  drawn_ = {0, 0, 0, 0};
  workspace_.Render(settings_, progress);
  render_ = Stage{true, settings_, texture_.generation, ++generations_};
  drawn_ = {0, 0, workspace_.RenderTarget().Width(), workspace_.RenderTarget().Height()};
}

void EffectController::RenderPart(const DibRect& part, const ProgressCallback& progress) {
  render_.built = part_.built = false;
  drawn_ = {0, 0, 0, 0};
  workspace_.RenderPart(settings_, progress, part);
  part_ = Stage{true, settings_, texture_.generation, ++generations_};
  drawn_ = part;
}

bool EffectController::AreSlicesCurrent() const {
  return HasScene() && slices_.built && slices_.from.depth == settings_.depth &&
         slices_.from.round == settings_.round;
}

bool EffectController::IsTextureCurrent() const {
  return AreSlicesCurrent() && texture_.built && texture_.below == slices_.generation &&
         WithoutCamera(texture_.from) == WithoutCamera(settings_);
}

bool EffectController::IsRenderCurrent() const {
  return IsTextureCurrent() && render_.built && render_.below == texture_.generation &&
         render_.from == settings_;
}

namespace {

// Whether `have` holds `want`, both clipped to a target of width x height:
// what lies outside it is never drawn.
bool Holds(DibRect have, DibRect want, int32_t width, int32_t height) {
  auto clip = [width, height](DibRect& r) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, width);
    r.bottom = std::min(r.bottom, height);
  };
  clip(have);
  clip(want);
  if (want.left >= want.right || want.top >= want.bottom) return true;
  return have.left <= want.left && have.top <= want.top && want.right <= have.right && want.bottom <= have.bottom;
}

}  // namespace

bool EffectController::IsPartCurrent(const DibRect& part) const {
  if (IsRenderCurrent()) return true;
  if (!IsTextureCurrent() || !part_.built || part_.below != texture_.generation || !(part_.from == settings_))
    return false;
  // A current part was the last render: what it covered is drawn_.
  return IsDrawn(part);
}

bool EffectController::IsDrawn(const DibRect& part) const {
  return HasScene() && Holds(drawn_, part, workspace_.RenderTarget().Width(), workspace_.RenderTarget().Height());
}

void EffectController::WriteResult(const ProgressCallback& progress) {
  if (!HasScene()) BuildScene();
  if (!AreSlicesCurrent()) {
    RebuildSlices();
  } else if (!IsTextureCurrent()) {
    Reshade();
  }
  if (!IsRenderCurrent()) Render(progress);
  CompositeResult(pixels_, workspace_.RenderTarget());
}

}  // namespace tessaro::host
