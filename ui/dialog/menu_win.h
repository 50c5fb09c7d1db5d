// A pop-up menu made from its table (MenuEntry) for the time it is shown.
#pragma once

#include <windows.h>

#include "ui/dialog/dialog_menus.h"

namespace tessaro {

class CPopupMenu {
 public:
  // menu's items become the pop-up's items; its own text is not shown.
  explicit CPopupMenu(const MenuEntry& menu);
  ~CPopupMenu();
  CPopupMenu(const CPopupMenu&) = delete;
  CPopupMenu& operator=(const CPopupMenu&) = delete;

  HMENU Handle() const { return menu_; }
  // Shows the menu with its top-left corner at a screen point and returns
  // the chosen command id, 0 when nothing was chosen.  No command message is
  // sent: the caller carries the choice out.
  int Track(HWND owner, POINT at) const;

 private:
  HMENU menu_ = nullptr;
};

}  // namespace tessaro
