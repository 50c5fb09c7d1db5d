#include "ui/toolkit/dc_win.h"

namespace tessaro {

namespace {

// A pen or brush made for one call and deleted after it.
class CScopedGdiObject {
 public:
  explicit CScopedGdiObject(HGDIOBJ object) : object_(object) {}
  ~CScopedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  CScopedGdiObject(const CScopedGdiObject&) = delete;
  CScopedGdiObject& operator=(const CScopedGdiObject&) = delete;
  HGDIOBJ Get() const { return object_; }

 private:
  HGDIOBJ object_;
};

}  // namespace

bool CDC::IsPrinting() const { return GetDeviceCaps(dc_, TECHNOLOGY) == DT_RASPRINTER; }

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
  // The opaque background of an empty text fill is the cheapest solid fill
  // and needs no brush.
  const COLORREF old = SetBkColor(dc_, color);
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc_, old);
}

void CDC::Draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  FillSolidRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  FillSolidRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

void CDC::DrawFocusRect(const RECT& rect) { ::DrawFocusRect(dc_, &rect); }

void CDC::Line(POINT from, POINT to, COLORREF color) {
  CScopedGdiObject pen(CreatePen(PS_SOLID, 1, color));
  CSelectObject select(dc_, pen.Get());
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void CDC::Polygon(const POINT* points, int count, COLORREF color) {
  CScopedGdiObject pen(CreatePen(PS_SOLID, 1, color));
  CScopedGdiObject brush(CreateSolidBrush(color));
  CSelectObject selectPen(dc_, pen.Get());
  CSelectObject selectBrush(dc_, brush.Get());
  ::Polygon(dc_, points, count);
}

void CDC::Ellipse(const RECT& r, COLORREF color) {
  CScopedGdiObject pen(CreatePen(PS_SOLID, 1, color));
  CScopedGdiObject brush(CreateSolidBrush(color));
  CSelectObject selectPen(dc_, pen.Get());
  CSelectObject selectBrush(dc_, brush.Get());
  ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

int CDC::DrawText(const std::wstring& text, RECT& rect, UINT format) {
  return ::DrawTextW(dc_, text.c_str(), int(text.size()), &rect, format);
}

SIZE CDC::GetTextExtent(const std::wstring& text) const {
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &size);
  return size;
}

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(dc_, color); }
int CDC::SetBkMode(int mode) { return ::SetBkMode(dc_, mode); }
HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return ::SelectObject(dc_, object); }

bool CDC::BitBlt(const RECT& to, HDC from, POINT fromOrigin, DWORD rop) {
  return ::BitBlt(dc_, to.left, to.top, to.right - to.left, to.bottom - to.top, from,
                  fromOrigin.x, fromOrigin.y, rop) != FALSE;
}

bool CDC::StretchBlt(const RECT& to, HDC from, const RECT& f, DWORD rop) {
  const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
  const bool ok = ::StretchBlt(dc_, to.left, to.top, to.right - to.left, to.bottom - to.top, from,
                               f.left, f.top, f.right - f.left, f.bottom - f.top, rop) != FALSE;
  SetStretchBltMode(dc_, oldMode);
  return ok;
}

int CDC::ExcludeClipRect(const RECT& r) {
  return ::ExcludeClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

int CDC::IntersectClipRect(const RECT& r) {
  return ::IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

void CDC::RemoveClip() { SelectClipRgn(dc_, nullptr); }

RECT CDC::GetClipBox() const {
  RECT r = {0, 0, 0, 0};
  ::GetClipBox(dc_, &r);
  return r;
}

CPaintDC::CPaintDC(HWND hwnd) : CDC(nullptr), hwnd_(hwnd), paint_() {
  dc_ = BeginPaint(hwnd_, &paint_);
}

CPaintDC::~CPaintDC() { EndPaint(hwnd_, &paint_); }

CClientDC::CClientDC(HWND hwnd) : CDC(::GetDC(hwnd)), hwnd_(hwnd) {}

CClientDC::~CClientDC() {
  if (dc_ != nullptr) ::ReleaseDC(hwnd_, dc_);
}

DibRect CDcSurface::Bounds() const {
  RECT r = {0, 0, 0, 0};
  ::GetClipBox(dc_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void CDcSurface::FillRect(const DibRect& rect, uint32_t color) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
  const COLORREF old = SetBkColor(dc_, color & 0x00FFFFFFu);
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc_, old);
}

}  // namespace tessaro
