// The fast paths against the reference paths, bit for bit, on random input:
// the exact shortcuts on their own, random scenes of every awkward kind, and
// the effect's whole relief over random pictures and settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <limits>
#include <vector>

#include "host/filter_run.h"
#include "image/numeric.h"
#include "image/reference_paths.h"
#include "image/resample_data.h"
#include "image/two_pass_scale.h"
#include "render/exact_steps.h"
#include "image/worker_pool.h"
#include "scene/hsl_color.h"
#include "scene/relief_workspace.h"
#include "scene/scene3d.h"
#include "support/render_test_support.h"

namespace tessaro {
namespace {

using testing_support::TestRandom;

// The sanitized tree runs a half of the random cases.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kCaseDivisor = 2;
#else
constexpr int kCaseDivisor = 1;
#endif

TEST(ExactSteps, RunsOfAdditionsEqualTheLoop) {
  TestRandom random(0x5713);
  for (int i = 0; i < 20000; ++i) {
    double x = (random.Unit() - 0.3) * std::ldexp(1.0, int(random.Range(-30, 30)));
    double d = (random.Unit() - 0.5) * std::ldexp(1.0, int(random.Range(-60, 5)));
    switch (random.Range(0, 5)) {
      case 0: d = std::ldexp(std::ldexp(1.0, -53) * std::fabs(x), int(random.Range(-2, 2))); break;  // ties
      case 1: d = -x / double(random.Range(1, 50)); break;  // through zero
      case 2: d = 0; break;
      case 3: x = std::ldexp(1.0, int(random.Range(-5, 5))); break;  // binade edges
      default: break;
    }
    const int64_t n = random.Range(0, 300);
    double loop = x;
    for (int64_t k = 0; k < n; ++k) loop += d;
    const double fast = StepExactly(x, d, n);
    ASSERT_EQ(std::memcmp(&loop, &fast, sizeof loop), 0) << x << " " << d << " " << n;
  }
}

TEST(ExactSteps, TheNearLimitEqualsTheDivision) {
  const NearLimit& limit = GetNearLimit();
  auto byDivision = [](double w) {
    return !(w > 0) || TruncateToInt32(1 / w + 0.5) <= 5;
  };
  std::vector<double> probes = {0.0, -0.0, 1 / 5.5, 1 / 6.0, 1e-300, 1.0 / 2147483648.0,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(), FromBits(1)};
  const uint64_t nearBits = BitsOf(limit.nearFrom), farBits = BitsOf(limit.farTo);
  for (int64_t k = -2000; k <= 2000; ++k) {
    probes.push_back(FromBits(uint64_t(int64_t(nearBits) + k)));
    probes.push_back(FromBits(uint64_t(int64_t(farBits) + k)));
  }
  TestRandom random(0x11);
  for (int i = 0; i < 20000; ++i) probes.push_back(std::ldexp(random.Unit(), int(random.Range(-40, 3))));
  for (double w : probes) ASSERT_EQ(limit.EndsRow(w), byDivision(w)) << w;

  // Over whole runs, with rows that end inside them.
  for (int i = 0; i < 3000; ++i) {
    double w = 0.1 + random.Unit() * 0.2, dw = (random.Unit() - 0.3) * 1e-3;
    const int64_t n = random.Range(1, 400);
    double loop = w;
    bool ends = false;
    for (int64_t k = 0; k < n && !ends; ++k) {
      ends = byDivision(loop);
      loop += dw;
    }
    double fast = w;
    ASSERT_EQ(!AdvanceOverPixels(fast, dw, n, limit), ends) << w << " " << dw << " " << n;
    if (!ends) {
      ASSERT_EQ(fast, loop);
    }
  }
}

// Renders the scene with the reference and with the fast path (1 and 3
// threads) and compares every word of the target, padding included.
void ExpectSameRender(CScene3D& scene, const std::vector<uint32_t>& buffer, const char* what) {
  std::vector<uint32_t> reference;
  {
    ScopedReferencePaths plain;
    scene.Render();
    reference = buffer;
  }
  for (int threads : {1, 3}) {
    SetWorkerThreadCount(threads);
    scene.Render();
    SetWorkerThreadCount(0);
    size_t differing = 0;
    for (size_t i = 0; i < buffer.size(); ++i) differing += buffer[i] != reference[i];
    ASSERT_EQ(differing, 0u) << what << ", threads " << threads;
  }
}

std::vector<uint32_t> RandomTexture(TestRandom& random, int32_t w, int32_t h) {
  std::vector<uint32_t> texels(size_t(w) * size_t(h));
  const int kind = int(random.Range(0, 3));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t alpha = 255;
      if (kind == 1) alpha = uint32_t(random.Range(0, 2)) * 127;  // hard
      if (kind == 2) alpha = random.Next32() >> 24;                 // any
      if (kind == 3) alpha = (x + y) % 7 == 0 ? 0 : 255;            // holes
      const uint32_t colour = random.OneIn(3) ? 0x336699u : random.Next32() & 0xFFFFFFu;
      texels[size_t(y) * size_t(w) + size_t(x)] = alpha << 24 | colour;
    }
  }
  return texels;
}

// Random textures, objects and quads of every awkward kind, and a random camera.
void AddRandomScene(TestRandom& random, CScene3D& scene, int32_t width, int32_t height) {
  scene.backgroundColour = random.OneIn(2) ? 0 : random.Next32();
  const int textures = int(random.Range(1, 3));
  for (int t = 0; t < textures; ++t) {
    const int32_t tw = int32_t(random.Range(1, 40)), th = int32_t(random.Range(1, 40));
    const std::vector<uint32_t> texels = RandomTexture(random, tw, th);
    scene.AddTexture(tw, th, texels.data(), tw);
  }
  const int objects = int(random.Range(1, 3));
  for (int o = 0; o < objects; ++o) {
    scene.AddObject();
    CObject3D& object = scene.Object(o);
    object.textureIndex = int32_t(random.Range(0, textures - 1));
    // Now and then more quads than the coverage map can number.
    const int quads = random.OneIn(15) ? 300 : int(random.Range(0, 40));
    const double spread = random.OneIn(4) ? 4 * width : 1.3 * width;
    for (int q = 0; q < quads; ++q) {
      const double cx = (random.Unit() - 0.5) * spread, cy = (random.Unit() - 0.5) * spread;
      const double size = random.Unit() * width, z = random.OneIn(5) ? random.Unit() * 8 : 20 + random.Unit() * 80;
      const int32_t base = object.nodes.Count();
      for (int k = 0; k < 4; ++k) {
        CNode3D n;
        const double angle = (k + (random.OneIn(6) ? random.Unit() : 0)) * 1.5707963;
        n.x = cx + size * std::cos(angle);
        n.y = cy + size * std::sin(angle);
        n.z = z + (random.OneIn(3) ? (random.Unit() - 0.5) * 40 : 0);
        n.s = random.OneIn(8) ? random.Unit() * 3 - 1 : double(k == 1 || k == 2);
        n.t = random.OneIn(8) ? random.Unit() * 3 - 1 : double(k >= 2);
        if (random.OneIn(20) && k > 0) n = object.nodes.At(base);  // degenerate
        scene.AddNode(o, n);
      }
      // Either winding: back faces draw nothing.
      if (random.OneIn(4)) scene.AddQuad(o, base + 3, base + 2, base + 1, base);
      else scene.AddQuad(o, base, base + 1, base + 2, base + 3);
    }
  }
  scene.centreX = width * (0.2 + 0.6 * random.Unit());
  scene.centreY = height * (0.2 + 0.6 * random.Unit());
  scene.projectionScale = 20 + random.Unit() * 80;
  scene.cameraMatrix = scene.RotationMatrix(random.Range(-80, 80), random.Range(-80, 80), random.Range(0, 359));
  scene.cameraMatrix[11] = random.Unit() * 60;
}

TEST(FastRender, RandomScenesGiveTheReferenceImage) {
  TestRandom random(0xFA57);
  for (int scene_number = 0; scene_number < 60 / kCaseDivisor; ++scene_number) {
    const bool large = scene_number % 10 == 0;
    const int32_t width = large ? 560 : int32_t(random.Range(1, 140));
    const int32_t height = large ? 480 : int32_t(random.Range(1, 110));
    const int32_t stride = width + int32_t(random.Range(0, 5));
    std::vector<uint32_t> buffer(size_t(stride) * size_t(height));
    CScene3D scene;
    scene.Init(width, height, buffer.data(), stride, nullptr);
    AddRandomScene(random, scene, width, height);
    ExpectSameRender(scene, buffer, "random scene");
  }
}

// A part of the target, anywhere (partly or wholly outside it, empty), gets
// the reference render's pixels; everything else, padding included, is left
// alone.
TEST(FastRender, APartGetsTheWholeRendersPixels) {
  TestRandom random(0x9A27);
  for (int scene_number = 0; scene_number < 40 / kCaseDivisor; ++scene_number) {
    const bool large = scene_number % 8 == 0;
    const int32_t width = large ? 600 : int32_t(random.Range(1, 140));
    const int32_t height = large ? 450 : int32_t(random.Range(1, 110));
    const int32_t stride = width + int32_t(random.Range(0, 5));
    std::vector<uint32_t> buffer(size_t(stride) * size_t(height));
    CScene3D scene;
    scene.Init(width, height, buffer.data(), stride, nullptr);
    AddRandomScene(random, scene, width, height);
    std::vector<uint32_t> whole;
    {
      ScopedReferencePaths plain;
      scene.Render();
      whole = buffer;
    }
    for (int part_number = 0; part_number < 4; ++part_number) {
      const int32_t l = int32_t(random.Range(-20, width + 5)), t = int32_t(random.Range(-20, height + 5));
      const DibRect part{l, t, l + int32_t(random.Range(0, width)), t + int32_t(random.Range(0, height))};
      SetWorkerThreadCount(part_number % 2 == 0 ? 1 : 3);
      const uint32_t untouched = random.Next32();
      std::fill(buffer.begin(), buffer.end(), untouched);
      scene.RenderPart(part);
      SetWorkerThreadCount(0);
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < stride; ++x) {
          const bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom && x < width;
          const size_t i = size_t(y) * size_t(stride) + size_t(x);
          ASSERT_EQ(buffer[i], inside ? whole[i] : untouched)
              << "scene " << scene_number << ", part " << part.left << "," << part.top << " - " << part.right
              << "," << part.bottom << ", pixel " << x << "," << y;
        }
    }
  }
}

// 16-bit resampling both ways: areas of one value (which take a shortcut),
// noise, values up to 65535, every size (the vector paths handle 8 and 2
// samples at a time), enlarging and shrinking, sub-rectangles.
TEST(FastResample, SixteenBitPassesEqualThePlainSums) {
  TestRandom random(0x16B);
  for (int run = 0; run < 80 / kCaseDivisor; ++run) {
    const int32_t inW = int32_t(random.Range(1, 90)), inH = int32_t(random.Range(1, 60));
    const bool equal = random.OneIn(2);
    const int32_t outW = equal ? inW : int32_t(random.Range(1, 120)), outH = equal ? inH : int32_t(random.Range(1, 80));
    std::vector<uint16_t> in(size_t(inW) * size_t(inH));
    const uint16_t plateau = random.OneIn(3) ? 65535 : uint16_t(random.Range(1, 255) * 256);
    const bool noisy = random.OneIn(2);
    for (int32_t y = 0; y < inH; ++y)
      for (int32_t x = 0; x < inW; ++x) {
        const bool inside = (x - inW / 2) * (x - inW / 2) + (y - inH / 2) * (y - inH / 2) < inW * inH / 5;
        uint16_t& v = in[size_t(y) * size_t(inW) + size_t(x)];
        v = noisy && random.OneIn(6) ? uint16_t(random.Next32()) : inside ? plateau : 0;
      }
    DibRect part{0, 0, outW, outH};
    if (random.OneIn(3)) {
      part.left = int32_t(random.Range(0, outW - 1));
      part.top = int32_t(random.Range(0, outH - 1));
      part.right = int32_t(random.Range(part.left + 1, outW));
      part.bottom = int32_t(random.Range(part.top + 1, outH));
    }
    const int32_t pw = part.right - part.left, ph = part.bottom - part.top;
    const double width = random.OneIn(2) ? 10.0 : 0.5 + random.Unit() * 6;
    std::vector<uint16_t> outs[2];
    for (int fast = 0; fast < 2; ++fast) {
      ScopedReferencePaths path(fast == 0);
      outs[fast].assign(size_t(pw) * size_t(ph), 0x5A5A);
      std::vector<const uint16_t*> inRows;
      std::vector<uint16_t*> outRows;
      for (int32_t y = 0; y < inH; ++y) inRows.push_back(in.data() + size_t(y) * size_t(inW));
      for (int32_t y = 0; y < ph; ++y) outRows.push_back(outs[fast].data() + size_t(y) * size_t(pw));
      C2PassScale<CGaussianFilter, CDataPaintLib16> scale(width);
      ASSERT_NE(nullptr, scale.ResamplePart(inRows.data(), inW, inH, outRows.data(), outW, outH, part));
    }
    ASSERT_EQ(outs[0], outs[1]) << "run " << run << ": " << inW << "x" << inH << " to " << outW << "x" << outH;
  }
}

// The lightness path's one-step round trip against the colour class, over a
// spread of all colours and intensities: the steps, the extremes, the limits
// of the lightness and values between.
TEST(FastShading, OneStepLightnessEqualsTheColourRoundTrip) {
  TestRandom random(0x4C);
  const double special[] = {255, -255, 0, 0.9, -0.9, 1, -1, 127.5, 254.99999999999997, -3e-300};
  for (uint32_t c = 0, n = 0; c < (1u << 24); c += 3 * kCaseDivisor + uint32_t(random.Range(0, 3)), ++n) {
    const uint32_t p = c | random.Next32() << 24;
    const double a = n % 3 == 0 ? special[n / 3 % 10] : (random.Unit() - 0.5) * 512;
    HslColor hc(p);
    double l = hc.GetLightness();
    l = a > 0 ? l + (1 - l) * a / 255 : l - (-a) * l / 255;
    hc.SetLightness(l);
    ASSERT_EQ(ShiftLightness(p, a), hc.GetColor()) << std::hex << p << " " << a;
  }
}

// A layer of the given size with an object of random outline: an ellipse,
// a ring or a scatter of blobs, with a soft or a hard edge, possibly cut by
// the layer's border.
struct RandomLayer {
  std::vector<uint8_t> in, out;
  host::HostPixels pixels;
  host::ObjectBounds bounds;

  RandomLayer(TestRandom& random, int32_t w, int32_t h) : in(size_t(w) * size_t(h) * 4), out(in.size()) {
    const double cx = w * (0.1 + 0.8 * random.Unit()), cy = h * (0.1 + 0.8 * random.Unit());
    const double rx = 3 + w * 0.6 * random.Unit(), ry = 3 + h * 0.6 * random.Unit();
    const int shape = int(random.Range(0, 2));
    const bool soft = random.OneIn(2);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = &in[(size_t(y) * size_t(w) + size_t(x)) * 4];
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        double r = std::sqrt(dx * dx + dy * dy);
        if (shape == 1) r = std::fabs(r - 0.7) + 0.6;                        // ring
        if (shape == 2) r = 0.6 + 0.5 * std::sin(x * 0.3) * std::cos(y * 0.25);  // blobs
        double a = soft ? (1 - r) * 8 : (r < 1 ? 1 : 0);
        a = a < 0 ? 0 : a > 1 ? 1 : a;
        p[0] = uint8_t(x * 7 + y);
        p[1] = uint8_t(random.Next32());
        p[2] = uint8_t(y * 3);
        p[3] = uint8_t(a * 255);
      }
    }
    pixels.width = w;
    pixels.height = h;
    pixels.planes = 4;
    pixels.in = in.data();
    pixels.inRowBytes = w * 4;
    pixels.out = out.data();
    pixels.outRowBytes = w * 4;
  }
};

EffectSettings RandomSettings(TestRandom& random) {
  EffectSettings s;
  s.angleX = int32_t(random.Range(-180, 180));
  s.angleY = int32_t(random.Range(-180, 180));
  s.perspective = int32_t(random.Range(0, 100));
  s.zoom = int32_t(random.Range(10, 300));
  s.depth = int32_t(random.Range(0, 12));
  s.round = int32_t(random.Range(0, 100));
  s.colorOverlay = random.OneIn(2);
  s.color = random.Next32() & 0xFFFFFFu;
  s.colorOpacity = int32_t(random.Range(0, 100));
  s.lighting = !random.OneIn(4);
  s.lightDirection = int32_t(random.Range(-180, 180));
  if (random.OneIn(2)) {
    s.highlightColor = random.Next32() & 0xFFFFFFu;
    s.shadowColor = random.Next32() & 0xFFFFFFu;
  }
  s.highlightOpacity = int32_t(random.Range(0, 100));
  s.shadowOpacity = int32_t(random.Range(0, 100));
  s.smoothDepth = random.OneIn(2);
  return s;
}

// The whole relief both ways: every image the workspace holds must agree.
TEST(FastRelief, RandomPicturesAndSettingsGiveTheReferenceImages) {
  TestRandom random(0xE1F);
  for (int run = 0; run < 24 / kCaseDivisor; ++run) {
    const bool large = run % 8 == 0;
    const int32_t w = large ? 540 : int32_t(random.Range(4, 120));
    const int32_t h = large ? 500 : int32_t(random.Range(4, 100));
    RandomLayer layer(random, w, h);
    if (host::FindObjectBounds(layer.pixels, layer.bounds) != host::BoundsResult::Found) continue;
    EffectSettings settings = RandomSettings(random);
    if (large) settings.depth = 3;
    if (run % 6 == 1) settings.perspective = 100;  // corners towards the near limit
    ReliefWorkspace workspaces[2];
    for (int fast = 0; fast < 2; ++fast) {
      ScopedReferencePaths path(fast == 0);
      ReliefWorkspace& ws = workspaces[fast];
      ws.PrepareScene(layer.pixels, layer.bounds);
      ws.BuildSliceStack(settings.depth, settings.round);
      ws.BuildSideTexture(settings);
      ws.Render(settings, nullptr);
    }
    const ReliefWorkspace &a = workspaces[0], &b = workspaces[1];
    ASSERT_EQ(a.BlurredHeights().values, b.BlurredHeights().values) << run;
    const CTexture3D &sideA = const_cast<ReliefWorkspace&>(a).Scene().Texture(1),
                     &sideB = const_cast<ReliefWorkspace&>(b).Scene().Texture(1);
    ASSERT_EQ(0, std::memcmp(sideA.Pixels(), sideB.Pixels(), size_t(sideA.Width()) * sideA.Height() * 4)) << run;
    const CDib &ta = a.RenderTarget(), &tb = b.RenderTarget();
    ASSERT_EQ(0, std::memcmp(ta.Pixels(), tb.Pixels(), size_t(ta.Stride()) * ta.Height() * 4)) << run;
    std::vector<uint8_t> composites[2];
    for (int fast = 0; fast < 2; ++fast) {
      ScopedReferencePaths path(fast == 0);
      std::fill(layer.out.begin(), layer.out.end(), uint8_t(0xA5));  // what the host left there
      host::CompositeResult(layer.pixels, workspaces[fast].RenderTarget());
      composites[fast] = layer.out;
    }
    ASSERT_EQ(composites[0], composites[1]) << run;
  }
}

}  // namespace
}  // namespace tessaro
