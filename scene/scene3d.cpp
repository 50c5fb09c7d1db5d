#include "scene/scene3d.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "image/worker_pool.h"
#include "scene/degree_tables.h"

namespace tessaro {

InvalidIndexError::InvalidIndexError(int64_t index, int64_t count)
    : std::out_of_range("index " + std::to_string(index) + " outside a list of " +
                        std::to_string(count)),
      index_(index),
      count_(count) {}

void ThrowInvalidIndex(int64_t index, int64_t count) { throw InvalidIndexError(index, count); }

CTexture3D::CTexture3D(int32_t width, int32_t height, const uint32_t* pixels, int32_t rowPitch)
    : width_(width), height_(height) {
  // The filler clamps texel positions to the size, which only works if there
  // is at least one texel.
  if (width < 1 || height < 1) throw std::invalid_argument("texture size below one pixel");
  if (pixels == nullptr) throw std::invalid_argument("texture without pixels");
  pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t row = 0; row < height; ++row) {
    const uint32_t* in = pixels + static_cast<ptrdiff_t>(row) * rowPitch;
    std::copy(in, in + width, pixels_.data() + static_cast<size_t>(row) * static_cast<size_t>(width));
  }
  MeasureRows();
}

CTexture3D::CTexture3D(int32_t width, int32_t height, TexelBuffer&& pixels)
    : width_(width), height_(height) {
  if (width < 1 || height < 1) throw std::invalid_argument("texture size below one pixel");
  if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    throw std::invalid_argument("texture buffer of another size");
  pixels_ = std::move(pixels);
  MeasureRows();
}

void CTexture3D::MeasureRows() {
  opaqueColumns_.resize(static_cast<size_t>(height_));
  visibleColumns_.resize(static_cast<size_t>(height_));
  // Rows are measured independently, so any split gives the same tables.
  const int threads = ThreadsFor(int64_t(width_) * height_);
  RunOnWorkers(threads, [&](int thread) {
    for (int32_t row = 0; row < height_; ++row) {
      if (!OwnsRow(row, thread, threads)) continue;
      const uint32_t* texels = pixels_.data() + static_cast<size_t>(row) * static_cast<size_t>(width_);
      RowExtent longest{0, -1};
      int32_t runStart = -1;
      for (int32_t column = 0; column < width_; ++column) {
        if (texels[column] < 0xFF000000u) {
          runStart = -1;
          continue;
        }
        if (runStart < 0) runStart = column;
        if (column - runStart > longest.last - longest.first) longest = {runStart, column};
      }
      opaqueColumns_[static_cast<size_t>(row)] = longest;
      int32_t first = 0, last = width_ - 1;
      while (first < width_ && texels[first] < 0x01000000u) ++first;
      while (last > first && texels[last] < 0x01000000u) --last;
      visibleColumns_[static_cast<size_t>(row)] = {first, first < width_ ? last : -1};
    }
  });
}

void CScene3D::Init(int32_t width, int32_t height, uint32_t* colourBuffer, int32_t stride,
                    CDib* target) {
  // Checked before anything is stored: a scene bound to a buffer it cannot
  // describe would write outside it.
  if (width < 0 || height < 0 || stride < width)
    throw std::invalid_argument("colour buffer size");
  if (colourBuffer == nullptr && height > 0 && stride > 0)
    throw std::invalid_argument("colour buffer missing");
  target_ = target;
  width_ = width;
  stride_ = stride;
  colour_ = colourBuffer;
  height_ = height;
  centreX = width * 0.5;
  centreY = height * 0.5;
  projectionScale = 1.0;
  progressCallback = nullptr;
  backgroundColour = 0;
  ClearTarget();
  const DegreeTables& tables = GetDegreeTables();
  sine_ = tables.sine;
  cosine_ = tables.cosine;
}

void CScene3D::ClearTarget() {
  const size_t words = static_cast<size_t>(height_) * static_cast<size_t>(stride_);
  for (size_t i = 0; i < words; ++i) colour_[i] = backgroundColour;
}

void CScene3D::AddObject() { objects_.Append(CObject3D{}); }

void CScene3D::RemoveObject(int32_t index) {
  if (index < 0) ThrowInvalidIndex(index, objects_.Count());
  if (index < objects_.Count()) objects_.RemoveAt(index);
}

void CScene3D::AddNode(int32_t objectIndex, const CNode3D& node) {
  objects_.At(objectIndex).nodes.Append(node);
}

void CScene3D::AddQuad(int32_t objectIndex, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  CObject3D& object = objects_.At(objectIndex);
  // i3 is deliberately left to the renderer, which checks all four.
  for (int32_t index : {i1, i2, i0})
    if (!object.nodes.Contains(index)) ThrowInvalidIndex(index, object.nodes.Count());
  object.quads.Append(CRect3D{i0, i1, i2, i3});
}

void CScene3D::AddTexture(int32_t width, int32_t height, const uint32_t* pixels,
                          int32_t rowPitch) {
  textures_.Append(CTexture3D(width, height, pixels, rowPitch));
}

void CScene3D::AddTexture(int32_t width, int32_t height, TexelBuffer&& pixels) {
  textures_.Append(CTexture3D(width, height, std::move(pixels)));
}

void CScene3D::RemoveTexture(int32_t index) {
  if (index < 0) ThrowInvalidIndex(index, textures_.Count());
  if (index < textures_.Count()) textures_.RemoveAt(index);
}

}  // namespace tessaro
