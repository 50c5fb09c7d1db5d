// A minimal scripted host for tests of the filter run: it owns whole-image
// buffers and hands them out through advanceState, as a host that copies the
// source into the output before start does.
#pragma once

#include <cstdint>
#include <vector>

#include "host/plugin_interface.h"

namespace tessaro::testing {

class TestHost {
 public:
  // planes 3 (flat) or 4 (layer with transparency); a selection when withMask.
  TestHost(int32_t width, int32_t height, int32_t planes, bool withMask);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  host::FilterRecord& record() { return *record_; }
  uint8_t* In(int32_t x, int32_t y) { return &in_[Offset(x, y)]; }
  uint8_t* Out(int32_t x, int32_t y) { return &out_[Offset(x, y)]; }
  uint8_t& Mask(int32_t x, int32_t y) { return mask_[size_t(y) * size_t(width_) + size_t(x)]; }
  std::vector<uint8_t>& output() { return out_; }
  // The output buffer starts as a copy of the input, as hosts prepare it.
  void CopyInputToOutput() { out_ = in_; }

  int advanceCalls = 0;
  int16_t advanceResult = 0;

 private:
  size_t Offset(int32_t x, int32_t y) const {
    return size_t(y) * size_t(rowBytes_) + size_t(x) * size_t(planes_);
  }
  static int16_t AdvanceState();

  int32_t width_, height_, planes_, rowBytes_;
  std::vector<uint8_t> in_, out_, mask_;
  std::vector<uint8_t> recordBytes_;
  host::FilterRecord* record_;
  unsigned char errorString_[256] = {};
};

}  // namespace tessaro::testing
