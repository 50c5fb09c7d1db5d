#include "scene/relief_workspace.h"

#include <algorithm>
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

// One row of the object's picture and of its raw heights: the layer's colour
// with the coverage as alpha, and the coverage times 256.
template <bool kAlpha, bool kMask>
void ReadObjectRow(const HostPixels& pixels, const ObjectBounds& bounds, int32_t y, uint32_t* picture,
                   uint16_t* heights) {
  const int32_t w = bounds.width();
  const int32_t planes = pixels.planes;
  const uint8_t* in = pixels.In(bounds.left, bounds.top + y);
  const uint8_t* mask = kMask ? &pixels.mask[(bounds.top + y) * pixels.maskRowBytes + bounds.left] : nullptr;
  for (int32_t x = 0; x < w; ++x, in += planes) {
    // As HostPixels::Coverage, with the choice of formula made once per row.
    uint32_t coverage = 0;
    if (kAlpha) coverage = kMask ? uint8_t(uint32_t(in[3]) * mask[x] / 255) : in[3];
    if (!kAlpha && kMask) coverage = mask[x];
    picture[x] = MakePixel(coverage, in[0], in[1], in[2]);
    heights[x] = uint16_t(coverage * 256);
  }
}

}  // namespace

void ReliefWorkspace::PrepareScene(const HostPixels& pixels,
                                   const ObjectBounds& bounds) {
  const int32_t w = bounds.width(), h = bounds.height();
  // The picture is made straight into the buffer texture 0 takes over.
  TexelBuffer picture(size_t(w) * size_t(h));
  HeightField raw = EmptyField(w, h);
  {
    const bool alpha = pixels.planes >= 4, mask = pixels.mask != nullptr;
    auto read = alpha ? (mask ? ReadObjectRow<true, true> : ReadObjectRow<true, false>)
                      : (mask ? ReadObjectRow<false, true> : ReadObjectRow<false, false>);
    const int threads = ThreadsFor(int64_t(w) * h);
    RunOnWorkers(threads, [&](int thread) {
      for (int32_t y = 0; y < h; ++y) {
        if (!OwnsRow(y, thread, threads)) continue;
        read(pixels, bounds, y, picture.data() + size_t(y) * size_t(w),
             &raw.values[size_t(y + HeightField::kBorder) * size_t(raw.width) + HeightField::kBorder]);
      }
    });
  }
  CDib target;
  CreateOrThrow(target, pixels.width, pixels.height);

  HeightField blurred = EmptyField(w, h);
  {
    std::vector<uint16_t*> in = RowsOf(raw), out = RowsOf(blurred);
    C2PassScale<CGaussianFilter, CDataPaintLib16> blur(kHeightBlurWidth);
    blur.Resample(in.data(), raw.width, raw.height, out.data(), blurred.width, blurred.height);
  }

  auto scene = std::make_unique<CScene3D>();
  scene->AddTexture(w, h, std::move(picture));

  // Only now that everything could be had does the workspace change.
  scene_.reset();
  renderTarget_ = std::move(target);
  raw_ = std::move(raw);
  blurred_ = std::move(blurred);
  scene->Init(renderTarget_.Width(), renderTarget_.Height(), renderTarget_.Pixels(),
              renderTarget_.Stride(), &renderTarget_);
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

  const CTexture3D& picture = scene.Texture(0);
  const std::array<Corner, 4> corners = FrontCorners(picture.Width(), picture.Height());
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

// The angle LightIntensity adds to a step's direction.  Stored or scripted
// directions may lie outside -180..180: the same direction inside that range
// keeps the angle arithmetic bounded.
double LightOffset(const EffectSettings& s) {
  const double light = DegreesToRadians(WrapDegrees(s.lightDirection));
  return light > 0 ? kPi - light : -kPi - light;
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

// Rows of pixels, `stride` apart.
template <class Pixel>
struct RowsView {
  Pixel* first;
  size_t stride;
  Pixel* Row(int32_t y) const { return first + size_t(y) * stride; }
};

// The overlay (when given) and the light, row by row with direct pixel
// access.  The intensity depends on the two height steps alone, and steps
// repeat all over a picture (flat areas, straight slopes): a small table keeps
// the last intensity of each pair seen, so the correctly rounded arc tangent
// runs once per pair, not per pixel.
void ShadeRows(RowsView<const uint32_t> in, int32_t w, int32_t h, const HeightField& heights,
               const EffectSettings& s, bool overlay, RowsView<uint32_t> out) {
  constexpr size_t kSlots = 4096;
  struct Slot {
    uint64_t key = ~uint64_t(0);
    double intensity = 0;
  };
  const double offset = LightOffset(s);
  const bool lightness = LightnessPath(s);
  const int threads = ThreadsFor(int64_t(w) * h);
  RunOnWorkers(threads, [&](int thread) {
    std::vector<Slot> table(s.lighting ? kSlots : 0);
    for (int32_t y = 0; y < h; ++y) {
      if (!OwnsRow(y, thread, threads)) continue;
      const uint16_t* here = &heights.values[size_t(y + HeightField::kBorder) * size_t(heights.width) + HeightField::kBorder];
      const uint16_t* above = here - heights.width;
      const uint32_t* source = in.Row(y);
      uint32_t* target = out.Row(y);
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p = overlay ? OverlayPixel(source[x], s.color, s.colorOpacity) : source[x];
        if (!s.lighting) {
          target[x] = p;
          continue;
        }
        const int32_t dx = int32_t(here[x]) - here[x - 1], dy = int32_t(here[x]) - above[x];
        // Steps lie within +-65535: shifted keys never meet the empty mark.
        const uint64_t key = uint64_t(dx + 65536) << 32 | uint64_t(dy + 65536);
        Slot& slot = table[(uint32_t(dx) * 0x9E3779B1u ^ uint32_t(dy) * 0x85EBCA77u) >> 20];
        if (slot.key != key) {
          slot.key = key;
          slot.intensity = LightIntensity(dx, dy, offset, s);
        }
        target[x] = lightness ? ShiftLightness(p, slot.intensity) : ShadePixel(p, slot.intensity, s);
      }
    }
  });
}

}  // namespace

void ShadeTexture(CDib& image, const HeightField& heights, const EffectSettings& s) {
  const int32_t w = image.Width(), h = image.Height();
  CDib kept;
  if (s.smoothDepth) image.CopyTo(kept);
  CDib result;
  CreateOrThrow(result, w, h);
  if (s.lighting && !ReferencePathsSelected() && WholeClip(image) && WholeClip(result)) {
    ShadeRows({image.Pixels(), size_t(image.Stride())}, w, h, heights, s, false,
              {result.Pixels(), size_t(result.Stride())});
  } else if (s.lighting) {
    const double offset = LightOffset(s);
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
  const CTexture3D& picture = scene_->Texture(0);
  const int32_t w = picture.Width(), h = picture.Height();
  if (!settings.smoothDepth && !ReferencePathsSelected()) {
    // Overlay and light in one pass, from texture 0 straight into the buffer
    // texture 1 takes over: no working image and no copies.
    TexelBuffer side(size_t(w) * size_t(h));
    ShadeRows({picture.Pixels(), size_t(w)}, w, h, blurred_, settings, settings.colorOverlay,
              {side.data(), size_t(w)});
    scene_->RemoveTexture(1);
    scene_->AddTexture(w, h, std::move(side));
    return;
  }
  CDib work;
  CreateOrThrow(work, w, h);
  for (int32_t y = 0; y < h; ++y)
    std::copy(picture.Pixels() + size_t(y) * size_t(w), picture.Pixels() + size_t(y + 1) * size_t(w),
              work.Pixels() + size_t(y) * size_t(work.Stride()));
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

void ReliefWorkspace::RenderPart(const EffectSettings& settings, ProgressCallback progress,
                                 const DibRect& part) {
  CScene3D& scene = *scene_;
  scene.progressCallback = std::move(progress);
  scene.PoseCamera(settings.angleX, settings.angleY, settings.perspective, settings.zoom);
  scene.RenderPart(part);
}

}  // namespace tessaro
