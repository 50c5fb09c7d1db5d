#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "host/interface_hooks.h"
#include "host/plugin_app.h"
#include "host/plugin_errors.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/product_interface.h"

namespace tessaro::host {
namespace {

class ErrorStringTest : public ::testing::TestWithParam<size_t> {};

TEST_P(ErrorStringTest, LengthByteCharactersAndZeroAlwaysAgree) {
  const size_t n = GetParam();
  std::string text(n, 'x');
  for (size_t i = 0; i < n; ++i) text[i] = char('a' + i % 26);
  unsigned char buffer[256];
  std::memset(buffer, 0xAB, sizeof buffer);
  Str255& s = *reinterpret_cast<Str255*>(buffer);
  StoreErrorString(s, text);

  const size_t expected = n < 254 ? n : 254;
  EXPECT_EQ(buffer[0], expected);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer + 1), expected), text.substr(0, expected));
  EXPECT_EQ(buffer[expected + 1], 0);
  // Nothing past the trailing zero is touched.
  for (size_t i = expected + 2; i < 256; ++i) EXPECT_EQ(buffer[i], 0xAB) << i;
}

INSTANTIATE_TEST_SUITE_P(Lengths, ErrorStringTest,
                         ::testing::Values(0, 1, 127, 128, 200, 253, 254, 255, 256, 1000));

struct Failure {
  FilterRecord record{};
  Str255 errorString{};
  int16_t result = 12345;
  Failure() { record.errorString = &errorString; }
  std::string Text() const { return std::string(reinterpret_cast<const char*>(errorString + 1), errorString[0]); }
};

TEST(ReportFailureTest, MapsEachKindOfFailureToItsResult) {
  {
    Failure f;
    ReportFailure(std::make_exception_ptr(ErrorText{"advanceState no go!"}), &f.record, &f.result);
    EXPECT_EQ(f.result, -30904);
    EXPECT_EQ(f.Text(), "advanceState no go!");
  }
  {
    Failure f;
    ReportFailure(std::make_exception_ptr("plain text"), &f.record, &f.result);
    EXPECT_EQ(f.result, -30904);
    EXPECT_EQ(f.Text(), "plain text");
  }
  {
    Failure f;
    ReportFailure(std::make_exception_ptr(ResultCode{-128}), &f.record, &f.result);
    EXPECT_EQ(f.result, -128);
    EXPECT_EQ(f.errorString[0], 0) << "a result code carries no text";
  }
  {
    Failure f;
    ReportFailure(std::make_exception_ptr(std::bad_alloc()), &f.record, &f.result);
    EXPECT_EQ(f.result, -108);
  }
  {
    Failure f;
    ReportFailure(std::make_exception_ptr(std::runtime_error("x")), &f.record, &f.result);
    EXPECT_EQ(f.result, -1);
    ReportFailure(std::make_exception_ptr(42), &f.record, &f.result);
    EXPECT_EQ(f.result, -1);
  }
}

TEST(ReportFailureTest, TextWithoutRecordOrErrorStringStillGivesTheResult) {
  int16_t result = 0;
  ReportFailure(std::make_exception_ptr(ErrorText{"lost"}), nullptr, &result);
  EXPECT_EQ(result, -30904);
  FilterRecord record{};
  result = 0;
  ReportFailure(std::make_exception_ptr(ErrorText{"lost"}), &record, &result);
  EXPECT_EQ(result, -30904);
}

TEST(PluginMainTest, SilentRunFollowsParametersAndFinish) {
  FilterRecord record{};
  intptr_t data = 0;
  int16_t result = 1;
  SetSilentRun(true);
  PluginMain(kSelectorParameters, &record, &data, &result);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(SilentRun());
  PluginMain(kSelectorFinish, &record, &data, &result);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(SilentRun());
  EXPECT_EQ(ProductName(), "Tessaro");
}

TEST(PluginMainTest, EntryStoresTheCallAndTheSettingsKey) {
  FilterRecord record{};
  intptr_t data = 0;
  int16_t result = 1;
  PluginMain(kSelectorFinish, &record, &data, &result);
  EXPECT_EQ(TheApp().Record(), &record);
  EXPECT_EQ(TheApp().Data(), &data);
  EXPECT_EQ(TheApp().SettingsKey(), "Software\\Quelmark Ltd\\Tessaro");
}

TEST(PluginMainTest, PrepareResetsTheBorderTableOfEveryRun) {
  // Through the hooks the module installs before its first call.
  host::InstallInterfaceHooks(ProductInterfaceHooks());
  BorderTable custom = DefaultBorderTable();
  custom[0].outerTopLeft = -99;
  SetBorderTable(custom);
  FilterRecord record{};
  intptr_t data = 0;
  int16_t result = 1;
  PluginMain(kSelectorPrepare, &record, &data, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(GetBorderTable()[0].outerTopLeft, DefaultBorderTable()[0].outerTopLeft);
  host::InstallInterfaceHooks({});
}

TEST(PluginMainTest, NullResultPointerDoesNotCrash) {
  PluginMain(kSelectorFinish, nullptr, nullptr, nullptr);
}

}  // namespace
}  // namespace tessaro::host
