// A small filter module for testing the command-line host: it reports what
// it finds in the record, reads the descriptor, and does simple, checkable
// work (inverting colours) in the ways real filters ask for their data.
// Behaviour comes from TessaroTestModuleSetMode or, for runs of the program,
// the environment variable TESSARO_TEST_MODULE_MODE.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/plugin_interface.h"
#include "tests/cli/test_module_report.h"

#if defined(_WIN32)
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using namespace tessaro::host;
using tessaro::testing::Probe;
using tessaro::testing::ProbeResult;
using tessaro::testing::TestModuleReport;

TestModuleReport g_report;
std::string g_mode;
bool g_modeSet = false;
Probe g_probes[tessaro::testing::kMaxProbes];
int g_probeCount = 0;
int32_t g_tileTop = 0;
int16_t g_tilePlane = 0;
constexpr int32_t kTileRows = 2;

const char kRefusal[] = "This filter requires a selection or a layer with transparency!";

std::string Mode() {
  if (g_modeSet) return g_mode;
  const char* env = std::getenv("TESSARO_TEST_MODULE_MODE");
  return env && *env ? env : "invert";
}

int16_t Clamp16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

VRect FilterRectOf(const FilterRecord* r) {
  if (r->bigDocumentData) return r->bigDocumentData->filterRect32;
  const Rect16 f = r->filterRect;
  return VRect{f.top, f.left, f.bottom, f.right};
}

void SetRects(FilterRecord* r, const VRect& in, const VRect& out, const VRect& mask, bool wide) {
  BigDocumentStruct* big = r->bigDocumentData;
  if (big) big->PluginUsing32BitCoordinates = wide ? 1 : 0;
  if (big && wide) {
    big->inRect32 = in;
    big->outRect32 = out;
    big->maskRect32 = mask;
  }
  r->inRect = Rect16{Clamp16(in.top), Clamp16(in.left), Clamp16(in.bottom), Clamp16(in.right)};
  r->outRect = Rect16{Clamp16(out.top), Clamp16(out.left), Clamp16(out.bottom), Clamp16(out.right)};
  r->maskRect =
      Rect16{Clamp16(mask.top), Clamp16(mask.left), Clamp16(mask.bottom), Clamp16(mask.right)};
}

void Fail(FilterRecord* r, int16_t* result, const char* text) {
  if (r->errorString) {
    const size_t n = std::strlen(text);
    (*r->errorString)[0] = static_cast<unsigned char>(n);
    std::memcpy(*r->errorString + 1, text, n);
  }
  *result = kErrReportString;
}

void Capture(FilterRecord* r) {
  TestModuleReport& rep = g_report;
  rep.hostSig = r->hostSig;
  rep.imageMode = r->imageMode;
  rep.depth = r->depth;
  rep.planes = r->planes;
  rep.filterCase = r->filterCase;
  rep.haveMask = r->haveMask;
  rep.autoMask = r->autoMask;
  rep.isFloating = r->isFloating;
  const RGBColor16 bg = r->background;
  rep.background[0] = bg.red;
  rep.background[1] = bg.green;
  rep.background[2] = bg.blue;
  std::memcpy(rep.backColor, r->backColor, 4);
  const Point16 size = r->imageSize;
  rep.imageSizeV = size.v;
  rep.imageSizeH = size.h;
  rep.filterRect = r->filterRect;
  rep.bigPresent = r->bigDocumentData != nullptr;
  if (r->bigDocumentData) {
    rep.imageSize32 = r->bigDocumentData->imageSize32;
    rep.filterRect32 = r->bigDocumentData->filterRect32;
  }
  rep.platformPresent = r->platformData != nullptr;
  rep.hwnd = r->platformData ? r->platformData->hwnd : -1;
  rep.errorStringPresent = r->errorString != nullptr;
  rep.progressPresent = r->progressProc != nullptr;
  rep.advancePresent = r->advanceState != nullptr;
  rep.abortPresent = r->abortProc != nullptr;
  const auto* bytes = reinterpret_cast<const uint8_t*>(r);
  rep.reservedAllZero = 1;
  for (size_t i = offsetof(FilterRecord, reserved); i < sizeof(FilterRecord); ++i)
    if (bytes[i]) rep.reservedAllZero = 0;

  if (HandleProcs* hp = r->handleProcs) {
    rep.handleProcsVersion = hp->handleProcsVersion;
    rep.numHandleProcs = hp->numHandleProcs;
    Handle h = hp->newProc(10);
    bool ok = h && hp->getSizeProc(h) == 10 && hp->setSizeProc(h, 100) == 0 &&
              hp->getSizeProc(h) == 100;
    Ptr p = h ? hp->lockProc(h, 0) : nullptr;
    ok = ok && p != nullptr;
    if (p) std::memset(p, 7, 100);
    if (h) hp->unlockProc(h);
    ok = ok && (*h)[99] == 7;
    if (h) hp->disposeProc(h);
    // A handle the host never made must be ignored, not followed.
    char local[8] = {};
    char* fake = local;
    hp->disposeProc(&fake);
    ok = ok && hp->getSizeProc(&fake) == 0 && hp->lockProc(&fake, 0) == nullptr;
    rep.handleRoundTripOk = ok;
  }
  if (PIDescriptorParameters* dp = r->descriptorParameters) {
    rep.playInfo = dp->playInfo;
    if (dp->readDescriptorProcs) rep.numReadProcs = dp->readDescriptorProcs->numReadDescriptorProcs;
    if (dp->writeDescriptorProcs)
      rep.numWriteProcs = dp->writeDescriptorProcs->numWriteDescriptorProcs;
  }
}

void ReadDescriptor(FilterRecord* r) {
  PIDescriptorParameters* dp = r->descriptorParameters;
  if (!dp || !dp->readDescriptorProcs || !dp->descriptor) return;
  ReadDescriptorProcs* rp = dp->readDescriptorProcs;
  uint32_t keys[17] = {FourCC("angX"), FourCC("angY"), FourCC("angZ"), FourCC("zooM"),
                       FourCC("depT"), FourCC("rouN"), FourCC("oveR"), FourCC("colR"),
                       FourCC("opaC"), FourCC("ligH"), FourCC("angL"), FourCC("higH"),
                       FourCC("higO"), FourCC("shaD"), FourCC("shaO"), FourCC("smoO"), 0};
  PIReadDescriptor token = rp->openReadDescriptorProc(dp->descriptor, keys);
  if (token) {
    uint32_t key = 0, type = 0;
    int32_t flags = 0;
    while (g_report.keyCount < 32 && rp->getKeyProc(token, &key, &type, &flags)) {
      const int i = g_report.keyCount++;
      g_report.keys[i] = key;
      g_report.types[i] = type;
      if (type == FourCC("bool")) {
        Boolean b = 0;
        g_report.values[i] = rp->getBooleanProc(token, &b) == 0 ? b : -999;
      } else {
        int32_t v = 0;
        g_report.values[i] = rp->getIntegerProc(token, &v) == 0 ? v : -999;
      }
    }
    g_report.closeReadResult = rp->closeReadDescriptorProc(token);
  }
  std::memcpy(g_report.keyArrayAfter, keys, sizeof keys);
  r->handleProcs->disposeProc(dp->descriptor);
  dp->descriptor = nullptr;
  g_report.descriptorNullAfter = 1;
}

void CheckWriteRoundTrip(FilterRecord* r) {
  PIDescriptorParameters* dp = r->descriptorParameters;
  if (!dp || !dp->writeDescriptorProcs || !dp->readDescriptorProcs) return;
  WriteDescriptorProcs* wp = dp->writeDescriptorProcs;
  ReadDescriptorProcs* rp = dp->readDescriptorProcs;
  PIWriteDescriptor w = wp->openWriteDescriptorProc();
  if (!w) return;
  const double half = 2.5;
  wp->putIntegerProc(w, FourCC("tstA"), -5);
  wp->putBooleanProc(w, FourCC("tstB"), 1);
  wp->putFloatProc(w, FourCC("tstC"), &half);
  Handle h = nullptr;
  if (wp->closeWriteDescriptorProc(w, &h) != 0 || !h) return;
  PIReadDescriptor t = rp->openReadDescriptorProc(h, nullptr);
  bool ok = t != nullptr;
  uint32_t key = 0, type = 0;
  int32_t flags = 0, i = 0;
  Boolean b = 0;
  double d = 0;
  ok = ok && rp->getKeyProc(t, &key, &type, &flags) && key == FourCC("tstA") &&
       type == FourCC("long") && rp->getIntegerProc(t, &i) == 0 && i == -5;
  ok = ok && rp->getKeyProc(t, &key, &type, &flags) && key == FourCC("tstB") &&
       type == FourCC("bool") && rp->getBooleanProc(t, &b) == 0 && b == 1;
  ok = ok && rp->getKeyProc(t, &key, &type, &flags) && key == FourCC("tstC") &&
       type == FourCC("doub") && rp->getFloatProc(t, &d) == 0 && d == 2.5;
  ok = ok && !rp->getKeyProc(t, &key, &type, &flags);
  if (t) ok = rp->closeReadDescriptorProc(t) == 0 && ok;
  r->handleProcs->disposeProc(h);
  g_report.writeRoundTripOk = ok;
}

void CopyPacked(uint8_t* to, const void* from, int32_t rowBytes, int32_t rowLength, int32_t rows) {
  if (!from) return;
  const auto* src = static_cast<const uint8_t*>(from);
  for (int32_t y = 0; y < rows; ++y) {
    if ((y + 1) * rowLength > tessaro::testing::kProbeBytes) return;
    std::memcpy(to + y * rowLength, src + size_t(y) * size_t(rowBytes), size_t(rowLength));
  }
}

void RunProbes(FilterRecord* r) {
  for (int i = 0; i < g_probeCount; ++i) {
    const Probe& p = g_probes[i];
    ProbeResult& out = g_report.probes[i];
    r->inLoPlane = p.inLo;
    r->inHiPlane = p.inHi;
    r->outLoPlane = p.outLo;
    r->outHiPlane = p.outHi;
    SetRects(r, p.in, p.out, p.mask, p.wide != 0);
    out.result = r->advanceState();
    out.inNull = r->inData == nullptr;
    out.outNull = r->outData == nullptr;
    out.maskNull = r->maskData == nullptr;
    out.inRowBytes = r->inRowBytes;
    out.outRowBytes = r->outRowBytes;
    out.maskRowBytes = r->maskRowBytes;
    out.inColumnBytes = r->inColumnBytes;
    out.inPlaneBytes = r->inPlaneBytes;
    if (out.result != 0) continue;
    const int32_t inPlanes = p.inHi - p.inLo + 1;
    CopyPacked(out.in, r->inData, r->inRowBytes, (p.in.right - p.in.left) * inPlanes,
               p.in.bottom - p.in.top);
    CopyPacked(out.mask, r->maskData, r->maskRowBytes, p.mask.right - p.mask.left,
               p.mask.bottom - p.mask.top);
    if (p.writeValue && r->outData) {
      const int32_t outPlanes = p.outHi - p.outLo + 1;
      auto* o = static_cast<uint8_t*>(r->outData);
      for (int32_t y = 0; y < p.out.bottom - p.out.top; ++y)
        std::memset(o + size_t(y) * size_t(r->outRowBytes), p.writeValue,
                    size_t((p.out.right - p.out.left) * outPlanes));
    }
  }
  g_report.probeCount = g_probeCount;
  const VRect none{0, 0, 0, 0};
  SetRects(r, none, none, none, true);
}

void SetTile(FilterRecord* r, bool wide) {
  const VRect f = FilterRectOf(r);
  const VRect none{0, 0, 0, 0};
  if (g_tileTop >= f.bottom) {
    SetRects(r, none, none, none, wide);
    return;
  }
  const int32_t bottom = g_tileTop + kTileRows < f.bottom ? g_tileTop + kTileRows : f.bottom;
  const VRect tile{g_tileTop, f.left, bottom, f.right};
  r->inLoPlane = r->inHiPlane = r->outLoPlane = r->outHiPlane = g_tilePlane;
  SetRects(r, tile, tile, none, wide);
}

// Inverts the delivered tile's one plane and moves on: planes 0..2, then the
// next band of rows.
void DoTile(FilterRecord* r, bool wide) {
  if (r->inData && r->outData) {
    g_report.inRowBytes = r->inRowBytes;
    g_report.outRowBytes = r->outRowBytes;
    const VRect f = FilterRectOf(r);
    const int32_t rows = (g_tileTop + kTileRows < f.bottom ? kTileRows : f.bottom - g_tileTop);
    for (int32_t y = 0; y < rows; ++y)
      for (int32_t x = 0; x < f.right - f.left; ++x)
        static_cast<uint8_t*>(r->outData)[size_t(y) * size_t(r->outRowBytes) + size_t(x)] =
            uint8_t(255 - static_cast<const uint8_t*>(r->inData)[size_t(y) * size_t(r->inRowBytes) + size_t(x)]);
  }
  if (++g_tilePlane == 3) {
    g_tilePlane = 0;
    g_tileTop += kTileRows;
  }
  SetTile(r, wide);
}

void Invert(FilterRecord* r, int16_t* result) {
  if (r->filterCase > 3 && r->planes == 3) r->planes = 4;
  const VRect f = FilterRectOf(r);
  const VRect none{0, 0, 0, 0};
  r->inLoPlane = r->outLoPlane = 0;
  r->inHiPlane = r->outHiPlane = int16_t(r->planes - 1);
  r->autoMask = 0;
  SetRects(r, f, f, r->haveMask ? f : none, true);
  if (r->advanceState() != 0) return Fail(r, result, "advanceState no go!");
  if (!r->maskData && r->planes < 4) {
    std::fprintf(stderr, "%s\n", kRefusal);
    *result = kUserCanceledErr;
    return;
  }
  g_report.inRowBytes = r->inRowBytes;
  g_report.outRowBytes = r->outRowBytes;
  g_report.sawMask = r->maskData != nullptr;
  const int32_t w = f.right - f.left, h = f.bottom - f.top;
  for (int32_t y = 0; y < h; ++y) {
    auto* o = static_cast<uint8_t*>(r->outData) + size_t(y) * size_t(r->outRowBytes);
    const auto* i = static_cast<const uint8_t*>(r->inData) + size_t(y) * size_t(r->inRowBytes);
    const uint8_t* m =
        r->maskData ? static_cast<const uint8_t*>(r->maskData) + size_t(y) * size_t(r->maskRowBytes)
                    : nullptr;
    for (int32_t x = 0; x < w; ++x)
      if (!m || m[x] > 0)
        for (int c = 0; c < 3; ++c) o[x * r->planes + c] = uint8_t(255 - i[x * r->planes + c]);
    if (r->progressProc) {
      r->progressProc(y + 1, h);
      ++g_report.progressCalls;
    }
  }
}

void Start(FilterRecord* r, int16_t* result) {
  const std::string mode = Mode();
  ReadDescriptor(r);
  CheckWriteRoundTrip(r);
  if (mode == "fail-text") return Fail(r, result, "test module failure: the sky is falling");
  if (mode == "fail-code") {
    *result = kMemFullErr;
    return;
  }
  if (mode == "refuse") {
    std::fprintf(stderr, "%s\n", kRefusal);
    *result = kUserCanceledErr;
    return;
  }
  if (mode == "probe") return RunProbes(r);
  if (mode == "tiles" || mode == "tiles16") {
    g_tileTop = 0;
    g_tilePlane = 0;
    return SetTile(r, mode == "tiles");
  }
  if (mode == "stuck" || mode == "fail-continue") {
    const VRect f = FilterRectOf(r);
    r->inLoPlane = r->outLoPlane = 0;
    r->inHiPlane = r->outHiPlane = 2;
    return SetRects(r, f, f, VRect{0, 0, 0, 0}, true);
  }
  if (mode == "leak") {
    // Left for the host to clean up: the data word, the parameters and a
    // recorded descriptor.
    HandleProcs* hp = r->handleProcs;
    r->parameters = hp->newProc(32);
    PIDescriptorParameters* dp = r->descriptorParameters;
    PIWriteDescriptor w = dp->writeDescriptorProcs->openWriteDescriptorProc();
    dp->writeDescriptorProcs->putIntegerProc(w, FourCC("zooM"), 120);
    dp->writeDescriptorProcs->closeWriteDescriptorProc(w, &dp->descriptor);
    dp->readDescriptorProcs->openReadDescriptorProc(dp->descriptor, nullptr);  // never closed
    dp->writeDescriptorProcs->openWriteDescriptorProc();                       // never closed
    return Invert(r, result);
  }
  Invert(r, result);
}

void Continue(FilterRecord* r, int16_t* result) {
  ++g_report.continueCalls;
  const std::string mode = Mode();
  if (mode == "tiles" || mode == "tiles16") return DoTile(r, mode == "tiles");
  if (mode == "stuck") return;
  if (mode == "fail-continue") {
    *result = kFilterBadParameters;
    return;
  }
  const VRect none{0, 0, 0, 0};
  SetRects(r, none, none, none, r->bigDocumentData != nullptr);
}

}  // namespace

TEST_EXPORT void PluginMainTessaro(int16_t selector, void* block, intptr_t* data, int16_t* result) {
  *result = 0;
  auto* r = static_cast<FilterRecord*>(block);
  // A run starts at parameters when the host sends it, else at prepare.
  if (selector == kSelectorParameters ||
      (selector == kSelectorPrepare && g_report.lastSelector != kSelectorParameters))
    std::memset(&g_report, 0, sizeof g_report);
  if (selector == kSelectorPrepare) Capture(r);
  if (g_report.selectorCount < 64) g_report.selectors[g_report.selectorCount++] = selector;
  g_report.lastSelector = selector;
  const std::string mode = Mode();
  switch (selector) {
    case kSelectorPrepare:
      if (mode == "fail-prepare") *result = kFilterBadMode;
      break;
    case kSelectorStart:
      if (mode == "leak" && data) *data = reinterpret_cast<intptr_t>(r->handleProcs->newProc(16));
      Start(r, result);
      break;
    case kSelectorContinue: Continue(r, result); break;
    default: break;
  }
}

TEST_EXPORT const TestModuleReport* TessaroTestModuleReport() { return &g_report; }

TEST_EXPORT void TessaroTestModuleSetMode(const char* mode) {
  g_modeSet = mode != nullptr;
  g_mode = mode ? mode : "";
}

TEST_EXPORT void TessaroTestModuleSetProbes(const Probe* probes, int count) {
  g_probeCount = count < 0 ? 0 : count > tessaro::testing::kMaxProbes ? tessaro::testing::kMaxProbes : count;
  if (g_probeCount) std::memcpy(g_probes, probes, sizeof(Probe) * size_t(g_probeCount));
}
