// Helpers shared by the scene and renderer tests: a deterministic random
// source, a checksum, a colour buffer with guard words and a scene holding one
// quad whose screen corners a test sets directly.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene3d.h"

namespace tessaro {
namespace testing_support {

// splitmix64: the same sequence on every compiler and library, unlike the
// standard distributions.
class TestRandom {
 public:
  explicit TestRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Next32() { return uint32_t(Next() >> 32); }
  // lo..hi inclusive; the slight modulo bias does not matter here.
  int64_t Range(int64_t lo, int64_t hi) {
    return lo + int64_t(Next() % uint64_t(hi - lo + 1));
  }
  // 0 <= result < 1, 53 random bits.
  double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
  bool OneIn(uint64_t n) { return Next() % n == 0; }

 private:
  uint64_t state_;
};

// 64-bit FNV-1a over the words' bytes, low byte first, independent of the
// machine's byte order.
inline uint64_t Fnv1a64(const uint32_t* words, size_t count) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < count; ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (words[i] >> shift) & 0xFFu;
      hash *= 0x100000001B3ull;
    }
  }
  return hash;
}

// A colour buffer of stride x height words between two runs of guard words.
class GuardedBuffer {
 public:
  static constexpr size_t kGuardWords = 256;
  static constexpr uint32_t kGuard = 0xA5C3E187u;

  GuardedBuffer(int32_t width, int32_t height, int32_t stride)
      : width_(width), height_(height), stride_(stride),
        words_(size_t(stride) * size_t(height) + 2 * kGuardWords, kGuard) {}

  uint32_t* Pixels() { return words_.data() + kGuardWords; }
  const uint32_t* Pixels() const { return words_.data() + kGuardWords; }
  size_t Size() const { return size_t(stride_) * size_t(height_); }
  uint32_t At(int32_t x, int32_t y) const { return Pixels()[size_t(y) * size_t(stride_) + size_t(x)]; }

  // The columns between width and stride: a filler must never write there.
  void MarkPadding() {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = width_; x < stride_; ++x) Pixels()[size_t(y) * size_t(stride_) + size_t(x)] = kGuard;
  }
  bool PaddingIntact() const {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = width_; x < stride_; ++x)
        if (At(x, y) != kGuard) return false;
    return true;
  }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuardWords; ++i) {
      if (words_[i] != kGuard) return false;
      if (words_[words_.size() - 1 - i] != kGuard) return false;
    }
    return true;
  }

 private:
  int32_t width_, height_, stride_;
  std::vector<uint32_t> words_;
};

// A scene bound to a guarded buffer with one object of four nodes and one
// quad (0, 1, 2, 3) drawn with texture 0.  Tests place the corners on the
// screen themselves and call FillPerspectiveQuad directly.
class QuadBench {
 public:
  QuadBench(int32_t width, int32_t height, int32_t stride, int32_t textureWidth,
            int32_t textureHeight, const std::vector<uint32_t>& texels)
      : buffer(width, height, stride) {
    scene.Init(width, height, buffer.Pixels(), stride, nullptr);
    buffer.MarkPadding();
    scene.AddTexture(textureWidth, textureHeight, texels.data(), textureWidth);
    scene.AddObject();
    for (int k = 0; k < 4; ++k) scene.AddNode(0, CNode3D{});
    scene.AddQuad(0, 0, 1, 2, 3);
  }

  CNode3D& Corner(int k) { return scene.Object(0).nodes.At(k); }
  void SetCorner(int k, int32_t sx, int32_t sy, double depth, double s, double t) {
    CNode3D& n = Corner(k);
    n.sx = sx;
    n.sy = sy;
    n.depth = depth;
    n.s = s;
    n.t = t;
  }
  void Fill() { scene.FillPerspectiveQuad(0, scene.Object(0).quads.At(0)); }
  // Clears to the background colour and restores the padding marks.
  void Clear() {
    scene.ClearTarget();
    buffer.MarkPadding();
  }
  uint32_t At(int32_t x, int32_t y) const { return buffer.At(x, y); }
  bool Intact() const { return buffer.GuardsIntact() && buffer.PaddingIntact(); }

  GuardedBuffer buffer;
  CScene3D scene;
};

}  // namespace testing_support
}  // namespace tessaro
