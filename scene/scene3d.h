// The relief scene: objects made of textured quads, their vertices, the
// textures, the camera and the colour buffer they are drawn into.
//
// Coordinates are doubles in model space: x to the right, y downwards, z away
// from the viewer, one unit per source pixel.  Matrices are 4 x 4, row-major,
// acting on column vectors; every matrix the scene builds keeps the bottom row
// (0, 0, 0, 1).
//
// The container is declared here with its list operations; posing and drawing
// are members too, implemented with the renderer: render/camera.cpp (rotation,
// translation, PoseCamera), render/render_driver.cpp (Render, TransformNode) and
// render/quad_filler.cpp (FillPerspectiveQuad, DrawPerspectiveSpan).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "image/texel_buffer.h"
#include "scene/indexed_list.h"

namespace tessaro {

class CDib;
struct DibRect;

using Matrix4 = std::array<double, 16>;  // element (r, c) at r * 4 + c

constexpr Matrix4 IdentityMatrix() {
  return {1, 0, 0, 0,  //
          0, 1, 0, 0,  //
          0, 0, 1, 0,  //
          0, 0, 0, 1};
}

// A vertex.  sx, sy and depth are written by Render before anything reads them.
struct CNode3D {
  double x = 0, y = 0, z = 0;  // model space
  int32_t sx = 0, sy = 0;      // projected screen column and row
  double depth = 1;            // camera-space z, never below 1 after Render
  double s = 0, t = 0;         // texture coordinates: 0 first column/row, 1 last
};

// A quad face: indices into the owning object's node list, in drawing order.
// Only quads whose corners run clockwise on the screen (y down) are drawn.
struct CRect3D {
  int32_t i0 = 0, i1 = 0, i2 = 0, i3 = 0;
};

// A texture owns its pixels (0xAARRGGBB, row-major, Width() a row): a copy,
// or a buffer made for it and handed over.
// It is never empty, so every texel lookup clamped to the size is valid.
class CTexture3D {
 public:
  // Copies height rows of width pixels, the source rows rowPitch pixels apart.
  // Throws std::invalid_argument for a size below 1 or missing pixels.
  CTexture3D(int32_t width, int32_t height, const uint32_t* pixels, int32_t rowPitch);
  // Takes over width x height texels made for it, without a copy.  Throws
  // std::invalid_argument for a size below 1 or a buffer of another size.
  CTexture3D(int32_t width, int32_t height, TexelBuffer&& pixels);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const uint32_t* Pixels() const { return pixels_.data(); }
  // No range check: callers keep 0 <= column < Width(), 0 <= row < Height().
  uint32_t Texel(int32_t column, int32_t row) const {
    return pixels_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column)];
  }
  // True when every texel of columns x0..x1 in rows y0..y1 (all within the
  // texture) is fully transparent.
  bool TransparentArea(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    for (int32_t row = y0; row <= y1; ++row) {
      const RowExtent& e = visibleColumns_[static_cast<size_t>(row)];
      if (x1 >= e.first && x0 <= e.last) return false;
    }
    return true;
  }
  // True when every texel of that area is fully opaque.
  bool OpaqueArea(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    for (int32_t row = y0; row <= y1; ++row) {
      const RowExtent& e = opaqueColumns_[static_cast<size_t>(row)];
      if (x0 < e.first || x1 > e.last) return false;
    }
    return true;
  }

 private:
  // Per row the first and last texel that is not fully transparent, and the
  // longest run of fully opaque texels (first > last where there is none).
  struct RowExtent {
    int32_t first, last;
  };

  int32_t width_;
  int32_t height_;
  // Fills both extent tables from the texels.
  void MeasureRows();

  TexelBuffer pixels_;
  std::vector<RowExtent> visibleColumns_;
  std::vector<RowExtent> opaqueColumns_;
};

struct CObject3D {
  IndexedList<CRect3D> quads;
  IndexedList<CNode3D> nodes;
  int32_t textureIndex = 0;  // into the scene's texture list
  Matrix4 modelMatrix = IdentityMatrix();
  Matrix4 combinedMatrix = IdentityMatrix();  // camera x model, written by Render
};

// Called by Render with (quads finished, total quads); cannot stop the render.
using ProgressCallback = std::function<void(int32_t done, int32_t total)>;

class CScene3D {
 public:
  CScene3D() = default;
  CScene3D(const CScene3D&) = delete;
  CScene3D& operator=(const CScene3D&) = delete;
  CScene3D(CScene3D&&) = default;
  CScene3D& operator=(CScene3D&&) = default;

  // ---- Model (scene/scene3d.cpp) -------------------------------------------------

  // Binds the colour buffer (stride * height words, not owned) and the image it
  // belongs to, centres the camera axis on the buffer, resets the projection
  // scale to 1, the callback and the background colour, clears the buffer and
  // fills the degree tables.  Throws std::invalid_argument when the buffer
  // cannot hold width x height pixels at that stride.
  void Init(int32_t width, int32_t height, uint32_t* colourBuffer, int32_t stride, CDib* target);
  // Every word of the buffer, row padding included, becomes the background colour.
  void ClearTarget();

  void AddObject();
  // A negative index raises InvalidIndexError; one at or beyond the count is ignored.
  void RemoveObject(int32_t index);
  void AddNode(int32_t objectIndex, const CNode3D& node);
  // Checks the object and i1, i2, i0; i3 is checked when the quad is drawn.
  void AddQuad(int32_t objectIndex, int32_t i0, int32_t i1, int32_t i2, int32_t i3);
  // The new texture's index is the previous texture count.
  void AddTexture(int32_t width, int32_t height, const uint32_t* pixels, int32_t rowPitch);
  void AddTexture(int32_t width, int32_t height, TexelBuffer&& pixels);
  // A negative index raises InvalidIndexError; one at or beyond the count is ignored.
  void RemoveTexture(int32_t index);

  int32_t ObjectCount() const { return objects_.Count(); }
  CObject3D& Object(int32_t index) { return objects_.At(index); }
  const CObject3D& Object(int32_t index) const { return objects_.At(index); }
  int32_t TextureCount() const { return textures_.Count(); }
  const CTexture3D& Texture(int32_t index) const { return textures_.At(index); }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Stride() const { return stride_; }
  uint32_t* ColourBuffer() const { return colour_; }
  CDib* Target() const { return target_; }
  // sin and cos of i * 0.0174532925 for i = 0..359.
  const std::array<double, 360>& SineTable() const { return sine_; }
  const std::array<double, 360>& CosineTable() const { return cosine_; }

  // ---- Camera and transforms (render/camera.cpp) ------------------------------

  // Z * Y * X for whole degrees (fractions dropped) read from the tables.
  Matrix4 RotationMatrix(double angleX, double angleY, double angleZ) const;
  // model := model x rotation: the rotation acts on the points first.
  void Rotate(int32_t objectIndex, double angleX, double angleY, double angleZ);
  // model := translation x model: the translation acts last.
  void Translate(int32_t objectIndex, double dx, double dy, double dz);
  // Poses objects 0 and 1 from the view parameters (whole numbers as doubles)
  // and sets the projection scale; objectSize must be set.
  void PoseCamera(double angleX, double angleY, double perspective, double zoom);

  // ---- Drawing (render/render_driver.cpp, render/quad_filler.cpp) -------------

  // Clears the buffer, projects every node and fills every quad, objects and
  // quads from the last to the first, reporting progress after each quad.
  void Render();
  // Render for the pixels of one rectangle of the buffer (right and bottom
  // exclusive, clipped to the buffer): each gets the value Render gives it,
  // bit for bit, and pixels outside keep theirs.  Nodes are projected and
  // progress is reported as by Render.  Always the fast filler.
  void RenderPart(const DibRect& part);
  // The node with sx, sy and depth from the object's combined matrix.
  CNode3D TransformNode(int32_t objectIndex, const CNode3D& node) const;
  // Fills one quad of an object with its texture, composited over the buffer.
  void FillPerspectiveQuad(int32_t objectIndex, const CRect3D& quad);
  // Paints one row between two edge points, perspective-correct.
  void DrawPerspectiveSpan(double xLeft, double xRight, double wLeft, double wRight,
                           double uLeft, double vLeft, double uRight, double vRight,
                           int32_t y, int32_t textureIndex);

  // ---- Plain settings -------------------------------------------------------------

  ProgressCallback progressCallback;
  double objectSize = 0;  // larger side of the source image
  double centreX = 0;     // screen point the camera axis projects onto
  double centreY = 0;
  uint32_t backgroundColour = 0;
  Matrix4 cameraMatrix = IdentityMatrix();
  double projectionScale = 1;

 private:
  // The plain filler, and the fast one that gives the same image
  // (render/fast_render.cpp); Render picks one (image/reference_paths.h).
  void RenderReference();
  void RenderFast();
  void RenderFastPart(int32_t left, int32_t top, int32_t right, int32_t bottom);
  int32_t SaturatedQuadCount() const;
  // Calls the progress callback, if any, with (done, total).
  void ReportProgress(int64_t done, int32_t total);

  CDib* target_ = nullptr;
  int32_t stride_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint32_t* colour_ = nullptr;
  IndexedList<CObject3D> objects_;
  IndexedList<CTexture3D> textures_;
  std::array<double, 360> sine_{};
  std::array<double, 360> cosine_{};
  // Per target pixel, the last quad covering it with an opaque texel; kept
  // from one fast render to the next.
  std::vector<uint8_t> coverage_;
};

}  // namespace tessaro
