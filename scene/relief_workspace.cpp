#include "scene/relief_workspace.h"

#include <cmath>
#include <new>
#include <vector>

#include "image/numeric.h"
#include "image/pixel.h"
#include "image/portable_math.h"
#include "image/reference_paths.h"
#include "image/resample_data.h"
#include "image/resample_filters.h"
#include "image/two_pass_scale.h"
#include "image/worker_pool.h"
#include "scene/hsl_color.h"
#include "scene/side_texture.h"

namespace tessaro {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHeightBlurWidth = 10.0;
constexpr double kSmoothWidth = 3.0;

void CreateOrThrow(CDib& image, int32_t width, int32_t height) {
  if (!image.Create(width, height)) throw std::bad_alloc();
}

HeightField EmptyField(int32_t pictureWidth, int32_t pictureHeight) {
  HeightField f;
  f.width = pictureWidth + 2 * HeightField::kBorder;
  f.height = pictureHeight + 2 * HeightField::kBorder;
  f.values.assign(size_t(f.width) * size_t(f.height), 0);
  return f;
}

std::vector<uint16_t*> RowsOf(HeightField& f) {
  std::vector<uint16_t*> rows(size_t(f.height));
  for (int32_t y = 0; y < f.height; ++y) rows[size_t(y)] = f.values.data() + size_t(y) * size_t(f.width);
  return rows;
}

// Front-face corners in model space with their texture coordinates, in the
// order bottom left, bottom right, top right, top left.
struct Corner {
  double x, y, s, t;
};
std::array<Corner, 4> FrontCorners(int32_t w, int32_t h) {
  const double hw = w / 2.0, hh = h / 2.0;
  return {{{-hw, hh - 1, 0, 1}, {hw - 1, hh - 1, 1, 1}, {hw - 1, -hh, 1, 0}, {-hw, -hh, 0, 0}}};
}

}  // namespace

void ReliefWorkspace::PrepareScene(const HostPixels& pixels,
                                   const ObjectBounds& bounds) {
  const int32_t w = bounds.width(), h = bounds.height();
  CDib source;
  CreateOrThrow(source, w, h);
  HeightField raw = EmptyField(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = source.Pixels() + size_t(y) * size_t(source.Stride());
    uint16_t* heights = &raw.values[size_t(y + HeightField::kBorder) * size_t(raw.width) + HeightField::kBorder];
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = pixels.In(bounds.left + x, bounds.top + y);
      const uint32_t coverage = pixels.Coverage(bounds.left + x, bounds.top + y);
      row[x] = MakePixel(coverage, p[0], p[1], p[2]);
      heights[x] = uint16_t(coverage * 256);
    }
  }
  CDib target;
  CreateOrThrow(target, pixels.width, pixels.height);

  HeightField blurred = EmptyField(w, h);
  {
    std::vector<uint16_t*> in = RowsOf(raw), out = RowsOf(blurred);
    C2PassScale<CGaussianFilter, CDataPaintLib16> blur(kHeightBlurWidth);
    blur.Resample(in.data(), raw.width, raw.height, out.data(), blurred.width, blurred.height);
  }

  // Only now that everything could be had does the workspace change.
  scene_.reset();
  source_ = std::move(source);
  renderTarget_ = std::move(target);
  raw_ = std::move(raw);
  blurred_ = std::move(blurred);

  auto scene = std::make_unique<CScene3D>();
  scene->Init(renderTarget_.Width(), renderTarget_.Height(), renderTarget_.Pixels(),
              renderTarget_.Stride(), &renderTarget_);
  scene->AddTexture(w, h, source_.Pixels(), source_.Stride());
  scene->centreX = (bounds.left + bounds.right) * 0.5;
  scene->centreY = (bounds.top + bounds.bottom) * 0.5;
  scene->objectSize = double(w > h ? w : h);
  scene->projectionScale = scene->objectSize;
  scene_ = std::move(scene);
}

void ReliefWorkspace::BuildSliceStack(int32_t depth, int32_t round) {
  CScene3D& scene = *scene_;
  scene.RemoveObject(1);
  scene.RemoveObject(0);
  scene.AddObject();
  scene.AddObject();
  scene.Object(1).textureIndex = 1;

  const std::array<Corner, 4> corners = FrontCorners(source_.Width(), source_.Height());
  for (const Corner& c : corners) scene.AddNode(0, CNode3D{c.x, c.y, 0, 0, 0, 1, c.s, c.t});
  scene.AddQuad(0, 3, 2, 1, 0);

  const int32_t k = depth;
  for (int32_t i = 1; i <= 2 * k - 1; ++i) {
    const double z = i * 0.5;
    const double f = 1 + (round / 400.0) * std::fabs(PortableSin(i * kPi / (2 * k)));
    for (const Corner& c : corners) scene.AddNode(1, CNode3D{c.x * f, c.y * f, z, 0, 0, 1, c.s, c.t});
    const int32_t b = 4 * (i - 1) + 1;
    scene.AddQuad(1, b + 2, b + 1, b, b - 1);
  }
}

namespace {

// The light on a pixel from its height steps to the left (dx = t - u) and
// upwards (dy = t - v): -255 (full shadow) .. 255 (full highlight).
double LightIntensity(int32_t dx, int32_t dy, double offset, const EffectSettings& s) {
  double angle = 0;
  if (dx != 0 || dy != 0) {
    angle = PortableAtan2(double(dx), double(dy)) - kPi / 2 + offset;
    while (angle < -kPi) angle += 2 * kPi;
    if (angle > kPi) angle -= 2 * kPi;
  }
  double a = 255 - std::fabs(angle) * 512 / kPi;
  a = a < 0 ? a * s.shadowOpacity / 50 : a * s.highlightOpacity / 50;
  if (a < -255) a = -255;
  if (a > 255) a = 255;
  return a;
}

bool LightnessPath(const EffectSettings& s) { return s.highlightColor == 0xFFFFFF && s.shadowColor == 0; }

uint32_t ShadePixel(uint32_t p, double a, const EffectSettings& s) {
  if (!LightnessPath(s)) return TintPixel(p, s.shadowColor, s.highlightColor, a);
  HslColor hc(p);
  double l = hc.GetLightness();
  l = a > 0 ? l + (1 - l) * a / 255 : l - (-a) * l / 255;
  hc.SetLightness(l);
  return hc.GetColor();
}

bool WholeClip(const CDib& image) {
  const DibRect& c = image.ClipRect();
  return c.left == 0 && c.top == 0 && c.right == image.Width() && c.bottom == image.Height();
}

// The shading row by row with direct pixel access.  The intensity depends on
// the two height steps alone, and steps repeat all over a picture (flat areas,
// straight slopes): a small table keeps the last intensity of each pair seen,
// so the correctly rounded arc tangent runs once per pair, not per pixel.
void ShadeRows(const CDib& image, const HeightField& heights, const EffectSettings& s, double offset,
               CDib& result) {
  constexpr size_t kSlots = 4096;
  struct Slot {
    uint64_t key = ~uint64_t(0);
    double intensity = 0;
  };
  const int32_t w = image.Width(), h = image.Height();
  const int threads = ThreadsFor(int64_t(w) * h);
  RunOnWorkers(threads, [&](int thread) {
    std::vector<Slot> table(kSlots);
    for (int32_t y = 0; y < h; ++y) {
      if (!OwnsRow(y, thread, threads)) continue;
      const uint16_t* here = &heights.values[size_t(y + HeightField::kBorder) * size_t(heights.width) + HeightField::kBorder];
      const uint16_t* above = here - heights.width;
      const uint32_t* in = image.Pixels() + size_t(y) * size_t(image.Stride());
      uint32_t* out = result.Pixels() + size_t(y) * size_t(result.Stride());
      for (int32_t x = 0; x < w; ++x) {
        const int32_t dx = int32_t(here[x]) - here[x - 1], dy = int32_t(here[x]) - above[x];
        // Steps lie within +-65535: shifted keys never meet the empty mark.
        const uint64_t key = uint64_t(dx + 65536) << 32 | uint64_t(dy + 65536);
        Slot& slot = table[(uint32_t(dx) * 0x9E3779B1u ^ uint32_t(dy) * 0x85EBCA77u) >> 20];
        if (slot.key != key) {
          slot.key = key;
          slot.intensity = LightIntensity(dx, dy, offset, s);
        }
        out[x] = ShadePixel(in[x], slot.intensity, s);
      }
    }
  });
}

}  // namespace

void ShadeTexture(CDib& image, const HeightField& heights, const EffectSettings& s) {
  const int32_t w = image.Width(), h = image.Height();
  // Stored or scripted directions may lie outside -180..180: the same
  // direction inside that range keeps the angle arithmetic bounded.
  const double light = DegreesToRadians(WrapDegrees(s.lightDirection));
  const double offset = light > 0 ? kPi - light : -kPi - light;

  CDib kept;
  if (s.smoothDepth) image.CopyTo(kept);
  CDib result;
  CreateOrThrow(result, w, h);
  if (s.lighting && !ReferencePathsSelected() && WholeClip(image) && WholeClip(result)) {
    ShadeRows(image, heights, s, offset, result);
  } else if (s.lighting) {
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t y = 0; y < h; ++y) {
        const int32_t t = heights.At(x, y), u = heights.At(x - 1, y), v = heights.At(x, y - 1);
        const double a = LightIntensity(t - u, t - v, offset, s);
        result.SetPixel(x, y, ShadePixel(image.PixelAt(x, y), a, s));
      }
    }
  } else {
    image.CopyTo(result);
  }

  if (s.smoothDepth) {
    result.Stretch(image, kSmoothWidth);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        image.SetPixel(x, y, (kept.PixelAt(x, y) & 0xFF000000u) | PixelColour(image.PixelAt(x, y)));
  } else {
    result.CopyTo(image);
  }
}

void ReliefWorkspace::BuildSideTexture(const EffectSettings& settings) {
  CDib work;
  source_.CopyTo(work);
  if (settings.colorOverlay) ApplyOverlay(work, settings.color, settings.colorOpacity);
  ShadeTexture(work, blurred_, settings);
  scene_->RemoveTexture(1);
  scene_->AddTexture(work.Width(), work.Height(), work.Pixels(), work.Stride());
}

void ReliefWorkspace::Render(const EffectSettings& settings, ProgressCallback progress) {
  CScene3D& scene = *scene_;
  scene.progressCallback = std::move(progress);
  scene.PoseCamera(settings.angleX, settings.angleY, settings.perspective, settings.zoom);
  scene.Render();
}

}  // namespace tessaro
