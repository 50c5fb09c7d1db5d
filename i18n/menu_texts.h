// Which text of the current language goes to which item of a menu: the key
// rule of CLanguage::ApplyToMenu over any menu, so that it holds on every
// platform.  Command items are keyed by their decimal id; a sub-menu's title
// by "0+" and the id of its first command item.
#pragma once

#include <memory>
#include <string>

namespace tessaro::i18n {

class CLanguage;

// A menu as the texts see it: positions holding command items, separators
// (id 0) and sub-menus.
class MenuTextTarget {
 public:
  virtual ~MenuTextTarget() = default;
  virtual int Count() const = 0;
  virtual bool IsSubMenu(int position) const = 0;
  // The command id at a position; 0 for separators and sub-menus.
  virtual int CommandId(int position) const = 0;
  virtual std::unique_ptr<MenuTextTarget> SubMenu(int position) = 0;
  // Replaces the text only: a sub-menu stays one, and an item keeps its
  // greyed, disabled and checked states.
  virtual void SetText(int position, const std::string& text) = 0;
};

// The key of the sub-menu at position: "0+" and its first command id.  A
// sub-menu without a command item of its own is keyed by the first item of
// its first nested sub-menu, with the prefix raised by one for each level
// gone down.  Empty when there is no command item at all.
std::string SubMenuKey(MenuTextTarget& menu, int position);

// Gives every item of menu and its sub-menus the current language's text of
// section; nothing changes where a text is missing or no language is current.
void ApplyMenuTexts(const CLanguage& language, const std::string& section, MenuTextTarget& menu);

}  // namespace tessaro::i18n
