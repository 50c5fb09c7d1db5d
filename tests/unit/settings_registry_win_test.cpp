// The registry store behaves like the file store: same names, same rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/presets.h"
#include "settings/settings_store.h"

namespace tessaro {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = "Tessaro-test-" + std::to_string(GetCurrentProcessId());
    store_ = OpenSettingsStore("Quelmark Ltd Tests", app_);
  }
  void TearDown() override {
    const std::wstring key = L"Software\\Quelmark Ltd Tests\\" + std::wstring(app_.begin(), app_.end());
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  }
  std::string app_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_F(RegistryStoreTest, IntegersStringsAndCaseInsensitiveNames) {
  EXPECT_EQ(store_->GetInt("", "X", -9999), -9999);
  ASSERT_TRUE(store_->WriteInt("", "Y", -120));
  ASSERT_TRUE(store_->WriteString("", "Language", "Fran\xC3\xA7" "ais"));
  EXPECT_EQ(store_->GetInt("", "y", 0), -120);
  EXPECT_EQ(store_->GetString("", "LANGUAGE", ""), "Fran\xC3\xA7" "ais");
  EXPECT_EQ(store_->GetInt("", "Language", 3), 3);
}

TEST_F(RegistryStoreTest, PresetsAreSubkeys) {
  EffectSettings s;
  s.lightDirection = -135;
  s.depth = 70;
  ASSERT_TRUE(SaveEffectSettings(*store_, "Soft", s));
  ASSERT_TRUE(SaveEffectSettings(*store_, "", EffectSettings::Defaults()));
  EXPECT_EQ(ListPresets(*store_), std::vector<std::string>{"Soft"});
  EXPECT_EQ(LoadEffectSettings(*store_, "soft"), s);
  DeletePreset(*store_, "Soft");
  EXPECT_TRUE(ListPresets(*store_).empty());
  DeletePreset(*store_, "\\");
  EXPECT_EQ(store_->GetInt("", "Depth", -1), 30) << "last-used values survive";
}

}  // namespace
}  // namespace tessaro
