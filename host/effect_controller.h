// What the effect dialog does that needs no window: the settings, the scene
// builds in their three depths, the renders and the final composite.  The
// dialog binds its controls to it; a run without dialog drives it alone.
#pragma once

#include <string>

#include "host/filter_run.h"
#include "host/scripting.h"
#include "scene/relief_workspace.h"
#include "settings/effect_settings.h"

namespace tessaro {
class SettingsStore;
}

namespace tessaro::host {

class EffectController {
 public:
  EffectController(FilterRecord& record, const HostPixels& pixels, const ObjectBounds& bounds);

  EffectSettings& Settings() { return settings_; }
  const ObjectBounds& Bounds() const { return bounds_; }

  // The sixteen values of a section ("" for the last-used ones).
  void LoadSettings(SettingsStore& store, const std::string& section);
  void SaveSettings(SettingsStore& store, const std::string& section) const;

  int ReadDescriptor(const SystemMessageFn& message);
  void WriteDescriptor(const SystemMessageFn& message);

  // The three depths of rebuild, cheapest last: everything from the host's
  // pixels; the slices and their texture; the texture alone.
  void BuildScene();
  void RebuildSlices();
  void Reshade();
  bool HasScene() const { return workspace_.HasScene(); }

  void Render(const ProgressCallback& progress);
  // Renders unless the last render is still current, then composites into
  // the host's output buffer.  Does nothing before a scene exists.
  void WriteResult(const ProgressCallback& progress);

  int RenderPending() const { return renderPending_; }
  const ReliefWorkspace& Workspace() const { return workspace_; }

 private:
  FilterRecord& record_;
  HostPixels pixels_;
  ObjectBounds bounds_;
  EffectSettings settings_;
  ReliefWorkspace workspace_;
  // Raised by every scene build, lowered by every render: 0 means the render
  // target shows the current scene.
  int renderPending_ = 0;
};

}  // namespace tessaro::host
