// Which text of the current language goes to which window of a dialog: the
// decisions of CLanguage::ApplyToDialog, kept apart from the windows so that
// they hold on every platform.  A window's texts are keyed by its decimal
// control id; the dialog itself, having no id, by "0".
#pragma once

#include <string>
#include <vector>

namespace tessaro::i18n {

class CLanguage;

enum class ChildTextKind {
  kItems,    // a combo box: its list is replaced, the selection kept
  kColumns,  // a list view: item i titles column i
  kText,     // anything else: its window text
};

struct ChildTexts {
  ChildTextKind kind = ChildTextKind::kText;
  std::string text;                // kText: the new window text; empty keeps it
  std::vector<std::string> items;  // kItems, kColumns: empty keeps them
  bool Changes() const { return kind == ChildTextKind::kText ? !text.empty() : !items.empty(); }
};

ChildTextKind ChildTextKindFor(const std::string& className);

// The dialog's own title; empty keeps the built-in one.
std::string DialogTitleText(const CLanguage& language, const std::string& section);

// The texts for one direct child of the dialog.
ChildTexts ChildTextsFor(const CLanguage& language, const std::string& section,
                         const std::string& className, int controlId);

}  // namespace tessaro::i18n
