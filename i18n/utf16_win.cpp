#include "i18n/utf16.h"

#include <windows.h>

namespace tessaro {

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

std::string WideToUtf8(const wchar_t* text, size_t size) {
  if (size == 0) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, int(size), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string narrow(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, int(size), narrow.data(), n, nullptr, nullptr);
  return narrow;
}

}  // namespace tessaro
