// The web link's decisions that need no window: whether a text is a link at
// all, which colour it shows, how a browser command line is built when the
// shell cannot open the address, and what the user is told when nothing works.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

// Style bits of CHyperLink.
constexpr uint32_t kLinkUnderline = 1;
constexpr uint32_t kLinkHoverColor = 2;
constexpr uint32_t kLinkSizeToText = 4;
constexpr uint32_t kLinkFollowOnPress = 8;
constexpr uint32_t kLinkFocusOnPress = 16;
constexpr uint32_t kLinkNoHandCursor = 32;
constexpr uint32_t kLinkNoFocusColor = 64;
constexpr uint32_t kLinkNotALink = 128;
constexpr uint32_t kLinkNoErase = 256;

// Colour values 0x00BBGGRR, shared by every link.
constexpr uint32_t kLinkNormalColor = 0x954030;   // red 48, green 64, blue 149
constexpr uint32_t kLinkVisitedColor = 0x954030;
constexpr uint32_t kLinkFocusColor = 0x954030;
constexpr uint32_t kLinkHoverTextColor = 0xEF9970;  // red 112, green 153, blue 239

// What attaching decides from the window text when no address was set.
struct LinkTarget {
  std::wstring address;  // empty: nothing to open
  bool plainText;        // shown as a label: style kLinkNotALink
};
LinkTarget LinkTargetFromText(const std::wstring& text);

// The text colour, or false when a plain-text label keeps the default.
bool LinkTextColor(uint32_t style, bool hovered, bool focused, bool visited, uint32_t& color);

// A registered ".htm" open command cut before its first quoted placeholder,
// else its first %1, with the address appended after a space.
std::wstring BrowserCommandLine(const std::wstring& openCommand, const std::wstring& address);

// Why the shell's open failed, by its result code (32 or less).
std::wstring LinkOpenFailureText(int64_t result);

}  // namespace tessaro
