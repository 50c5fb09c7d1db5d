#include "ui/toolkit/small_dialogs_win.h"

#include <optional>

#include "host/user_message.h"
#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "settings/presets.h"
#include "settings/product_identity.h"
#include "settings/settings_store.h"
#include "ui/dialog/interface_styles.h"
#include "ui/toolkit/dialog_template_win.h"
#include "ui/toolkit/toolkit_icons_win.h"

namespace tessaro {

namespace {

constexpr int kCloseIconSize = 16;

struct ItemLook {
  DialogItemClass itemClass;
  DWORD style;
};

ItemLook LookOf(SmallItemKind kind) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case SmallItemKind::kCaption: return {DialogItemClass::kStatic, WS_CHILD | SS_LEFT};
    case SmallItemKind::kCloseButton: return {DialogItemClass::kButton, child | BS_PUSHBUTTON};
    case SmallItemKind::kIcon: return {DialogItemClass::kStatic, child | SS_ICON};
    case SmallItemKind::kMessage:
      return {DialogItemClass::kStatic, child | SS_CENTER | SS_CENTERIMAGE};
    case SmallItemKind::kLabel: return {DialogItemClass::kStatic, child | SS_LEFT};
    case SmallItemKind::kButton:
      return {DialogItemClass::kButton, child | WS_TABSTOP | BS_PUSHBUTTON};
    case SmallItemKind::kDefaultButton:
      return {DialogItemClass::kButton, child | WS_TABSTOP | BS_DEFPUSHBUTTON};
    case SmallItemKind::kEdit:
      return {DialogItemClass::kEdit, child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL};
    case SmallItemKind::kList:
      return {DialogItemClass::kListBox, child | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_SORT |
                                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT};
  }
  return {DialogItemClass::kStatic, child};
}

std::wstring ListText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0);
  if (length == LB_ERR || length < 0) return {};
  std::wstring text(size_t(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : size_t(got));
  return text;
}

}  // namespace

std::unique_ptr<CDialogTemplate> BuildSmallDialogTemplate(const SmallDialogLayout& layout) {
  auto t = std::make_unique<CDialogTemplate>(WS_POPUP | WS_CLIPCHILDREN, 0, 0, layout.cx,
                                             layout.cy, Utf8ToWide(layout.title));
  for (const SmallDialogItem& item : layout.items) {
    const ItemLook look = LookOf(item.kind);
    t->AddItem(look.itemClass, WORD(item.id), Utf8ToWide(item.text), look.style, item.x, item.y,
               item.cx, item.cy);
  }
  return t;
}

// ---- CSmallToolDlg ------------------------------------------------------------------

CSmallToolDlg::CSmallToolDlg(const SmallDialogLayout& layout) : layout_(layout) {
  SetSettingsStoreOpener(OpenProductSettingsStore);
}

INT_PTR CSmallToolDlg::Run(HWND owner) {
  const std::unique_ptr<CDialogTemplate> t = BuildSmallDialogTemplate(layout_);
  return DoModal(t->Get(), owner);
}

bool CSmallToolDlg::OnInitDialog() {
  const bool result = CToolDlg::OnInitDialog();
  AttachButton(close_, kCaptionCloseId);
  close_.SetIcon(CAPTION_CLOSE_ICON_ID, 0, kCloseIconSize, kCloseIconSize);
  close_.SetDrawFocus(false);
  CentreOnOwner();
  return result;
}

void CSmallToolDlg::AttachButton(CButtonST& button, int id) {
  if (!button.SubclassDlgItem(id, *this)) return;
  const uint32_t color = GetInterfaceSettings().controlColor;
  button.SetColor(color, false);
  button.SetHoverColor(ShadeColor(color, 16), false);
}

void CSmallToolDlg::CentreOnOwner() {
  const RECT mine = GetWindowRect();
  const int width = mine.right - mine.left, height = mine.bottom - mine.top;
  HWND owner = ::GetWindow(Hwnd(), GW_OWNER);
  RECT around = {};
  if (owner == nullptr || ::IsWindowVisible(owner) == FALSE || ::IsIconic(owner) != FALSE ||
      ::GetWindowRect(owner, &around) == FALSE) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int x = around.left + ((around.right - around.left) - width) / 2;
  const int y = around.top + ((around.bottom - around.top) - height) / 2;
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSmallToolDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == UINT(kCaptionCloseId)) {
    EndDialog(kResultCancel);
    return;
  }
  CToolDlg::OnCommand(id, code, control);
}

// ---- CMessageDlg ------------------------------------------------------------------

CMessageDlg::CMessageDlg(const std::string& text, int iconId, int buttonSet)
    : CSmallToolDlg(MessageDialogLayout()),
      text_(Utf8ToWide(text)),
      iconId_(iconId),
      buttons_(MessageButtonsFor(buttonSet, i18n::TheLanguage())) {}

CMessageDlg::~CMessageDlg() {
  // The icon static only borrows the icon; the window is gone by now.
  if (icon_ != nullptr) DestroyIcon(icon_);
}

bool CMessageDlg::OnInitDialog() {
  CSmallToolDlg::OnInitDialog();
  const std::wstring product = Utf8ToWide(kProductName);
  SetWindowText(product);
  ::SetDlgItemTextW(Hwnd(), kCaptionId, product.c_str());

  message_.AttachDlgItem(kMessageTextId, *this);
  message_.SetWindowText(text_);
  iconView_.AttachDlgItem(kMessageIconId, *this);
  // Size 0: the icon's own size, to which the icon static then fits itself.
  icon_ = LoadToolkitIcon(iconId_, 0, 0);
  if (icon_ != nullptr) iconView_.SetIcon(icon_);

  HWND focus = nullptr;
  for (int i = 0; i < 3; ++i) {
    AttachButton(button_[i], kMessageButtonIds[i]);
    const MessageButton& b = buttons_.button[i];
    if (b.caption.empty()) {
      button_[i].ShowWindow(SW_HIDE);
      continue;
    }
    button_[i].SetWindowText(Utf8ToWide(b.caption));
    if (focus == nullptr || b.result == buttons_.enterResult) focus = button_[i].Hwnd();
  }
  if (focus != nullptr) ::SetFocus(focus);
  return false;
}

void CMessageDlg::OnCommand(UINT id, UINT code, HWND control) {
  for (int i = 0; i < 3; ++i) {
    if (id == UINT(kMessageButtonIds[i]) && !buttons_.button[i].caption.empty()) {
      EndDialog(buttons_.button[i].result);
      return;
    }
  }
  CSmallToolDlg::OnCommand(id, code, control);
}

bool CMessageDlg::PreTranslateMessage(MSG& msg) {
  // Enter answers the same whichever button has the focus; the platform
  // would click a focused push button instead.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN &&
      (msg.hwnd == Hwnd() || ::IsChild(Hwnd(), msg.hwnd) != FALSE)) {
    EndDialog(buttons_.enterResult);
    return true;
  }
  return CSmallToolDlg::PreTranslateMessage(msg);
}

// ---- CInputDlg ------------------------------------------------------------------

CInputDlg::CInputDlg() : CSmallToolDlg(InputDialogLayout()) {}

bool CInputDlg::OnInitDialog() {
  CSmallToolDlg::OnInitDialog();
  i18n::TheLanguage().ApplyToDialog("Settings", Hwnd());
  label_.AttachDlgItem(kPresetNameLabelId, *this);
  AttachButton(ok_, kResultOk);
  AttachButton(close_, kResultCancel);
  HWND edit = GetDlgItem(kPresetNameEditId);
  ::SetWindowTextW(edit, L"");
  ::SetFocus(edit);
  return false;
}

void CInputDlg::OnOK() {
  wchar_t buffer[1024] = {};
  ::GetDlgItemTextW(Hwnd(), kPresetNameEditId, buffer, int(sizeof buffer / sizeof buffer[0]));
  text_ = WideToUtf8(buffer);
  EndDialog(kResultOk);
}

// ---- CManagePresetsDlg ------------------------------------------------------------

CManagePresetsDlg::CManagePresetsDlg(SettingsStore* store)
    : CSmallToolDlg(ManagePresetsDialogLayout()), store_(store) {}

CManagePresetsDlg::~CManagePresetsDlg() = default;

SettingsStore& CManagePresetsDlg::Store() {
  if (store_ != nullptr) return *store_;
  if (!ownStore_) ownStore_ = OpenProductSettingsStore();
  return *ownStore_;
}

bool CManagePresetsDlg::OnInitDialog() {
  const bool result = CSmallToolDlg::OnInitDialog();
  i18n::TheLanguage().ApplyToDialog("Manage_presets", Hwnd());
  AttachButton(delete_, kDeletePresetId);
  AttachButton(close_, kResultCancel);
  names_ = ListPresets(Store());
  HWND list = GetDlgItem(kPresetListId);
  for (const std::string& name : names_) {
    const std::wstring text = Utf8ToWide(name);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  return result;
}

void CManagePresetsDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == UINT(kDeletePresetId)) {
    OnDelete();
    return;
  }
  CSmallToolDlg::OnCommand(id, code, control);
}

void CManagePresetsDlg::OnDelete() {
  HWND list = GetDlgItem(kPresetListId);
  const LRESULT index = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
  std::optional<std::string> selected;
  if (index != LB_ERR) selected = WideToUtf8(ListText(list, int(index)));
  const auto ask = [this] {
    return host::ShowMessageDlg(
        i18n::TheLanguage().GetText("Msg", "del_preset", "Do you want remove selected preset?"),
        host::kIconQuestion, host::kButtonsYesNo, reinterpret_cast<intptr_t>(Hwnd()));
  };
  if (DeleteSelectedPreset(Store(), names_, selected, ask))
    ::SendMessageW(list, LB_DELETESTRING, WPARAM(index), 0);
}

}  // namespace tessaro
