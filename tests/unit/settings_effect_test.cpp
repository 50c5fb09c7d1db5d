#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "settings/effect_settings.h"

namespace tessaro {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(SettingTableTest, NamesAreUniqueInEveryPlace) {
  std::set<std::string> store, script;
  std::set<uint32_t> keys;
  std::set<std::string> options;
  std::set<int> controls, recorded;
  for (const SettingInfo& info : kSettingTable) {
    EXPECT_TRUE(options.insert(info.option).second) << info.option;
    // Each value has one place in the recorded descriptor, and a group is
    // recorded with a check that comes before it.
    EXPECT_TRUE(recorded.insert(info.recordedAt).second) << info.option;
    EXPECT_GE(info.recordedAt, 0);
    EXPECT_LT(info.recordedAt, kSettingCount);
    const SettingInfo& with = Info(info.recordedWith);
    EXPECT_EQ(with.kind == SettingKind::Check || with.id == info.id, true) << info.option;
    EXPECT_LE(with.recordedAt, info.recordedAt) << info.option;
    EXPECT_TRUE(store.insert(Lower(info.storeName)).second) << info.storeName;
    EXPECT_TRUE(script.insert(info.scriptName).second) << info.scriptName;
    EXPECT_TRUE(keys.insert(info.scriptKey).second) << info.scriptName;
    EXPECT_TRUE(controls.insert(info.controlId).second) << info.controlId;
  }
  for (int i = 0; i < kSettingCount; ++i)
    EXPECT_EQ(static_cast<int>(kSettingTable[i].id), i) << "table order must follow SettingId";
}

TEST(SettingTableTest, DefaultsAndResetValuesLieInsideTheirRanges) {
  for (const SettingInfo& info : kSettingTable) {
    if (info.kind == SettingKind::Colour) continue;
    EXPECT_LE(info.min, info.defaultIfNotStored) << info.field;
    EXPECT_GE(info.max, info.defaultIfNotStored) << info.field;
    EXPECT_LE(info.min, info.resetValue) << info.field;
    EXPECT_GE(info.max, info.resetValue) << info.field;
  }
}

TEST(SettingTableTest, LookupsAreCaseInsensitiveForStoreNames) {
  ASSERT_NE(FindByStoreName("light INTENSITY"), nullptr);
  EXPECT_EQ(FindByStoreName("light INTENSITY")->id, SettingId::HighlightOpacity);
  EXPECT_EQ(FindByStoreName("Angle")->id, SettingId::LightDirection);
  EXPECT_EQ(FindByStoreName("Angle "), nullptr);
  EXPECT_EQ(FindByScriptKey(0x7A6F6F4D)->id, SettingId::Zoom);  // 'zooM'
  EXPECT_EQ(FindByScriptKey(0x12345678), nullptr);
}

TEST(EffectSettingsTest, DefaultsDifferFromResetValuesOnlyInLightAndSmooth) {
  const EffectSettings d = EffectSettings::Defaults();
  EXPECT_EQ(d, EffectSettings{});
  EXPECT_EQ(d.depth, 30);
  EXPECT_EQ(d.zoom, 90);
  EXPECT_EQ(d.perspective, 80);
  EXPECT_EQ(d.color, 0xFF6C35u);  // red 53, green 108, blue 255
  EXPECT_EQ(d.lightDirection, 45);
  EXPECT_FALSE(d.smoothDepth);
  EXPECT_TRUE(d.lighting);
  EXPECT_FALSE(d.colorOverlay);

  const EffectSettings r = EffectSettings::ResetValues();
  EXPECT_EQ(r.lightDirection, 90);
  EXPECT_TRUE(r.smoothDepth);
  EffectSettings patched = r;
  patched.lightDirection = 45;
  patched.smoothDepth = false;
  EXPECT_EQ(patched, d);
}

TEST(EffectSettingsTest, SetClampsLikeTheSliders) {
  EffectSettings s;
  s.Set(SettingId::Zoom, 10);
  EXPECT_EQ(s.zoom, 50);
  s.Set(SettingId::Round, -300);
  EXPECT_EQ(s.round, -100);
  s.Set(SettingId::AngleX, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(s.angleX, 75);
  s.Set(SettingId::AngleY, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(s.angleY, -75);
  s.Set(SettingId::Depth, 101);
  EXPECT_EQ(s.depth, 100);
  s.Set(SettingId::Perspective, -1);
  EXPECT_EQ(s.perspective, 0);
}

TEST(EffectSettingsTest, GetAndSetRoundTripEveryField) {
  EffectSettings s;
  s.Set(SettingId::Lighting, 7);  // any non-zero checks the box
  EXPECT_EQ(s.Get(SettingId::Lighting), 1);
  s.Set(SettingId::Color, 0x00123456);
  EXPECT_EQ(s.Get(SettingId::Color), 0x00123456);
  s.Set(SettingId::LightDirection, -135);
  EXPECT_EQ(s.Get(SettingId::LightDirection), -135);

  // Each field answers to its own id only.
  for (const SettingInfo& info : kSettingTable) {
    EffectSettings a, b;
    const int32_t probe = info.kind == SettingKind::Check ? 1 - a.Get(info.id)
                          : info.kind == SettingKind::Colour ? 0x00010203
                                                             : (info.min + info.max) / 2 + 1;
    b.Set(info.id, probe);
    EXPECT_EQ(b.Get(info.id), probe) << info.field;
    for (const SettingInfo& other : kSettingTable) {
      if (other.id == info.id) continue;
      EXPECT_EQ(a.Get(other.id), b.Get(other.id)) << info.field;
    }
  }
}

TEST(LightDirectionTest, EveryWholeDegreeSurvivesRadiansAndBack) {
  for (int32_t d = -720; d <= 720; ++d) EXPECT_EQ(RadiansToDegrees(DegreesToRadians(d)), d);
  EXPECT_EQ(DegreesToRadians(90), 3.141592653589793 / 2);
  EXPECT_EQ(DegreesToRadians(-90), -3.141592653589793 / 2);
}

TEST(LightDirectionTest, HalvesRoundAwayFromZero) {
  EXPECT_EQ(RoundHalfAwayFromZero(0.5), 1);
  EXPECT_EQ(RoundHalfAwayFromZero(-0.5), -1);
  EXPECT_EQ(RoundHalfAwayFromZero(2.5), 3);
  EXPECT_EQ(RoundHalfAwayFromZero(-2.5), -3);
  EXPECT_EQ(RoundHalfAwayFromZero(0.49999999999999994), 0);
  EXPECT_EQ(RoundHalfAwayFromZero(-44.4), -44);
  const double halfDegree = 0.5 * 3.141592653589793 / 180;
  EXPECT_EQ(RadiansToDegrees(30.5 * 3.141592653589793 / 180), 31);
  EXPECT_EQ(RadiansToDegrees(-halfDegree * 3), -2);
}

TEST(LightDirectionTest, OutOfRangeAndNaNGiveTheMostNegativeValue) {
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(RoundHalfAwayFromZero(std::nan("")), kMin);
  EXPECT_EQ(RoundHalfAwayFromZero(1e300), kMin);
  EXPECT_EQ(RoundHalfAwayFromZero(-1e300), kMin);
  EXPECT_EQ(RoundHalfAwayFromZero(std::numeric_limits<double>::infinity()), kMin);
  EXPECT_EQ(RoundHalfAwayFromZero(2147483647.4), 2147483647);
  EXPECT_EQ(RoundHalfAwayFromZero(2147483647.5), kMin);
  EXPECT_EQ(RoundHalfAwayFromZero(-2147483648.4), kMin);
}

TEST(LightDirectionTest, WrapKeepsTheDirection) {
  EXPECT_EQ(WrapDegrees(200), -160);
  EXPECT_EQ(WrapDegrees(180), 180);
  EXPECT_EQ(WrapDegrees(-180), -180);
  EXPECT_EQ(WrapDegrees(-181), 179);
  EXPECT_EQ(WrapDegrees(361), 1);
  EXPECT_EQ(WrapDegrees(-725), -5);
  for (int64_t d = -2000; d <= 2000; ++d) {
    const int32_t w = WrapDegrees(d);
    EXPECT_GE(w, -180);
    EXPECT_LE(w, 180);
    EXPECT_EQ(((d - w) % 360 + 360) % 360, 0) << d;
  }
  EXPECT_GE(WrapDegrees(std::numeric_limits<int64_t>::max()), -180);
  EXPECT_GE(WrapDegrees(std::numeric_limits<int64_t>::min()), -180);
}

}  // namespace
}  // namespace tessaro
