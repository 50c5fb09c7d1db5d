#include "ui/dialog/menu_win.h"

#include <string>

#include "ui/toolkit/window_win.h"

namespace tessaro {

namespace {

void AppendItems(HMENU menu, const std::vector<MenuEntry>& items) {
  for (const MenuEntry& e : items) {
    const std::wstring text = Utf8ToWide(e.text);
    if (e.subMenu) {
      HMENU sub = CreatePopupMenu();
      if (sub == nullptr) continue;
      AppendItems(sub, e.items);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else if (e.id == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      UINT flags = MF_STRING;
      if (e.checked) flags |= MF_CHECKED;
      if (e.grayed) flags |= MF_GRAYED;
      AppendMenuW(menu, flags, UINT_PTR(e.id), text.c_str());
    }
  }
}

}  // namespace

CPopupMenu::CPopupMenu(const MenuEntry& menu) : menu_(CreatePopupMenu()) {
  if (menu_ != nullptr) AppendItems(menu_, menu.items);
}

CPopupMenu::~CPopupMenu() {
  if (menu_ != nullptr) DestroyMenu(menu_);  // sub-menus go with it
}

int CPopupMenu::Track(HWND owner, POINT at) const {
  if (menu_ == nullptr) return 0;
  return int(TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY |
                                       TPM_LEFTBUTTON,
                            at.x, at.y, 0, owner, nullptr));
}

}  // namespace tessaro
