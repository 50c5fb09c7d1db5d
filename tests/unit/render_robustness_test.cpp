// Extreme geometry must never write outside the colour buffer, overflow an
// integer or take unbounded time; run under the sanitizers this also proves
// the absence of undefined behaviour along the way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/matrix.h"
#include "render/quad_filler.h"
#include "scene/scene3d.h"
#include "support/render_test_support.h"

namespace tessaro {
namespace {

using testing_support::GuardedBuffer;
using testing_support::QuadBench;
using testing_support::TestRandom;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

int32_t PickScreen(TestRandom& r, int32_t extent) {
  switch (r.Range(0, 11)) {
    case 0: return kMin;
    case 1: return kMax;
    case 2: return int32_t(kMin + r.Range(0, 40));
    case 3: return int32_t(kMax - r.Range(0, 40));
    case 4: return int32_t(r.Next32());
    case 5: return int32_t(r.Range(-3000000, 3000000));
    case 6: return int32_t(-kWalkedRowsAboveTarget + r.Range(-50, 50));
    default: return int32_t(r.Range(-extent, 2 * extent));
  }
}

double PickDepth(TestRandom& r) {
  const double special[] = {1, 0, -0.0, -1, 5.5, 5.4999, 1e-300, 4.9e-324, 1e300, kInf, -kInf, kNaN,
                            2147483648.0, 1e9};
  if (r.OneIn(2)) return special[r.Range(0, 13)];
  return 1 + r.Unit() * 60;
}

double PickTextureCoordinate(TestRandom& r) {
  const double special[] = {kNaN, kInf, -kInf, 1e300, -1e300, 0, 1, -0.0};
  if (r.OneIn(3)) return special[r.Range(0, 7)];
  return r.Unit() * 5 - 2;
}

std::vector<uint32_t> RandomTexels(TestRandom& r, size_t count) {
  std::vector<uint32_t> texels(count);
  for (uint32_t& t : texels) t = r.Next32();
  return texels;
}

TEST(FillerRobustness, RandomExtremeQuadsStayInsideTheBuffer) {
  TestRandom random(20240611);
  QuadBench bench(40, 30, 44, 3, 5, RandomTexels(random, 15));
  int painted = 0;
  for (int i = 0; i < 2500; ++i) {
    for (int k = 0; k < 4; ++k) {
      bench.SetCorner(k, PickScreen(random, 40), PickScreen(random, 30), PickDepth(random),
                      PickTextureCoordinate(random), PickTextureCoordinate(random));
    }
    bench.Fill();
    ASSERT_TRUE(bench.Intact()) << "quad " << i;
    if (i % 64 == 63) {
      for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x) painted += bench.At(x, y) != 0;
      bench.Clear();
    }
  }
  // The mix must also contain quads that reach the target, or the test
  // proves little.
  EXPECT_GT(painted, 1000);
}

TEST(FillerRobustness, SpansWithExtremeValuesStayInsideTheRow) {
  TestRandom random(77);
  QuadBench bench(16, 3, 20, 2, 2, RandomTexels(random, 4));
  const double xs[] = {-1e300, -3e9, -2147483648.5, -20, -0.5, 0, 7.3, 15.5, 16, 40, 2147483647.0, 3e9, 1e300, kNaN, kInf, -kInf};
  const double values[] = {0.125, 1e-300, -0.125, 0, 1e300, kNaN, kInf, -kInf};
  for (double xl : xs) {
    for (double xr : xs) {
      for (int i = 0; i < 6; ++i) {
        const double w0 = values[random.Range(0, 7)], w1 = values[random.Range(0, 7)];
        const double u0 = values[random.Range(0, 7)], u1 = values[random.Range(0, 7)];
        const double v0 = values[random.Range(0, 7)], v1 = values[random.Range(0, 7)];
        bench.scene.DrawPerspectiveSpan(xl, xr, w0, w1, u0, v0, u1, v1, 1, 0);
      }
    }
  }
  ASSERT_TRUE(bench.Intact());
  for (int32_t x = 0; x < 16; ++x) {
    EXPECT_EQ(bench.At(x, 0), 0u);
    EXPECT_EQ(bench.At(x, 2), 0u);
  }
}

// A parallelogram whose top lies T rows above the target and whose edges have
// slope exactly one: row y (0..20) spans columns y + 2 .. y + 12 and shows the
// 11 texels in order.  Every value along the edges is an exact integer, so
// walking row by row and jumping far above the target must agree to the bit,
// whatever T is.
TEST(FillerRobustness, QuadsFromFarAboveArriveWhereTheWalkWouldBringThem) {
  TestRandom random(5);
  std::vector<uint32_t> texels = RandomTexels(random, 11);
  for (uint32_t& t : texels) t |= 0xFF000000u;
  const int64_t tops[] = {0, 1, 100, kWalkedRowsAboveTarget - 1, kWalkedRowsAboveTarget,
                          kWalkedRowsAboveTarget + 1, 3 * kWalkedRowsAboveTarget + 7,
                          int64_t(kMax) - 100, -int64_t(kMin)};
  for (int64_t t : tops) {
    QuadBench bench(48, 24, 48, 11, 1, texels);
    bench.SetCorner(0, int32_t(-t + 2), int32_t(-t), 8, 0, 0);
    bench.SetCorner(1, int32_t(-t + 12), int32_t(-t), 8, 1, 0);
    bench.SetCorner(2, 32, 20, 8, 1, 0);
    bench.SetCorner(3, 22, 20, 8, 0, 0);
    bench.Fill();
    for (int32_t y = 0; y < 24; ++y) {
      for (int32_t x = 0; x < 48; ++x) {
        const bool inside = y <= 20 && x >= y + 2 && x <= y + 12;
        ASSERT_EQ(bench.At(x, y), inside ? texels[size_t(x - y - 2)] : 0u)
            << "top " << -t << " pixel " << x << "," << y;
      }
    }
  }
}

// The same with a corner far above the target where the left chain turns: a
// vertical edge from the top corner down to L = (yL, yL), then slope 1 to the
// bottom corner (20, 20); on the right one edge of slope 1/2 from
// (yL + 40, top) to the bottom corner.  Row y of the target then spans columns
// y .. trunc(10 + y / 2 + 0.5); a turn taken one row early or late would
// shift the left side of every row.
TEST(FillerRobustness, EdgeTurnsFarAboveTheTargetHappenOnTheirRows) {
  const int64_t tops[] = {100, 2 * kWalkedRowsAboveTarget, 6 * kWalkedRowsAboveTarget,
                          int64_t(kMax) - 101};
  for (int64_t t : tops) {
    t &= ~int64_t(1);  // even, so that the right edge's slope is exactly 1/2
    const int32_t yL = int32_t(-30 - t / 2);
    QuadBench bench(40, 24, 40, 1, 1, {0xFF00FF00u});
    bench.SetCorner(0, yL, int32_t(-t), 8, 0, 0);
    bench.SetCorner(1, yL + 40, int32_t(-t), 8, 0, 0);
    bench.SetCorner(2, 20, 20, 8, 0, 0);
    bench.SetCorner(3, yL, yL, 8, 0, 0);
    bench.Fill();
    for (int32_t y = 0; y < 24; ++y) {
      const int32_t right = y < 20 ? 10 + (y + 1) / 2 : -1;
      for (int32_t x = 0; x < 40; ++x) {
        const bool inside = x >= y && x <= right;
        ASSERT_EQ(bench.At(x, y), inside ? 0xFF00FF00u : 0u) << "top " << -t << " pixel " << x << "," << y;
      }
    }
  }
}

// Corners that all share one column never cross, and the walk of such a
// self-intersecting quad does not stop at its last corner: it would run on to
// the target row by row.  Placed at the top of the 32-bit range that would be
// two billion empty rows per quad; the walk must skip them.
TEST(FillerRobustness, EndlessWalksFarAboveTheTargetFinishPromptly) {
  QuadBench bench(8, 8, 8, 1, 1, {0xFFFFFFFFu});
  const auto start = std::chrono::steady_clock::now();
  for (int32_t shift = 0; shift < 20; ++shift) {
    const int32_t base = kMin + shift;
    bench.SetCorner(0, 8, base + 5, 8, 0, 0);
    bench.SetCorner(1, 8, base + 14, 8, 0, 0);
    bench.SetCorner(2, 8, base + 2, 8, 0, 0);
    bench.SetCorner(3, 8, base + 13, 8, 0, 0);
    bench.Fill();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 10.0);  // a row-by-row walk needs minutes
  EXPECT_TRUE(bench.Intact());
}

// Whole renders of scenes with extreme positions, matrices and scales.
TEST(RenderRobustness, ExtremeNodesAndMatricesStayInsideTheBuffer) {
  TestRandom random(99);
  const double extremes[] = {kNaN, kInf, -kInf, 1e300, -1e300, 3e9, -3e9, 1e-300, 0, -0.0};
  auto pick = [&](double scale) {
    return random.OneIn(4) ? extremes[random.Range(0, 9)] : (random.Unit() * 2 - 1) * scale;
  };
  for (int round = 0; round < 30; ++round) {
    GuardedBuffer buffer(50, 40, 52);
    CScene3D scene;
    scene.Init(50, 40, buffer.Pixels(), 52, nullptr);
    const std::vector<uint32_t> texels = RandomTexels(random, 12);
    scene.AddTexture(4, 3, texels.data(), 4);
    scene.AddObject();
    scene.AddObject();
    for (int32_t object = 0; object < 2; ++object) {
      for (int n = 0; n < 12; ++n) {
        CNode3D node;
        node.x = pick(60);
        node.y = pick(60);
        node.z = pick(30);
        node.s = pick(2);
        node.t = pick(2);
        scene.AddNode(object, node);
      }
      for (int q = 0; q < 10; ++q) {
        scene.AddQuad(object, int32_t(random.Range(0, 11)), int32_t(random.Range(0, 11)),
                      int32_t(random.Range(0, 11)), int32_t(random.Range(0, 11)));
      }
    }
    scene.objectSize = 60;
    scene.PoseCamera(double(random.Range(-75, 75)), double(random.Range(-75, 75)),
                     double(random.Range(0, 100)), double(random.Range(1, 300)));
    if (random.OneIn(3)) {
      for (double& m : scene.Object(1).modelMatrix)
        if (random.OneIn(4)) m = pick(1e3);
    }
    if (random.OneIn(4)) scene.projectionScale = pick(1e6);
    if (random.OneIn(4)) scene.centreX = pick(1e10);
    scene.Render();
    ASSERT_TRUE(buffer.GuardsIntact()) << "round " << round;
  }
}

}  // namespace
}  // namespace tessaro
