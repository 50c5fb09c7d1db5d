#include "scene/scene3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "scene/degree_tables.h"
#include "support/render_test_support.h"

namespace tessaro {
namespace {

using testing_support::GuardedBuffer;

// Tags an object through its texture index so moves in the list are visible.
void AddTaggedObject(CScene3D& scene, int32_t tag) {
  scene.AddObject();
  scene.Object(scene.ObjectCount() - 1).textureIndex = tag;
}

TEST(SceneInit, BindsTheBufferCentresTheAxisAndClearsEveryWord) {
  GuardedBuffer buffer(5, 3, 8);
  for (size_t i = 0; i < buffer.Size(); ++i) buffer.Pixels()[i] = 0x12345678u;
  CScene3D scene;
  EXPECT_EQ(scene.ObjectCount(), 0);
  EXPECT_EQ(scene.TextureCount(), 0);
  EXPECT_EQ(scene.cameraMatrix, IdentityMatrix());
  scene.projectionScale = 7;
  scene.backgroundColour = 0xFFFFFFFFu;
  scene.progressCallback = [](int32_t, int32_t) {};

  scene.Init(5, 3, buffer.Pixels(), 8, nullptr);
  EXPECT_EQ(scene.Width(), 5);
  EXPECT_EQ(scene.Height(), 3);
  EXPECT_EQ(scene.Stride(), 8);
  EXPECT_EQ(scene.ColourBuffer(), buffer.Pixels());
  EXPECT_EQ(scene.centreX, 2.5);
  EXPECT_EQ(scene.centreY, 1.5);
  EXPECT_EQ(scene.projectionScale, 1.0);
  EXPECT_EQ(scene.backgroundColour, 0u);
  EXPECT_FALSE(scene.progressCallback);
  // Padding columns included: height * stride words.
  for (size_t i = 0; i < buffer.Size(); ++i) ASSERT_EQ(buffer.Pixels()[i], 0u) << i;
  EXPECT_TRUE(buffer.GuardsIntact());
  EXPECT_EQ(scene.SineTable()[30], GetDegreeTables().sine[30]);
  EXPECT_EQ(scene.CosineTable()[30], GetDegreeTables().cosine[30]);
}

TEST(SceneInit, RefusesABufferItCannotDescribe) {
  std::vector<uint32_t> words(64);
  CScene3D scene;
  EXPECT_THROW(scene.Init(8, 2, words.data(), 4, nullptr), std::invalid_argument);
  EXPECT_THROW(scene.Init(-1, 2, words.data(), 4, nullptr), std::invalid_argument);
  EXPECT_THROW(scene.Init(4, -2, words.data(), 4, nullptr), std::invalid_argument);
  EXPECT_THROW(scene.Init(4, 2, nullptr, 4, nullptr), std::invalid_argument);
  EXPECT_NO_THROW(scene.Init(0, 0, nullptr, 0, nullptr));
  scene.Render();  // an empty target draws nothing and touches nothing
}

TEST(SceneClearTarget, WritesTheBackgroundBelowHeightTimesStrideOnly) {
  GuardedBuffer buffer(3, 4, 4);
  CScene3D scene;
  scene.Init(3, 4, buffer.Pixels(), 4, nullptr);
  scene.backgroundColour = 0x80FF00FFu;
  scene.ClearTarget();
  for (size_t i = 0; i < buffer.Size(); ++i) ASSERT_EQ(buffer.Pixels()[i], 0x80FF00FFu) << i;
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(SceneObjects, NewObjectIsEmptyWithTextureZeroAndIdentityMatrices) {
  CScene3D scene;
  scene.AddObject();
  ASSERT_EQ(scene.ObjectCount(), 1);
  const CObject3D& o = scene.Object(0);
  EXPECT_EQ(o.nodes.Count(), 0);
  EXPECT_EQ(o.quads.Count(), 0);
  EXPECT_EQ(o.textureIndex, 0);
  EXPECT_EQ(o.modelMatrix, IdentityMatrix());
  EXPECT_EQ(o.combinedMatrix, IdentityMatrix());
}

TEST(SceneObjects, RemoveIgnoresIndicesPastTheEndAndRejectsNegativeOnes) {
  CScene3D scene;
  // The effect rebuilds its objects with RemoveObject(1) then RemoveObject(0).
  scene.RemoveObject(1);
  scene.RemoveObject(0);
  EXPECT_EQ(scene.ObjectCount(), 0);
  scene.AddObject();
  scene.RemoveObject(1);
  EXPECT_EQ(scene.ObjectCount(), 1);
  scene.RemoveObject(0);
  EXPECT_EQ(scene.ObjectCount(), 0);

  for (int32_t tag : {10, 11, 12}) AddTaggedObject(scene, tag);
  EXPECT_THROW(scene.RemoveObject(-1), InvalidIndexError);
  EXPECT_EQ(scene.ObjectCount(), 3);
  scene.RemoveObject(1);  // later objects move down
  ASSERT_EQ(scene.ObjectCount(), 2);
  EXPECT_EQ(scene.Object(0).textureIndex, 10);
  EXPECT_EQ(scene.Object(1).textureIndex, 12);
  EXPECT_THROW(scene.Object(2), InvalidIndexError);
}

TEST(SceneNodesAndQuads, ChecksTheObjectAndEveryVertexButTheLast) {
  CScene3D scene;
  EXPECT_THROW(scene.AddNode(0, CNode3D{}), InvalidIndexError);
  scene.AddObject();
  for (int k = 0; k < 4; ++k) {
    CNode3D n;
    n.x = k;
    scene.AddNode(0, n);
  }
  EXPECT_THROW(scene.AddNode(1, CNode3D{}), InvalidIndexError);
  ASSERT_EQ(scene.Object(0).nodes.Count(), 4);
  EXPECT_EQ(scene.Object(0).nodes.At(3).x, 3);

  EXPECT_THROW(scene.AddQuad(0, 0, 4, 2, 3), InvalidIndexError);
  EXPECT_THROW(scene.AddQuad(0, 0, 1, 4, 3), InvalidIndexError);
  EXPECT_THROW(scene.AddQuad(0, 4, 1, 2, 3), InvalidIndexError);
  EXPECT_THROW(scene.AddQuad(0, 0, -1, 2, 3), InvalidIndexError);
  EXPECT_THROW(scene.AddQuad(1, 0, 1, 2, 3), InvalidIndexError);
  EXPECT_EQ(scene.Object(0).quads.Count(), 0);
  // i3 is only checked when the quad is drawn.
  scene.AddQuad(0, 3, 2, 1, 4);
  ASSERT_EQ(scene.Object(0).quads.Count(), 1);
  const CRect3D q = scene.Object(0).quads.At(0);
  EXPECT_EQ(q.i0, 3);
  EXPECT_EQ(q.i1, 2);
  EXPECT_EQ(q.i2, 1);
  EXPECT_EQ(q.i3, 4);
}

TEST(SceneTextures, AddCopiesRowsAtTheGivenPitch) {
  std::vector<uint32_t> source(16);
  for (size_t i = 0; i < source.size(); ++i) source[i] = 0xFF000000u + uint32_t(i);
  CScene3D scene;
  scene.AddTexture(3, 2, source.data(), 8);
  ASSERT_EQ(scene.TextureCount(), 1);
  const CTexture3D& t = scene.Texture(0);
  EXPECT_EQ(t.Width(), 3);
  EXPECT_EQ(t.Height(), 2);
  EXPECT_NE(t.Pixels(), source.data());  // a copy, not the caller's memory
  const std::vector<uint32_t> copied(t.Pixels(), t.Pixels() + 6);
  EXPECT_EQ(copied, (std::vector<uint32_t>{0xFF000000u, 0xFF000001u, 0xFF000002u,  //
                                           0xFF000008u, 0xFF000009u, 0xFF00000Au}));
  EXPECT_EQ(t.Texel(2, 1), 0xFF00000Au);
  source[0] = 0;
  EXPECT_EQ(scene.Texture(0).Texel(0, 0), 0xFF000000u);
}

TEST(SceneTextures, RefusesEmptyTexturesSoSamplingAlwaysHasATexel) {
  const uint32_t one = 0xFFFFFFFFu;
  CScene3D scene;
  EXPECT_THROW(scene.AddTexture(0, 1, &one, 1), std::invalid_argument);
  EXPECT_THROW(scene.AddTexture(1, -3, &one, 1), std::invalid_argument);
  EXPECT_THROW(scene.AddTexture(1, 1, nullptr, 1), std::invalid_argument);
  EXPECT_THROW(scene.AddTexture(0, 0, TexelBuffer()), std::invalid_argument);
  EXPECT_THROW(scene.AddTexture(2, 2, TexelBuffer(3)), std::invalid_argument)
      << "a buffer that does not hold the size would be read past its end";
  EXPECT_EQ(scene.TextureCount(), 0);
}

// A texture takes over a buffer made for it without copying it.
TEST(SceneTextures, TakenOverBufferIsNotCopied) {
  TexelBuffer texels(6);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u + uint32_t(i);
  const uint32_t* before = texels.data();
  CScene3D scene;
  scene.AddTexture(3, 2, std::move(texels));
  const CTexture3D& t = scene.Texture(0);
  EXPECT_EQ(t.Pixels(), before);
  EXPECT_EQ(t.Texel(2, 1), 0xFF000005u);
  EXPECT_TRUE(t.OpaqueArea(0, 0, 2, 1));
}

TEST(SceneTextures, RemoveIgnoresIndicesPastTheEndAndRejectsNegativeOnes) {
  const uint32_t first[] = {1, 2}, second[] = {3, 4, 5};
  CScene3D scene;
  scene.AddTexture(2, 1, first, 2);
  scene.RemoveTexture(1);
  EXPECT_EQ(scene.TextureCount(), 1);
  scene.AddTexture(3, 1, second, 3);
  ASSERT_EQ(scene.TextureCount(), 2);
  EXPECT_THROW(scene.RemoveTexture(-1), InvalidIndexError);
  scene.RemoveTexture(1);  // its pixels are freed: the leak checker would see them otherwise
  ASSERT_EQ(scene.TextureCount(), 1);
  EXPECT_EQ(scene.Texture(0).Width(), 2);
  EXPECT_THROW(scene.Texture(1), InvalidIndexError);
  // The effect replaces texture 1 by removing and adding it: it takes index 1 again.
  scene.AddTexture(3, 1, second, 3);
  EXPECT_EQ(scene.Texture(1).Texel(2, 0), 5u);
}

TEST(InvalidIndexError, IsAnOutOfRangeErrorNamingTheIndex) {
  CScene3D scene;
  scene.AddObject();
  try {
    scene.Object(5);
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    const auto* error = dynamic_cast<const InvalidIndexError*>(&e);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->Index(), 5);
    EXPECT_EQ(error->Count(), 1);
    EXPECT_NE(std::string(e.what()).find('5'), std::string::npos);
  }
}

// The tables are computed without the platform's math library; these are the
// correctly rounded values of sin and cos at i * 0.0174532925 (as a double),
// taken from a 300-bit evaluation.  The entries next to the zero crossings
// (90, 180, 270) are where math libraries disagree most.
TEST(DegreeTables, HoldCorrectlyRoundedValuesOfTheTenDigitStep) {
  const DegreeTables& t = GetDegreeTables();
  struct Entry {
    int i;
    double sine, cosine;
  };
  const Entry expected[] = {
      {0, 0.0, 1.0},
      {1, 0x1.1df0b2b322a62p-6, 0x1.ffec097f5bbc9p-1},
      {10, 0x1.63a1a7d9f7a41p-3, 0x1.f838b8c85de91p-1},
      {30, 0x1.fffffff7192fep-2, 0x1.bb67ae8816a0dp-1},
      {90, 0x1.0000000000000p+0, 0x1.ed60a11a62633p-30},
      {105, 0x1.ee8dd47933c46p-1, -0x1.0907dbf67082dp-2},
      {180, 0x1.ed60a11a62633p-29, -0x1.0000000000000p+0},
      {262, -0x1.fb046a8cca26ap-1, -0x1.1d06ca1aa372cp-3},
      {270, -0x1.0000000000000p+0, -0x1.720878d3c9ca6p-28},
      {285, -0x1.ee8dd4812ee51p-1, 0x1.0907dbbade65fp-2},
      {359, -0x1.1df0ba685836fp-6, 0x1.ffec097e48325p-1},
  };
  for (const Entry& e : expected) {
    EXPECT_EQ(t.sine[e.i], e.sine) << e.i;
    EXPECT_EQ(t.cosine[e.i], e.cosine) << e.i;
  }
  // Every other entry: close to the library's value (which may be off by a
  // unit in the last place or two near zero).
  for (int i = 0; i < 360; ++i) {
    const double x = i * kDegreeTableStep;
    EXPECT_NEAR(t.sine[i], std::sin(x), 1e-15) << i;
    EXPECT_NEAR(t.cosine[i], std::cos(x), 1e-15) << i;
  }
}

}  // namespace
}  // namespace tessaro
