#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/matrix.h"
#include "scene/scene3d.h"

namespace tessaro {
namespace {

struct Point {
  double x, y, z;
};

Point Apply(const Matrix4& m, Point p) {
  return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
          m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

// A scene whose tables are filled, bound to a small buffer.
class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override { scene.Init(640, 480, buffer.data(), 640, nullptr); }
  std::vector<uint32_t> buffer = std::vector<uint32_t>(640 * 480);
  CScene3D scene;
};

TEST(MatrixProduct, ComputesThreeRowsAndSetsTheBottomRow) {
  const Matrix4 a = {1, 2, 0, 1,  //
                     0, 1, 3, 0,  //
                     2, 0, 1, 4,  //
                     9, 9, 9, 9};
  const Matrix4 b = {1, 0, 2, 0,  //
                     0, 1, 0, 3,  //
                     1, 1, 0, 0,  //
                     0, 0, 0, 1};
  const Matrix4 expected = {1, 2, 2, 7,  //
                            3, 4, 0, 3,  //
                            3, 1, 4, 4,  //
                            0, 0, 0, 1};
  EXPECT_EQ(MatrixProduct(a, b), expected);
}

TEST(MatrixProduct, SumsTheFourTermsLeftToRight) {
  // ((1e16 + 1) - 1e16) + 1 is 1 in doubles; any other order gives 0 or 2.
  const Matrix4 a = {1e16, 1, -1e16, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const Matrix4 b = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(MatrixProduct(a, b)[0], 1.0);
}

TEST_F(CameraTest, RotationMatrixReadsTheTablesAtWholeDegrees) {
  EXPECT_EQ(scene.RotationMatrix(0, 0, 0), IdentityMatrix());
  const double s = scene.SineTable()[90], c = scene.CosineTable()[90];
  EXPECT_NE(c, 0.0);  // the ten-digit step does not reach pi / 2 exactly
  const Matrix4 x90 = {1, 0, 0, 0,   //
                       0, c, s, 0,   //
                       0, -s, c, 0,  //
                       0, 0, 0, 1};
  EXPECT_EQ(scene.RotationMatrix(90, 0, 0), x90);

  const double s285 = scene.SineTable()[285], c285 = scene.CosineTable()[285];
  const Matrix4 x285 = {1, 0, 0, 0,         //
                        0, c285, s285, 0,   //
                        0, -s285, c285, 0,  //
                        0, 0, 0, 1};
  EXPECT_EQ(scene.RotationMatrix(-75, 0, 0), x285);
  EXPECT_EQ(scene.RotationMatrix(30.9, 0, 0), scene.RotationMatrix(30, 0, 0));
  EXPECT_EQ(scene.RotationMatrix(-30.9, 0, 0), scene.RotationMatrix(-30, 0, 0));  // not -31
  EXPECT_EQ(scene.RotationMatrix(-0.5, 0, 0), IdentityMatrix());  // index 0, not a skipped axis
  EXPECT_EQ(scene.RotationMatrix(-1.5, 0, 0), scene.RotationMatrix(359, 0, 0));
  // The y and z offsets differ from x's but land on the same entries.
  const Matrix4 y285 = {c285, 0, s285, 0,   //
                        0, 1, 0, 0,         //
                        -s285, 0, c285, 0,  //
                        0, 0, 0, 1};
  EXPECT_EQ(scene.RotationMatrix(0, -75, 0), y285);
  const Matrix4 z285 = {c285, s285, 0, 0,   //
                        -s285, c285, 0, 0,  //
                        0, 0, 1, 0,         //
                        0, 0, 0, 1};
  EXPECT_EQ(scene.RotationMatrix(0, 0, -75), z285);
}

TEST_F(CameraTest, RotationTurnsAboutXFirstThenYThenZ) {
  // Positive x lifts the top (negative y) away from the viewer; positive y
  // brings the right side (positive x) towards it.
  EXPECT_GT(Apply(scene.RotationMatrix(30, 0, 0), {0, -10, 0}).z, 4.9);
  EXPECT_LT(Apply(scene.RotationMatrix(0, 30, 0), {10, 0, 0}).z, -4.9);
  // The top point turned 90 degrees about x ends up at depth +1, and then the
  // y turn moves it to the right.  In the other order it would stay at x = 0.
  const Point p = Apply(scene.RotationMatrix(90, 90, 0), {0, -1, 0});
  EXPECT_NEAR(p.x, 1, 1e-8);
  EXPECT_NEAR(p.y, 0, 1e-8);
  EXPECT_NEAR(p.z, 0, 1e-8);
  const Point q = Apply(scene.RotationMatrix(0, 90, 90), {1, 0, 0});
  // y first: (1, 0, 0) -> (0, 0, -1); z leaves that alone.
  EXPECT_NEAR(q.x, 0, 1e-8);
  EXPECT_NEAR(q.y, 0, 1e-8);
  EXPECT_NEAR(q.z, -1, 1e-8);
}

TEST_F(CameraTest, AnyAngleStaysInsideTheTables) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double angle : {-1441.0, -721.0, -1e9, 1e9, 4e9, -4e9, 1e300, inf, -inf, nan}) {
    const Matrix4 m = scene.RotationMatrix(angle, angle, angle);
    // Still a rotation: unit rows.
    for (int r = 0; r < 3; ++r) {
      const double len = m[r * 4] * m[r * 4] + m[r * 4 + 1] * m[r * 4 + 1] + m[r * 4 + 2] * m[r * 4 + 2];
      EXPECT_NEAR(len, 1, 1e-12) << angle;
    }
  }
  // Below the offsets' reach the index wraps by whole turns.
  EXPECT_EQ(scene.RotationMatrix(-1441, 0, 0), scene.RotationMatrix(359, 0, 0));
  EXPECT_EQ(scene.RotationMatrix(0, -721, 0), scene.RotationMatrix(0, 359, 0));
}

TEST_F(CameraTest, RotateActsBeforeAndTranslateAfterTheModelMatrix) {
  scene.AddObject();
  scene.Translate(0, 10, 0, 0);
  scene.Rotate(0, 0, 0, 90);  // about z: (1, 0, 0) -> (c, -s, 0)
  const Point p = Apply(scene.Object(0).modelMatrix, {1, 0, 0});
  EXPECT_NEAR(p.x, 10, 1e-8);  // turned first, then moved
  EXPECT_NEAR(p.y, -1, 1e-8);
  scene.Translate(0, 0, 5, 0);
  const Point q = Apply(scene.Object(0).modelMatrix, {1, 0, 0});
  EXPECT_NEAR(q.y, 4, 1e-8);

  const Matrix4 before = scene.Object(0).modelMatrix;
  EXPECT_THROW(scene.Rotate(1, 30, 0, 0), InvalidIndexError);
  EXPECT_THROW(scene.Translate(-1, 1, 1, 1), InvalidIndexError);
  EXPECT_EQ(scene.Object(0).modelMatrix, before);
}

TEST_F(CameraTest, PoseCameraPushesBothObjectsBackAndSetsTheScale) {
  scene.AddObject();
  scene.AddObject();
  scene.objectSize = 400;
  scene.centreX = 320;
  scene.centreY = 240;
  CNode3D corner;
  corner.x = -200;
  corner.y = -150;
  scene.AddNode(0, corner);
  scene.Object(0).modelMatrix = TranslationMatrix(1, 2, 3);  // forgotten by the pose

  scene.PoseCamera(0, 0, 80, 100);  // D = 100
  EXPECT_EQ(scene.projectionScale, 500);
  EXPECT_EQ(scene.Object(0).modelMatrix, TranslationMatrix(0, 0, 500));
  EXPECT_EQ(scene.Object(1).modelMatrix, TranslationMatrix(0, 0, 500));
  scene.Render();
  const CNode3D& n = scene.Object(0).nodes.At(0);
  EXPECT_EQ(n.sx, 320 - 200);
  EXPECT_EQ(n.sy, 240 - 150);
  EXPECT_EQ(n.depth, 500);

  scene.PoseCamera(0, 0, 100, 150);  // D = 0: the face at 1.5 times its size
  EXPECT_EQ(scene.projectionScale, 600);
  EXPECT_EQ(scene.Object(1).modelMatrix, TranslationMatrix(0, 0, 400));
  scene.Render();
  EXPECT_EQ(n.sx, 320 - 300);
  EXPECT_EQ(n.sy, 240 - 225);
}

TEST_F(CameraTest, PoseCameraTurnsBothObjectsAlike) {
  scene.AddObject();
  scene.AddObject();
  scene.objectSize = 100;
  scene.PoseCamera(30, 20, 50, 90);
  const Matrix4 expected = MatrixProduct(TranslationMatrix(0, 0, 350), scene.RotationMatrix(30, 20, 0));
  EXPECT_EQ(scene.Object(0).modelMatrix, expected);
  EXPECT_EQ(scene.Object(1).modelMatrix, expected);
  EXPECT_EQ(scene.projectionScale, 315);
}

TEST_F(CameraTest, PoseCameraNeedsTwoObjects) {
  EXPECT_THROW(scene.PoseCamera(0, 0, 80, 100), InvalidIndexError);
  scene.AddObject();
  scene.objectSize = 10;
  EXPECT_THROW(scene.PoseCamera(0, 0, 80, 100), InvalidIndexError);
  EXPECT_EQ(scene.Object(0).modelMatrix, TranslationMatrix(0, 0, 110));  // reached before the failure
}

TEST_F(CameraTest, TransformNodeRaisesDepthToOneAndTruncatesTowardZero) {
  scene.AddObject();
  scene.projectionScale = 100;
  scene.centreX = 0;
  scene.centreY = 50;
  scene.Object(0).combinedMatrix = TranslationMatrix(0, 0, 0.25);
  CNode3D in;
  in.x = -0.027;  // -2.7 + 0.5 = -2.2: truncation gives -2, floor would give -3
  in.y = 1;
  in.s = 0.25;
  in.t = 0.75;
  const CNode3D out = scene.TransformNode(0, in);
  EXPECT_EQ(out.depth, 1);  // 0.25 is projected as if at depth 1
  EXPECT_EQ(out.sx, -2);
  EXPECT_EQ(out.sy, 150);
  EXPECT_EQ(out.x, in.x);
  EXPECT_EQ(out.s, 0.25);
  EXPECT_EQ(out.t, 0.75);

  scene.Object(0).combinedMatrix = TranslationMatrix(0, 0, -40);  // behind the viewer
  EXPECT_EQ(scene.TransformNode(0, in).depth, 1);
  scene.Object(0).combinedMatrix = TranslationMatrix(0, 0, 200);
  const CNode3D far = scene.TransformNode(0, in);
  EXPECT_EQ(far.depth, 200);
  EXPECT_EQ(far.sx, 0);   // -0.0135 + 0.5
  EXPECT_EQ(far.sy, 51);  // 1 * 100 / 200 + 50 + 0.5
}

TEST_F(CameraTest, TransformNodeMapsUnrepresentableScreenPositionsToTheMostNegativeValue) {
  scene.AddObject();
  scene.projectionScale = 1000;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double v : {1e300, -1e300, 3e6, nan, std::numeric_limits<double>::infinity()}) {
    CNode3D in;
    in.x = v;
    in.y = v;
    const CNode3D out = scene.TransformNode(0, in);
    EXPECT_EQ(out.sx, std::numeric_limits<int32_t>::min()) << v;
    EXPECT_EQ(out.sy, std::numeric_limits<int32_t>::min()) << v;
  }
}

}  // namespace
}  // namespace tessaro
