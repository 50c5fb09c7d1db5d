#include "render/matrix.h"

namespace tessaro {

Matrix4 MatrixProduct(const Matrix4& a, const Matrix4& b) {
  Matrix4 result{};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      // Written out so the order of the additions is fixed: the rendered image
      // depends on every bit.
      result[r * 4 + c] = a[r * 4 + 0] * b[0 * 4 + c] + a[r * 4 + 1] * b[1 * 4 + c] +
                          a[r * 4 + 2] * b[2 * 4 + c] + a[r * 4 + 3] * b[3 * 4 + c];
    }
  }
  result[12] = 0;
  result[13] = 0;
  result[14] = 0;
  result[15] = 1;
  return result;
}

Matrix4 TranslationMatrix(double dx, double dy, double dz) {
  Matrix4 m = IdentityMatrix();
  m[3] = dx;
  m[7] = dy;
  m[11] = dz;
  return m;
}

}  // namespace tessaro
