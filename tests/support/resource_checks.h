// What a host must find in our two resources, checked property by property.
// Shared by the test of the generator and the test of the built module.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/resource_readers.h"

namespace tessaro::testing {

constexpr uint32_t Code(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

inline std::vector<uint8_t> Padded(std::vector<uint8_t> v) {
  while (v.size() % 4) v.push_back(0);
  return v;
}

inline std::vector<uint8_t> PascalBytes(const std::string& s) {
  std::vector<uint8_t> v{uint8_t(s.size())};
  v.insert(v.end(), s.begin(), s.end());
  return Padded(v);
}

inline std::vector<uint8_t> CStringBytes(const std::string& s) {
  std::vector<uint8_t> v(s.begin(), s.end());
  v.push_back(0);
  return Padded(v);
}

// entryKey: the entry point's key for the module's processor, "8664" or "wx86".
inline void ExpectTessaroPropertyList(const uint8_t* data, size_t size, uint32_t entryKey) {
  const PiplResource r = ReadPipl(data, size);
  EXPECT_EQ(r.prefix, 1);
  EXPECT_EQ(r.version, 0u);
  ASSERT_EQ(r.count, 10u);
  ASSERT_EQ(r.properties.size(), 10u);
  EXPECT_TRUE(r.walkedToEnd) << "properties do not end exactly at the resource end";

  const uint32_t expectedOrder[] = {Code("kind"), Code("name"), Code("catg"), Code("vers"),
                                    entryKey,     Code("hstm"), Code("mode"), Code("enbl"),
                                    Code("flly"), Code("fici")};
  for (size_t i = 0; i < r.properties.size(); ++i) {
    const PiplProperty& p = r.properties[i];
    EXPECT_EQ(p.key, expectedOrder[i]) << "property " << i;
    EXPECT_EQ(p.vendor, Code("8BIM")) << "property " << i;
    EXPECT_EQ(p.id, 0u) << "property " << i;
    EXPECT_EQ(p.length % 4, 0u) << "property " << i << " length not padded";
  }
  // Codes are stored byte-reversed: the file shows "MIB8" for the vendor.
  ASSERT_GE(size, 14u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data) + 10, 4), "MIB8");

  auto data_of = [&](const char(&key)[5]) {
    const PiplProperty* p = r.Find(Code(key));
    return p ? p->data : std::vector<uint8_t>{};
  };
  EXPECT_EQ(data_of("kind"), (std::vector<uint8_t>{'M', 'F', 'B', '8'}));
  EXPECT_EQ(data_of("name"), PascalBytes("Tessaro..."));
  EXPECT_EQ(data_of("catg"), PascalBytes("Quelmark Software"));
  EXPECT_EQ(data_of("vers"), (std::vector<uint8_t>{0x01, 0x00, 0x01, 0x00}));
  const PiplProperty* entry = r.Find(entryKey);
  ASSERT_NE(entry, nullptr) << "no entry point for the module's processor";
  EXPECT_EQ(entry->data, CStringBytes("PluginMainTessaro"));
  EXPECT_EQ(data_of("mode"), (std::vector<uint8_t>{0x10, 0, 0, 0}));
  EXPECT_EQ(data_of("enbl"), CStringBytes("in (PSHOP_ImageMode,RGBMode)"));
  EXPECT_EQ(data_of("flly"), (std::vector<uint8_t>{0x80, 0, 0, 0}));

  std::vector<uint8_t> hstm = {0, 0, 0, 0, '1', 'X', 'm', 'q', 'A', 's', 's', 't', 0x68, 0x42};
  const std::string scope = "Quelmark Software Tessaro";
  hstm.insert(hstm.end(), scope.begin(), scope.end());
  hstm.push_back(0);
  EXPECT_EQ(data_of("hstm"), Padded(hstm));
  EXPECT_EQ(data_of("hstm").size(), 40u);

  // Cases 1..7: flat, flat + selection, floating, then layers with editable
  // and with protected transparency, each without and with selection.
  const std::vector<uint8_t> fici = {1, 1, 0x07, 0, 1, 1, 0x0f, 0, 1, 1, 0x0f, 0, 1, 1, 0x07,
                                     0, 1, 1, 0x0f, 0, 1, 1, 0x07, 0, 1, 1, 0x0f, 0};
  EXPECT_EQ(data_of("fici"), fici);
}

inline void ExpectTessaroTerminology(const uint8_t* data, size_t size) {
  const AeteResource a = ReadAete(data, size);
  EXPECT_TRUE(a.walkedToEnd) << "terminology does not end exactly at the resource end";
  EXPECT_EQ(a.prefix, 1);
  EXPECT_EQ(a.major, 1);
  EXPECT_EQ(a.minor, 0);
  EXPECT_EQ(a.language, 0);
  EXPECT_EQ(a.script, 0);
  EXPECT_EQ(a.suiteCount, 1);
  EXPECT_EQ(a.suiteName, "Quelmark Software");
  EXPECT_EQ(a.suiteDescription, "Quelmark Filters");
  EXPECT_EQ(a.suiteId, Code("qmX1"));
  EXPECT_EQ(a.suiteLevel, 1);
  EXPECT_EQ(a.suiteVersion, 1);
  EXPECT_EQ(a.eventCount, 1);
  EXPECT_EQ(a.eventName, "Quelmark Tessaro");
  EXPECT_EQ(a.eventDescription, "");
  EXPECT_EQ(a.eventClass, Code("qmX1"));
  EXPECT_EQ(a.eventId, Code("tssA"));
  EXPECT_EQ(a.replyType, Code("null"));
  EXPECT_EQ(a.replyDescription, "");
  EXPECT_EQ(a.replyFlags, 0);
  EXPECT_EQ(a.directType, Code("#ImR"));
  EXPECT_EQ(a.directDescription, "");
  EXPECT_EQ(a.directFlags, 0xB000);

  struct Expected {
    const char* name;
    uint32_t key;
    uint32_t type;
  };
  const uint32_t kLong = Code("long"), kBool = Code("bool");
  const Expected expected[] = {
      {"Angle X", Code("angX"), kLong},           {"Angle Y", Code("angY"), kLong},
      {"Perspective", Code("angZ"), kLong},       {"Zoom", Code("zooM"), kLong},
      {"Depth", Code("depT"), kLong},             {"Round", Code("rouN"), kLong},
      {"Color overlay", Code("oveR"), kBool},     {"Color", Code("colR"), kLong},
      {"Color opacity", Code("opaC"), kLong},     {"Lighting", Code("ligH"), kBool},
      {"Light direction", Code("angL"), kLong},   {"Highlight color", Code("higH"), kLong},
      {"Highlight opacity", Code("higO"), kLong}, {"Shadow color", Code("shaD"), kLong},
      {"Shadow opacity", Code("shaO"), kLong},    {"Smooth depth", Code("smoO"), kBool},
  };
  ASSERT_EQ(a.parameters.size(), 16u);
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(a.parameters[i].name, expected[i].name) << "parameter " << i;
    EXPECT_EQ(a.parameters[i].key, expected[i].key) << "parameter " << i;
    EXPECT_EQ(a.parameters[i].type, expected[i].type) << "parameter " << i;
    EXPECT_EQ(a.parameters[i].description, "") << "parameter " << i;
    EXPECT_EQ(a.parameters[i].flags, 0) << "parameter " << i;
  }
  EXPECT_EQ(a.classCount, 0);
  EXPECT_EQ(a.comparisonCount, 0);
  EXPECT_EQ(a.enumerationCount, 0);
}

}  // namespace tessaro::testing
