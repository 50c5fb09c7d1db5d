// The effect dialog's two pop-up menus as data: the main menu (interface
// style and colours, language, support page, about) and the presets menu.
// Both are built from their tables here, so the Windows menus, the texts of
// the language and the handling of a choice are decided without a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "i18n/menu_texts.h"

namespace tessaro {

class SettingsStore;
namespace i18n {
class CLanguage;
}

constexpr int kMainMenuId = 1003;
constexpr int kPresetsMenuId = 1010;

// Main menu commands.
constexpr int kChromeStyleCommand = 32801;
constexpr int kAquaStyleCommand = 32802;
constexpr int kAboutCommand = 32803;
constexpr int kFlatStyleCommand = 32805;
constexpr int kControlsColorCommand = 32806;
constexpr int kWindowColorCommand = 32807;
constexpr int kSupportCommand = 32810;
constexpr int kResetInterfaceCommand = 32812;
// Presets menu commands.
constexpr int kSavePresetCommand = 32801;
constexpr int kManagePresetsCommand = 32802;
constexpr int kLastUsedCommand = 32803;
constexpr int kResetSettingsCommand = 32808;
// Languages and presets: one item each from here, the 26th at kLastListCommand.
constexpr int kFirstListCommand = 32775;
constexpr int kLastListCommand = 32800;
constexpr int kListCommandCount = kLastListCommand - kFirstListCommand + 1;

struct MenuEntry {
  int id = 0;  // 0: a separator, or a sub-menu
  std::string text;
  bool checked = false;
  bool grayed = false;
  bool subMenu = false;
  std::vector<MenuEntry> items;

  static MenuEntry Command(int id, std::string text) {
    MenuEntry e;
    e.id = id;
    e.text = std::move(text);
    return e;
  }
  static MenuEntry Separator() { return MenuEntry{}; }
  static MenuEntry Popup(std::string text, std::vector<MenuEntry> items) {
    MenuEntry e;
    e.text = std::move(text);
    e.subMenu = true;
    e.items = std::move(items);
    return e;
  }
  const MenuEntry* Find(int commandId) const;
};

// The language texts applied to a menu held as data.
class MenuEntryTexts : public i18n::MenuTextTarget {
 public:
  explicit MenuEntryTexts(MenuEntry& menu) : menu_(menu) {}
  int Count() const override { return int(menu_.items.size()); }
  bool IsSubMenu(int position) const override { return menu_.items[size_t(position)].subMenu; }
  int CommandId(int position) const override {
    const MenuEntry& e = menu_.items[size_t(position)];
    return e.subMenu ? 0 : e.id;
  }
  std::unique_ptr<i18n::MenuTextTarget> SubMenu(int position) override;
  void SetText(int position, const std::string& text) override {
    menu_.items[size_t(position)].text = text;
  }

 private:
  MenuEntry& menu_;
};

// ---- Main menu -------------------------------------------------------------------

// The pop-up of menu 1003 in English, as its table holds it.
MenuEntry MainMenuTemplate();
// What the menu shows when it opens: the languages of the table (or the
// built-in "English", checked, when there are none) and the current style
// checked.  Texts are the table's; the caller applies the language's.
MenuEntry MainMenuFor(const i18n::CLanguage& language, int32_t buttonStyle);

enum class MainMenuAction {
  kNone,
  kStyle,
  kControlsColor,
  kWindowColor,
  kResetInterface,
  kLanguage,
  kSupport,
  kAbout,
};
struct MainMenuChoice {
  MainMenuAction action = MainMenuAction::kNone;
  int32_t style = 0;      // kStyle
  int languageIndex = -1; // kLanguage
};
// A language item counts only while language files were accepted.
MainMenuChoice InterpretMainMenu(int commandId, int languageCount);

// The interface values of the store (button style, window and control
// colours) made current; read when the effect dialog is created.
void LoadInterfaceSettings(SettingsStore& store);
// Each sets the interface value with what follows from it and writes it.
void ChooseButtonStyle(SettingsStore& store, int32_t style);
void ChooseControlColor(SettingsStore& store, uint32_t color);
void ChooseWindowColor(SettingsStore& store, uint32_t color);
void ResetInterface(SettingsStore& store);
// Selects language file index and stores its display name.  False when
// there is no such file.
bool ChooseLanguage(SettingsStore& store, i18n::CLanguage& language, int index);

// ---- Presets menu -----------------------------------------------------------------

MenuEntry PresetsMenuTemplate();
// The fixed items and then one item per preset, as many as have an id;
// "Save preset..." greyed once more than 25 presets exist.
MenuEntry PresetsMenuFor(const std::vector<std::string>& presetNames);

enum class PresetsAction { kNone, kSave, kManage, kReset, kLastUsed, kApply };
struct PresetsChoice {
  PresetsAction action = PresetsAction::kNone;
  int presetIndex = -1;  // kApply
};
PresetsChoice InterpretPresetsMenu(int commandId, size_t presetCount);

}  // namespace tessaro
