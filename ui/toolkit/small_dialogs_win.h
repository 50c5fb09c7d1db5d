// The three small modal dialogs in the tool frame's skin: CMessageDlg, the
// module's message box; CInputDlg, the name entry of "Save preset"; and
// CManagePresetsDlg, the preset list with its confirmed Delete.  Each is
// centred on its owner (on the screen without one).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/small_dialogs.h"
#include "ui/toolkit/static_controls_win.h"
#include "ui/toolkit/tool_dlg_win.h"

namespace tessaro {

class SettingsStore;

// In-memory template of a layout: frameless, in the frame's conventions.
class CDialogTemplate;
std::unique_ptr<CDialogTemplate> BuildSmallDialogTemplate(const SmallDialogLayout& layout);

// Base of the three: the close button of the caption strip with its icon, and
// centring on the owner.
class CSmallToolDlg : public CToolDlg {
 public:
  // Runs the dialog modally over owner; -1 when it could not be created.
  INT_PTR Run(HWND owner);

 protected:
  explicit CSmallToolDlg(const SmallDialogLayout& layout);
  bool OnInitDialog() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  void OnCancel() override { EndDialog(kResultCancel); }
  // Binds a template button as a skinned button in the interface colours.
  void AttachButton(CButtonST& button, int id);

 private:
  void CentreOnOwner();

  const SmallDialogLayout& layout_;
  CButtonST close_;
};

class CMessageDlg : public CSmallToolDlg {
 public:
  // Captions are looked up now, in the current language.
  CMessageDlg(const std::string& text, int iconId, int buttonSet);
  ~CMessageDlg() override;

  const MessageButtons& Buttons() const { return buttons_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override { EndDialog(buttons_.enterResult); }
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  std::wstring text_;
  int iconId_;
  MessageButtons buttons_;
  HICON icon_ = nullptr;
  CTranspStatic iconView_, message_;
  CButtonST button_[3];
};

class CInputDlg : public CSmallToolDlg {
 public:
  CInputDlg();
  // The entered text (UTF-8) after a result of 1; unchanged otherwise.
  const std::string& Text() const { return text_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  std::string text_;
  CTranspStatic label_;
  CButtonST ok_, close_;
};

class CManagePresetsDlg : public CSmallToolDlg {
 public:
  // store: where the presets are (not owned); null means the user's own store.
  explicit CManagePresetsDlg(SettingsStore* store = nullptr);
  ~CManagePresetsDlg() override;

  // The names read when the dialog opened, less those deleted since.
  const std::vector<std::string>& Names() const { return names_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}  // Enter does nothing here: Delete is never a default
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  SettingsStore& Store();
  void OnDelete();

  SettingsStore* store_;
  std::unique_ptr<SettingsStore> ownStore_;
  std::vector<std::string> names_;
  CButtonST delete_, close_;
};

}  // namespace tessaro
