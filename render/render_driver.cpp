// Render: projects the scene's nodes and hands every quad to the filler, in list
// order from the back: objects and quads are drawn last to first, with no
// sorting and no depth test, so the scene is built to paint back to front.
#include <cstdint>
#include <limits>

#include "image/numeric.h"
#include "image/reference_paths.h"
#include "render/matrix.h"
#include "scene/scene3d.h"

namespace tessaro {

namespace {

int32_t Saturate(int64_t value) {
  return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : int32_t(value);
}

}  // namespace

CNode3D CScene3D::TransformNode(int32_t objectIndex, const CNode3D& node) const {
  const Matrix4& m = objects_.At(objectIndex).combinedMatrix;
  const double px = m[0] * node.x + m[1] * node.y + m[2] * node.z + m[3];
  const double py = m[4] * node.x + m[5] * node.y + m[6] * node.z + m[7];
  const double pz = m[8] * node.x + m[9] * node.y + m[10] * node.z + m[11];
  // Points closer than 1 (or behind the viewer) are drawn as if at depth 1.
  double depth = pz;
  if (depth < 1.0) depth = 1.0;
  const double f = projectionScale / depth;
  CNode3D result = node;
  result.sx = TruncateToInt32(px * f + centreX + 0.5);
  result.sy = TruncateToInt32(py * f + centreY + 0.5);
  result.depth = depth;
  return result;
}

int32_t CScene3D::SaturatedQuadCount() const {
  int64_t quadCount = 0;
  for (const CObject3D& object : objects_) quadCount += object.quads.Count();
  return Saturate(quadCount);
}

void CScene3D::ReportProgress(int64_t done, int32_t total) {
  // The callback is called through a copy: it may replace or clear the slot
  // while it runs.
  if (!progressCallback) return;
  const ProgressCallback callback = progressCallback;
  callback(Saturate(done), total);
}

void CScene3D::Render() {
  if (ReferencePathsSelected()) {
    RenderReference();
  } else {
    RenderFast();
  }
}

void CScene3D::RenderReference() {
  ClearTarget();

  const int32_t total = SaturatedQuadCount();
  int64_t done = 0;
  ReportProgress(done, total);

  // Everything is looked up by index on every use, so a callback that changes
  // the lists (which it must not) meets InvalidIndexError rather than a stale
  // reference.
  for (int32_t o = objects_.Count() - 1; o >= 0; --o) {
    {
      CObject3D& object = objects_.At(o);
      object.combinedMatrix = MatrixProduct(cameraMatrix, object.modelMatrix);
      for (int32_t n = 0; n < object.nodes.Count(); ++n)
        object.nodes.At(n) = TransformNode(o, object.nodes.At(n));
    }
    for (int32_t q = objects_.At(o).quads.Count() - 1; q >= 0; --q) {
      const CRect3D quad = objects_.At(o).quads.At(q);
      FillPerspectiveQuad(o, quad);
      ++done;
      ReportProgress(done, total);
    }
  }
}

}  // namespace tessaro
