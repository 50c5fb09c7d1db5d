// Rotation by whole degrees, translation and the camera pose of the relief.
#include <cstdint>

#include "image/numeric.h"
#include "render/matrix.h"
#include "scene/scene3d.h"

namespace tessaro {

namespace {

// Table index of an angle: its whole degrees plus an offset that keeps the
// remainder non-negative for the angles the effect uses.  Further down the
// remainder is brought into 0..359 by whole turns, which is the same rotation,
// so no angle (not even NaN, whose whole part is INT32_MIN) can leave the table.
int TableIndex(double degrees, int64_t offset) {
  int64_t index = (int64_t(TruncateToInt32(degrees)) + offset) % 360;
  if (index < 0) index += 360;
  return int(index);
}

}  // namespace

Matrix4 CScene3D::RotationMatrix(double angleX, double angleY, double angleZ) const {
  Matrix4 r = IdentityMatrix();
  // The tests are "not exactly 0": an angle of -0.5 still multiplies by the
  // table's index-0 matrix.
  if (angleX != 0) {
    const int i = TableIndex(angleX, 1440);
    const double s = sine_[i], c = cosine_[i];
    const Matrix4 x = {1, 0, 0, 0,   //
                       0, c, s, 0,   //
                       0, -s, c, 0,  //
                       0, 0, 0, 1};
    r = MatrixProduct(x, r);
  }
  if (angleY != 0) {
    const int i = TableIndex(angleY, 720);
    const double s = sine_[i], c = cosine_[i];
    const Matrix4 y = {c, 0, s, 0,   //
                       0, 1, 0, 0,   //
                       -s, 0, c, 0,  //
                       0, 0, 0, 1};
    r = MatrixProduct(y, r);
  }
  if (angleZ != 0) {
    const int i = TableIndex(angleZ, 720);
    const double s = sine_[i], c = cosine_[i];
    const Matrix4 z = {c, s, 0, 0,   //
                       -s, c, 0, 0,  //
                       0, 0, 1, 0,   //
                       0, 0, 0, 1};
    r = MatrixProduct(z, r);
  }
  return r;
}

void CScene3D::Rotate(int32_t objectIndex, double angleX, double angleY, double angleZ) {
  CObject3D& object = objects_.At(objectIndex);
  object.modelMatrix = MatrixProduct(object.modelMatrix, RotationMatrix(angleX, angleY, angleZ));
}

void CScene3D::Translate(int32_t objectIndex, double dx, double dy, double dz) {
  CObject3D& object = objects_.At(objectIndex);
  object.modelMatrix = MatrixProduct(TranslationMatrix(dx, dy, dz), object.modelMatrix);
}

void CScene3D::PoseCamera(double angleX, double angleY, double perspective, double zoom) {
  const double distance = 500 - perspective * 5;
  projectionScale = (distance + objectSize) * zoom / 100;
  // The same rotation for the face and the slices keeps the stack aligned
  // behind the face; both are pushed back so the face sits at depth
  // distance + objectSize, where scale / depth is exactly zoom / 100.
  for (int32_t object = 0; object < 2; ++object) {
    objects_.At(object).modelMatrix = IdentityMatrix();
    Rotate(object, angleX, angleY, 0);
    Translate(object, 0, 0, distance + objectSize);
  }
}

}  // namespace tessaro
