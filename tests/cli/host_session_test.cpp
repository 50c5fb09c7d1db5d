// The host side of a filter run, as the test module sees it: the record, the
// data delivered by advanceState, the descriptor, the selector sequence and
// what the run makes of the module's results.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "cli/descriptor_suite.h"
#include "cli/handle_suite.h"
#include "cli/host_session.h"
#include "settings/effect_settings.h"
#include "tests/cli/allocation_faults.h"
#include "tests/cli/test_module_host.h"

namespace tessaro::testing {
namespace {

using cli::FilterInput;
using cli::FilterOutcome;
using cli::RunStatus;
using host::FourCC;
using host::VRect;

constexpr int32_t kW = 7, kH = 5;

class RecordingProgress : public cli::ProgressSink {
 public:
  void Report(int32_t done, int32_t total) override { reports.push_back({done, total}); }
  std::vector<std::pair<int32_t, int32_t>> reports;
};

class HostSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module_.ok()) << module_.error(); }

  FilterOutcome Run(const char* mode, const FilterInput& in, cli::ProgressSink* progress = nullptr) {
    module_.SetMode(mode);
    return cli::RunFilter(module_.entry(), in, progress);
  }
  FilterInput Input(const std::vector<uint8_t>& rgba, int32_t w = kW, int32_t h = kH) {
    FilterInput in;
    in.width = w;
    in.height = h;
    in.rgba = rgba.data();
    return in;
  }
  const TestModuleReport& report() { return module_.report(); }
  std::vector<int32_t> Selectors() {
    return std::vector<int32_t>(report().selectors, report().selectors + report().selectorCount);
  }

  TestModule module_;
};

TEST_F(HostSessionTest, TheRecordDescribesALayerWithTransparencyAndTheHostsProcedures) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  const FilterOutcome out = Run("invert", Input(rgba));
  ASSERT_EQ(out.status, RunStatus::Ok) << out.message;
  const TestModuleReport& r = report();
  EXPECT_EQ(Selectors(), (std::vector<int32_t>{2, 3, 4, 5}));  // never the parameters selector
  EXPECT_EQ(r.planes, 4);
  EXPECT_EQ(r.filterCase, 4);
  EXPECT_EQ(r.haveMask, 0);
  EXPECT_EQ(r.isFloating, 0);
  EXPECT_EQ(r.imageMode, 3);
  EXPECT_EQ(r.depth, 8);
  EXPECT_EQ(r.hostSig, cli::kHostSignature);
  EXPECT_EQ(r.imageSizeV, kH);
  EXPECT_EQ(r.imageSizeH, kW);
  EXPECT_EQ(r.filterRect.top, 0);
  EXPECT_EQ(r.filterRect.left, 0);
  EXPECT_EQ(r.filterRect.bottom, kH);
  EXPECT_EQ(r.filterRect.right, kW);
  ASSERT_TRUE(r.bigPresent);
  EXPECT_EQ(r.imageSize32.v, kH);
  EXPECT_EQ(r.imageSize32.h, kW);
  EXPECT_EQ(r.filterRect32.bottom, kH);
  EXPECT_EQ(r.filterRect32.right, kW);
  EXPECT_TRUE(r.platformPresent);
  EXPECT_EQ(r.hwnd, 0);
  EXPECT_TRUE(r.errorStringPresent && r.progressPresent && r.advancePresent && r.abortPresent);
  EXPECT_TRUE(r.reservedAllZero);
  EXPECT_EQ(r.handleProcsVersion, 1);
  EXPECT_EQ(r.numHandleProcs, 8);
  EXPECT_TRUE(r.handleRoundTripOk);
  EXPECT_EQ(r.numReadProcs, 18);
  EXPECT_EQ(r.numWriteProcs, 16);
  EXPECT_EQ(r.playInfo, 0);
  // The whole picture, all planes, in the host's own rows.
  EXPECT_EQ(r.inRowBytes, kW * 4);
  EXPECT_EQ(r.outRowBytes, kW * 4);
  EXPECT_FALSE(r.sawMask);
}

TEST_F(HostSessionTest, FlatPicturesAndSelectionsSetPlanesCaseMaskAndBackground) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  std::vector<uint8_t> mask(size_t(kW * kH), 0);
  for (size_t i = 0; i < mask.size(); i += 2) mask[i] = 255;

  FilterInput flat = Input(rgba);
  flat.flat = true;
  FilterOutcome out = Run("invert", flat);
  EXPECT_EQ(report().planes, 3);
  EXPECT_EQ(report().filterCase, 1);
  // Without a selection the filter refuses a flat picture; finish is not sent.
  EXPECT_EQ(out.status, RunStatus::Refused);
  EXPECT_EQ(out.code, -128);
  EXPECT_STREQ(out.selector, "start");
  EXPECT_TRUE(out.pixels.empty());
  EXPECT_EQ(Selectors(), (std::vector<int32_t>{2, 3}));

  flat.mask = mask.data();
  flat.background[0] = 0x12;
  flat.background[1] = 0x34;
  flat.background[2] = 0xAB;
  out = Run("invert", flat);
  ASSERT_EQ(out.status, RunStatus::Ok) << out.message;
  const TestModuleReport& r = report();
  EXPECT_EQ(r.planes, 3);
  EXPECT_EQ(r.filterCase, 2);
  EXPECT_EQ(r.haveMask, 1);
  EXPECT_TRUE(r.sawMask);
  EXPECT_EQ(r.background[0], 0x1212);
  EXPECT_EQ(r.background[1], 0x3434);
  EXPECT_EQ(r.background[2], 0xABAB);
  EXPECT_EQ(r.backColor[0], 0x12);
  EXPECT_EQ(r.backColor[1], 0x34);
  EXPECT_EQ(r.backColor[2], 0xAB);
  EXPECT_EQ(r.inRowBytes, kW * 3);
  // Selected pixels inverted, the others kept; three bytes a pixel, no alpha.
  ASSERT_EQ(out.planes, 3);
  ASSERT_EQ(out.pixels.size(), size_t(kW * kH * 3));
  for (size_t i = 0; i < mask.size(); ++i)
    for (size_t c = 0; c < 3; ++c)
      ASSERT_EQ(out.pixels[i * 3 + c], mask[i] ? 255 - rgba[i * 4 + c] : rgba[i * 4 + c]) << i;

  FilterInput layer = Input(rgba);
  layer.mask = mask.data();
  out = Run("invert", layer);
  ASSERT_EQ(out.status, RunStatus::Ok);
  EXPECT_EQ(report().planes, 4);
  EXPECT_EQ(report().filterCase, 5);
  EXPECT_EQ(report().background[0], 0xFFFF);  // white unless told otherwise
}

TEST_F(HostSessionTest, TheOutputStartsAsTheInputAndTakesWhatTheModuleWrites) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  RecordingProgress progress;
  const FilterOutcome out = Run("invert", Input(rgba), &progress);
  ASSERT_EQ(out.status, RunStatus::Ok);
  ASSERT_EQ(out.planes, 4);
  ASSERT_EQ(out.pixels.size(), rgba.size());
  for (size_t i = 0; i < rgba.size(); ++i)
    ASSERT_EQ(out.pixels[i], i % 4 == 3 ? rgba[i] : 255 - rgba[i]) << i;
  ASSERT_EQ(progress.reports.size(), size_t(report().progressCalls));
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.back(), std::make_pair(kH, kH));
}

TEST_F(HostSessionTest, TheDescriptorCarriesAllSixteenValuesInTerminologyOrder) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  FilterInput in = Input(rgba);
  in.settings.angleX = -12;
  in.settings.zoom = 133;
  in.settings.colorOverlay = true;
  in.settings.color = 0x00332211;  // 112233 as people write it
  in.settings.lighting = false;
  in.settings.lightDirection = -160;
  in.settings.highlightColor = 0x00CCBBAA;
  in.settings.shadowColor = 0x00000001;
  in.settings.smoothDepth = true;
  ASSERT_EQ(Run("invert", in).status, RunStatus::Ok);
  const TestModuleReport& r = report();
  ASSERT_EQ(r.keyCount, kSettingCount);
  for (int i = 0; i < kSettingCount; ++i) {
    const SettingInfo& info = kSettingTable[size_t(i)];
    EXPECT_EQ(r.keys[i], info.scriptKey) << info.field;
    EXPECT_EQ(r.types[i], info.kind == SettingKind::Check ? FourCC("bool") : FourCC("long"))
        << info.field;
    EXPECT_EQ(r.values[i], in.settings.Get(info.id)) << info.field;
  }
  EXPECT_EQ(r.values[7], 0x00332211);   // colR
  EXPECT_EQ(r.values[10], -160);        // angL
  EXPECT_EQ(r.values[11], 0x00CCBBAA);  // higH
  EXPECT_EQ(r.closeReadResult, 0);
  // Keys handed out are crossed off in the module's list; its end stays.
  for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(r.keyArrayAfter[i], FourCC("null")) << i;
  EXPECT_EQ(r.keyArrayAfter[kSettingCount], 0u);
  EXPECT_TRUE(r.descriptorNullAfter);
  EXPECT_TRUE(r.writeRoundTripOk);
}

// ---- advanceState -------------------------------------------------------------------

Probe In(VRect rect, int16_t lo, int16_t hi, bool wide = false) {
  Probe p{};
  p.in = rect;
  p.inLo = lo;
  p.inHi = hi;
  p.wide = wide;
  return p;
}

Probe Out(VRect rect, int16_t lo, int16_t hi, uint8_t value) {
  Probe p{};
  p.out = rect;
  p.outLo = lo;
  p.outHi = hi;
  p.writeValue = value;
  p.wide = true;
  return p;
}

Probe Mask(VRect rect) {
  Probe p{};
  p.mask = rect;
  return p;
}

// The bytes of rect and planes lo..hi of a picture with `planes` bytes a pixel.
std::vector<uint8_t> Expected(const std::vector<uint8_t>& image, int32_t width, int planes,
                              VRect r, int lo, int hi) {
  std::vector<uint8_t> bytes;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      for (int p = lo; p <= hi; ++p)
        bytes.push_back(image[(size_t(y) * size_t(width) + size_t(x)) * size_t(planes) + size_t(p)]);
  return bytes;
}

TEST_F(HostSessionTest, AdvanceStateDeliversExactlyTheRequestedAreaAndPlanes) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  std::vector<uint8_t> mask(size_t(kW * kH));
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = uint8_t(i * 5);
  const VRect part{1, 2, 4, 6}, whole{0, 0, kH, kW};
  const std::vector<Probe> probes = {
      In(part, 1, 2),            // 0: a narrower plane range, 16-bit rectangle
      In(part, 1, 2, true),      // 1: the same through the 32-bit rectangle
      In(whole, 0, 3),           // 2: everything
      In(part, 3, 3, true),      // 3: transparency alone
      Mask(part),                // 4: the selection
  };
  module_.SetProbes(probes);
  FilterInput in = Input(rgba);
  in.mask = mask.data();
  ASSERT_EQ(Run("probe", in).status, RunStatus::Ok);
  const TestModuleReport& r = report();
  ASSERT_EQ(r.probeCount, int32_t(probes.size()));

  for (int i : {0, 1}) {
    const ProbeResult& p = r.probes[i];
    EXPECT_EQ(p.result, 0) << i;
    EXPECT_EQ(p.inRowBytes, 4 * 2) << i;
    EXPECT_EQ(p.inColumnBytes, 2) << i;
    EXPECT_EQ(p.inPlaneBytes, 1) << i;
    const std::vector<uint8_t> expected = Expected(rgba, kW, 4, part, 1, 2);
    EXPECT_EQ(std::vector<uint8_t>(p.in, p.in + expected.size()), expected) << i;
    EXPECT_TRUE(p.outNull) << i;
  }
  EXPECT_EQ(r.probes[2].inRowBytes, kW * 4);
  const std::vector<uint8_t> all = Expected(rgba, kW, 4, whole, 0, 3);
  EXPECT_EQ(std::vector<uint8_t>(r.probes[2].in, r.probes[2].in + all.size()), all);
  const std::vector<uint8_t> alpha = Expected(rgba, kW, 4, part, 3, 3);
  EXPECT_EQ(std::vector<uint8_t>(r.probes[3].in, r.probes[3].in + alpha.size()), alpha);
  EXPECT_EQ(r.probes[4].maskRowBytes, kW);
  EXPECT_TRUE(r.probes[4].inNull);
  const std::vector<uint8_t> selected = Expected(mask, kW, 1, part, 0, 0);
  EXPECT_EQ(std::vector<uint8_t>(r.probes[4].mask, r.probes[4].mask + selected.size()), selected);
}

TEST_F(HostSessionTest, RequestsOutsideThePictureOrItsPlanesAreRefusedAndDeliverNothing) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  std::vector<uint8_t> mask(size_t(kW * kH), 255);
  const std::vector<Probe> bad = {
      In(VRect{0, -1, 2, 3}, 0, 3),        In(VRect{-1, 0, 2, 3}, 0, 3),
      In(VRect{0, 0, 2, kW + 1}, 0, 3),    In(VRect{0, 0, kH + 1, 2}, 0, 3),
      In(VRect{0, 0, 2, 2}, 0, 4),         In(VRect{0, 0, 2, 2}, 2, 1),
      In(VRect{0, 0, 2, 2}, -1, 1),        In(VRect{0, 0, 2, 2}, 0, 4, true),
      In(VRect{-100000, 0, 2, 2}, 0, 3, true), In(VRect{0, 0, 2, 70000}, 0, 3, true),
      Out(VRect{0, 0, kH + 1, kW}, 0, 3, 0x77), Mask(VRect{0, 0, kH, kW + 1}),
  };
  module_.SetProbes(bad);
  FilterInput in = Input(rgba);
  in.mask = mask.data();
  const FilterOutcome out = Run("probe", in);
  ASSERT_EQ(out.status, RunStatus::Ok);
  for (int i = 0; i < int(bad.size()); ++i) {
    const ProbeResult& p = report().probes[i];
    EXPECT_NE(p.result, 0) << i;
    EXPECT_TRUE(p.inNull && p.outNull && p.maskNull) << i;
  }
  EXPECT_EQ(out.pixels, rgba);  // nothing was written anywhere

  // Empty rectangles ask for nothing, whatever their planes; so does a mask
  // request where there is no selection.
  const std::vector<Probe> empty = {In(VRect{3, 3, 3, 9}, 7, 2), In(VRect{4, 4, 2, 2}, -5, 90),
                                    Mask(VRect{0, 0, kH, kW})};
  module_.SetProbes(empty);
  ASSERT_EQ(Run("probe", Input(rgba)).status, RunStatus::Ok);
  for (int i = 0; i < int(empty.size()); ++i) {
    const ProbeResult& p = report().probes[i];
    EXPECT_EQ(p.result, 0) << i;
    EXPECT_TRUE(p.inNull && p.outNull && p.maskNull) << i;
  }
}

TEST_F(HostSessionTest, OutputWrittenIntoPartsAndPlaneRangesLandsOnlyThere) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  const VRect corner{0, 1, 2, 3}, row{4, 0, 5, kW};
  module_.SetProbes({Out(corner, 2, 2, 0xEE), Out(row, 0, 3, 0x11)});
  const FilterOutcome out = Run("probe", Input(rgba));
  ASSERT_EQ(out.status, RunStatus::Ok);
  EXPECT_EQ(report().probes[0].outRowBytes, 2);  // a copy holding plane 2 only
  EXPECT_EQ(report().probes[1].outRowBytes, kW * 4);
  std::vector<uint8_t> expected = rgba;
  for (int32_t y = corner.top; y < corner.bottom; ++y)
    for (int32_t x = corner.left; x < corner.right; ++x) expected[size_t(y * kW + x) * 4 + 2] = 0xEE;
  for (int32_t x = 0; x < kW; ++x)
    for (int c = 0; c < 4; ++c) expected[size_t(4 * kW + x) * 4 + size_t(c)] = 0x11;
  EXPECT_EQ(out.pixels, expected);
}

TEST_F(HostSessionTest, ContinueRunsWhileTheModuleAsksForMoreInBothRectangleForms) {
  for (const char* mode : {"tiles", "tiles16"}) {
    const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
    const FilterOutcome out = Run(mode, Input(rgba));
    ASSERT_EQ(out.status, RunStatus::Ok) << mode << ": " << out.message;
    // Bands of two rows, one plane at a time: 3 bands x 3 planes.
    EXPECT_EQ(report().continueCalls, 9) << mode;
    EXPECT_EQ(report().inRowBytes, kW) << mode;
    for (size_t i = 0; i < rgba.size(); ++i)
      ASSERT_EQ(out.pixels[i], i % 4 == 3 ? rgba[i] : 255 - rgba[i]) << mode << " " << i;
    const std::vector<int32_t> s = Selectors();
    EXPECT_EQ(s.front(), 2);
    EXPECT_EQ(s.back(), 5);
  }
}

TEST_F(HostSessionTest, PicturesWiderThanSixteenBitsTravelThroughTheBigDocumentRecord) {
  const int32_t wide = 40000, high = 3;
  const std::vector<uint8_t> rgba = PatternRgba(wide, high);
  const FilterOutcome out = Run("tiles", Input(rgba, wide, high));
  ASSERT_EQ(out.status, RunStatus::Ok) << out.message;
  EXPECT_EQ(report().imageSizeH, 32767);
  EXPECT_EQ(report().filterRect.right, 32767);
  EXPECT_EQ(report().imageSize32.h, wide);
  EXPECT_EQ(report().filterRect32.right, wide);
  for (size_t i = 0; i < rgba.size(); ++i)
    ASSERT_EQ(out.pixels[i], i % 4 == 3 ? rgba[i] : 255 - rgba[i]) << i;
}

TEST_F(HostSessionTest, ResultsOfTheModuleBecomeRefusalOrFailureWithItsText) {
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  struct Case {
    const char* mode;
    RunStatus status;
    const char* selector;
    int16_t code;
    const char* message;
    std::vector<int32_t> selectors;
  };
  const Case cases[] = {
      {"fail-text", RunStatus::Failed, "start", -30904, "test module failure: the sky is falling",
       {2, 3}},
      {"fail-code", RunStatus::Failed, "start", -108, "out of memory (-108)", {2, 3}},
      {"refuse", RunStatus::Refused, "start", -128, "the filter refused the picture", {2, 3}},
      {"fail-prepare", RunStatus::Failed, "prepare", -30101, "unsupported image mode (-30101)", {2}},
      // Finish follows a successful start even when continue fails.
      {"fail-continue", RunStatus::Failed, "continue", -30100, "bad parameters (-30100)",
       {2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    const FilterOutcome out = Run(c.mode, Input(rgba));
    EXPECT_EQ(out.status, c.status) << c.mode;
    EXPECT_STREQ(out.selector, c.selector) << c.mode;
    EXPECT_EQ(out.code, c.code) << c.mode;
    EXPECT_EQ(out.message, c.message) << c.mode;
    EXPECT_TRUE(out.pixels.empty()) << c.mode;
    EXPECT_EQ(Selectors(), c.selectors) << c.mode;
  }

  // A module that never stops asking for the same data is stopped.
  const FilterOutcome stuck = Run("stuck", Input(rgba));
  EXPECT_EQ(stuck.status, RunStatus::Failed);
  EXPECT_EQ(stuck.message, "the filter kept asking for the same data without finishing");
  EXPECT_GT(report().continueCalls, 1);
  EXPECT_EQ(report().lastSelector, 5);
}

TEST_F(HostSessionTest, WhatTheModuleLeavesBehindIsCleanedUp) {
  // Handles in the data word and the parameters, a recorded descriptor, and
  // a reading and a writing never closed: the sanitized build reports any
  // of them that the host fails to free.
  const std::vector<uint8_t> rgba = PatternRgba(kW, kH);
  const FilterOutcome out = Run("leak", Input(rgba));
  EXPECT_EQ(out.status, RunStatus::Ok) << out.message;
}

// The host's procedures run inside the module's frames: memory running out
// in one of them comes back as a result (out of memory, or no handle or
// token), never as an exception unwinding through the module, and leaks
// nothing (the sanitized build checks).
TEST(HostProcedures, RunningOutOfMemoryComesBackAsAResult) {
  cli::HandleSuite handles;
  cli::DescriptorSuite descriptors{handles};
  handles.Activate();
  descriptors.Activate();
  const host::HandleProcs& h = *handles.Procs();
  const host::ReadDescriptorProcs& r = *descriptors.ReadProcs();
  const host::WriteDescriptorProcs& w = *descriptors.WriteProcs();
  cli::DescriptorItem text{FourCC("txtA"), cli::type::kText, {'a', 'b', 'c'}};
  const host::Handle recorded =
      descriptors.MakeDescriptor({cli::DescriptorItem::Integer(FourCC("zooM"), 120), text});
  ASSERT_NE(recorded, nullptr);
  auto acceptable = [](host::OSErr e) { return e == host::kNoErr || e == host::kMemFullErr; };

  const std::vector<std::pair<const char*, std::function<void()>>> uses = {
      {"new and dispose",
       [&] {
         const host::Handle x = h.newProc(16);
         if (x) h.disposeProc(x);
       }},
      {"write a descriptor",
       [&] {
         void* t = w.openWriteDescriptorProc();
         if (!t) return;
         EXPECT_TRUE(acceptable(w.putIntegerProc(t, FourCC("zooM"), 120)));
         EXPECT_TRUE(acceptable(w.putBooleanProc(t, FourCC("smoO"), 1)));
         host::Handle d = nullptr;
         const host::OSErr closed = w.closeWriteDescriptorProc(t, &d);
         EXPECT_TRUE(acceptable(closed));
         EXPECT_EQ(closed == host::kNoErr, d != nullptr);
         if (d) h.disposeProc(d);
       }},
      {"read a descriptor",
       [&] {
         uint32_t keys[] = {FourCC("zooM"), FourCC("txtA"), 0};
         void* t = r.openReadDescriptorProc(recorded, keys);
         if (!t) return;
         uint32_t key = 0, type = 0;
         int32_t flags = 0;
         while (r.getKeyProc(t, &key, &type, &flags)) {
           if (type == cli::type::kInteger) {
             int32_t value = 0;
             EXPECT_EQ(r.getIntegerProc(t, &value), host::kNoErr);
           } else {
             host::Handle got = nullptr;
             EXPECT_TRUE(acceptable(r.getTextProc(t, &got)));
             if (got) h.disposeProc(got);
           }
         }
         EXPECT_TRUE(acceptable(r.closeReadDescriptorProc(t)));
       }},
  };
  for (const auto& [name, use] : uses) {
    for (int skip = 0;; ++skip) {
      ASSERT_LT(skip, 1000) << name;
      bool threw = false, triggered = false;
      {
        FailOneAllocation fault(1, skip);
        try {
          use();
        } catch (...) {
          threw = true;
        }
        triggered = fault.Triggered();
      }
      ASSERT_FALSE(threw) << name << ": allocation " << skip << " escaped as an exception";
      if (!triggered) break;
    }
    EXPECT_EQ(handles.LiveCount(), 1u) << name << ": only the recorded descriptor stays";
  }
  handles.Dispose(recorded);
}

}  // namespace
}  // namespace tessaro::testing
