// What the test module saw of the host, and the probes a test asks it to make.
// Shared by the module and the tests that load it; plain data only.
#pragma once

#include <cstdint>

#include "host/plugin_interface.h"

namespace tessaro::testing {

// One advanceState request the module makes during start (mode "probe").
struct Probe {
  host::VRect in, out, mask;
  int16_t inLo, inHi, outLo, outHi;
  uint8_t wide;        // request through the 32-bit rectangles
  uint8_t writeValue;  // non-zero: fill the delivered output with it
};

constexpr int kMaxProbes = 24;
constexpr int kProbeBytes = 512;

struct ProbeResult {
  int16_t result;
  uint8_t inNull, outNull, maskNull;
  int32_t inRowBytes, outRowBytes, maskRowBytes;
  int32_t inColumnBytes, inPlaneBytes;
  // The delivered bytes, packed row after row (width x planes per row).
  uint8_t in[kProbeBytes];
  uint8_t mask[kProbeBytes];
};

struct TestModuleReport {
  int32_t selectors[64];
  int32_t selectorCount;
  int32_t lastSelector;

  // The record as prepare found it.
  uint32_t hostSig;
  int16_t imageMode;
  int32_t depth;
  int16_t planes;
  int16_t filterCase;
  uint8_t haveMask, autoMask, isFloating;
  uint16_t background[3];
  uint8_t backColor[4];
  int16_t imageSizeV, imageSizeH;
  host::Rect16 filterRect;
  uint8_t bigPresent;
  host::VPoint imageSize32;
  host::VRect filterRect32;
  uint8_t platformPresent;
  intptr_t hwnd;
  uint8_t errorStringPresent, progressPresent, advancePresent, abortPresent;
  uint8_t reservedAllZero;  // the record's tail, up to its full size, is zero
  int16_t handleProcsVersion, numHandleProcs;
  uint8_t handleRoundTripOk;
  int16_t numReadProcs, numWriteProcs;
  int16_t playInfo;

  // The descriptor, as read through the read procedures during start.
  int32_t keyCount;
  uint32_t keys[32];
  uint32_t types[32];
  int32_t values[32];
  uint32_t keyArrayAfter[17];
  int16_t closeReadResult;
  uint8_t descriptorNullAfter;  // the module disposed it and set it to null
  uint8_t writeRoundTripOk;     // a written descriptor reads back the same

  // The buffers at the main request of modes "invert" and "tiles".
  int32_t inRowBytes, outRowBytes;
  uint8_t sawMask;
  int32_t progressCalls;
  int32_t continueCalls;

  int32_t probeCount;
  ProbeResult probes[kMaxProbes];
};

// Exports of the test module besides the entry point.
using ReportFn = const TestModuleReport* (*)();
using SetModeFn = void (*)(const char* mode);
using SetProbesFn = void (*)(const Probe* probes, int count);
constexpr char kReportExport[] = "TessaroTestModuleReport";
constexpr char kSetModeExport[] = "TessaroTestModuleSetMode";
constexpr char kSetProbesExport[] = "TessaroTestModuleSetProbes";

}  // namespace tessaro::testing
