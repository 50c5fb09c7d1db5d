#include "ui/toolkit/mem_dc_win.h"

namespace tessaro {

CMemDCEx::CMemDCEx(HDC target, const RECT* rect, bool copyBackground)
    : CDC(target), target_(target) {
  if (target == nullptr || IsPrinting()) return;
  if (rect != nullptr) {
    rect_ = *rect;
  } else {
    ::GetClipBox(target, &rect_);
  }
  const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
  if (w <= 0 || h <= 0) return;
  HDC memory = CreateCompatibleDC(target);
  if (memory == nullptr) return;
  bitmap_ = CreateCompatibleBitmap(target, w, h);
  if (bitmap_ == nullptr) {
    DeleteDC(memory);
    return;
  }
  oldBitmap_ = ::SelectObject(memory, bitmap_);
  SetWindowOrgEx(memory, rect_.left, rect_.top, nullptr);
  // Text drawn into the picture starts with the target's font and colours.
  ::SelectObject(memory, GetCurrentObject(target, OBJ_FONT));
  ::SetTextColor(memory, GetTextColor(target));
  ::SetBkColor(memory, GetBkColor(target));
  if (copyBackground)
    ::BitBlt(memory, rect_.left, rect_.top, w, h, target, rect_.left, rect_.top, SRCCOPY);
  dc_ = memory;
}

CMemDCEx::~CMemDCEx() {
  if (bitmap_ == nullptr) return;
  ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc_,
           rect_.left, rect_.top, SRCCOPY);
  ::SelectObject(dc_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

}  // namespace tessaro
