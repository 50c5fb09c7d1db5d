#include "ui/dialog/dialog_menus.h"

#include "i18n/language.h"
#include "settings/settings_store.h"
#include "ui/dialog/interface_styles.h"

namespace tessaro {

namespace {
constexpr char kStyleValue[] = "Button style";
constexpr char kWindowColorValue[] = "Window color";
constexpr char kControlColorValue[] = "Control color";
constexpr char kLanguageValue[] = "Language";
constexpr char kBuiltInLanguage[] = "English";

const MenuEntry* FindIn(const std::vector<MenuEntry>& items, int id) {
  for (const MenuEntry& e : items) {
    if (e.subMenu) {
      if (const MenuEntry* found = FindIn(e.items, id)) return found;
    } else if (e.id == id && id != 0) {
      return &e;
    }
  }
  return nullptr;
}

bool IsListCommand(int id, size_t count) {
  return id >= kFirstListCommand && id <= kLastListCommand &&
         size_t(id - kFirstListCommand) < count;
}
}  // namespace

const MenuEntry* MenuEntry::Find(int commandId) const { return FindIn(items, commandId); }

std::unique_ptr<i18n::MenuTextTarget> MenuEntryTexts::SubMenu(int position) {
  MenuEntry& e = menu_.items[size_t(position)];
  if (!e.subMenu) return nullptr;
  return std::make_unique<MenuEntryTexts>(e);
}

// ---- Main menu -------------------------------------------------------------------

MenuEntry MainMenuTemplate() {
  return MenuEntry::Popup(
      "", {MenuEntry::Popup("Interface", {MenuEntry::Command(kChromeStyleCommand, "Chrome Style"),
                                          MenuEntry::Command(kAquaStyleCommand, "Aqua Style"),
                                          MenuEntry::Command(kFlatStyleCommand, "Flat Style"),
                                          MenuEntry::Separator(),
                                          MenuEntry::Command(kControlsColorCommand,
                                                             "Controls Color..."),
                                          MenuEntry::Command(kWindowColorCommand, "Window Color..."),
                                          MenuEntry::Separator(),
                                          MenuEntry::Command(kResetInterfaceCommand,
                                                             "Reset to Default")}),
           MenuEntry::Popup("Language", {MenuEntry::Command(kFirstListCommand, kBuiltInLanguage)}),
           MenuEntry::Separator(),
           MenuEntry::Command(kSupportCommand, "Technical Support (Internet)..."),
           MenuEntry::Command(kAboutCommand, "About...")});
}

MenuEntry MainMenuFor(const i18n::CLanguage& language, int32_t buttonStyle) {
  MenuEntry menu = MainMenuTemplate();
  MenuEntry& languages = menu.items[1];
  if (language.Count() > 0) {
    languages.items.clear();
    for (int i = 0; i < language.Count(); ++i) {
      MenuEntry item = MenuEntry::Command(kFirstListCommand + i, language.GetName(i));
      item.checked = i == language.Current();
      languages.items.push_back(std::move(item));
    }
  } else {
    languages.items[0].checked = true;
  }
  for (MenuEntry& e : menu.items[0].items) {
    e.checked = (e.id == kChromeStyleCommand && buttonStyle == kButtonStyleChrome) ||
                (e.id == kAquaStyleCommand && buttonStyle == kButtonStyleAqua) ||
                (e.id == kFlatStyleCommand && buttonStyle == kButtonStyleFlat);
  }
  return menu;
}

MainMenuChoice InterpretMainMenu(int commandId, int languageCount) {
  MainMenuChoice c;
  switch (commandId) {
    case kChromeStyleCommand: c.action = MainMenuAction::kStyle, c.style = kButtonStyleChrome; break;
    case kAquaStyleCommand: c.action = MainMenuAction::kStyle, c.style = kButtonStyleAqua; break;
    case kFlatStyleCommand: c.action = MainMenuAction::kStyle, c.style = kButtonStyleFlat; break;
    case kControlsColorCommand: c.action = MainMenuAction::kControlsColor; break;
    case kWindowColorCommand: c.action = MainMenuAction::kWindowColor; break;
    case kResetInterfaceCommand: c.action = MainMenuAction::kResetInterface; break;
    case kSupportCommand: c.action = MainMenuAction::kSupport; break;
    case kAboutCommand: c.action = MainMenuAction::kAbout; break;
    default:
      if (languageCount > 0 && IsListCommand(commandId, size_t(languageCount))) {
        c.action = MainMenuAction::kLanguage;
        c.languageIndex = commandId - kFirstListCommand;
      }
      break;
  }
  return c;
}

void LoadInterfaceSettings(SettingsStore& store) {
  SetButtonStyle(store.GetInt("", kStyleValue, kDefaultButtonStyle));
  SetWindowColor(uint32_t(store.GetInt("", kWindowColorValue, int32_t(kDefaultWindowColor))));
  SetControlColor(uint32_t(store.GetInt("", kControlColorValue, int32_t(kDefaultControlColor))));
}

void ChooseButtonStyle(SettingsStore& store, int32_t style) {
  SetButtonStyle(style);
  store.WriteInt("", kStyleValue, style);
}

void ChooseControlColor(SettingsStore& store, uint32_t color) {
  SetControlColor(color);
  store.WriteInt("", kControlColorValue, int32_t(GetInterfaceSettings().controlColor));
}

void ChooseWindowColor(SettingsStore& store, uint32_t color) {
  SetWindowColor(color);
  store.WriteInt("", kWindowColorValue, int32_t(GetInterfaceSettings().windowColor));
}

void ResetInterface(SettingsStore& store) {
  ResetInterfaceColors();
  const InterfaceSettings& s = GetInterfaceSettings();
  store.WriteInt("", kStyleValue, s.buttonStyle);
  store.WriteInt("", kWindowColorValue, int32_t(s.windowColor));
  store.WriteInt("", kControlColorValue, int32_t(s.controlColor));
}

bool ChooseLanguage(SettingsStore& store, i18n::CLanguage& language, int index) {
  if (index < 0 || index >= language.Count()) return false;
  language.Select(language.GetName(index));
  store.WriteString("", kLanguageValue, language.GetName(-1));
  return true;
}

// ---- Presets menu -----------------------------------------------------------------

MenuEntry PresetsMenuTemplate() {
  return MenuEntry::Popup("", {MenuEntry::Command(kSavePresetCommand, "Save preset..."),
                               MenuEntry::Command(kManagePresetsCommand, "Manage presets..."),
                               MenuEntry::Separator(),
                               MenuEntry::Command(kResetSettingsCommand, "Reset to default"),
                               MenuEntry::Separator(),
                               MenuEntry::Command(kLastUsedCommand, "Last used")});
}

MenuEntry PresetsMenuFor(const std::vector<std::string>& presetNames) {
  MenuEntry menu = PresetsMenuTemplate();
  for (size_t i = 0; i < presetNames.size() && i < size_t(kListCommandCount); ++i)
    menu.items.push_back(MenuEntry::Command(kFirstListCommand + int(i), presetNames[i]));
  // A preset saved now would need an id past the last one.
  if (presetNames.size() > size_t(kListCommandCount) - 1) menu.items[0].grayed = true;
  return menu;
}

PresetsChoice InterpretPresetsMenu(int commandId, size_t presetCount) {
  PresetsChoice c;
  switch (commandId) {
    case kSavePresetCommand: c.action = PresetsAction::kSave; break;
    case kManagePresetsCommand: c.action = PresetsAction::kManage; break;
    case kResetSettingsCommand: c.action = PresetsAction::kReset; break;
    case kLastUsedCommand: c.action = PresetsAction::kLastUsed; break;
    default:
      if (IsListCommand(commandId, presetCount)) {
        c.action = PresetsAction::kApply;
        c.presetIndex = commandId - kFirstListCommand;
      }
      break;
  }
  return c;
}

}  // namespace tessaro
