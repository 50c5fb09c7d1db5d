// CResizableDialog: keeps anchored controls in place as the dialog changes
// size (all of them in one deferred move), shows a size grip, and refuses to
// get smaller than it was when it was initialised.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/toolkit/dialog_win.h"
#include "ui/toolkit/frame_layout.h"

namespace tessaro {

class CResizableDialog : public CDialog {
 public:
  // Registers control with its anchors; call after initialisation, once the
  // control has its template place.  Without a bottom-right anchor the control
  // keeps its size.
  void AnchorControl(HWND control, Anchor topLeft, Anchor bottomRight = kNoAnchor);
  void AnchorControl(int id, Anchor topLeft, Anchor bottomRight = kNoAnchor) {
    AnchorControl(GetDlgItem(id), topLeft, bottomRight);
  }
  // Places every anchored control for the current client size.
  void LayoutControls();
  // Margins and the minimum size, measured at fromDpi, carried over to toDpi.
  void RescaleLayout(int32_t fromDpi, int32_t toDpi);

  bool IsInitialised() const { return initialised_; }
  // The smallest window size the user can drag the dialog to.
  ClientSize MinimumTrackSize() const { return minimumTrack_; }
  size_t AnchoredCount() const { return layout_.size(); }

 protected:
  bool OnInitDialog() override;
  void ShowGrip(bool show);
  bool IsGripShown() const { return showGrip_; }

  void OnSize(UINT type, int cx, int cy) override;
  void OnGetMinMaxInfo(MINMAXINFO& info) override;
  void OnWindowPosChanging(WINDOWPOS& pos) override;
  LRESULT OnNcHitTest(POINT screen) override;
  void OnPaint() override;
  void OnDestroy() override;

  // Whether a size change may be held to the minimum; a dialog that shrinks
  // on purpose (rolling up) says no.
  virtual bool KeepsMinimumSize() const { return true; }

 private:
  struct Layout {
    HWND control;
    bool listBox;
    bool refresh;
    AnchoredPlacement placement;
  };

  void UpdateGripRect();

  std::vector<Layout> layout_;
  bool showGrip_ = true;
  RECT grip_ = {0, 0, 0, 0};
  bool useMinimumTrack_ = true;
  ClientSize minimumTrack_ = {0, 0};
  bool initialised_ = false;
};

}  // namespace tessaro
