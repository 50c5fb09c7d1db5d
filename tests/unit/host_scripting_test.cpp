#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/scripting.h"
#include "tests/support/fake_descriptor_host.h"

namespace tessaro::host {
namespace {

using testing::DescriptorEntry;
using testing::FakeDescriptorHost;

constexpr uint32_t Key(const char (&s)[5]) { return FourCC(s); }
constexpr uint32_t kLong = FourCC("long");
constexpr uint32_t kBool = FourCC("bool");

class ScriptingTest : public ::testing::Test {
 protected:
  void SetUp() override { host_.Attach(record_); }
  SystemMessageFn Recorder() {
    return [this](const char* text) { messages_.push_back(text); };
  }
  std::vector<uint32_t> WrittenKeys() const {
    std::vector<uint32_t> keys;
    for (const DescriptorEntry& e : FakeDescriptorHost::Contents(host_.params.descriptor))
      keys.push_back(e.key);
    return keys;
  }

  FakeDescriptorHost host_;
  FilterRecord record_{};
  std::vector<std::string> messages_;
};

TEST_F(ScriptingTest, NothingToReadLeavesTheValues) {
  EffectSettings s;
  s.depth = 77;
  EXPECT_EQ(ReadDescriptor(record_, s, Recorder()), kNoDescriptor);  // no descriptor handle
  FilterRecord bare{};
  EXPECT_EQ(ReadDescriptor(bare, s, Recorder()), kNoDescriptor);
  host_.params.readDescriptorProcs = nullptr;
  host_.params.descriptor = host_.MakeDescriptor({{Key("zooM"), kLong, 120}});
  EXPECT_EQ(ReadDescriptor(record_, s, Recorder()), kNoDescriptor);
  EXPECT_EQ(s.depth, 77);
  EXPECT_EQ(s.zoom, 90);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ScriptingTest, OneKeyOverLastUsedValuesAndTheHostsWishForTheDialog) {
  EffectSettings lastUsed;
  lastUsed.depth = 44;
  lastUsed.lightDirection = -135;
  for (int16_t playInfo : {int16_t(0), int16_t(1), int16_t(2)}) {
    EffectSettings s = lastUsed;
    host_.params.playInfo = playInfo;
    host_.params.descriptor = host_.MakeDescriptor({{Key("zooM"), kLong, 120}});
    const int r = ReadDescriptor(record_, s, Recorder());
    EXPECT_EQ(r, playInfo == 1 ? kShowDialog : kDontShowDialog) << playInfo;
    EffectSettings expected = lastUsed;
    expected.zoom = 120;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(host_.params.descriptor, nullptr) << "the host's descriptor is disposed";
  }
  EXPECT_EQ(host_.liveHandles, 0);
  // Every key, in terminology order, ended by 0, in an array the host may write.
  ASSERT_EQ(host_.keyArraySeen.size(), 16u);
  EXPECT_EQ(host_.keyArraySeen.front(), Key("angX"));
  EXPECT_EQ(host_.keyArraySeen[10], Key("angL"));
  EXPECT_EQ(host_.keyArraySeen.back(), Key("smoO"));
}

TEST_F(ScriptingTest, EveryKindOfValueIsTakenAsItsControlTakesIt) {
  EffectSettings s;
  host_.params.playInfo = 1;
  host_.params.descriptor = host_.MakeDescriptor({
      {Key("angX"), kLong, 200},  // slider clamps to 75
      {Key("rouN"), kLong, -300},
      {Key("oveR"), kBool, 1},
      {Key("colR"), kLong, 0x00112233},
      {Key("angL"), kLong, -90},
      {Key("ligH"), kBool, 0},
      {Key("smoO"), kBool, 1},
  });
  ReadDescriptor(record_, s, Recorder());
  EXPECT_EQ(s.angleX, 75);
  EXPECT_EQ(s.round, -100);
  EXPECT_TRUE(s.colorOverlay);
  EXPECT_EQ(s.color, 0x00112233u);
  EXPECT_EQ(s.lightDirection, -90);
  EXPECT_FALSE(s.lighting);
  EXPECT_TRUE(s.smoothDepth);
}

TEST_F(ScriptingTest, GetterErrorOrUnknownKeyEndsReadingKeepingEarlierValues) {
  EffectSettings s;
  host_.failGetterAt = 2;
  host_.params.descriptor = host_.MakeDescriptor({{Key("angX"), kLong, 10},
                                                  {Key("angY"), kLong, 20},
                                                  {Key("zooM"), kLong, 130},
                                                  {Key("depT"), kLong, 60}});
  ReadDescriptor(record_, s, Recorder());
  EXPECT_EQ(s.angleX, 10);
  EXPECT_EQ(s.angleY, 20);
  EXPECT_EQ(s.zoom, 90);
  EXPECT_EQ(s.depth, 30);

  EffectSettings t;
  host_.failGetterAt = -1;
  host_.params.descriptor = host_.MakeDescriptor(
      {{Key("angX"), kLong, 10}, {Key("xxxx"), kLong, 1}, {Key("depT"), kLong, 60}});
  ReadDescriptor(record_, t, Recorder());
  EXPECT_EQ(t.angleX, 10);
  EXPECT_EQ(t.depth, 30);
  EXPECT_EQ(host_.liveHandles, 0);
}

TEST_F(ScriptingTest, MissingDisposeProcedureIsReportedAndTheHandleForgotten) {
  EffectSettings s;
  host_.handleProcs.disposeProc = nullptr;
  Handle h = host_.MakeDescriptor({{Key("zooM"), kLong, 120}});
  host_.params.descriptor = h;
  ReadDescriptor(record_, s, Recorder());
  EXPECT_EQ(messages_, std::vector<std::string>{"DisposeProc error"});
  EXPECT_EQ(host_.params.descriptor, nullptr);
  EXPECT_EQ(s.zoom, 120);
  host_.handleProcs.disposeProc = nullptr;
  host_.params.descriptor = h;  // hand it back so the fake host frees it
}

TEST_F(ScriptingTest, WritesKeysInOrderWithConditionalGroups) {
  EffectSettings s;
  s.colorOverlay = false;
  s.lighting = true;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_EQ(WrittenKeys(),
            (std::vector<uint32_t>{Key("angX"), Key("angY"), Key("angZ"), Key("zooM"), Key("rouN"),
                                   Key("depT"), Key("oveR"), Key("ligH"), Key("angL"), Key("higH"),
                                   Key("higO"), Key("shaD"), Key("shaO"), Key("smoO")}));
  EXPECT_EQ(host_.params.recordInfo, 0);

  s.colorOverlay = true;
  s.lighting = false;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_EQ(WrittenKeys(),
            (std::vector<uint32_t>{Key("angX"), Key("angY"), Key("angZ"), Key("zooM"), Key("rouN"),
                                   Key("depT"), Key("oveR"), Key("colR"), Key("opaC"), Key("ligH"),
                                   Key("smoO")}));
  EXPECT_EQ(host_.liveHandles, 1) << "the earlier descriptor was disposed";
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ScriptingTest, RecordedValuesReplayToTheSameSettings) {
  EffectSettings s;
  s.angleX = -30;
  s.zoom = 140;
  s.colorOverlay = true;
  s.color = 0x00ABCDEF;
  s.lightDirection = 30;
  s.smoothDepth = true;
  WriteDescriptor(record_, s, Recorder());
  EffectSettings replayed;
  replayed.depth = 99;  // last-used values under the replay
  host_.params.playInfo = 0;
  EXPECT_EQ(ReadDescriptor(record_, replayed, Recorder()), kDontShowDialog);
  EffectSettings expected = s;
  EXPECT_EQ(replayed, expected);
}

TEST_F(ScriptingTest, WriteFailuresOfTheHostAreReported) {
  EffectSettings s;
  host_.failOpenWrite = true;
  host_.params.recordInfo = 1;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_EQ(messages_, std::vector<std::string>{"openWriteDesc error"});
  EXPECT_EQ(host_.params.recordInfo, 1) << "nothing recorded";

  messages_.clear();
  host_.failOpenWrite = false;
  host_.closeWriteYieldsNull = true;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_EQ(messages_, std::vector<std::string>{"null write descriptor"});
  EXPECT_EQ(host_.params.descriptor, nullptr);

  // A host without the procedures the module needs is left alone.
  messages_.clear();
  host_.writeProcs.putBooleanProc = nullptr;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ScriptingTest, TablesShorterThanTheSlotsUsedAreNeverCalled) {
  // A host whose tables end before the boolean slots: what lies past them is
  // not the host's, so neither reading nor writing may touch it.
  EffectSettings s;
  host_.params.descriptor = host_.MakeDescriptor({{Key("zooM"), kLong, 120}});
  host_.readProcs.numReadDescriptorProcs = 6;
  EXPECT_EQ(ReadDescriptor(record_, s, Recorder()), kNoDescriptor);
  EXPECT_EQ(s.zoom, 90);
  host_.readProcs.numReadDescriptorProcs = 7;
  EXPECT_NE(ReadDescriptor(record_, s, Recorder()), kNoDescriptor);
  EXPECT_EQ(s.zoom, 120);

  host_.params.recordInfo = 1;
  host_.writeProcs.numWriteDescriptorProcs = 5;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_EQ(host_.params.recordInfo, 1) << "nothing recorded";
  host_.writeProcs.numWriteDescriptorProcs = 6;
  WriteDescriptor(record_, s, Recorder());
  EXPECT_NE(host_.params.descriptor, nullptr);
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace tessaro::host
