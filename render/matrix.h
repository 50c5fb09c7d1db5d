// Products and translations of the scene's 4 x 4 matrices (row-major, acting
// on column vectors, bottom row always (0, 0, 0, 1)).  Rotations need the
// scene's degree tables: CScene3D::RotationMatrix.
#pragma once

#include "scene/scene3d.h"

namespace tessaro {

// a x b: b acts on a point first.  Only the top three rows are computed, each
// entry summed over k = 0..3 in that order; the bottom row is set.
Matrix4 MatrixProduct(const Matrix4& a, const Matrix4& b);

// The identity with (dx, dy, dz) in the last column.
Matrix4 TranslationMatrix(double dx, double dy, double dz);

}  // namespace tessaro
