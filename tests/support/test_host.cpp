#include "tests/support/test_host.h"

namespace tessaro::testing {

namespace {
TestHost* g_host = nullptr;
}

TestHost::TestHost(int32_t width, int32_t height, int32_t planes, bool withMask)
    : width_(width), height_(height), planes_(planes), rowBytes_(width * planes + 5),
      in_(size_t(rowBytes_) * size_t(height), 0), out_(in_.size(), 0),
      mask_(withMask ? size_t(width) * size_t(height) : 0, 0),
      recordBytes_(sizeof(host::FilterRecord), 0),
      record_(reinterpret_cast<host::FilterRecord*>(recordBytes_.data())) {
  g_host = this;
  host::FilterRecord& r = *record_;
  r.filterRect = host::Rect16{0, 0, int16_t(height), int16_t(width)};
  r.imageSize = host::Point16{int16_t(height), int16_t(width)};
  r.planes = int16_t(planes == 4 ? 3 : planes);  // the filter asks for transparency itself
  r.filterCase = planes == 4 ? (withMask ? 5 : 4) : (withMask ? 2 : 1);
  r.haveMask = withMask ? 1 : 0;
  r.imageMode = host::kImageModeRGB;
  r.background = host::RGBColor16{0xFFFF, 0xFFFF, 0xFFFF};
  r.advanceState = &TestHost::AdvanceState;
  r.errorString = reinterpret_cast<host::Str255*>(errorString_);
}

TestHost::~TestHost() { g_host = nullptr; }

int16_t TestHost::AdvanceState() {
  TestHost& h = *g_host;
  ++h.advanceCalls;
  if (h.advanceResult != 0) return h.advanceResult;
  host::FilterRecord& r = *h.record_;
  const bool wantsData = r.inRect.bottom > r.inRect.top && r.inRect.right > r.inRect.left;
  r.inData = wantsData ? h.in_.data() : nullptr;
  r.outData = wantsData ? h.out_.data() : nullptr;
  r.inRowBytes = r.outRowBytes = h.rowBytes_;
  r.maskData = wantsData && r.haveMask ? h.mask_.data() : nullptr;
  r.maskRowBytes = h.width_;
  return 0;
}

}  // namespace tessaro::testing
