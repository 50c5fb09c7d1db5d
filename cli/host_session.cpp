#include "cli/host_session.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "cli/descriptor_suite.h"
#include "cli/handle_suite.h"

namespace tessaro::cli {

using host::BigDocumentStruct;
using host::FilterRecord;
using host::OSErr;
using host::Rect16;
using host::VRect;

namespace {

using host::kFilterCaseEditableTransparency;
using host::kFilterCaseEditableTransparencySelection;
using host::kFilterCaseFlatImage;
using host::kFilterCaseFlatSelection;
using host::kFixedOne;
using host::kImageModeRGB;
using host::kParamErr;
// A plug-in that asks for the same data this often without moving on is stuck.
constexpr int kMaxRepeatedRequests = 1000;

host::Fixed ToFixed(double v) { return host::Fixed(v * kFixedOne); }

int16_t Narrow16(int64_t v) { return int16_t(v > INT16_MAX ? INT16_MAX : v); }

bool IsEmpty(const VRect& r) { return r.bottom <= r.top || r.right <= r.left; }

// What the plug-in asks for in one buffer.
struct Request {
  VRect rect{0, 0, 0, 0};
  int16_t lo = 0, hi = 0;
  bool operator==(const Request& o) const {
    return std::memcmp(&rect, &o.rect, sizeof rect) == 0 && lo == o.lo && hi == o.hi;
  }
};

VRect FromRect16(const Rect16& r) { return VRect{r.top, r.left, r.bottom, r.right}; }

class Session;
Session* g_session = nullptr;

class Session {
 public:
  Session(PluginEntry entry, const FilterInput& input, ProgressSink* progress);
  ~Session();
  FilterOutcome Run();

  OSErr AdvanceState();
  void Progress(int32_t done, int32_t total) {
    if (progress_ && total > 0) progress_->Report(done < 0 ? 0 : done > total ? total : done, total);
  }

 private:
  // A delivered part of a buffer that is a copy rather than the buffer itself:
  // a plane range narrower than the picture's.
  struct Copy {
    std::vector<uint8_t> bytes;
    Request request;
    bool pending = false;  // output written by the plug-in, not yet taken back
  };

  void BuildRecord(const FilterInput& input);
  int16_t Call(int16_t selector);
  bool Valid(const Request& r, bool withPlanes) const;
  bool AnyRectangleLeft() const;
  void CurrentRequests(Request* in, Request* out, Request* mask) const;
  uint8_t* Deliver(std::vector<uint8_t>& buffer, const Request& r, Copy& copy, int32_t* rowBytes);
  void CommitOutput();
  FilterOutcome Failure(const char* selector, int16_t code);
  std::string ErrorStringText() const;

  PluginEntry entry_;
  ProgressSink* progress_;
  int32_t width_, height_;
  bool interactive_;
  int planes_;
  bool haveMask_;
  std::vector<uint8_t> in_, out_, mask_;
  Copy inCopy_, outCopy_;

  std::unique_ptr<FilterRecord> record_;
  BigDocumentStruct big_{};
  host::PlatformData platform_{};
  host::Str255 errorString_{};
  host::PIDescriptorParameters descriptorParams_{};
  HandleSuite handles_;
  DescriptorSuite descriptors_{handles_};
  intptr_t data_ = 0;
};

OSErr AdvanceStateProc() {
  if (!g_session) return kParamErr;
  // Nothing may unwind into the plug-in's frames.
  try {
    return g_session->AdvanceState();
  } catch (...) {
    return host::kMemFullErr;
  }
}
void ProgressProc(int32_t done, int32_t total) {
  if (!g_session) return;
  try {
    g_session->Progress(done, total);
  } catch (...) {
    // A progress bar that cannot be drawn is not worth failing the run for.
  }
}
host::Boolean AbortProc() { return 0; }
// Colour services as some editors have them: failing, or reporting success
// while leaving the colour as it was.
OSErr FailingColorServices(host::ColorServicesInfo*) { return -30900; }
OSErr UnchangedColorServices(host::ColorServicesInfo*) { return host::kNoErr; }
void ProcessEventProc(void*) {}

Session::Session(PluginEntry entry, const FilterInput& input, ProgressSink* progress)
    : entry_(entry),
      progress_(progress),
      width_(input.width),
      height_(input.height),
      interactive_(input.interactive),
      planes_(input.flat ? 3 : 4),
      haveMask_(input.mask != nullptr),
      record_(new FilterRecord()) {  // value-initialised: all 608 bytes zero
  const size_t pixels = size_t(width_) * size_t(height_);
  if (planes_ == 4 && input.rgbaToTake && input.rgbaToTake->data() == input.rgba &&
      input.rgbaToTake->size() == pixels * 4) {
    in_ = std::move(*input.rgbaToTake);
  } else {
    in_.resize(pixels * size_t(planes_));
    for (size_t i = 0; i < pixels; ++i)
      std::memcpy(&in_[i * size_t(planes_)], input.rgba + i * 4, size_t(planes_));
  }
  // The filter asks hosts not to copy the source over, yet it leaves parts of
  // the output alone: they must hold the picture.
  out_ = in_;
  if (haveMask_) mask_.assign(input.mask, input.mask + pixels);
  BuildRecord(input);
  handles_.Activate();
  descriptors_.Activate();
  g_session = this;
}

Session::~Session() {
  g_session = nullptr;
  descriptors_.Deactivate();
  handles_.Deactivate();
}

void Session::BuildRecord(const FilterInput& input) {
  FilterRecord& r = *record_;
  r.abortProc = AbortProc;
  r.progressProc = ProgressProc;
  r.imageSize = host::Point16{Narrow16(height_), Narrow16(width_)};
  r.planes = int16_t(planes_);
  r.filterRect = Rect16{0, 0, Narrow16(height_), Narrow16(width_)};
  r.background = host::RGBColor16{uint16_t(input.background[0] * 257),
                                   uint16_t(input.background[1] * 257),
                                   uint16_t(input.background[2] * 257)};
  r.foreground = host::RGBColor16{0, 0, 0};
  r.maxSpace = INT32_MAX;
  r.haveMask = haveMask_ ? 1 : 0;
  r.autoMask = 1;
  for (int c = 0; c < 3; ++c) r.backColor[c] = input.background[c];
  // A console host unless the user is there to answer windows.
  r.hostSig = input.interactive ? kDialogHostSignature : kHostSignature;
  r.imageMode = kImageModeRGB;
  r.imageHRes = r.imageVRes = 72 * kFixedOne;
  r.wholeSize = r.imageSize;
  // An sRGB monitor.
  r.monitor = host::PlugInMonitor{ToFixed(2.2),  ToFixed(0.64), ToFixed(0.33),
                                  ToFixed(0.30), ToFixed(0.60), ToFixed(0.15),
                                  ToFixed(0.06), ToFixed(0.3127), ToFixed(0.3290), 0};
  r.platformData = &platform_;
  platform_.hwnd = input.hostWindow;
  if (input.colorServices == FilterInput::ColorServices::kFail)
    r.colorServices = FailingColorServices;
  else if (input.colorServices == FilterInput::ColorServices::kUnchanged)
    r.colorServices = UnchangedColorServices;
  r.processEvent = ProcessEventProc;
  r.handleProcs = handles_.Procs();
  if (input.flat) r.filterCase = haveMask_ ? kFilterCaseFlatSelection : kFilterCaseFlatImage;
  else
    r.filterCase = haveMask_ ? kFilterCaseEditableTransparencySelection
                             : kFilterCaseEditableTransparency;
  r.dummyPlaneValue = -1;
  r.advanceState = AdvanceStateProc;
  r.inputRate = r.maskRate = kFixedOne;
  if (input.flat) {
    r.inNonLayerPlanes = r.outNonLayerPlanes = 3;
  } else {
    r.inLayerPlanes = r.outLayerPlanes = 3;
    r.inTransparencyMask = r.outTransparencyMask = 1;
  }
  // The whole picture is one tile.
  r.inTileHeight = r.outTileHeight = r.maskTileHeight = Narrow16(height_);
  r.inTileWidth = r.outTileWidth = r.maskTileWidth = Narrow16(width_);

  // A replayed step: every value in the descriptor, no dialog wanted.  An
  // interactive run asks for the dialog, with the values when there are any.
  std::vector<DescriptorItem> items;
  for (const SettingInfo& info : kSettingTable) {
    const int32_t value = input.settings.Get(info.id);
    items.push_back(info.kind == SettingKind::Check ? DescriptorItem::Bool(info.scriptKey, value)
                                                    : DescriptorItem::Integer(info.scriptKey, value));
  }
  descriptorParams_.descriptorParametersVersion = 0;
  descriptorParams_.playInfo =
      input.interactive ? host::kPlugInDialogDisplay : host::kPlugInDialogDontDisplay;
  descriptorParams_.recordInfo = host::kPlugInDialogOptional;
  if (!input.interactive || input.valuesGiven) {
    descriptorParams_.descriptor = descriptors_.MakeDescriptor(items);
    if (!descriptorParams_.descriptor) throw std::bad_alloc();
  }
  descriptorParams_.readDescriptorProcs = descriptors_.ReadProcs();
  descriptorParams_.writeDescriptorProcs = descriptors_.WriteProcs();
  r.descriptorParameters = &descriptorParams_;
  r.errorString = &errorString_;
  r.depth = 8;

  big_.imageSize32 = host::VPoint{height_, width_};
  big_.filterRect32 = VRect{0, 0, height_, width_};
  big_.wholeSize32 = big_.imageSize32;
  r.bigDocumentData = &big_;
}

void Session::CurrentRequests(Request* in, Request* out, Request* mask) const {
  const FilterRecord& r = *record_;
  const bool wide = big_.PluginUsing32BitCoordinates != 0;
  in->rect = wide ? big_.inRect32 : FromRect16(r.inRect);
  out->rect = wide ? big_.outRect32 : FromRect16(r.outRect);
  mask->rect = wide ? big_.maskRect32 : FromRect16(r.maskRect);
  in->lo = r.inLoPlane;
  in->hi = r.inHiPlane;
  out->lo = r.outLoPlane;
  out->hi = r.outHiPlane;
}

bool Session::AnyRectangleLeft() const {
  Request in, out, mask;
  CurrentRequests(&in, &out, &mask);
  // Without a selection there is no mask to deliver, whatever is asked.
  return !IsEmpty(in.rect) || !IsEmpty(out.rect) || (haveMask_ && !IsEmpty(mask.rect));
}

bool Session::Valid(const Request& r, bool withPlanes) const {
  if (IsEmpty(r.rect)) return true;
  if (r.rect.left < 0 || r.rect.top < 0 || r.rect.right > width_ || r.rect.bottom > height_)
    return false;
  return !withPlanes || (r.lo >= 0 && r.lo <= r.hi && r.hi < planes_);
}

uint8_t* Session::Deliver(std::vector<uint8_t>& buffer, const Request& r, Copy& copy,
                          int32_t* rowBytes) {
  const size_t stride = size_t(width_) * size_t(planes_);
  const size_t left = size_t(r.rect.left), top = size_t(r.rect.top);
  if (r.lo == 0 && r.hi == planes_ - 1) {
    *rowBytes = int32_t(stride);
    return buffer.data() + top * stride + left * size_t(planes_);
  }
  // A narrower plane range: the planes asked for, interleaved, in a copy.
  const size_t w = size_t(r.rect.right - r.rect.left), h = size_t(r.rect.bottom - r.rect.top);
  const size_t n = size_t(r.hi - r.lo + 1);
  copy.bytes.resize(w * h * n);
  copy.request = r;
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x)
      std::memcpy(&copy.bytes[(y * w + x) * n],
                  &buffer[(top + y) * stride + (left + x) * size_t(planes_) + size_t(r.lo)], n);
  *rowBytes = int32_t(w * n);
  return copy.bytes.data();
}

void Session::CommitOutput() {
  if (!outCopy_.pending) return;
  outCopy_.pending = false;
  const Request& r = outCopy_.request;
  const size_t stride = size_t(width_) * size_t(planes_);
  const size_t w = size_t(r.rect.right - r.rect.left), h = size_t(r.rect.bottom - r.rect.top);
  const size_t n = size_t(r.hi - r.lo + 1);
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x)
      std::memcpy(&out_[(size_t(r.rect.top) + y) * stride +
                        (size_t(r.rect.left) + x) * size_t(planes_) + size_t(r.lo)],
                  &outCopy_.bytes[(y * w + x) * n], n);
}

OSErr Session::AdvanceState() {
  CommitOutput();
  FilterRecord& r = *record_;
  r.inData = r.outData = r.maskData = nullptr;
  r.inRowBytes = r.outRowBytes = r.maskRowBytes = 0;

  Request in, out, mask;
  CurrentRequests(&in, &out, &mask);
  if (!Valid(in, true) || !Valid(out, true) || (haveMask_ && !Valid(mask, false))) return kParamErr;

  if (!IsEmpty(in.rect)) {
    r.inData = Deliver(in_, in, inCopy_, &r.inRowBytes);
    r.inColumnBytes = in.hi - in.lo + 1;
    r.inPlaneBytes = 1;
  }
  if (!IsEmpty(out.rect)) {
    r.outData = Deliver(out_, out, outCopy_, &r.outRowBytes);
    outCopy_.pending = r.outData == outCopy_.bytes.data();
    r.outColumnBytes = out.hi - out.lo + 1;
    r.outPlaneBytes = 1;
  }
  if (haveMask_ && !IsEmpty(mask.rect)) {
    r.maskData = mask_.data() + size_t(mask.rect.top) * size_t(width_) + size_t(mask.rect.left);
    r.maskRowBytes = width_;
  }
  return host::kNoErr;
}

int16_t Session::Call(int16_t selector) {
  int16_t result = 0;
  entry_(selector, record_.get(), &data_, &result);
  // What the plug-in wrote into a copy becomes part of the picture once the
  // selector returns.
  CommitOutput();
  return result;
}

std::string Session::ErrorStringText() const {
  std::string text;
  for (int i = 1; i <= errorString_[0]; ++i) {
    const unsigned char c = errorString_[i];
    if (c == 0) break;
    text += c < 0x20 ? ' ' : char(c);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

FilterOutcome Session::Failure(const char* selector, int16_t code) {
  FilterOutcome outcome;
  outcome.selector = selector;
  outcome.code = code;
  if (code == host::kUserCanceledErr) {
    outcome.status = RunStatus::Refused;
    outcome.message = "the filter refused the picture";
    return outcome;
  }
  outcome.status = RunStatus::Failed;
  if (code == host::kErrReportString) {
    outcome.message = ErrorStringText();
    if (outcome.message.empty()) outcome.message = "the filter reported an error without a text";
  } else {
    outcome.message = DescribeResult(code);
  }
  return outcome;
}

FilterOutcome Session::Run() {
  if (interactive_) {
    if (const int16_t rc = Call(host::kSelectorParameters)) return Failure("parameters", rc);
  }
  if (const int16_t rc = Call(host::kSelectorPrepare)) return Failure("prepare", rc);
  if (const int16_t rc = Call(host::kSelectorStart)) return Failure("start", rc);

  FilterOutcome outcome;
  outcome.status = RunStatus::Ok;
  Request last[3];
  int repeats = 0;
  while (AnyRectangleLeft()) {
    Request now[3];
    CurrentRequests(&now[0], &now[1], &now[2]);
    repeats = now[0] == last[0] && now[1] == last[1] && now[2] == last[2] ? repeats + 1 : 0;
    std::copy(now, now + 3, last);
    if (repeats >= kMaxRepeatedRequests) {
      outcome = Failure("continue", kParamErr);
      outcome.message = "the filter kept asking for the same data without finishing";
      break;
    }
    if (const OSErr rc = AdvanceState()) {
      outcome = Failure("continue", rc);
      outcome.message = "the filter asked for data outside the picture";
      break;
    }
    if (const int16_t rc = Call(host::kSelectorContinue)) {
      outcome = Failure("continue", rc);
      break;
    }
  }
  // Finish follows a successful start, whatever happened since.
  if (const int16_t rc = Call(host::kSelectorFinish); rc && outcome.status == RunStatus::Ok)
    outcome = Failure("finish", rc);
  if (outcome.status == RunStatus::Ok) {
    outcome.planes = planes_;
    outcome.pixels = std::move(out_);
  }
  return outcome;
}

}  // namespace

FilterOutcome RunFilter(PluginEntry entry, const FilterInput& input, ProgressSink* progress) {
  Session session(entry, input, progress);
  return session.Run();
}

std::string DescribeResult(int16_t code) {
  struct Known {
    int16_t code;
    const char* text;
  };
  static constexpr Known kKnown[] = {
      {-1, "unexpected failure"},
      {-34, "disk full"},
      {-36, "input/output error"},
      {-43, "file not found"},
      {-50, "parameter error"},
      {-108, "out of memory"},
      {-109, "invalid handle"},
      {-128, "cancelled"},
      {-1715, "a required parameter is missing"},
      {-30100, "bad parameters"},
      {-30101, "unsupported image mode"},
      {-30900, "the host lacks a service the filter needs"},
      {-30904, "error reported with a text"},
      {-30905, "host version incompatible"},
  };
  for (const Known& k : kKnown)
    if (k.code == code) return std::string(k.text) + " (" + std::to_string(code) + ")";
  if (code > 0)
    return "the filter reported the problem itself (" + std::to_string(code) + ")";
  return "result " + std::to_string(code);
}

}  // namespace tessaro::cli
