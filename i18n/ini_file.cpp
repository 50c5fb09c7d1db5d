#include "i18n/ini_file.h"

#include <cstdint>

#include "i18n/ascii.h"
#include "i18n/file_system.h"

namespace tessaro::i18n {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp == 0) return;  // a NUL would end the text early once it reaches the platform
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at the start of bytes (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view bytes) {
  auto at = [&](size_t i) { return i < bytes.size() ? uint8_t(bytes[i]) : uint8_t(0); };
  auto continuation = [&](size_t i, uint8_t low = 0x80, uint8_t high = 0xBF) {
    return at(i) >= low && at(i) <= high;
  };
  const uint8_t lead = at(0);
  if (bytes.empty()) return 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const uint8_t low = lead == 0xE0 ? 0xA0 : 0x80;
    const uint8_t high = lead == 0xED ? 0x9F : 0xBF;
    return continuation(1, low, high) && continuation(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const uint8_t low = lead == 0xF0 ? 0x90 : 0x80;
    const uint8_t high = lead == 0xF4 ? 0x8F : 0xBF;
    return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

// Copies well-formed sequences; each byte of a broken one becomes U+FFFD.
std::string FromUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      AppendUtf8(out, kReplacement);
      bytes.remove_prefix(1);
    } else {
      if (bytes[0] != '\0') out.append(bytes.data(), length);
      bytes.remove_prefix(length);
    }
  }
  return out;
}

std::string FromWindows1252(std::string_view bytes) {
  // 0x80..0x9F; the five unassigned bytes keep their C1 code points, as the
  // platform's own conversion does.
  static constexpr uint16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (const char c : bytes) {
    const uint8_t b = uint8_t(c);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
  }
  return out;
}

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> uint32_t {
    const uint8_t a = uint8_t(bytes[i]), b = uint8_t(bytes[i + 1]);
    return bigEndian ? uint32_t(a) << 8 | b : uint32_t(b) << 8 | a;
  };
  const size_t units = bytes.size() / 2;  // an odd last byte is no character
  for (size_t i = 0; i < units; ++i) {
    const uint32_t u = unit(2 * i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const uint32_t low = unit(2 * i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
  }
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Drops whatever follows the last line break: the rest of a line that was cut.
std::string_view WholeLines(std::string_view text) {
  const size_t end = text.find_last_of("\r\n");
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string DecodeText(std::string_view bytes, bool complete) {
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
    const std::string text = FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    return std::string(complete ? std::string_view(text) : WholeLines(text));
  }
  // In the byte encodings a line-break byte is never part of a longer
  // character, so a cut file can lose its partial line before it is decoded.
  if (!complete) bytes = WholeLines(bytes);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return FromUtf8(bytes.substr(3));
  if (IsValidUtf8(bytes)) return FromUtf8(bytes);
  return FromWindows1252(bytes);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

// The first maxChars characters of valid UTF-8 text.
std::string_view CutToChars(std::string_view text, size_t maxChars) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool startsCharacter = (uint8_t(text[i]) & 0xC0) != 0x80;
    if (startsCharacter && chars++ == maxChars) return text.substr(0, i);
  }
  return text;
}

}  // namespace

bool CIniFile::Load(const std::string& path) {
  Clear();
  std::string bytes;
  bool truncated = false;
  if (!ReadFileHead(path, kMaxFileBytes, bytes, truncated)) return false;
  Parse(bytes, !truncated);
  return true;
}

void CIniFile::Parse(std::string_view bytes, bool complete) {
  Clear();
  const std::string text = DecodeText(bytes, complete);
  Section* section = nullptr;  // keys before the first header belong nowhere
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    // CR LF is one break; a lone CR or LF also ends a line.
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        section = &sections_[Folded(Trim(line.substr(1, close - 1)))];
      }
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || !section) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) continue;
    const std::string_view value = CutToChars(Trim(line.substr(equals + 1)), kMaxValueChars);
    section->emplace(Folded(key), std::string(value));  // an earlier key stays
  }
}

std::string CIniFile::GetString(std::string_view section, std::string_view key) const {
  const auto found = sections_.find(Folded(section));
  if (found == sections_.end()) return {};
  const auto value = found->second.find(Folded(key));
  return value == found->second.end() ? std::string() : value->second;
}

}  // namespace tessaro::i18n
