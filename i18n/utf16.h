// UTF-8, which every text of the product is kept in, to and from the UTF-16 of
// the Windows interfaces.  Text that is not valid UTF-8 (or UTF-16) converts to
// an empty string.  Only the Windows build defines these.
#pragma once

#include <cstddef>
#include <string>

namespace tessaro {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const wchar_t* text, size_t size);
inline std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

}  // namespace tessaro
