// Case folding for names in language files and file extensions.  Only ASCII
// letters fold: section and key names are ASCII in practice, and folding
// multi-byte UTF-8 would need tables the platform compares with anyway.
#pragma once

#include <cstddef>
#include <string_view>

namespace tessaro::i18n {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

inline bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace tessaro::i18n
