// The about box: the logo with the credit lines rolling up over it, fading
// in and out, draggable, coasting on after a quick upward drag.  The rolling
// arithmetic is AboutScroller's; this file draws the text and runs the box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "image/dib.h"
#include "ui/dialog/about_scroller.h"
#include "ui/toolkit/button_st_win.h"
#include "ui/toolkit/static_controls_win.h"
#include "ui/toolkit/tool_dlg_win.h"

namespace tessaro {

class CAboutDib : public CBitmapView {
 public:
  ~CAboutDib() override;
  // Once the control has its size: loads the logo, prepares the pictures and
  // starts the roll.  False when the logo could not be had (the picture then
  // shows its background only).
  bool Init(const std::vector<std::string>& lines);
  const AboutScroller& Scroller() const { return scroller_; }

  static constexpr UINT_PTR kRollTimer = 766;

 protected:
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnDestroy() override;

 private:
  void DrawLines(CDib& mask);

  std::vector<std::wstring> lines_;
  CDib clean_, working_, mask_;
  HFONT font_ = nullptr;
  AboutScroller scroller_;
};

class CAboutDlg : public CToolDlg {
 public:
  static constexpr int kCloseId = 1014;
  static constexpr int kPictureId = 1143;

  explicit CAboutDlg(const std::vector<std::string>& lines = AboutCreditLines());
  // Modal, owned by owner (the host's about call has none); the result is
  // always 1.
  INT_PTR Run(HWND owner = nullptr);

  CAboutDib& Picture() { return picture_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override { EndDialog(IDOK); }
  void OnCancel() override { EndDialog(IDOK); }
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  std::vector<std::string> lines_;
  CButtonST close_;
  CAboutDib picture_;
};

}  // namespace tessaro
