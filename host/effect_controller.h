// What the effect dialog does that needs no window: the settings, the scene
// builds in their three depths, the renders and the final composite.  The
// dialog binds its controls to it; a run without dialog drives it alone.
#pragma once

#include <cstdint>
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
  FilterRecord& Record() { return record_; }
  const ObjectBounds& Bounds() const { return bounds_; }

  // The sixteen values of a section ("" for the last-used ones).
  void LoadSettings(SettingsStore& store, const std::string& section);
  void SaveSettings(SettingsStore& store, const std::string& section) const;

  int ReadDescriptor(const SystemMessageFn& message);
  void WriteDescriptor(const SystemMessageFn& message);

  // The three depths of rebuild, cheapest last: everything from the host's
  // pixels; the slices and their texture; the texture alone.  Each works
  // with the settings as they are now.
  void BuildScene();
  void RebuildSlices();
  void Reshade();
  bool HasScene() const { return workspace_.HasScene(); }

  void Render(const ProgressCallback& progress);
  // Renders one rectangle of the target (right and bottom exclusive) as the
  // whole render would; the rest keeps what it held, so the whole render is
  // no longer current.
  void RenderPart(const DibRect& part, const ProgressCallback& progress);
  // Whether each stage was built from the current settings (and the stage
  // below it as it is now), so that building it again would change no pixel.
  bool AreSlicesCurrent() const;
  bool IsTextureCurrent() const;
  bool IsRenderCurrent() const;
  // Whether the rectangle holds the current settings' render, from the whole
  // render or from a part that contains it.
  bool IsPartCurrent(const DibRect& part) const;
  // Whether the last render, whole or a part, covered the rectangle, with
  // whatever settings it had.
  bool IsDrawn(const DibRect& part) const;
  // Brings the scene, its texture and the render up to date with the current
  // settings, doing only the stages whose inputs changed (a scene that was
  // never built is built first), then composites into the host's output
  // buffer.  So the written image always matches the settings, whatever
  // rebuilds were still waiting, and a current preview is reused as it is.
  void WriteResult(const ProgressCallback& progress);

  const ReliefWorkspace& Workspace() const { return workspace_; }

 private:
  FilterRecord& record_;
  HostPixels pixels_;
  ObjectBounds bounds_;
  EffectSettings settings_;
  ReliefWorkspace workspace_;
  // What each built stage was made from.  A stage is current while its
  // inputs are unchanged and the stage below it has not been rebuilt since;
  // a failed build leaves its stage (and those above it) not current.
  struct Stage {
    bool built = false;
    EffectSettings from;
    uint64_t below = 0;  // generation of the stage below when this was built
    uint64_t generation = 0;
  };
  Stage slices_, texture_, render_, part_;
  DibRect drawn_{0, 0, 0, 0};  // what the last render, whole or a part, covered
  uint64_t generations_ = 0;
};

}  // namespace tessaro::host
