// Reference against fast paths of every relief stage on procedural documents,
// measured in one run and checked to give the same bytes.  Run by
// scripts/bench.sh; prints one table row per stage and size:
//   stage  size  reference ms  fast ms (1 thread)  fast ms (all threads)  ratio
// Options: --sizes WxH[,WxH...]  --threads N  --reference-render-limit MPX  --only TEXT
//          --write-document WxH FILE.png (the document the table measures)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/png_io.h"
#include "host/filter_run.h"
#include "image/reference_paths.h"
#include "image/worker_pool.h"
#include "scene/relief_workspace.h"
#include "settings/effect_settings.h"

namespace {

using namespace tessaro;

// An opaque ellipse over about 60 % of the canvas with a soft, anti-aliased
// edge and a textured colour, on transparency.
struct Document {
  int32_t width, height;
  std::vector<uint8_t> in, out;
  host::HostPixels pixels;
  host::ObjectBounds bounds;

  Document(int32_t w, int32_t h) : width(w), height(h), in(size_t(w) * h * 4), out(in.size()) {
    const double cx = w / 2.0, cy = h / 2.0, rx = w * 0.437, ry = h * 0.437;
    uint32_t noise = 12345;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = &in[(size_t(y) * w + x) * 4];
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        const double edge = (1 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry) / 1.5;
        noise = noise * 1664525u + 1013904223u;
        p[0] = uint8_t(128 + 100 * std::sin(x * 0.05) + (noise >> 29));
        p[1] = uint8_t(128 + 100 * std::cos(y * 0.037) + (noise >> 30));
        p[2] = uint8_t((x ^ y) & 0xFF);
        p[3] = uint8_t(std::clamp(edge, 0.0, 1.0) * 255 + 0.5);
      }
    }
    pixels.width = w;
    pixels.height = h;
    pixels.planes = 4;
    pixels.in = in.data();
    pixels.inRowBytes = int64_t(w) * 4;
    pixels.out = out.data();
    pixels.outRowBytes = int64_t(w) * 4;
    host::FindObjectBounds(pixels, bounds);
  }
};

double Milliseconds(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median of up to 7 runs, fewer when they are slow (at least 1).
double Median(const std::function<void()>& setUp, const std::function<void()>& f) {
  std::vector<double> times;
  double total = 0;
  while (times.size() < 7 && (times.size() < 3 || total < 1500) && (times.empty() || total < 4000)) {
    setUp();
    times.push_back(Milliseconds(f));
    total += times.back();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

struct Stage {
  const char* name;
  std::function<void(ReliefWorkspace&)> setUp;  // not measured
  std::function<void(ReliefWorkspace&)> run;    // measured
  std::function<std::vector<uint8_t>(ReliefWorkspace&)> result;
  bool isRender;
};

std::vector<uint8_t> Bytes(const void* p, size_t n) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  return std::vector<uint8_t>(b, b + n);
}
std::vector<uint8_t> TargetBytes(ReliefWorkspace& ws) {
  return Bytes(ws.RenderTarget().Pixels(), size_t(ws.RenderTarget().Stride()) * ws.RenderTarget().Height() * 4);
}
std::vector<uint8_t> SideBytes(ReliefWorkspace& ws) {
  const CTexture3D& t = ws.Scene().Texture(1);
  return Bytes(t.Pixels(), size_t(t.Width()) * t.Height() * 4);
}

EffectSettings Turned(int32_t depth) {
  EffectSettings s = EffectSettings::Defaults();
  s.depth = depth;
  s.angleX = 20;
  s.angleY = -30;
  s.perspective = 80;
  return s;
}

std::vector<Stage> Stages(Document& doc) {
  const EffectSettings defaults = EffectSettings::Defaults();
  EffectSettings colour = defaults;
  colour.highlightColor = 0xA0E0FF;
  colour.shadowColor = 0x402010;
  EffectSettings smooth = defaults;
  smooth.smoothDepth = true;
  auto prepared = [&doc](ReliefWorkspace& ws) { ws.PrepareScene(doc.pixels, doc.bounds); };
  auto side = [](const EffectSettings& s) {
    return [s](ReliefWorkspace& ws) {
      ws.BuildSliceStack(s.depth, s.round);
      ws.BuildSideTexture(s);
    };
  };
  auto render = [prepared](const EffectSettings& s) {
    return Stage{nullptr,
                 [prepared, s](ReliefWorkspace& ws) {
                   if (!ws.HasScene()) prepared(ws);
                   ws.BuildSliceStack(s.depth, s.round);
                   ws.BuildSideTexture(s);
                 },
                 [s](ReliefWorkspace& ws) { ws.Render(s, [](int32_t, int32_t) {}); }, TargetBytes, true};
  };
  Stage d30 = render(Turned(30)), d100 = render(Turned(100)), part = render(Turned(30));
  d30.name = "render depth 30, 20/-30";
  d100.name = "render depth 100, 20/-30";
  // The middle quarter of the target, as the dialog would show first: the
  // reference renders everything, the fast path only the part; the bytes
  // compared are the part's.
  const DibRect middle{doc.width / 4, doc.height / 4, doc.width * 3 / 4, doc.height * 3 / 4};
  part.name = "render middle quarter";
  part.run = [middle](ReliefWorkspace& ws) {
    if (ReferencePathsSelected()) {
      ws.Render(Turned(30), [](int32_t, int32_t) {});
    } else {
      ws.RenderPart(Turned(30), [](int32_t, int32_t) {}, middle);
    }
  };
  part.result = [middle](ReliefWorkspace& ws) {
    const CDib& t = ws.RenderTarget();
    std::vector<uint8_t> bytes;
    for (int32_t y = middle.top; y < middle.bottom; ++y) {
      const uint32_t* row = t.Pixels() + size_t(y) * size_t(t.Stride()) + size_t(middle.left);
      const std::vector<uint8_t> b = Bytes(row, size_t(middle.right - middle.left) * 4);
      bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
  };
  return {
      {"height field (prepare)", [](ReliefWorkspace&) {}, prepared,
       [](ReliefWorkspace& ws) { return Bytes(ws.BlurredHeights().values.data(), ws.BlurredHeights().values.size() * 2); },
       false},
      {"slices + side, lightness", prepared, side(defaults), SideBytes, false},
      {"slices + side, colour", prepared, side(colour), SideBytes, false},
      {"slices + side, smoothed", prepared, side(smooth), SideBytes, false},
      d30,
      d100,
      part,
      {"composite",
       [prepared, defaults](ReliefWorkspace& ws) {
         if (ws.HasScene()) return;
         prepared(ws);
         ws.BuildSliceStack(defaults.depth, defaults.round);
         ws.BuildSideTexture(defaults);
         ws.Render(defaults, nullptr);
       },
       [&doc](ReliefWorkspace& ws) { host::CompositeResult(doc.pixels, ws.RenderTarget()); },
       [&doc](ReliefWorkspace&) { return doc.out; }, false},
  };
}

int Run(const std::vector<std::pair<int32_t, int32_t>>& sizes, int threads, double renderLimit,
        const std::string& only) {
  std::printf("%-26s %-10s %12s %12s %12s %8s  %s\n", "stage", "size", "reference", "fast 1 thr",
              "fast " , "ratio", "same bytes");
  std::printf("%-26s %-10s %12s %12s %9d thr %8s\n", "", "", "ms", "ms", threads, "");
  bool allSame = true;
  for (const auto& size : sizes) {
    Document doc(size.first, size.second);
    const double megapixels = double(size.first) * size.second / 1e6;
    for (const Stage& stage : Stages(doc)) {
      if (std::string(stage.name).find(only) == std::string::npos) continue;
      ReliefWorkspace ws;
      auto measure = [&](bool reference, int n) {
        ScopedReferencePaths path(reference);
        SetWorkerThreadCount(n);
        const double ms = Median([&] { stage.setUp(ws); }, [&] { stage.run(ws); });
        SetWorkerThreadCount(0);
        return std::make_pair(ms, stage.result(ws));
      };
      const bool withReference = !stage.isRender || megapixels <= renderLimit;
      std::pair<double, std::vector<uint8_t>> ref{0, {}};
      if (withReference) ref = measure(true, 1);
      const auto one = measure(false, 1);
      const auto all = measure(false, threads);
      const bool same = (!withReference || ref.second == one.second) && one.second == all.second;
      allSame = allSame && same;
      char sizeText[32], refText[32], ratio[32];
      std::snprintf(sizeText, sizeof sizeText, "%dx%d", size.first, size.second);
      std::snprintf(refText, sizeof refText, withReference ? "%.1f" : "-", ref.first);
      std::snprintf(ratio, sizeof ratio, withReference ? "%.1fx" : "-", ref.first / all.first);
      std::printf("%-26s %-10s %12s %12.1f %12.1f %8s  %s\n", stage.name, sizeText, refText, one.first,
                  all.first, ratio, same ? (withReference ? "yes" : "fast paths agree") : "NO");
      std::fflush(stdout);
    }
  }
  std::printf(allSame ? "every fast result equals its reference\n" : "FAST AND REFERENCE RESULTS DIFFER\n");
  return allSame ? 0 : 1;
}

bool ParseSize(const std::string& text, std::pair<int32_t, int32_t>& size) {
  return std::sscanf(text.c_str(), "%dx%d", &size.first, &size.second) == 2 && size.first > 0 &&
         size.second > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<int32_t, int32_t>> sizes = {{1920, 1080}, {4000, 3000}, {7000, 5000}};
  int threads = WorkerThreadCount();
  std::string only;  // stages whose name contains this
  double renderLimit = 13;  // megapixels; the reference render of 35 takes minutes
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--write-document" && i + 2 < argc) {
      std::pair<int32_t, int32_t> size;
      if (!ParseSize(argv[i + 1], size)) return 1;
      Document doc(size.first, size.second);
      std::string error;
      if (!cli::WritePng(argv[i + 2], doc.in.data(), uint32_t(size.first), uint32_t(size.second), 4, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
      return 0;
    }
    if (a == "--sizes" && i + 1 < argc) {
      sizes.clear();
      std::string list = argv[++i];
      for (size_t start = 0; start <= list.size();) {
        const size_t comma = std::min(list.find(',', start), list.size());
        std::pair<int32_t, int32_t> size;
        if (!ParseSize(list.substr(start, comma - start), size)) return 1;
        sizes.push_back(size);
        start = comma + 1;
      }
    } else if (a == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (a == "--threads" && i + 1 < argc) {
      threads = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--reference-render-limit" && i + 1 < argc) {
      renderLimit = std::atof(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--sizes WxH,...] [--threads N] [--reference-render-limit MPX] [--only TEXT]\n"
                           "       %s --write-document WxH FILE.png\n", argv[0], argv[0]);
      return 1;
    }
  }
  return Run(sizes, threads, renderLimit, only);
}
