#include "i18n/dialog_texts.h"

#include "i18n/ascii.h"
#include "i18n/language.h"

namespace tessaro::i18n {

namespace {

bool SameClass(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

ChildTextKind ChildTextKindFor(const std::string& className) {
  // Class names are compared as the platform compares them: without case.
  if (SameClass(className, "ComboBox")) return ChildTextKind::kItems;
  if (SameClass(className, "SysListView32")) return ChildTextKind::kColumns;
  return ChildTextKind::kText;
}

std::string DialogTitleText(const CLanguage& language, const std::string& section) {
  return language.GetText(section, "0", "");
}

ChildTexts ChildTextsFor(const CLanguage& language, const std::string& section,
                         const std::string& className, int controlId) {
  ChildTexts texts;
  texts.kind = ChildTextKindFor(className);
  const std::string key = std::to_string(controlId);
  if (texts.kind == ChildTextKind::kText)
    texts.text = language.GetText(section, key, "");
  else
    texts.items = language.GetList(section, key);
  return texts;
}

}  // namespace tessaro::i18n
