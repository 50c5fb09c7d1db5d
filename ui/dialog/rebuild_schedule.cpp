#include "ui/dialog/rebuild_schedule.h"

#include "settings/effect_settings.h"
#include "ui/dialog/main_dialog_layout.h"

namespace tessaro {

namespace {

constexpr unsigned kTimers[4] = {kFirstBuildTimer, kSlicesTimer, kShadeTimer, kRenderTimer};

int IndexOf(unsigned id) {
  for (int i = 0; i < 4; ++i)
    if (kTimers[i] == id) return i;
  return -1;
}

bool Is(int controlId, SettingId id) { return controlId == Info(id).controlId; }

}  // namespace

std::optional<TimerRestart> TimerForChange(int controlId, const ScheduleFeatures& features) {
  using S = SettingId;
  if (Is(controlId, S::Depth) || Is(controlId, S::Round) ||
      (features.overlay && Is(controlId, S::ColorOpacity)) ||
      (features.lighting &&
       (Is(controlId, S::HighlightOpacity) || Is(controlId, S::ShadowOpacity))))
    return TimerRestart{kSlicesTimer, kChangeDelayMs};
  if (Is(controlId, S::LightDirection)) return TimerRestart{kShadeTimer, kChangeDelayMs};
  if (Is(controlId, S::AngleX) || Is(controlId, S::AngleY) || Is(controlId, S::Perspective) ||
      Is(controlId, S::Zoom))
    return TimerRestart{kRenderTimer, kChangeDelayMs};
  return std::nullopt;
}

bool SwatchFeatureOn(int swatchId, const ScheduleFeatures& features) {
  using S = SettingId;
  if (Is(swatchId, S::Color)) return features.overlay;
  if (Is(swatchId, S::HighlightColor) || Is(swatchId, S::ShadowColor)) return features.lighting;
  return false;
}

std::optional<TimerRestart> TimerForEyedropper(int swatchId, const ScheduleFeatures& features) {
  if (!SwatchFeatureOn(swatchId, features)) return std::nullopt;
  return TimerRestart{kSlicesTimer, kRefreshDelayMs};
}

RebuildWork WorkOfTimer(unsigned id) {
  switch (id) {
    case kFirstBuildTimer: return RebuildWork::kFirstBuild;
    case kSlicesTimer: return RebuildWork::kSlicesShadeAndRender;
    case kShadeTimer: return RebuildWork::kShadeAndRender;
    case kRenderTimer: return RebuildWork::kRender;
    default: return RebuildWork::kNone;
  }
}

void RebuildScheduler::Restart(const TimerRestart& restart) {
  timers_.StartTimer(restart.id, restart.delayMs);
  const int i = IndexOf(restart.id);
  if (i >= 0) waiting_[i] = true;
}

void RebuildScheduler::Forget(unsigned id) {
  timers_.StopTimer(id);
  const int i = IndexOf(id);
  if (i >= 0) waiting_[i] = false;
}

void RebuildScheduler::StartFirstBuild() { Restart({kFirstBuildTimer, kChangeDelayMs}); }

bool RebuildScheduler::ControlChanged(int controlId, const ScheduleFeatures& features) {
  const std::optional<TimerRestart> restart = TimerForChange(controlId, features);
  if (restart) Restart(*restart);
  return restart.has_value();
}

bool RebuildScheduler::EyedropperChanged(int swatchId, const ScheduleFeatures& features) {
  const std::optional<TimerRestart> restart = TimerForEyedropper(swatchId, features);
  if (restart) Restart(*restart);
  return restart.has_value();
}

void RebuildScheduler::Refresh() { Restart({kSlicesTimer, kRefreshDelayMs}); }

RebuildWork RebuildScheduler::Fired(unsigned id, bool sceneExists) {
  const int i = IndexOf(id);
  if (i < 0) return RebuildWork::kNone;
  Forget(id);
  const RebuildWork work = WorkOfTimer(id);
  if (work != RebuildWork::kFirstBuild && !sceneExists) return RebuildWork::kNone;
  return work;
}

RebuildWork RebuildScheduler::StopAll() {
  RebuildWork deepest = RebuildWork::kNone;
  for (unsigned id : kTimers) {
    if (!IsWaiting(id)) continue;
    const RebuildWork work = WorkOfTimer(id);
    if (work > deepest) deepest = work;
    Forget(id);
  }
  return deepest;
}

bool RebuildScheduler::IsWaiting(unsigned id) const {
  const int i = IndexOf(id);
  return i >= 0 && waiting_[i];
}

}  // namespace tessaro
