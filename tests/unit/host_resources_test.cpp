#include <gtest/gtest.h>

#include "host/plugin_resources.h"
#include "tests/support/resource_checks.h"

namespace tessaro::host {
namespace {

TEST(PluginResourcesTest, PropertyListHasEveryPropertyAHostLooksFor) {
  const std::vector<uint8_t> bytes = BuildPropertyList(ModuleArchitecture::X64);
  testing::ExpectTessaroPropertyList(bytes.data(), bytes.size(), testing::Code("8664"));
}

TEST(PluginResourcesTest, ThirtyTwoBitListDiffersOnlyInTheEntryPointKey) {
  // A 64-bit host passes over a module without "8664", a 32-bit one over a
  // module without "wx86": each list must carry exactly its own.
  const std::vector<uint8_t> x86 = BuildPropertyList(ModuleArchitecture::X86);
  testing::ExpectTessaroPropertyList(x86.data(), x86.size(), testing::Code("wx86"));
  EXPECT_EQ(testing::ReadPipl(x86.data(), x86.size()).Find(testing::Code("8664")), nullptr);
  std::vector<uint8_t> x64 = BuildPropertyList(ModuleArchitecture::X64);
  ASSERT_EQ(x64.size(), x86.size());
  EXPECT_EQ(testing::ReadPipl(x64.data(), x64.size()).Find(testing::Code("wx86")), nullptr);
  size_t differing = 0;
  for (size_t i = 0; i < x64.size(); ++i) differing += x64[i] != x86[i];
  EXPECT_EQ(differing, 4u);  // the key's four bytes
}

TEST(PluginResourcesTest, TerminologyNamesTheEventAndSixteenParameters) {
  const std::vector<uint8_t> bytes = BuildTerminology();
  testing::ExpectTessaroTerminology(bytes.data(), bytes.size());
}

TEST(PluginResourcesTest, PropertyListStartsLikeEveryWindowsPropertyList) {
  // Prefix 1, version 0, ten properties, then "8BIM" "kind" byte-reversed.
  const std::vector<uint8_t> bytes = BuildPropertyList(ModuleArchitecture::X64);
  const std::vector<uint8_t> head = {0x01, 0x00, 0, 0, 0, 0, 10, 0, 0, 0,
                                     'M',  'I',  'B', '8', 'd', 'n', 'i', 'k'};
  ASSERT_GE(bytes.size(), head.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + head.size()), head);
}

}  // namespace
}  // namespace tessaro::host
