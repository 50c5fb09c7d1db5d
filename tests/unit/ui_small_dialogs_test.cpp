// The decisions of the small dialogs and of applying texts to dialogs, without
// any window: button sets and their captions, the Enter answer, the confirmed
// preset deletion, and which language text goes to which control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "i18n/dialog_texts.h"
#include "i18n/language.h"
#include "settings/effect_settings.h"
#include "settings/file_settings_store.h"
#include "settings/presets.h"
#include "tests/support/language_folder.h"
#include "ui/toolkit/small_dialogs.h"

namespace tessaro {
namespace {

using testing::LanguageFolder;
using Strings = std::vector<std::string>;

constexpr char kProgram[] = "Quelmark Tessaro";

// A language table whose current file has body after its Info section.
struct Language {
  explicit Language(const std::string& body) {
    folder.Write("x.lng", std::string("[Info]\nprogram=") + kProgram + "\nname=X\n" + body);
    table.LoadFrom(kProgram, 0, folder.Folder());
    table.Select("X");
  }
  LanguageFolder folder;
  i18n::CLanguage table;
};

TEST(MessageButtons, SetsShowTheirButtonsRightAlignedWithTheirResults) {
  const i18n::CLanguage english;
  const MessageButtons yesNo = MessageButtonsFor(kMessageSetYesNo, english);
  EXPECT_EQ(yesNo.button[0].caption, "");
  EXPECT_EQ(yesNo.button[1].caption, "Yes");
  EXPECT_EQ(yesNo.button[1].result, kResultYes);
  EXPECT_EQ(yesNo.button[2].caption, "No");
  EXPECT_EQ(yesNo.button[2].result, kResultNo);
  EXPECT_EQ(yesNo.enterResult, kResultYes);

  const MessageButtons ok = MessageButtonsFor(kMessageSetOk, english);
  EXPECT_EQ(ok.button[0].caption, "");
  EXPECT_EQ(ok.button[1].caption, "");
  EXPECT_EQ(ok.button[2].caption, "OK");
  EXPECT_EQ(ok.button[2].result, kResultOk);
  EXPECT_EQ(ok.enterResult, kResultOk);

  // A set nobody defined still gives the user a way out.
  const MessageButtons unknown = MessageButtonsFor(7, english);
  EXPECT_EQ(unknown.button[2].caption, "OK");
  EXPECT_EQ(unknown.enterResult, kResultOk);
}

TEST(MessageButtons, CaptionsComeFromTheLanguageAndEnterStillAnswersYes) {
  Language lang("[Msg]\nyes=Jawohl\nno=\nok=[Msg]/yes\n");
  const MessageButtons yesNo = MessageButtonsFor(kMessageSetYesNo, lang.table);
  EXPECT_EQ(yesNo.button[1].caption, "Jawohl");
  EXPECT_EQ(yesNo.button[2].caption, "No") << "an empty value keeps the built-in caption";
  EXPECT_EQ(yesNo.enterResult, kResultYes);
  EXPECT_EQ(MessageButtonsFor(kMessageSetOk, lang.table).button[2].caption, "Jawohl");
}

TEST(SmallDialogLayouts, EveryItemFitsItsDialogAndButtonsDoNotOverlap) {
  for (const SmallDialogLayout* layout :
       {&MessageDialogLayout(), &InputDialogLayout(), &ManagePresetsDialogLayout()}) {
    std::vector<const SmallDialogItem*> buttons;
    bool caption = false, close = false;
    for (const SmallDialogItem& item : layout->items) {
      EXPECT_GE(item.x, 0);
      EXPECT_GE(item.y, 0);
      EXPECT_LE(item.x + item.cx, layout->cx) << layout->templateId << " item " << item.id;
      EXPECT_LE(item.y + item.cy, layout->cy) << layout->templateId << " item " << item.id;
      caption |= item.id == 1004 && item.kind == SmallItemKind::kCaption;
      close |= item.id == 1005 && item.kind == SmallItemKind::kCloseButton;
      if (item.kind == SmallItemKind::kButton || item.kind == SmallItemKind::kDefaultButton ||
          item.kind == SmallItemKind::kCloseButton)
        buttons.push_back(&item);
    }
    EXPECT_TRUE(caption && close) << layout->templateId << ": the frame needs both";
    for (size_t i = 0; i < buttons.size(); ++i) {
      for (size_t j = i + 1; j < buttons.size(); ++j) {
        const SmallDialogItem& a = *buttons[i];
        const SmallDialogItem& b = *buttons[j];
        const bool apart = a.x + a.cx <= b.x || b.x + b.cx <= a.x || a.y + a.cy <= b.y ||
                           b.y + b.cy <= a.y;
        EXPECT_TRUE(apart) << layout->templateId << ": " << a.id << " and " << b.id;
      }
    }
  }
}

class PresetDeletion : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "tessaro-delete-preset-" +
            std::to_string(reinterpret_cast<uintptr_t>(this)) + ".txt";
    store_ = std::make_unique<FileSettingsStore>(path_);
    for (const char* name : {"Soft", "Soft 2", "Hard"})
      ASSERT_TRUE(SaveEffectSettings(*store_, name, EffectSettings{}));
    names_ = ListPresets(*store_);
  }
  void TearDown() override {
    store_.reset();
    std::remove(path_.c_str());
    std::remove((path_ + ".tmp").c_str());
  }
  Strings Sorted(Strings names) const {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string path_;
  std::unique_ptr<FileSettingsStore> store_;
  Strings names_;
};

TEST_F(PresetDeletion, NothingSelectedAsksNothing) {
  int asked = 0;
  EXPECT_FALSE(DeleteSelectedPreset(*store_, names_, std::nullopt, [&] { return ++asked, 6; }));
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(Sorted(ListPresets(*store_)), (Strings{"Hard", "Soft", "Soft 2"}));
}

TEST_F(PresetDeletion, OnlyYesDeletesAndExactlyTheSelectedName) {
  for (int answer : {kResultNo, kResultCancel, kResultOk}) {
    EXPECT_FALSE(DeleteSelectedPreset(*store_, names_, std::string("Soft"), [=] { return answer; }));
    EXPECT_EQ(Sorted(names_), (Strings{"Hard", "Soft", "Soft 2"})) << answer;
    EXPECT_EQ(Sorted(ListPresets(*store_)), (Strings{"Hard", "Soft", "Soft 2"})) << answer;
  }
  EXPECT_TRUE(DeleteSelectedPreset(*store_, names_, std::string("Soft"), [] { return 6; }));
  EXPECT_EQ(Sorted(names_), (Strings{"Hard", "Soft 2"}));
  EXPECT_EQ(Sorted(ListPresets(*store_)), (Strings{"Hard", "Soft 2"}));
}

TEST(DialogTexts, ClassesDecideHowAControlTakesItsText) {
  using i18n::ChildTextKind;
  EXPECT_EQ(i18n::ChildTextKindFor("ComboBox"), ChildTextKind::kItems);
  EXPECT_EQ(i18n::ChildTextKindFor("COMBOBOX"), ChildTextKind::kItems);
  EXPECT_EQ(i18n::ChildTextKindFor("SysListView32"), ChildTextKind::kColumns);
  EXPECT_EQ(i18n::ChildTextKindFor("ComboBoxEx32"), ChildTextKind::kText);
  EXPECT_EQ(i18n::ChildTextKindFor("Button"), ChildTextKind::kText);
  EXPECT_EQ(i18n::ChildTextKindFor(""), ChildTextKind::kText);
}

TEST(DialogTexts, ControlsAreKeyedByIdAndTheDialogByZero) {
  Language lang(
      "[Settings]\n0=Preset speichern\n1004=[Settings]/0\n1025=Name\\tdes Presets\n"
      "1030=a, b,c\n1031=eins,zwei\n1026=\n");
  const i18n::CLanguage& t = lang.table;
  EXPECT_EQ(i18n::DialogTitleText(t, "Settings"), "Preset speichern");
  EXPECT_EQ(i18n::ChildTextsFor(t, "Settings", "Static", 1004).text, "Preset speichern");
  EXPECT_EQ(i18n::ChildTextsFor(t, "Settings", "Static", 1025).text, "Name\tdes Presets");
  // Lists are split untrimmed and never redirected; a text control keeps the
  // whole value.
  EXPECT_EQ(i18n::ChildTextsFor(t, "Settings", "ComboBox", 1030).items, (Strings{"a", " b", "c"}));
  EXPECT_EQ(i18n::ChildTextsFor(t, "Settings", "SysListView32", 1031).items,
            (Strings{"eins", "zwei"}));
  EXPECT_EQ(i18n::ChildTextsFor(t, "Settings", "Static", 1030).text, "a, b,c");
  // Empty and missing values, and other sections, change nothing.
  EXPECT_FALSE(i18n::ChildTextsFor(t, "Settings", "Edit", 1026).Changes());
  EXPECT_FALSE(i18n::ChildTextsFor(t, "Settings", "Button", 1).Changes());
  EXPECT_FALSE(i18n::ChildTextsFor(t, "Manage_presets", "Static", 1004).Changes());
  EXPECT_EQ(i18n::DialogTitleText(t, "Manage_presets"), "");
}

TEST(DialogTexts, WithoutACurrentLanguageNothingChanges) {
  const i18n::CLanguage english;
  EXPECT_EQ(i18n::DialogTitleText(english, "Settings"), "");
  EXPECT_FALSE(i18n::ChildTextsFor(english, "Settings", "Static", 1004).Changes());
  EXPECT_FALSE(i18n::ChildTextsFor(english, "Settings", "ComboBox", 1030).Changes());
}

}  // namespace
}  // namespace tessaro
