// Speed of the portable maths against the C library's, and of each stage of
// the relief on a picture of typical size.  Run: build/native/bin/tessaro_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "host/filter_run.h"
#include "image/portable_math.h"
#include "scene/relief_workspace.h"
#include "settings/effect_settings.h"

namespace {

using namespace tessaro;

// Arguments spread over the ranges the tables and the shading use.
std::vector<double> Arguments(double from, double to) {
  std::vector<double> xs(1024);
  for (size_t i = 0; i < xs.size(); ++i) xs[i] = from + (to - from) * double(i) / double(xs.size());
  return xs;
}

void Unary(benchmark::State& state, double (*f)(double), double from, double to) {
  const std::vector<double> xs = Arguments(from, to);
  for (auto _ : state)
    for (double x : xs) benchmark::DoNotOptimize(f(x));
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(xs.size()));
}

double LibExp(double x) { return std::exp(x); }
double LibSin(double x) { return std::sin(x); }
double PortableAtanOfSlope(double x) { return PortableAtan2(x, 1.0 - x); }
double LibAtanOfSlope(double x) { return std::atan2(x, 1.0 - x); }

BENCHMARK_CAPTURE(Unary, PortableExp, PortableExp, -50.0, 0.0);
BENCHMARK_CAPTURE(Unary, LibExp, LibExp, -50.0, 0.0);
BENCHMARK_CAPTURE(Unary, PortableSin, PortableSin, -7.0, 7.0);
BENCHMARK_CAPTURE(Unary, LibSin, LibSin, -7.0, 7.0);
BENCHMARK_CAPTURE(Unary, PortableAtan2, PortableAtanOfSlope, -3.0, 3.0);
BENCHMARK_CAPTURE(Unary, LibAtan2, LibAtanOfSlope, -3.0, 3.0);

// A 400 x 300 layer holding an opaque disc on transparency: the shape of a
// typical object, with rounded outlines for the blur and the sides.
struct Layer {
  static constexpr int32_t kW = 400, kH = 300;
  std::vector<uint8_t> in, out;
  host::HostPixels pixels;
  host::ObjectBounds bounds;
  Layer() : in(size_t(kW) * kH * 4), out(in.size()) {
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        uint8_t* p = &in[(size_t(y) * kW + size_t(x)) * 4];
        const int32_t dx = x - kW / 2, dy = y - kH / 2;
        p[0] = uint8_t(x * 255 / kW);
        p[1] = uint8_t(y * 255 / kH);
        p[2] = 160;
        p[3] = dx * dx + dy * dy < 120 * 120 ? 255 : 0;
      }
    pixels.width = kW;
    pixels.height = kH;
    pixels.planes = 4;
    pixels.in = in.data();
    pixels.inRowBytes = kW * 4;
    pixels.out = out.data();
    pixels.outRowBytes = kW * 4;
    bounds.imageWidth = kW;
    bounds.imageHeight = kH;
    bounds.left = kW / 2 - 122;
    bounds.right = kW / 2 + 121;
    bounds.top = kH / 2 - 122;
    bounds.bottom = kH / 2 + 121;
  }
};

void PrepareScene(benchmark::State& state) {
  const Layer layer;
  ReliefWorkspace workspace;
  for (auto _ : state) workspace.PrepareScene(layer.pixels, layer.bounds);
}
BENCHMARK(PrepareScene)->Unit(benchmark::kMillisecond);

void BuildSliceStackAndTexture(benchmark::State& state) {
  const Layer layer;
  const EffectSettings settings = EffectSettings::Defaults();
  ReliefWorkspace workspace;
  workspace.PrepareScene(layer.pixels, layer.bounds);
  for (auto _ : state) {
    workspace.BuildSliceStack(settings.depth, settings.round);
    workspace.BuildSideTexture(settings);
  }
}
BENCHMARK(BuildSliceStackAndTexture)->Unit(benchmark::kMillisecond);

// Turned, so the sides are in view and every slice is drawn.
void RenderTurnedView(benchmark::State& state) {
  const Layer layer;
  EffectSettings settings = EffectSettings::Defaults();
  settings.angleX = 30;
  settings.angleY = -25;
  ReliefWorkspace workspace;
  workspace.PrepareScene(layer.pixels, layer.bounds);
  workspace.BuildSliceStack(settings.depth, settings.round);
  workspace.BuildSideTexture(settings);
  for (auto _ : state) workspace.Render(settings, nullptr);
}
BENCHMARK(RenderTurnedView)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
