#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "i18n/dialog_texts.h"
#include "i18n/language.h"
#include "i18n/menu_texts.h"
#include "i18n/utf16.h"

namespace tessaro::i18n {

namespace {

std::string ClassNameOf(HWND window) {
  char name[64] = {};
  const int n = GetClassNameA(window, name, int(sizeof name));
  return std::string(name, size_t(n > 0 ? n : 0));
}

void ReplaceComboItems(HWND combo, const std::vector<std::string>& items) {
  const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    const std::wstring text = Utf8ToWide(item);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, WPARAM(selected), 0);
}

void RetitleColumns(HWND listView, const std::vector<std::string>& titles) {
  for (size_t i = 0; i < titles.size(); ++i) {
    std::wstring text = Utf8ToWide(titles[i]);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text.data();
    // A list with fewer columns than titles keeps the titles it has room for.
    if (SendMessageW(listView, LVM_SETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column)) == 0)
      break;
  }
}

// A platform menu as the key rule sees it.
class PlatformMenuTexts : public MenuTextTarget {
 public:
  explicit PlatformMenuTexts(HMENU menu) : menu_(menu) {}
  int Count() const override { return GetMenuItemCount(menu_); }
  bool IsSubMenu(int position) const override { return GetSubMenu(menu_, position) != nullptr; }
  int CommandId(int position) const override {
    const UINT id = GetMenuItemID(menu_, position);
    return id == UINT(-1) ? 0 : int(id);
  }
  std::unique_ptr<MenuTextTarget> SubMenu(int position) override {
    HMENU sub = GetSubMenu(menu_, position);
    if (sub == nullptr) return nullptr;
    return std::make_unique<PlatformMenuTexts>(sub);
  }
  void SetText(int position, const std::string& text) override {
    // Only the string changes: states and the sub-menu stay.
    std::wstring wide = Utf8ToWide(text);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = wide.data();
    SetMenuItemInfoW(menu_, UINT(position), TRUE, &info);
  }

 private:
  HMENU menu_;
};

}  // namespace

void CLanguage::ApplyToMenu(const std::string& section, void* menu) const {
  HMENU handle = static_cast<HMENU>(menu);
  if (current_ < 0 || handle == nullptr || IsMenu(handle) == FALSE) return;
  PlatformMenuTexts texts(handle);
  ApplyMenuTexts(*this, section, texts);
}

void CLanguage::ApplyToDialog(const std::string& section, void* dialogWindow) {
  HWND dialog = static_cast<HWND>(dialogWindow);
  if (current_ < 0 || dialog == nullptr || IsWindow(dialog) == FALSE) return;

  const std::string title = DialogTitleText(*this, section);
  if (!title.empty()) SetWindowTextW(dialog, Utf8ToWide(title).c_str());
  lastApplied_ = {section, dialogWindow};

  // Direct children only: a control's own parts (a combo box's edit, a list
  // view's header) are the control's business.
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetParent(child) != dialog) continue;
    const ChildTexts texts = ChildTextsFor(*this, section, ClassNameOf(child), GetDlgCtrlID(child));
    if (!texts.Changes()) continue;
    switch (texts.kind) {
      case ChildTextKind::kItems: ReplaceComboItems(child, texts.items); break;
      case ChildTextKind::kColumns: RetitleColumns(child, texts.items); break;
      case ChildTextKind::kText: SetWindowTextW(child, Utf8ToWide(texts.text).c_str()); break;
    }
  }
}

}  // namespace tessaro::i18n
