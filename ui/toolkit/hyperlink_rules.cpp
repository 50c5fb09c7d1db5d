#include "ui/toolkit/hyperlink_rules.h"

#include <string>

namespace tessaro {

LinkTarget LinkTargetFromText(const std::wstring& text) {
  if (text.find(L"://") != std::wstring::npos || text.find(L"mailto:") != std::wstring::npos)
    return {text, false};
  // "www..." still looks like a link, though there is nothing to open.
  return {std::wstring(), text.compare(0, 3, L"www") != 0};
}

bool LinkTextColor(uint32_t style, bool hovered, bool focused, bool visited, uint32_t& color) {
  if ((style & kLinkNotALink) != 0) return false;
  if (hovered && (style & kLinkHoverColor) != 0) {
    color = kLinkHoverTextColor;
  } else if ((style & kLinkNoFocusColor) != 0 || !focused) {
    color = visited ? kLinkVisitedColor : kLinkNormalColor;
  } else {
    color = kLinkFocusColor;
  }
  return true;
}

std::wstring BrowserCommandLine(const std::wstring& openCommand, const std::wstring& address) {
  std::wstring command = openCommand;
  size_t cut = command.find(L"\"%");
  if (cut == std::wstring::npos) cut = command.find(L"%1");
  if (cut != std::wstring::npos) command.resize(cut);
  return command + L" " + address;
}

std::wstring LinkOpenFailureText(int64_t result) {
  switch (result) {
    case 0: return L"The operating system is out\nof memory or resources.";
    case 2: return L"The specified file was not found.";
    case 3: return L"The specified path was not found.";
    case 5: return L"The operating system denied\naccess to the specified file.";
    case 8: return L"There was not enough memory to complete the operation.";
    case 11: return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return L"A sharing violation occurred. ";
    case 27: return L"The filename association is\nincomplete or invalid.";
    case 28:
      return L"The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return L"The DDE transaction failed.";
    case 30:
      return L"The DDE transaction could not\nbe completed because other DDE transactions\n"
             L"were being processed.";
    case 31: return L"There is no application associated\nwith the given filename extension.";
    case 32: return L"The specified dynamic-link library was not found.";
    default: return L"Unknown Error (" + std::to_wstring(result) + L") occurred.";
  }
}

}  // namespace tessaro
