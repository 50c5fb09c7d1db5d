// CPreviewBitmap: the preview pane, an owner-drawn button that shows a window
// of the full-size render at one pixel per pixel and pans it by dragging.
// The arithmetic lives in PreviewView; this class carries it to the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/dialog/preview_view.h"
#include "ui/toolkit/controls_win.h"

namespace tessaro {

class CPreviewBitmap : public CButton {
 public:
  // See PreviewView::SetImage; the pane's client size decides the view.
  bool SetImage(CDib* viewImage, PreviewRect& imageRect, bool keepCentre);
  void ClampView() { view_.ClampView(); }
  PreviewView& View() { return view_; }
  const PreviewView& View() const { return view_; }

  void SetBackground(uint32_t color) { background_ = color & 0xFFFFFFu; }
  uint32_t Background() const { return background_; }
  // Shown until the first render exists (the dialog gives the translation).
  void SetWaitingText(const std::wstring& text) { waitingText_ = text; }

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  void OnCaptureChanged(HWND newCapture) override;

 private:
  PreviewView view_;
  uint32_t background_ = 0xFFFFFF;
  std::wstring waitingText_ = L"Preparing data...";
};

}  // namespace tessaro
