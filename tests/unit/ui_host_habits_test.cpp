// What the dialog makes of the host's colour picker, as editors answer it.
#include <gtest/gtest.h>

#include <cstdint>

#include "ui/dialog/host_color_pick.h"

namespace tessaro {
namespace {

TEST(HostColorPickTest, RequestCarriesTheSwatchColourAsRgb) {
  const host::ColorServicesInfo info = HostPickRequest(0x00302010);
  EXPECT_EQ(info.infoSize, int32_t(sizeof(host::ColorServicesInfo)));  // 56, or 36 on 32-bit
  EXPECT_EQ(info.selector, 0);
  EXPECT_EQ(info.sourceSpace, 0);
  EXPECT_EQ(info.resultSpace, 0);
  EXPECT_EQ(info.colorComponents[0], 0x10);
  EXPECT_EQ(info.colorComponents[1], 0x20);
  EXPECT_EQ(info.colorComponents[2], 0x30);
  EXPECT_EQ(info.selectorParameter.pickerPrompt, nullptr);
}

TEST(HostColorPickTest, CancelsFailuresAndUnchangedSuccessesChangeNothing) {
  const uint32_t before = 0x00302010;
  host::ColorServicesInfo answer = HostPickRequest(before);
  uint32_t picked = 0xDEAD;
  // Success without a change: the host reports a cancel as success.
  EXPECT_EQ(InterpretHostPick(0, answer, before, &picked), HostPick::kCancelled);
  EXPECT_EQ(InterpretHostPick(host::kUserCanceledErr, answer, before, &picked),
            HostPick::kCancelled);
  // A picker that fails, or answers in no RGB colour, is no picker.
  EXPECT_EQ(InterpretHostPick(-30900, answer, before, &picked), HostPick::kUnavailable);
  EXPECT_EQ(InterpretHostPick(-50, answer, before, &picked), HostPick::kUnavailable);
  answer.colorComponents[1] = 256;
  EXPECT_EQ(InterpretHostPick(0, answer, before, &picked), HostPick::kUnavailable);
  answer.colorComponents[1] = -1;
  EXPECT_EQ(InterpretHostPick(0, answer, before, &picked), HostPick::kUnavailable);
  EXPECT_EQ(picked, 0xDEADu) << "untouched unless picked";

  answer = HostPickRequest(before);
  answer.colorComponents[2] = 0xFF;
  EXPECT_EQ(InterpretHostPick(0, answer, before, &picked), HostPick::kPicked);
  EXPECT_EQ(picked, 0x00FF2010u);
}

}  // namespace
}  // namespace tessaro
