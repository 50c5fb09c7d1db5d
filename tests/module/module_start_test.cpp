// The start selector through the loaded module, with a scripted host.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <string>
#include <vector>

#include "host/user_message.h"
#include "module_loader.h"
#include "tests/support/fake_descriptor_host.h"
#include "tests/support/test_host.h"

namespace tessaro::testing {
namespace {

class ModuleStartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifndef _WIN32
    // The module reads the user's last-used values: give it an empty store.
    static const std::string dir =
        (std::filesystem::temp_directory_path() / ("tessaro-module-" + std::to_string(getpid())))
            .string();
    setenv("TESSARO_SETTINGS_DIR", dir.c_str(), 1);
#endif
    module_ = new LoadedModule(ModuleBesideExecutable());
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(module_->ok()) << module_->error(); }

  int16_t Start(TestHost& host) {
    // Messages go to standard error: no window may wait for a click in a test.
    host.record().hostSig = host::kConsoleHostSignature;
    intptr_t data = 0;
    int16_t result = 777;
    module_->entry()(host::kSelectorStart, &host.record(), &data, &result);
    return result;
  }
  static std::string ErrorText(TestHost& host) {
    const unsigned char* s = *host.record().errorString;
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
  }

  static LoadedModule* module_;
};
LoadedModule* ModuleStartTest::module_ = nullptr;

TEST_F(ModuleStartTest, FlatImageWithoutSelectionIsRefusedAndNothingWritten) {
  TestHost host(6, 5, 3, false);
  host.In(2, 2)[0] = 99;
  host.CopyInputToOutput();
  const std::vector<uint8_t> before = host.output();
  EXPECT_EQ(Start(host), -128);
  EXPECT_EQ(host.advanceCalls, 1);
  EXPECT_EQ(host.output(), before);
}

TEST_F(ModuleStartTest, ThinOrEmptyObjectIsRefused) {
  TestHost host(6, 5, 4, false);
  for (int x = 0; x < 6; ++x) host.In(x, 2)[3] = 255;  // one row only
  host.CopyInputToOutput();
  const std::vector<uint8_t> before = host.output();
  EXPECT_EQ(Start(host), -128);
  EXPECT_EQ(host.record().planes, 4) << "the transparency plane was asked for";
  EXPECT_EQ(host.output(), before);
}

TEST_F(ModuleStartTest, RefusedDataRequestIsReported) {
  TestHost host(4, 4, 4, false);
  host.advanceResult = -128;
  EXPECT_EQ(Start(host), -30904);
  EXPECT_EQ(ErrorText(host), "advanceState no go!");
}

TEST_F(ModuleStartTest, MissingBuffersEndTheRunQuietly) {
  TestHost host(4, 4, 4, false);
  host.record().filterRect = host::Rect16{0, 0, 0, 0};  // the host delivers nothing
  EXPECT_EQ(Start(host), 0);
}

TEST_F(ModuleStartTest, UnsupportedImageModeIsRefusedBeforeAnyRequest) {
  TestHost host(4, 4, 4, false);
  host.record().imageMode = 11;  // 16-bit RGB
  EXPECT_EQ(Start(host), -30101);
  EXPECT_EQ(host.advanceCalls, 0);
}

std::vector<std::pair<int32_t, int32_t>> g_progress;
void RecordProgress(int32_t done, int32_t total) { g_progress.emplace_back(done, total); }

TEST_F(ModuleStartTest, ReplayWithoutDialogRendersTheReliefIntoTheOutput) {
  TestHost host(32, 32, 4, false);
  for (int y = 12; y < 20; ++y)
    for (int x = 12; x < 20; ++x) {
      uint8_t* p = host.In(x, y);
      p[0] = 200, p[1] = 100, p[2] = 50, p[3] = 255;
    }
  host.CopyInputToOutput();
  g_progress.clear();
  host.record().progressProc = RecordProgress;
  ASSERT_EQ(Start(host), 0) << ErrorText(host);
  // The front face shows the picture itself; far outside the object nothing.
  EXPECT_EQ(host.Out(16, 16)[0], 200);
  EXPECT_EQ(host.Out(16, 16)[1], 100);
  EXPECT_EQ(host.Out(16, 16)[2], 50);
  EXPECT_EQ(host.Out(16, 16)[3], 255);
  EXPECT_EQ(host.Out(0, 0)[3], 0);
  EXPECT_EQ(host.Out(31, 31)[3], 0);
  // Progress: once with 0, then after every quad, ending with (total, total).
  ASSERT_GE(g_progress.size(), 2u);
  EXPECT_EQ(g_progress.front().first, 0);
  EXPECT_EQ(g_progress.back().first, g_progress.back().second);
  EXPECT_EQ(int(g_progress.size()), g_progress.back().second + 1);
}

// One editor fills every procedure of its tables but leaves their versions
// and counts at 0: its replayed values must still be read.  A count that
// ends before the boolean getter still keeps the module out of the table.
TEST_F(ModuleStartTest, TablesWithZeroCountsAreReadAndShortOnesLeftAlone) {
  auto replay = [&](int16_t readCount, int16_t writeCount, int16_t handleCount, int* opened) {
    TestHost host(32, 32, 4, false);
    for (int y = 10; y < 22; ++y)
      for (int x = 10; x < 22; ++x) host.In(x, y)[0] = 180, host.In(x, y)[3] = 255;
    host.CopyInputToOutput();
    FakeDescriptorHost scripting;
    scripting.Attach(host.record());
    scripting.readProcs.numReadDescriptorProcs = readCount;
    scripting.writeProcs.numWriteDescriptorProcs = writeCount;
    scripting.handleProcs.numHandleProcs = handleCount;
    if (readCount == 0) scripting.handleProcs.handleProcsVersion = 0;
    scripting.params.playInfo = host::kPlugInDialogDontDisplay;
    scripting.params.descriptor = scripting.MakeDescriptor(
        {{host::FourCC("zooM"), host::FourCC("long"), 150},
         {host::FourCC("angY"), host::FourCC("long"), 40}});
    EXPECT_EQ(Start(host), 0) << ErrorText(host);
    *opened = scripting.openReads;
    EXPECT_EQ(scripting.params.descriptor == nullptr, scripting.openReads == 1);
    return host.output();
  };
  int opened = 0;
  const std::vector<uint8_t> filled = replay(18, 16, 8, &opened);
  ASSERT_EQ(opened, 1);
  EXPECT_EQ(replay(0, 0, 0, &opened), filled);
  EXPECT_EQ(opened, 1) << "a count of 0 hid the host's procedures";
  EXPECT_NE(replay(6, 16, 8, &opened), filled) << "the replayed values changed nothing";
  EXPECT_EQ(opened, 0) << "a table that ends before the getters was read";
}

}  // namespace
}  // namespace tessaro::testing
