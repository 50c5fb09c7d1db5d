// What the effect dialog decides without a window: when it rebuilds and how
// much (driven by a test clock), where it opens, its menus and their texts,
// and the interface choices the main menu stores.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "i18n/language.h"
#include "settings/effect_settings.h"
#include "settings/file_settings_store.h"
#include "support/language_folder.h"
#include "ui/dialog/dialog_menus.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/main_dialog_layout.h"
#include "ui/dialog/rebuild_schedule.h"
#include "ui/dialog/window_placement.h"

namespace tessaro {
namespace {

int IdOf(SettingId id) { return Info(id).controlId; }

// One-shot platform timers on a clock the test moves.
class TestClock : public TimerService {
 public:
  void StartTimer(unsigned id, unsigned delayMs) override { due_[id] = now_ + delayMs; }
  void StopTimer(unsigned id) override { due_.erase(id); }

  // Moves the clock on, firing each timer as it comes due; the scheduler
  // stops the timer it is handed.
  void Advance(unsigned ms, RebuildScheduler& schedule, bool sceneExists) {
    const unsigned end = now_ + ms;
    for (;;) {
      auto next = due_.end();
      for (auto it = due_.begin(); it != due_.end(); ++it)
        if (it->second <= end && (next == due_.end() || it->second < next->second)) next = it;
      if (next == due_.end()) break;
      now_ = next->second;
      const unsigned id = next->first;
      const RebuildWork work = schedule.Fired(id, sceneExists);
      if (due_.count(id)) due_.erase(id);  // a platform timer would fire again
      if (work != RebuildWork::kNone) done.push_back({now_, work});
    }
    now_ = end;
  }

  struct Done {
    unsigned at;
    RebuildWork work;
  };
  std::vector<Done> done;

 private:
  unsigned now_ = 0;
  std::map<unsigned, unsigned> due_;
};

TEST(RebuildScheduleTest, BurstsMergeIntoOneRebuildOfTheCheapestSufficientLevel) {
  TestClock clock;
  RebuildScheduler schedule(clock);
  const ScheduleFeatures lit{false, true};

  // Three Depth changes within 250 ms: one slice rebuild, 250 ms after the last.
  schedule.ControlChanged(IdOf(SettingId::Depth), lit);
  clock.Advance(100, schedule, true);
  schedule.ControlChanged(IdOf(SettingId::Depth), lit);
  clock.Advance(100, schedule, true);
  schedule.ControlChanged(IdOf(SettingId::Depth), lit);
  clock.Advance(1000, schedule, true);
  ASSERT_EQ(clock.done.size(), 1u);
  EXPECT_EQ(clock.done[0].at, 450u);
  EXPECT_EQ(clock.done[0].work, RebuildWork::kSlicesShadeAndRender);

  clock.done.clear();
  schedule.ControlChanged(IdOf(SettingId::AngleX), lit);
  schedule.ControlChanged(IdOf(SettingId::LightDirection), lit);
  clock.Advance(300, schedule, true);
  ASSERT_EQ(clock.done.size(), 2u);
  EXPECT_EQ(clock.done[0].work, RebuildWork::kRender);
  EXPECT_EQ(clock.done[1].work, RebuildWork::kShadeAndRender);
}

TEST(RebuildScheduleTest, OpacitiesOfFeaturesThatAreOffRebuildNothing) {
  const ScheduleFeatures off{false, false}, on{true, true};
  for (SettingId id :
       {SettingId::ColorOpacity, SettingId::HighlightOpacity, SettingId::ShadowOpacity}) {
    EXPECT_FALSE(TimerForChange(IdOf(id), off).has_value());
    EXPECT_EQ(TimerForChange(IdOf(id), on), (TimerRestart{kSlicesTimer, kChangeDelayMs}));
  }
  // The overlay's opacity follows Overlay, the light's follow Lighting.
  EXPECT_FALSE(TimerForChange(IdOf(SettingId::ColorOpacity), {false, true}).has_value());
  EXPECT_FALSE(TimerForChange(IdOf(SettingId::ShadowOpacity), {true, false}).has_value());
  // Eyedropper colours are quicker, and only where they show.
  EXPECT_FALSE(TimerForEyedropper(IdOf(SettingId::Color), off).has_value());
  EXPECT_EQ(TimerForEyedropper(IdOf(SettingId::ShadowColor), on),
            (TimerRestart{kSlicesTimer, kRefreshDelayMs}));
  // Buttons, checks and the preview are no timed rebuild.
  for (int id : {kMainOkId, kPreviewId, IdOf(SettingId::Lighting), IdOf(SettingId::Color)})
    EXPECT_FALSE(TimerForChange(id, on).has_value()) << id;
}

TEST(RebuildScheduleTest, WorkBeforeTheFirstBuildIsSkippedAndOkStopsEverything) {
  TestClock clock;
  RebuildScheduler schedule(clock);
  schedule.StartFirstBuild();
  // The sliders' configuration notices come before the scene exists.
  schedule.ControlChanged(IdOf(SettingId::Zoom), {});
  clock.Advance(300, schedule, false);
  ASSERT_EQ(clock.done.size(), 1u);
  EXPECT_EQ(clock.done[0].work, RebuildWork::kFirstBuild);

  schedule.ControlChanged(IdOf(SettingId::Round), {});
  schedule.ControlChanged(IdOf(SettingId::AngleY), {});
  EXPECT_TRUE(schedule.IsWaiting(kSlicesTimer));
  EXPECT_EQ(schedule.StopAll(), RebuildWork::kSlicesShadeAndRender);
  EXPECT_FALSE(schedule.IsWaiting(kSlicesTimer));
  EXPECT_FALSE(schedule.IsWaiting(kRenderTimer));
  clock.Advance(1000, schedule, true);
  EXPECT_EQ(clock.done.size(), 1u) << "a stopped timer never fires";
  EXPECT_EQ(schedule.Fired(12345, true), RebuildWork::kNone);
}

TEST(MainDialogLayoutTest, EveryItemOnceAndEveryParameterHasItsControl) {
  std::set<int> ids;
  for (const MainDialogItem& item : MainDialogItems()) {
    EXPECT_TRUE(ids.insert(item.id).second) << "id " << item.id << " twice";
    EXPECT_LE(item.x + item.cx, kMainDialogUnitsWidth) << item.id;
    EXPECT_LE(item.y + item.cy, kMainDialogUnitsHeight) << item.id;
    EXPECT_EQ(item.page != 0, item.kind == MainItemKind::kSlider) << item.id;
  }
  EXPECT_EQ(ids.size(), 36u);
  for (const SettingInfo& info : kSettingTable) {
    ASSERT_NE(FindMainDialogItem(info.controlId), nullptr) << info.storeName;
    if (info.labelId != 0) {
      EXPECT_NE(FindMainDialogItem(info.labelId), nullptr) << info.label;
    }
  }
  EXPECT_EQ(FindMainDialogItem(IdOf(SettingId::Zoom))->page, 10);
}

TEST(WindowPlacementTest, FirstOpeningAndStoredPlacement) {
  const ScreenRect created = {0, 0, 795, 556};
  // Nothing stored: 905 x 560 about the template's centre, never negative.
  ScreenRect r = InitialPlacement(created, StoredPlacement{}, 905, 560);
  EXPECT_EQ(r, (ScreenRect{0, 0, 905, 560}));
  r = InitialPlacement({300, 200, 1095, 756}, StoredPlacement{}, 905, 560);
  EXPECT_EQ(r, (ScreenRect{245, 198, 1150, 758}));
  // A stored left edge of 0 counts as nothing stored.
  EXPECT_EQ(InitialPlacement(created, {0, 40, 1000, 700}, 905, 560), (ScreenRect{0, 0, 905, 560}));
  // Stored: as stored, with the template's top when the top is not positive.
  EXPECT_EQ(InitialPlacement(created, {50, 60, 1000, 700}, 905, 560),
            (ScreenRect{50, 60, 1050, 760}));
  EXPECT_EQ(InitialPlacement(created, {50, -5, 1000, 700}, 905, 560),
            (ScreenRect{50, 0, 1050, 700}));
}

TEST(WindowPlacementTest, AWindowOffEveryMonitorComesBackToTheNearest) {
  const std::vector<ScreenRect> monitors = {{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
  // Mostly on a monitor: left alone.
  EXPECT_EQ(KeepOnMonitors({1800, 100, 2800, 700}, monitors), (ScreenRect{1800, 100, 2800, 700}));
  EXPECT_EQ(KeepOnMonitors({-900, 10, 100, 600}, monitors), (ScreenRect{-900, 10, 100, 600}));
  // On a screen since disconnected, to the right: onto the second monitor.
  EXPECT_EQ(KeepOnMonitors({4000, 300, 4905, 860}, monitors), (ScreenRect{2295, 300, 3200, 860}));
  // Above and left of everything, and larger than the monitor: shrunk to fit.
  EXPECT_EQ(KeepOnMonitors({-5000, -3000, -2000, -1000}, monitors), (ScreenRect{0, 0, 1920, 1040}));
  // Only a sliver showing is not enough to take hold of it.
  EXPECT_EQ(KeepOnMonitors({1900, 1030, 2800, 1600}, monitors), (ScreenRect{1020, 470, 1920, 1040}));
  EXPECT_EQ(KeepOnMonitors({5, 5, 50, 50}, {}), (ScreenRect{5, 5, 50, 50}));
}

// A language file with menu texts, and the store, in a folder of their own.
class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("langs/de.lng",
                  "[Info]\nprogram=Quelmark Tessaro\nname=Deutsch\n"
                  "[Main_menu]\n0+32801=Oberfl\xC3\xA4" "che\n32802=Aqua-Stil\n0+32775=Sprache\n"
                  "[Nested]\n1+7=Tief\n7=Sieben\n");
    folder_.Write("fr.lng", "[Info]\nprogram=Quelmark Tessaro\nname=Fran\xC3\xA7" "ais\n");
    language_.LoadFrom("Quelmark Tessaro", 0, folder_.Folder());
  }
  void TearDown() override { ResetInterfaceColors(); }

  testing::LanguageFolder folder_;
  i18n::CLanguage language_;
  FileSettingsStore store_{folder_.Folder() + "store/Tessaro.settings"};
};

TEST_F(MenuTest, MainMenuListsLanguagesAndChecksTheCurrentOnesAndStyle) {
  i18n::CLanguage none;
  MenuEntry menu = MainMenuFor(none, kButtonStyleChrome);
  ASSERT_EQ(menu.items[1].items.size(), 1u);
  EXPECT_EQ(menu.items[1].items[0].text, "English");
  EXPECT_TRUE(menu.items[1].items[0].checked);
  EXPECT_TRUE(menu.Find(kChromeStyleCommand)->checked);
  EXPECT_FALSE(menu.Find(kAquaStyleCommand)->checked);
  EXPECT_EQ(InterpretMainMenu(kFirstListCommand, none.Count()).action, MainMenuAction::kNone);

  language_.Select("Deutsch");
  menu = MainMenuFor(language_, kButtonStyleFlat);
  ASSERT_EQ(menu.items[1].items.size(), 2u);
  EXPECT_EQ(menu.items[1].items[0].text, "Fran\xC3\xA7" "ais");  // the module folder first
  EXPECT_FALSE(menu.items[1].items[0].checked);
  EXPECT_TRUE(menu.items[1].items[1].checked);
  EXPECT_TRUE(menu.Find(kFlatStyleCommand)->checked);
  const MainMenuChoice second = InterpretMainMenu(kFirstListCommand + 1, language_.Count());
  EXPECT_EQ(second.action, MainMenuAction::kLanguage);
  EXPECT_EQ(second.languageIndex, 1);
  EXPECT_EQ(InterpretMainMenu(kFirstListCommand + 2, language_.Count()).action,
            MainMenuAction::kNone);
  EXPECT_EQ(InterpretMainMenu(kChromeStyleCommand, 0).style, kButtonStyleChrome);
}

TEST_F(MenuTest, TextsFollowTheSubMenuKeyRuleAndKeepItemStates) {
  language_.Select("Deutsch");
  MenuEntry menu = MainMenuFor(language_, kButtonStyleAqua);
  MenuEntryTexts texts(menu);
  ApplyMenuTexts(language_, "Main_menu", texts);
  EXPECT_EQ(menu.items[0].text, "Oberfl\xC3\xA4" "che");
  EXPECT_TRUE(menu.items[0].subMenu);
  EXPECT_EQ(menu.Find(kAquaStyleCommand)->text, "Aqua-Stil");
  EXPECT_TRUE(menu.Find(kAquaStyleCommand)->checked);
  EXPECT_EQ(menu.Find(kFlatStyleCommand)->text, "Flat Style") << "a missing key keeps English";
  EXPECT_EQ(menu.items[1].text, "Sprache");

  // A sub-menu without a command of its own takes its nested one's, one
  // level down; the rule holds for every later menu too.
  for (int round = 0; round < 2; ++round) {
    MenuEntry nested = MenuEntry::Popup(
        "", {MenuEntry::Popup("Outer", {MenuEntry::Popup("Inner", {MenuEntry::Command(7, "7")})})});
    MenuEntryTexts nestedTexts(nested);
    EXPECT_EQ(i18n::SubMenuKey(nestedTexts, 0), "1+7");
    ApplyMenuTexts(language_, "Nested", nestedTexts);
    EXPECT_EQ(nested.items[0].text, "Tief");
    EXPECT_EQ(nested.items[0].items[0].items[0].text, "Sieben");
  }
}

TEST_F(MenuTest, PresetsMenuGreysSaveWhenNoIdIsLeft) {
  std::vector<std::string> names;
  EXPECT_EQ(PresetsMenuFor(names).items.size(), 6u);  // the fixed items and separators only
  for (int i = 0; i < 25; ++i) names.push_back("P" + std::to_string(i));
  EXPECT_FALSE(PresetsMenuFor(names).Find(kSavePresetCommand)->grayed);
  names.push_back("P25");
  MenuEntry menu = PresetsMenuFor(names);
  EXPECT_TRUE(menu.Find(kSavePresetCommand)->grayed);
  EXPECT_EQ(menu.Find(kLastListCommand)->text, "P25");
  names.push_back("P26");  // made elsewhere: it has no id
  EXPECT_EQ(PresetsMenuFor(names).items.size(), 6u + 26u);

  EXPECT_EQ(InterpretPresetsMenu(kFirstListCommand + 3, 4).presetIndex, 3);
  EXPECT_EQ(InterpretPresetsMenu(kFirstListCommand + 4, 4).action, PresetsAction::kNone);
  EXPECT_EQ(InterpretPresetsMenu(kResetSettingsCommand, 0).action, PresetsAction::kReset);
  EXPECT_EQ(InterpretPresetsMenu(kLastUsedCommand, 0).action, PresetsAction::kLastUsed);
  EXPECT_EQ(InterpretPresetsMenu(0, 0).action, PresetsAction::kNone);
}

TEST_F(MenuTest, InterfaceChoicesAreStoredAndResetRestoresEverything) {
  ChooseButtonStyle(store_, kButtonStyleChrome);
  ChooseWindowColor(store_, 0x00102030);
  ChooseControlColor(store_, 0xFF405060);
  EXPECT_EQ(store_.GetInt("", "Button style", -1), kButtonStyleChrome);
  EXPECT_EQ(store_.GetInt("", "Window color", -1), 0x102030);
  EXPECT_EQ(store_.GetInt("", "Control color", -1), 0x405060);
  EXPECT_EQ(GetInterfaceSettings().controlLight, ShadeColor(0x405060, 16));
  EXPECT_EQ(GetInterfaceSettings().frameColor, 0x102030u);

  ResetInterface(store_);
  EXPECT_EQ(GetInterfaceSettings().windowColor, kDefaultWindowColor);
  EXPECT_EQ(store_.GetInt("", "Control color", -1), int32_t(kDefaultControlColor));
  EXPECT_EQ(store_.GetInt("", "Button style", -1), kDefaultButtonStyle);

  store_.WriteInt("", "Window color", 0x445566);
  LoadInterfaceSettings(store_);
  EXPECT_EQ(GetInterfaceSettings().windowColor, 0x445566u);

  EXPECT_TRUE(ChooseLanguage(store_, language_, 1));
  EXPECT_EQ(language_.GetName(-1), "Deutsch");
  EXPECT_EQ(store_.GetString("", "Language", ""), "Deutsch");
  EXPECT_FALSE(ChooseLanguage(store_, language_, 2));
}

}  // namespace
}  // namespace tessaro
