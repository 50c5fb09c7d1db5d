#include <gtest/gtest.h>

#include "host/plugin_resources.h"
#include "tests/support/resource_checks.h"

namespace tessaro::host {
namespace {

TEST(PluginResourcesTest, PropertyListHasEveryPropertyAHostLooksFor) {
  const std::vector<uint8_t> bytes = BuildPropertyList();
  testing::ExpectTessaroPropertyList(bytes.data(), bytes.size());
}

TEST(PluginResourcesTest, TerminologyNamesTheEventAndSixteenParameters) {
  const std::vector<uint8_t> bytes = BuildTerminology();
  testing::ExpectTessaroTerminology(bytes.data(), bytes.size());
}

TEST(PluginResourcesTest, PropertyListStartsLikeEveryWindowsPropertyList) {
  // Prefix 1, version 0, ten properties, then "8BIM" "kind" byte-reversed.
  const std::vector<uint8_t> bytes = BuildPropertyList();
  const std::vector<uint8_t> head = {0x01, 0x00, 0, 0, 0, 0, 10, 0, 0, 0,
                                     'M',  'I',  'B', '8', 'd', 'n', 'i', 'k'};
  ASSERT_GE(bytes.size(), head.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + head.size()), head);
}

}  // namespace
}  // namespace tessaro::host
