// Drawing contexts: CDC wraps a context it does not own with the drawing the
// toolkit uses; CPaintDC and CClientDC own theirs for one scope.  CDcSurface
// lets the portable painters (the style painter, the frame) draw into a
// context.  Colours are colour values 0x00BBGGRR, which the platform takes as
// they are.
#pragma once

#include <windows.h>

#include <string>

#include "ui/dialog/paint_surface.h"

namespace tessaro {

class CDC {
 public:
  explicit CDC(HDC dc = nullptr) : dc_(dc) {}
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC() = default;

  HDC Handle() const { return dc_; }
  bool IsPrinting() const;

  void FillSolidRect(const RECT& rect, COLORREF color);
  // A one-pixel frame: top and left in topLeft, bottom and right in bottomRight.
  void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
  void DrawFocusRect(const RECT& rect);
  void Line(POINT from, POINT to, COLORREF color);
  void Polygon(const POINT* points, int count, COLORREF color);
  void Ellipse(const RECT& rect, COLORREF color);

  // Text; format takes the platform's DT_ flags.
  int DrawText(const std::wstring& text, RECT& rect, UINT format);
  SIZE GetTextExtent(const std::wstring& text) const;
  COLORREF SetTextColor(COLORREF color);
  int SetBkMode(int mode);

  HGDIOBJ SelectObject(HGDIOBJ object);
  bool BitBlt(const RECT& to, HDC from, POINT fromOrigin, DWORD rop = SRCCOPY);
  // Colour-on-colour stretching: exact pixels, no smoothing.
  bool StretchBlt(const RECT& to, HDC from, const RECT& fromRect, DWORD rop = SRCCOPY);

  int ExcludeClipRect(const RECT& rect);
  int IntersectClipRect(const RECT& rect);
  void RemoveClip();
  RECT GetClipBox() const;

 protected:
  HDC dc_;
};

// The paint of one WM_PAINT: begins in the constructor, ends in the destructor.
class CPaintDC final : public CDC {
 public:
  explicit CPaintDC(HWND hwnd);
  ~CPaintDC() override;
  const RECT& PaintRect() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_;
};

// The client area's context outside a paint.
class CClientDC final : public CDC {
 public:
  explicit CClientDC(HWND hwnd);
  ~CClientDC() override;

 private:
  HWND hwnd_;
};

// Selects an object into a context for one scope and puts the old one back.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~CSelectObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The portable painters' surface over a drawing context.
class CDcSurface final : public CPaintSurface {
 public:
  explicit CDcSurface(HDC dc) : dc_(dc) {}
  DibRect Bounds() const override;
  void FillRect(const DibRect& rect, uint32_t color) override;

 private:
  HDC dc_;
};

}  // namespace tessaro
