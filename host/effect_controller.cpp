#include "host/effect_controller.h"

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

void EffectController::BuildScene() {
  workspace_.PrepareScene(pixels_, bounds_);
  ++renderPending_;
  RebuildSlices();
}

void EffectController::RebuildSlices() {
  workspace_.BuildSliceStack(settings_.depth, settings_.round);
  Reshade();
}

void EffectController::Reshade() { workspace_.BuildSideTexture(settings_); }

void EffectController::Render(const ProgressCallback& progress) {
  workspace_.Render(settings_, progress);
  --renderPending_;
}

void EffectController::WriteResult(const ProgressCallback& progress) {
  if (!workspace_.HasScene()) return;
  if (renderPending_ != 0) Render(progress);
  CompositeResult(pixels_, workspace_.RenderTarget());
}

}  // namespace tessaro::host
