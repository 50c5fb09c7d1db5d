#include "i18n/menu_texts.h"

#include "i18n/language.h"

namespace tessaro::i18n {

namespace {

int FirstCommandId(const MenuTextTarget& menu) {
  for (int i = 0; i < menu.Count(); ++i)
    if (!menu.IsSubMenu(i) && menu.CommandId(i) > 0) return menu.CommandId(i);
  return 0;
}

int FirstSubMenu(const MenuTextTarget& menu) {
  for (int i = 0; i < menu.Count(); ++i)
    if (menu.IsSubMenu(i)) return i;
  return -1;
}

}  // namespace

// The prefix counts the levels gone down for this one key.  Raising it for
// the rest of the module's life would change the keys of every later menu
// and leave their translations unused.
std::string SubMenuKey(MenuTextTarget& menu, int position) {
  std::unique_ptr<MenuTextTarget> level = menu.SubMenu(position);
  for (int descents = 0; level; ++descents) {
    if (const int id = FirstCommandId(*level)) return std::to_string(descents) + "+" + std::to_string(id);
    const int nested = FirstSubMenu(*level);
    if (nested < 0) break;
    level = level->SubMenu(nested);
  }
  return {};
}

void ApplyMenuTexts(const CLanguage& language, const std::string& section, MenuTextTarget& menu) {
  if (language.Current() < 0) return;
  for (int i = 0; i < menu.Count(); ++i) {
    if (menu.IsSubMenu(i)) {
      const std::string key = SubMenuKey(menu, i);
      if (!key.empty()) {
        const std::string text = language.GetText(section, key, "");
        if (!text.empty()) menu.SetText(i, text);
      }
      if (std::unique_ptr<MenuTextTarget> sub = menu.SubMenu(i))
        ApplyMenuTexts(language, section, *sub);
      continue;
    }
    const int id = menu.CommandId(i);
    if (id <= 0) continue;  // separators have no text
    const std::string text = language.GetText(section, std::to_string(id), "");
    if (!text.empty()) menu.SetText(i, text);
  }
}

}  // namespace tessaro::i18n
