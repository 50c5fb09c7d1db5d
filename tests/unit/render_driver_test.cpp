#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/matrix.h"
#include "scene/scene3d.h"

namespace tessaro {
namespace {

constexpr uint32_t kFront = 0xFF2040F0u;
constexpr uint32_t kSlice = 0xFFE08010u;

// The effect's layout: object 0 holds the front face (one quad), object 1 the
// slices.  With identity matrices, depth 8 and projection scale 8 a node at
// (x, y) is drawn at column x, row y, so each quad's region is known: slice q
// covers columns 2 + 6q .. 6 + 6q of rows 2..6, the face columns 2..20 of rows
// 10..14 (or, overlapping the first two slices, columns 2..12 of rows 2..6).
class RenderDriver : public ::testing::Test {
 protected:
  static constexpr int kSlices = 3;

  void Build(bool faceOverSlices = false) {
    scene.Init(32, 20, buffer.data(), 32, nullptr);
    scene.AddTexture(1, 1, &kFront, 1);
    scene.AddTexture(1, 1, &kSlice, 1);
    scene.AddObject();
    scene.AddObject();
    scene.Object(1).textureIndex = 1;
    scene.projectionScale = 8;
    scene.centreX = 0;
    scene.centreY = 0;
    AddRect(0, 2, faceOverSlices ? 2 : 10, faceOverSlices ? 12 : 20, faceOverSlices ? 6 : 14);
    for (int q = 0; q < kSlices; ++q) AddRect(1, 2 + 6 * q, 2, 6 + 6 * q, 6);
  }
  void AddRect(int32_t object, double x0, double y0, double x1, double y1) {
    const int32_t base = scene.Object(object).nodes.Count();
    const double xy[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (const auto& p : xy) {
      CNode3D n;
      n.x = p[0];
      n.y = p[1];
      n.z = 8;
      scene.AddNode(object, n);
    }
    scene.AddQuad(object, base, base + 1, base + 2, base + 3);
  }
  uint32_t At(int32_t x, int32_t y) const { return buffer[size_t(y * 32 + x)]; }
  // Bit q for slice q painted, bit kSlices for the face.
  int Painted() const {
    int bits = 0;
    for (int q = 0; q < kSlices; ++q)
      if (At(4 + 6 * q, 4) == kSlice) bits |= 1 << q;
    if (At(11, 12) == kFront) bits |= 1 << kSlices;
    return bits;
  }

  std::vector<uint32_t> buffer = std::vector<uint32_t>(32 * 20);
  CScene3D scene;
};

struct Report {
  int32_t done, total;
  int painted;
  bool operator==(const Report& o) const {
    return done == o.done && total == o.total && painted == o.painted;
  }
};

TEST_F(RenderDriver, ReportsAfterEveryQuadSlicesLastToFirstThenTheFace) {
  Build();
  std::vector<Report> reports;
  scene.progressCallback = [&](int32_t done, int32_t total) { reports.push_back({done, total, Painted()}); };
  scene.Render();
  const std::vector<Report> expected = {
      {0, 4, 0b0000}, {1, 4, 0b0100}, {2, 4, 0b0110}, {3, 4, 0b0111}, {4, 4, 0b1111}};
  ASSERT_EQ(reports.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(reports[i].done, expected[i].done) << i;
    EXPECT_EQ(reports[i].total, expected[i].total) << i;
    EXPECT_EQ(reports[i].painted, expected[i].painted) << i;
  }
}

TEST_F(RenderDriver, LaterObjectsArePaintedFirstSoTheFaceEndsOnTop) {
  Build(true);
  scene.Render();
  EXPECT_EQ(At(4, 4), kFront);
  EXPECT_EQ(At(10, 4), kFront);
  EXPECT_EQ(At(16, 4), kSlice);  // the last slice lies beside the face
}

TEST_F(RenderDriver, ClearsFirstAndGivesTheSameImageAndNodesEveryTime) {
  Build();
  for (uint32_t& p : buffer) p = 0xDEADBEEFu;
  scene.Render();
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(31, 19), 0u);
  const std::vector<uint32_t> first = buffer;
  const CNode3D node = scene.Object(1).nodes.At(5);
  EXPECT_EQ(node.sx, 12);
  EXPECT_EQ(node.sy, 2);
  EXPECT_EQ(node.depth, 8);
  scene.Render();
  EXPECT_EQ(buffer, first);
  EXPECT_EQ(scene.Object(1).nodes.At(5).sx, 12);
  scene.progressCallback = nullptr;
  scene.Render();  // without a callback
  EXPECT_EQ(buffer, first);
}

TEST_F(RenderDriver, CombinesCameraAndModelMatrices) {
  Build();
  scene.cameraMatrix = TranslationMatrix(1, 0, 0);  // acts after the model
  scene.Object(0).modelMatrix = TranslationMatrix(0, 2, 0);
  scene.Render();
  EXPECT_EQ(scene.Object(0).combinedMatrix, TranslationMatrix(1, 2, 0));
  EXPECT_EQ(scene.Object(0).nodes.At(0).sx, 3);
  EXPECT_EQ(scene.Object(0).nodes.At(0).sy, 12);
}

TEST_F(RenderDriver, TheCallbackMayClearOrReplaceItselfButNotStopTheRender) {
  Build();
  std::vector<int32_t> first, second;
  const std::vector<int32_t> bulk(64, 1);  // makes the closure live on the heap
  scene.progressCallback = [&, bulk](int32_t done, int32_t) {
    if (done == 1) scene.progressCallback = [&](int32_t d, int32_t) { second.push_back(d); };
    first.push_back(done + bulk[0] - 1);  // reads its own capture after the swap
  };
  scene.Render();
  EXPECT_EQ(first, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(second, (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(Painted(), 0b1111);

  first.clear();
  scene.progressCallback = [&](int32_t done, int32_t) {
    first.push_back(done);
    if (done == 2) scene.progressCallback = nullptr;
  };
  scene.Render();
  EXPECT_EQ(first, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(Painted(), 0b1111);
}

TEST_F(RenderDriver, BadVertexOrTextureIndicesStopTheRenderWithTheInvalidIndexError) {
  Build();
  scene.AddQuad(0, 0, 1, 2, 4);  // i3 is not checked when added
  EXPECT_THROW(scene.Render(), InvalidIndexError);
  scene.Object(0).quads.RemoveAt(1);
  scene.Object(1).textureIndex = 2;
  EXPECT_THROW(scene.Render(), InvalidIndexError);
  scene.Object(1).textureIndex = 1;
  scene.Render();
  EXPECT_EQ(Painted(), 0b1111);
}

TEST_F(RenderDriver, AFaceTurnedAwayDrawsNothing) {
  Build();
  scene.Object(1).quads.Clear();
  scene.Render();
  EXPECT_EQ(Painted(), 0b1000);
  // Half a turn about y, moved back onto the same columns (x -> 22 - x) and
  // depth: the corners now run counter-clockwise on the screen.
  scene.Object(0).modelMatrix = MatrixProduct(TranslationMatrix(22, 0, 16), scene.RotationMatrix(0, 180, 0));
  scene.Render();
  EXPECT_EQ(scene.Object(0).nodes.At(0).sx, 20);
  EXPECT_EQ(scene.Object(0).nodes.At(1).sx, 2);
  EXPECT_EQ(Painted(), 0);
}

}  // namespace
}  // namespace tessaro
