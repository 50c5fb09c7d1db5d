// An in-memory dialog template, built at run time in the platform's layout
// (the same bytes a resource template holds), in dialog units.  Used where no
// resource exists: the gallery, the tests, dialogs assembled in code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessaro {

// The platform's predefined control classes, by the atom a template names
// them with.
enum class DialogItemClass : WORD {
  kButton = 0x0080,
  kEdit = 0x0081,
  kStatic = 0x0082,
  kListBox = 0x0083,
  kScrollBar = 0x0084,
  kComboBox = 0x0085,
};

class CDialogTemplate {
 public:
  // DS_SETFONT is added: every dialog names its font.
  CDialogTemplate(DWORD style, short x, short y, short cx, short cy, const std::wstring& title,
                  const std::wstring& font = L"Tahoma", WORD pointSize = 8);

  void AddItem(DialogItemClass itemClass, WORD id, const std::wstring& text, DWORD style, short x,
               short y, short cx, short cy, DWORD exStyle = 0);
  // A control class registered by name (trackbars, progress bars).
  void AddItem(const std::wstring& className, WORD id, const std::wstring& text, DWORD style,
               short x, short y, short cx, short cy, DWORD exStyle = 0);

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  int ItemCount() const { return words_[kCountIndex]; }

 private:
  static constexpr size_t kCountIndex = 4;  // after style and extended style
  void BeginItem(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id);
  void AddString(const std::wstring& text);
  void AlignToDword();

  // Words keep the block 2-byte aligned; vector storage is aligned for DWORDs,
  // and items are padded to DWORD boundaries within it.
  std::vector<WORD> words_;
};

}  // namespace tessaro
