#include "ui/toolkit/dialog_template_win.h"

namespace tessaro {

namespace {

void PushDword(std::vector<WORD>& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}

}  // namespace

CDialogTemplate::CDialogTemplate(DWORD style, short x, short y, short cx, short cy,
                                 const std::wstring& title, const std::wstring& font,
                                 WORD pointSize) {
  PushDword(words_, style | DS_SETFONT);
  PushDword(words_, 0);  // extended style
  words_.push_back(0);   // item count, kept up to date by AddItem
  words_.push_back(WORD(x));
  words_.push_back(WORD(y));
  words_.push_back(WORD(cx));
  words_.push_back(WORD(cy));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the dialog class
  AddString(title);
  words_.push_back(pointSize);
  AddString(font);
}

void CDialogTemplate::AlignToDword() {
  if (words_.size() % 2 != 0) words_.push_back(0);
}

void CDialogTemplate::AddString(const std::wstring& text) {
  for (wchar_t c : text) words_.push_back(WORD(c));
  words_.push_back(0);
}

void CDialogTemplate::BeginItem(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                WORD id) {
  AlignToDword();
  PushDword(words_, style);
  PushDword(words_, exStyle);
  words_.push_back(WORD(x));
  words_.push_back(WORD(y));
  words_.push_back(WORD(cx));
  words_.push_back(WORD(cy));
  words_.push_back(id);
  ++words_[kCountIndex];
}

void CDialogTemplate::AddItem(DialogItemClass itemClass, WORD id, const std::wstring& text,
                              DWORD style, short x, short y, short cx, short cy, DWORD exStyle) {
  BeginItem(style, exStyle, x, y, cx, cy, id);
  words_.push_back(0xFFFF);
  words_.push_back(WORD(itemClass));
  AddString(text);
  words_.push_back(0);  // no creation data
}

void CDialogTemplate::AddItem(const std::wstring& className, WORD id, const std::wstring& text,
                              DWORD style, short x, short y, short cx, short cy, DWORD exStyle) {
  BeginItem(style, exStyle, x, y, cx, cy, id);
  AddString(className);
  AddString(text);
  words_.push_back(0);
}

}  // namespace tessaro
