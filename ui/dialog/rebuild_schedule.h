// When the effect dialog rebuilds, and how much: every change of a control
// restarts a one-shot timer of the cheapest sufficient level, so a burst of
// changes causes one rebuild shortly after the last of them.  No window here:
// the dialog hands its platform timers in through TimerService, and tests
// drive the schedule with a clock of their own.
#pragma once

#include <optional>

namespace tessaro {

// What a fired timer asks for, cheapest first.
enum class RebuildWork {
  kNone,
  kRender,                // the camera changed
  kShadeAndRender,        // the light direction changed
  kSlicesShadeAndRender,  // depth, round or an opacity changed
  kFirstBuild,            // everything from the host's pixels
};

// The features that decide whether an opacity change matters.
struct ScheduleFeatures {
  bool overlay = false;
  bool lighting = false;
};

struct TimerRestart {
  unsigned id;
  unsigned delayMs;
  bool operator==(const TimerRestart& o) const { return id == o.id && delayMs == o.delayMs; }
};

// The timer a control's change notice restarts; nothing for controls that
// cause no timed rebuild (and for opacities whose feature is off: such a
// change keeps its value and rebuilds nothing).
std::optional<TimerRestart> TimerForChange(int controlId, const ScheduleFeatures& features);
// A colour taken with a swatch's eyedropper; nothing when the swatch's
// feature is off.
std::optional<TimerRestart> TimerForEyedropper(int swatchId, const ScheduleFeatures& features);
// Whether a swatch's colour shows in the picture now.
bool SwatchFeatureOn(int swatchId, const ScheduleFeatures& features);

RebuildWork WorkOfTimer(unsigned id);

class TimerService {
 public:
  virtual ~TimerService() = default;
  // Starting a running timer restarts it.
  virtual void StartTimer(unsigned id, unsigned delayMs) = 0;
  virtual void StopTimer(unsigned id) = 0;
};

class RebuildScheduler {
 public:
  explicit RebuildScheduler(TimerService& timers) : timers_(timers) {}

  void StartFirstBuild();
  // A control's change notice; false when it starts nothing.
  bool ControlChanged(int controlId, const ScheduleFeatures& features);
  bool EyedropperChanged(int swatchId, const ScheduleFeatures& features);
  // Settings applied with refresh (a preset, "Last used", "Reset to default").
  void Refresh();

  // A timer fired.  It is one-shot: stopped before its work is handed out.
  // Work other than the first build needs a scene; before it there is none.
  RebuildWork Fired(unsigned id, bool sceneExists);
  // Stops every waiting timer (OK and the end of the dialog) and says the
  // deepest work they were waiting to do.
  RebuildWork StopAll();
  bool IsWaiting(unsigned id) const;

 private:
  void Restart(const TimerRestart& restart);
  void Forget(unsigned id);

  TimerService& timers_;
  // One flag per timer of the schedule.
  bool waiting_[4] = {false, false, false, false};
};

}  // namespace tessaro
