// One filter run as an editor performs it: the record and its procedures, the
// image buffers, and the selectors prepare, start, continue and finish.  The
// run is a replayed step without dialog: the parameters selector is never
// sent, and the descriptor carries all sixteen effect values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/plugin_interface.h"
#include "host/user_message.h"
#include "settings/effect_settings.h"

namespace tessaro::cli {

using PluginEntry = void (*)(int16_t selector, void* paramBlock, intptr_t* data, int16_t* result);

// The signature of a host without a user interface: the filter then writes its
// messages to standard error instead of opening windows nobody could close.
constexpr uint32_t kHostSignature = host::kConsoleHostSignature;
// The signature of the same host when it runs the filter with its dialog.
constexpr uint32_t kDialogHostSignature = host::FourCC("qmDL");

// The largest picture the host interface can carry: row strides are 32-bit.
constexpr int64_t kMaxImageWidth = INT32_MAX / 4;
constexpr int64_t kMaxImageHeight = INT32_MAX;

struct FilterInput {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* rgba = nullptr;  // width * height straight RGBA pixels, rows top-down
  // The vector holding rgba, when the caller no longer needs it: a run with
  // four planes takes it over as the host's input buffer instead of copying
  // it (a picture's worth of memory less).
  std::vector<uint8_t>* rgbaToTake = nullptr;
  const uint8_t* mask = nullptr;  // width * height bytes, 255 = selected; null: no selection
  bool flat = false;              // three planes, the transparency left out
  uint8_t background[3] = {255, 255, 255};
  EffectSettings settings;
  // An interactive run: the parameters selector goes first, so the filter
  // shows its dialog, starting from `settings` when valuesGiven and from its
  // last-used values otherwise.  Messages then go to windows too.
  bool interactive = false;
  bool valuesGiven = true;
  // Habits of editors: the window handed over as the host's (0: none) and
  // colour services that fail or change nothing (none by default).
  intptr_t hostWindow = 0;
  enum class ColorServices { kNone, kFail, kUnchanged } colorServices = ColorServices::kNone;
};

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Report(int32_t done, int32_t total) = 0;
};

enum class RunStatus { Ok, Refused, Failed };

struct FilterOutcome {
  RunStatus status = RunStatus::Failed;
  const char* selector = "";  // the selector that ended the run, when it failed
  int16_t code = 0;
  std::string message;  // what went wrong, for people
  int planes = 0;       // per pixel in `pixels`: 3 for a flat picture, else 4
  std::vector<uint8_t> pixels;  // the output buffer, rows packed
};

// Runs the filter once over the picture.  Never throws for what the plug-in
// does; only running out of memory in the host escapes as std::bad_alloc.
FilterOutcome RunFilter(PluginEntry entry, const FilterInput& input, ProgressSink* progress);

// "out of memory (-108)", "result -4711": a result code for people.
std::string DescribeResult(int16_t code);

}  // namespace tessaro::cli
