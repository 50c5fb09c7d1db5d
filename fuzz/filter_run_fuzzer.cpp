// A whole replayed run without dialog, as odd hosts perform it: small
// pictures with any planes, row strides, filter rectangle, selection and
// filter case, buffers that come or do not, and any sixteen values.  The
// module may refuse or fail, but only through its result; it reads and
// writes nothing outside the buffers the host gave (the address sanitizer
// watches), and it never asks for data outside the picture.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/descriptor_suite.h"
#include "cli/handle_suite.h"
#include "fuzz/fuzz_support.h"
#include "host/plugin_app.h"
#include "host/user_message.h"
#include "settings/effect_settings.h"

namespace {

using namespace tessaro;
using namespace tessaro::host;

struct Plane {
  std::vector<uint8_t> bytes;  // exactly what the host's layout covers
};

class FuzzHost {
 public:
  explicit FuzzHost(FuzzedDataProvider& in) : in_(in) {}

  void Build();
  int16_t Advance();
  FilterRecord& record() { return *record_; }
  bool AnyRectangleLeft() const;

 private:
  VRect Requested(const Rect16& small, const VRect& big) const {
    if (big_ && big_->PluginUsing32BitCoordinates) return big;
    return VRect{small.top, small.left, small.bottom, small.right};
  }
  static bool Empty(const VRect& r) { return r.bottom <= r.top || r.right <= r.left; }
  bool Inside(const VRect& r) const {
    return r.top >= 0 && r.left >= 0 && r.bottom <= height_ && r.right <= width_;
  }
  // A buffer of the requested area in the host's layout, its bytes from the
  // fuzzer.
  void* Deliver(Plane& plane, const VRect& r, int32_t channels, int32_t pad, int32_t* rowBytes);

  FuzzedDataProvider& in_;
  std::unique_ptr<FilterRecord> record_{new FilterRecord()};
  std::unique_ptr<BigDocumentStruct> big_;
  Str255 errorString_{};
  int32_t width_ = 1, height_ = 1, planes_ = 4;
  int32_t inPad_ = 0, outPad_ = 0, maskPad_ = 0;
  Plane in_plane_, out_plane_, mask_plane_;
  cli::HandleSuite handles_;
  cli::DescriptorSuite descriptors_{handles_};
  PIDescriptorParameters params_{};

 public:
  ~FuzzHost() {
    descriptors_.Deactivate();
    handles_.Deactivate();
  }
};

FuzzHost* g_host = nullptr;
int16_t AdvanceProc() { return g_host->Advance(); }
void ProgressProc(int32_t, int32_t) {}
Boolean AbortProc() { return 0; }

void FuzzHost::Build() {
  FilterRecord& r = *record_;
  width_ = in_.ConsumeIntegralInRange<int32_t>(1, 40);
  height_ = in_.ConsumeIntegralInRange<int32_t>(1, 40);
  planes_ = in_.ConsumeBool() ? 4 : 3;
  inPad_ = in_.ConsumeIntegralInRange<int32_t>(-2, 9);
  outPad_ = in_.ConsumeIntegralInRange<int32_t>(-2, 9);
  maskPad_ = in_.ConsumeIntegralInRange<int32_t>(-2, 9);
  const bool mask = in_.ConsumeBool();
  r.imageSize = Point16{int16_t(height_), int16_t(width_)};
  r.wholeSize = r.imageSize;
  // The filter rectangle: the whole picture, or a part of it.
  const int16_t top = in_.ConsumeIntegralInRange<int16_t>(0, int16_t(height_ - 1));
  const int16_t left = in_.ConsumeIntegralInRange<int16_t>(0, int16_t(width_ - 1));
  const bool whole = in_.ConsumeBool();
  r.filterRect = whole ? Rect16{0, 0, int16_t(height_), int16_t(width_)}
                       : Rect16{top, left, in_.ConsumeIntegralInRange<int16_t>(top, int16_t(height_)),
                                in_.ConsumeIntegralInRange<int16_t>(left, int16_t(width_))};
  r.planes = int16_t(planes_ == 4 ? 3 : planes_);
  r.haveMask = mask ? 1 : 0;
  r.filterCase = in_.ConsumeIntegralInRange<int16_t>(0, 8);
  r.imageMode = in_.ConsumeIntegralInRange(0, 9) ? kImageModeRGB : in_.ConsumeIntegralInRange<int16_t>(0, 17);
  r.depth = in_.ConsumeIntegralInRange(0, 9) ? 8 : in_.ConsumeIntegralInRange<int32_t>(0, 32);
  if (planes_ == 4) {
    r.inLayerPlanes = r.outLayerPlanes = 3;
    r.inTransparencyMask = r.outTransparencyMask = 1;
  } else {
    r.inNonLayerPlanes = r.outNonLayerPlanes = 3;
  }
  r.background = RGBColor16{in_.ConsumeIntegral<uint16_t>(), in_.ConsumeIntegral<uint16_t>(),
                            in_.ConsumeIntegral<uint16_t>()};
  r.advanceState = AdvanceProc;
  r.progressProc = in_.ConsumeBool() ? ProgressProc : nullptr;
  r.abortProc = AbortProc;
  r.hostSig = kConsoleHostSignature;
  r.errorString = &errorString_;
  r.maxSpace = INT32_MAX;
  if (in_.ConsumeBool()) {
    big_.reset(new BigDocumentStruct());
    big_->imageSize32 = VPoint{height_, width_};
    big_->filterRect32 = VRect{r.filterRect.top, r.filterRect.left, r.filterRect.bottom, r.filterRect.right};
    big_->wholeSize32 = big_->imageSize32;
    r.bigDocumentData = big_.get();
  }

  handles_.Activate();
  descriptors_.Activate();
  if (in_.ConsumeBool()) r.handleProcs = handles_.Procs();
  std::vector<cli::DescriptorItem> items;
  for (const SettingInfo& info : kSettingTable) {
    if (in_.ConsumeIntegralInRange(0, 7) == 0) continue;  // a value the step did not record
    const int32_t value = in_.ConsumeIntegral<int32_t>();
    items.push_back(info.kind == SettingKind::Check ? cli::DescriptorItem::Bool(info.scriptKey, value & 1)
                                                    : cli::DescriptorItem::Integer(info.scriptKey, value));
  }
  params_.playInfo = kPlugInDialogDontDisplay;
  params_.descriptor = descriptors_.MakeDescriptor(items);
  params_.readDescriptorProcs = descriptors_.ReadProcs();
  params_.writeDescriptorProcs = descriptors_.WriteProcs();
  if (in_.ConsumeBool()) r.descriptorParameters = &params_;
}

void* FuzzHost::Deliver(Plane& plane, const VRect& r, int32_t channels, int32_t pad,
                        int32_t* rowBytes) {
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  const int32_t stride = w * channels + pad;
  *rowBytes = stride;
  const size_t bytes = size_t(h - 1) * size_t(stride > 0 ? stride : 0) + size_t(w) * size_t(channels);
  plane.bytes.assign(bytes, 0);
  const std::vector<uint8_t> fill = in_.ConsumeBytes<uint8_t>(bytes);
  std::copy(fill.begin(), fill.end(), plane.bytes.begin());
  return plane.bytes.data();
}

int16_t FuzzHost::Advance() {
  FilterRecord& r = *record_;
  r.inData = r.outData = r.maskData = nullptr;
  if (in_.ConsumeIntegralInRange(0, 15) == 0) return in_.ConsumeIntegral<int16_t>();  // a host that gives up
  const VRect inRect = Requested(r.inRect, big_ ? big_->inRect32 : VRect{});
  const VRect outRect = Requested(r.outRect, big_ ? big_->outRect32 : VRect{});
  const VRect maskRect = Requested(r.maskRect, big_ ? big_->maskRect32 : VRect{});
  FUZZ_CHECK(Empty(inRect) || Inside(inRect));
  FUZZ_CHECK(Empty(outRect) || Inside(outRect));
  if (r.haveMask) FUZZ_CHECK(Empty(maskRect) || Inside(maskRect));
  auto channels = [](int16_t lo, int16_t hi) { return int32_t(hi) - int32_t(lo) + 1; };
  // Planes the host does not have are refused, as hosts do: the filter case
  // may promise a transparency plane that the layout lacks.
  auto planesFit = [&](int16_t lo, int16_t hi) { return lo >= 0 && lo <= hi && hi < planes_; };
  if (!Empty(inRect) && !planesFit(r.inLoPlane, r.inHiPlane)) return -50;
  if (!Empty(outRect) && !planesFit(r.outLoPlane, r.outHiPlane)) return -50;
  const bool drop = in_.ConsumeIntegralInRange(0, 15) == 0;  // a buffer the host fails to give
  if (!Empty(inRect) && !drop)
    r.inData = Deliver(in_plane_, inRect, channels(r.inLoPlane, r.inHiPlane), inPad_, &r.inRowBytes);
  if (!Empty(outRect))
    r.outData = Deliver(out_plane_, outRect, channels(r.outLoPlane, r.outHiPlane), outPad_, &r.outRowBytes);
  if (r.haveMask && !Empty(maskRect)) r.maskData = Deliver(mask_plane_, maskRect, 1, maskPad_, &r.maskRowBytes);
  r.inColumnBytes = channels(r.inLoPlane, r.inHiPlane);
  r.outColumnBytes = channels(r.outLoPlane, r.outHiPlane);
  r.inPlaneBytes = r.outPlaneBytes = 1;
  return 0;
}

bool FuzzHost::AnyRectangleLeft() const {
  const FilterRecord& r = *record_;
  const VRect in = Requested(r.inRect, big_ ? big_->inRect32 : VRect{});
  const VRect out = Requested(r.outRect, big_ ? big_->outRect32 : VRect{});
  return !Empty(in) || !Empty(out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The module reads the user's last-used values: a store of the fuzzer's own.
  setenv("TESSARO_SETTINGS_DIR", tessaro::fuzzing::ScratchFolder().c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FuzzHost host(in);
  g_host = &host;
  host.Build();
  intptr_t word = 0;
  int16_t result = 0;
  PluginMain(kSelectorPrepare, &host.record(), &word, &result);
  if (result == 0) {
    PluginMain(kSelectorStart, &host.record(), &word, &result);
    for (int round = 0; result == 0 && round < 4 && host.AnyRectangleLeft(); ++round) {
      host.Advance();
      PluginMain(kSelectorContinue, &host.record(), &word, &result);
    }
    int16_t finish = 0;
    PluginMain(kSelectorFinish, &host.record(), &word, &finish);
  }
  g_host = nullptr;
  return 0;
}
