// The skinned statics: CTranspStatic (engraved labels on the striped
// background), CHyperLink (the home-page link) and CBitmapView (a picture
// shown centred or stretched).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/toolkit/controls_win.h"
#include "ui/toolkit/dc_win.h"
#include "ui/toolkit/hyperlink_rules.h"

namespace tessaro {

class CTranspStatic : public CStatic {
 protected:
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
};

class CHyperLink : public CStatic {
 public:
  ~CHyperLink() override;

  void SetAddress(const std::wstring& address) { address_ = address; }
  const std::wstring& Address() const { return address_; }
  // Binds the template item; its text becomes the address when none was set.
  bool SubclassDlgItem(int id, const CWnd& parent);
  void SetLinkText(const std::wstring& text);
  void ModifyLinkStyle(uint32_t remove, uint32_t add, bool redraw = true);
  uint32_t LinkStyle() const { return style_; }
  bool IsVisited() const { return visited_; }
  bool IsHovered() const { return hovered_; }
  bool HasHandCursor() const { return hand_ != nullptr; }
  // Opens the address; without one the parent gets a command notice with no
  // window.  On failure the user is told why.
  void Follow();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  bool OnSetCursor(HWND over, UINT hitTest, UINT mouseMessage) override;

 private:
  void MakeFont();
  void SizeToText();
  bool OpenAddress();

  std::wstring address_;
  uint32_t style_ = kLinkUnderline | kLinkHoverColor | kLinkSizeToText;
  bool focused_ = false;
  bool hovered_ = false;
  bool visited_ = false;
  bool pressed_ = false;
  HFONT font_ = nullptr;
  HCURSOR hand_ = nullptr;
  HWND tooltip_ = nullptr;
};

class CBitmapView : public CStatic {
 public:
  ~CBitmapView() override;
  // Decodes a picture resource of the module (any format the platform's
  // picture loader reads).  False, after telling the user, when it cannot.
  bool LoadFromResource(int id, const wchar_t* type);
  // Takes ownership of bitmap.
  void SetBitmap(HBITMAP bitmap, int width, int height);
  void SetBackground(uint32_t color) { background_ = color & 0xFFFFFFu; }
  void SetCentered(bool centered) { centered_ = centered; }

 protected:
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  // The bitmap into to (centred at its size, or stretched), colour on colour;
  // nothing without a bitmap.
  void DrawPicture(CDC& dc, const RECT& to) const;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
  uint32_t background_ = 0xFFFFFF;
  bool centered_ = true;
};

}  // namespace tessaro
