// Running out of memory at any allocation of a run must end it with the
// out-of-memory result and leave the host's picture as it was: never a
// half-built image used as if it held pixels.  This executable replaces the
// global allocation functions so a test can make exactly one chosen
// allocation fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "host/filter_run.h"
#include "host/plugin_app.h"
#include "host/plugin_interface.h"
#include "host/user_message.h"
#include "image/host_pixels.h"
#include "scene/relief_workspace.h"
#include "settings/effect_settings.h"
#include "tests/support/test_host.h"

namespace {

std::atomic<bool> g_armed{false};
std::atomic<int64_t> g_left{0};   // allocations to let through before the failure
std::atomic<bool> g_fired{false};

bool FailThisOne() {
  if (!g_armed.load(std::memory_order_relaxed)) return false;
  if (g_left.fetch_sub(1) != 0) return false;
  g_fired = true;
  return true;
}

void* Allocate(size_t n) { return std::malloc(n != 0 ? n : 1); }

// Fails allocation number `index` (0 first) of what runs while it lives.
class FailingAllocation {
 public:
  explicit FailingAllocation(int64_t index) {
    g_fired = false;
    g_left = index;
    g_armed = true;
  }
  ~FailingAllocation() { g_armed = false; }
  static bool Fired() { return g_fired; }
};

}  // namespace

// The replacements pair malloc with free on purpose; the compiler sees only
// new and free meeting.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t n) {
  void* p = FailThisOne() ? nullptr : Allocate(n);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  return FailThisOne() ? nullptr : Allocate(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  return FailThisOne() ? nullptr : Allocate(n);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace tessaro::testing {
namespace {

// An opaque disc with a soft edge over most of a small layer: every stage has
// real work, and the renderer stays on one thread.
constexpr int32_t kSize = 40;

void PaintObject(TestHost& host) {
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      const int32_t dx = x - kSize / 2, dy = y - kSize / 2, d2 = dx * dx + dy * dy;
      uint8_t* p = host.In(x, y);
      p[0] = uint8_t(40 + 5 * x);
      p[1] = uint8_t(200 - 3 * y);
      p[2] = uint8_t(90 + ((x * y) & 63));
      p[3] = d2 < 15 * 15 ? 255 : d2 < 18 * 18 ? uint8_t(255 - (d2 - 225) * 2) : 0;
    }
  }
  host.CopyInputToOutput();
}

EffectSettings EveryStageAtWork() {
  EffectSettings s;
  s.depth = 12;
  s.round = 40;
  s.colorOverlay = true;
  s.smoothDepth = true;
  s.angleX = 20;
  s.angleY = -30;
  return s;
}

TEST(AllocationFailure, EveryAllocationOfEachStageEndsItWithOutOfMemory) {
  TestHost host(kSize, kSize, 4, false);
  PaintObject(host);
  const HostPixels pixels{kSize, kSize, 4, host.In(0, 0), kSize * 4 + 5, host.Out(0, 0),
                          kSize * 4 + 5};
  ObjectBounds bounds;
  ASSERT_EQ(host::FindObjectBounds(pixels, bounds), host::BoundsResult::Found);
  const EffectSettings s = EveryStageAtWork();
  const std::vector<std::function<void(ReliefWorkspace&)>> stages = {
      [&](ReliefWorkspace& w) { w.PrepareScene(pixels, bounds); },
      [&](ReliefWorkspace& w) { w.BuildSliceStack(s.depth, s.round); },
      [&](ReliefWorkspace& w) { w.BuildSideTexture(s); },
      [&](ReliefWorkspace& w) { w.Render(s, nullptr); },
  };
  const char* const names[] = {"PrepareScene", "BuildSliceStack", "BuildSideTexture", "Render"};
  auto picture = [](const ReliefWorkspace& w) {
    const CDib& t = w.RenderTarget();
    return std::vector<uint32_t>(t.Pixels(), t.Pixels() + size_t(t.Stride()) * size_t(t.Height()));
  };
  ReliefWorkspace reference;
  for (const auto& stage : stages) stage(reference);
  const std::vector<uint32_t> expected = picture(reference);

  for (size_t stage = 0; stage < stages.size(); ++stage) {
    int64_t failures = 0;
    for (int64_t index = 0;; ++index) {
      ReliefWorkspace work;
      for (size_t before = 0; before < stage; ++before) stages[before](work);
      bool threw = false;
      {
        FailingAllocation fail(index);
        try {
          stages[stage](work);
        } catch (const std::bad_alloc&) {
          threw = true;
        }
      }
      if (!FailingAllocation::Fired()) break;  // the stage needs fewer allocations
      ++failures;
      if (threw) continue;
      // A stage may do without memory it only wanted for speed, but then the
      // picture must come out exactly as it does with that memory.
      for (size_t after = stage + 1; after < stages.size(); ++after) stages[after](work);
      EXPECT_EQ(picture(work), expected)
          << names[stage] << " carried on after its allocation " << index << " failed";
    }
    EXPECT_GT(failures, 0) << names[stage] << " allocates nothing?";
  }
}

TEST(AllocationFailure, AFailedAllocationAnywhereInARunLeavesThePictureAsItWas) {
  // The store starts empty: every run uses the defaults.
  const std::string dir =
      (std::filesystem::temp_directory_path() / "tessaro-alloc-test").string();
  std::filesystem::remove_all(dir);
  setenv("TESSARO_SETTINGS_DIR", dir.c_str(), 1);

  auto run = [](TestHost& host) {
    host.record().hostSig = host::kConsoleHostSignature;
    intptr_t data = 0;
    int16_t result = 777;
    host::PluginMain(host::kSelectorStart, &host.record(), &data, &result);
    return result;
  };
  TestHost reference(kSize, kSize, 4, false);
  PaintObject(reference);
  const std::vector<uint8_t> untouched = reference.output();
  ASSERT_EQ(run(reference), 0);
  const std::vector<uint8_t> expected = reference.output();
  ASSERT_NE(expected, untouched);

  int64_t outOfMemory = 0, fired = 0;
  for (int64_t index = 0;; ++index) {
    TestHost host(kSize, kSize, 4, false);
    PaintObject(host);
    int16_t result;
    {
      FailingAllocation fail(index);
      result = run(host);
    }
    if (!FailingAllocation::Fired()) break;
    ++fired;
    if (result == host::kMemFullErr) {
      ++outOfMemory;
      EXPECT_EQ(host.output(), untouched) << "allocation " << index;
    } else {
      // Only an allocation the run can do without may fail quietly, and then
      // the picture is exactly the one of a run without failures.
      EXPECT_EQ(result, 0) << "allocation " << index;
      EXPECT_EQ(host.output(), expected) << "allocation " << index;
    }
  }
  EXPECT_GT(outOfMemory, 0);
  std::printf("%lld allocations failed in turn, %lld ended the run with -108\n",
              static_cast<long long>(fired), static_cast<long long>(outOfMemory));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tessaro::testing
