// CToolDlg: the base of every dialog of the plug-in.  A frameless window that
// paints itself (pin-striped background, caption bar with outlined title,
// raised border, size grip), moves when its caption strip is dragged, resizes
// from its edges when resizable, and rolls up to its caption strip on a
// double click when it has a caption close button.
//
// Template convention: a hidden static kCaptionId covers the caption strip
// and holds the title text; small dialogs put a close button kCloseId at the
// strip's right end.  Colours come from the process-wide interface settings.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "image/dib.h"
#include "ui/toolkit/frame_layout.h"
#include "ui/toolkit/resizable_dialog_win.h"

namespace tessaro {

class SettingsStore;

constexpr int kToolAcceleratorTable = 1002;

class CToolDlg : public CResizableDialog {
 public:
  CToolDlg();
  ~CToolDlg() override;

  // The title names the settings section of the roll-up state; the main
  // dialog sets the product name, small dialogs keep it empty.
  void SetTitle(const std::string& title) { title_ = title; }
  const std::string& Title() const { return title_; }
  // Set before the dialog is created.
  void SetResizable(bool resizable) { resizable_ = resizable; }
  bool IsResizable() const { return resizable_; }
  bool IsRolledUp() const { return rolledUp_; }
  // Rolls the dialog up to its caption strip or back to its former height.
  void SetRolledUp(bool rolled);

  // Where the roll-up state and the stripe contrast are kept.  Not owned;
  // null (the default) means the user's own settings store.
  void SetSettingsStore(SettingsStore* store) { store_ = store; }
  // Without a store given, the frame opens its own with this on first use.
  void SetSettingsStoreOpener(std::function<std::unique_ptr<SettingsStore>()> open) {
    openStore_ = std::move(open);
  }

  // The caption strip in client coordinates; empty without a caption static.
  DibRect CaptionRect() const;

 protected:
  bool OnInitDialog() override;
  // Small dialogs (those with a caption close button) roll up; the main
  // dialog overrides this to refuse.
  virtual bool CanRollUp() const { return GetDlgItem(kCaptionCloseId) != nullptr; }

  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonDblClk(UINT flags, POINT p) override;
  void OnMouseMove(UINT flags, POINT p) override;
  bool OnSetCursor(HWND over, UINT hitTest, UINT mouseMessage) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnActivate(UINT state, HWND other, bool minimized) override;
  void OnDestroy() override;
  bool KeepsMinimumSize() const override { return !rolledUp_ && !skipLayout_; }

 private:
  SettingsStore& Store();
  HCURSOR CursorFor(FrameCursor cursor) const;
  void PaintCaptionText(HDC dc, const DibRect& caption);

  std::string title_;
  bool resizable_ = false;
  bool rolledUp_ = false;
  int savedClientHeight_ = 0;
  bool skipLayout_ = false;

  HCURSOR arrow_ = nullptr;
  HCURSOR sizeNwse_ = nullptr;
  HCURSOR sizeNesw_ = nullptr;
  HCURSOR sizeWe_ = nullptr;
  HCURSOR sizeNs_ = nullptr;

  SettingsStore* store_ = nullptr;
  std::function<std::unique_ptr<SettingsStore>()> openStore_;
  std::unique_ptr<SettingsStore> ownStore_;
  CDib canvas_;  // the off-screen picture each paint is copied from
};

}  // namespace tessaro
