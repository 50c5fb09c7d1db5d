// CButtonST: the skinned button of every dialog (push, check and caption
// buttons) and CColorButton, the colour swatch with its eyedropper.
//
// A button fades between its normal and hover colour in five 30 ms steps; a
// checked button stays in the hover colour and looks pressed.  Painting uses
// the style painter of the interface settings.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/controls_win.h"

namespace tessaro {

class CButtonST : public CButton {
 public:
  static constexpr UINT_PTR kLeaveTimer = 10;     // watches for the pointer leaving
  static constexpr UINT_PTR kAnimateTimer = 666;  // moves the hover fade
  static constexpr UINT kLeaveMs = 40;
  static constexpr UINT kAnimateMs = 30;

  CButtonST() = default;
  ~CButtonST() override;

  // Binds the template item and makes it owner-drawn in the interface colours.
  bool SubclassDlgItem(int id, const CWnd& parent);

  // Background, hover background (+25) and a readable text colour.
  virtual void SetColor(uint32_t color, bool redraw = true);
  void SetHoverColor(uint32_t color, bool redraw = true);
  uint32_t GetColor() const { return background_; }
  void SetCheck(int state, bool redraw = true);
  int GetCheck() const { return check_; }
  // Icons by resource id (hoverId 0: the same icon while hovered).
  void SetIcon(int id, int hoverId, int width, int height);
  // The same icons again at another size (after a DPI change).
  void ResizeIcons(int width, int height);
  int IconWidth() const { return icon_ != nullptr ? iconWidth_ : 0; }
  // 0: left of the text, 1: above it, other: at the top-left corner.
  void SetIconPlacement(int placement) { iconPlacement_ = placement; }
  void SetDrawText(bool draw) { drawText_ = draw; }
  void SetDrawFocus(bool draw) { drawFocus_ = draw; }
  // Not owned; null: the control's own font.
  void SetButtonFont(HFONT font) { font_ = font; }

  bool IsHovered() const { return hovered_; }
  int32_t HoverStep() const { return animation_.step; }
  uint32_t TextColor() const { return textColor_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  void OnTimer(UINT_PTR id) override;

  // The hover colour the face fades to; the swatch keeps its own colour.
  virtual uint32_t FaceHoverColor() const { return hoverBackground_; }
  void PostNotice();

  uint32_t background_ = 0;
  uint32_t hoverBackground_ = 0;
  uint32_t textColor_ = 0;
  uint32_t hoverTextColor_ = 0;

 private:
  void StartAnimation(int32_t direction);
  void DestroyIcons();
  void PaintIcon(HDC dc, const RECT& place, bool hot, bool disabled, uint32_t face) const;

  HICON icon_ = nullptr;
  HICON hoverIcon_ = nullptr;
  int iconWidth_ = 0, iconHeight_ = 0;
  int iconId_ = 0, hoverIconId_ = 0;
  int iconPlacement_ = 0;
  bool drawText_ = true;
  bool drawFocus_ = true;
  int check_ = 0;
  HFONT font_ = nullptr;
  bool hovered_ = false;
  HoverAnimation animation_;
};

class CColorButton : public CButtonST {
 public:
  // The swatch colour.
  void SetColor(uint32_t color, bool redraw = true) override;
  // True after a release on the swatch (open the chooser), false after an
  // eyedropper drag released outside it.
  bool ClickReport() const { return clicked_; }
  // The click report, cleared: a notice still queued from the drag before
  // it then reads as the eyedropper change it was.
  bool TakeClickReport() {
    const bool clicked = clicked_;
    clicked_ = false;
    return clicked;
  }
  int PressState() const { return pressState_; }

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  uint32_t FaceHoverColor() const override { return background_; }

 private:
  bool Inside(POINT p) const;

  uint32_t pressColor_ = 0;
  int pressState_ = 1;  // -1 pressing or dragging, 1 released on it, 0 outside
  bool clicked_ = false;
};

}  // namespace tessaro
