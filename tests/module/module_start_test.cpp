// The start selector through the loaded module, with a scripted host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/user_message.h"
#include "module_loader.h"
#include "tests/support/test_host.h"

namespace tessaro::testing {
namespace {

class ModuleStartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_ = new LoadedModule(ModuleBesideExecutable()); }
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

// Work that this build does not have yet must fail with a text the host can
// show, never report success.  Its explanation is longer than a host's error
// string holds, so it also shows how long texts arrive.
TEST_F(ModuleStartTest, UnbuiltWorkFailsWithAnErrorTextCutToFit) {
  TestHost host(8, 8, 4, false);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) host.In(x, y)[3] = 255;
  host.CopyInputToOutput();
  const std::vector<uint8_t> before = host.output();
  unsigned char* errorString = *host.record().errorString;
  std::memset(errorString, 0xCC, 256);
  ASSERT_EQ(Start(host), -30904);
  const size_t n = errorString[0];
  EXPECT_EQ(n, 254u);
  const std::string text(reinterpret_cast<char*>(errorString + 1), n);
  EXPECT_EQ(text.rfind("Tessaro cannot ", 0), 0u) << text;
  EXPECT_EQ(text.find('\xCC'), std::string::npos) << "stale bytes inside the text";
  EXPECT_EQ(text.find('\0'), std::string::npos);
  EXPECT_EQ(errorString[n + 1], 0) << "no trailing zero";
  EXPECT_EQ(host.output(), before);
}

}  // namespace
}  // namespace tessaro::testing
