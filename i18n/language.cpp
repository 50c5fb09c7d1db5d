#include "i18n/language.h"

#include <algorithm>
#include <string_view>

#include "i18n/ascii.h"
#include "i18n/file_system.h"

namespace tessaro::i18n {

namespace {

constexpr char kInfo[] = "Info";
constexpr char kExtension[] = ".lng";
constexpr char kSubfolder[] = "langs";

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

// Integer text with automatic base: "0x" hexadecimal, a leading "0" octal,
// otherwise decimal; parsing stops at the first character that is no digit, and
// text without digits counts as 0.  Clamped to 32 bits on every platform.
int32_t ParseVersion(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  int base = 10;
  if (i < text.size() && text[i] == '0') {
    const bool hex =
        i + 2 < text.size() && AsciiLower(text[i + 1]) == 'x' && DigitValue(text[i + 2]) < 16;
    base = hex ? 16 : 8;
    if (hex) i += 2;
  }
  constexpr int64_t kLimit = int64_t(1) << 31;
  int64_t value = 0;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
    value = std::min(value * base + DigitValue(text[i]), kLimit);
  }
  if (negative) return int32_t(-value);
  return int32_t(std::min(value, kLimit - 1));
}

// NTFS lists a folder by names compared in upper case whatever the order of
// creation; sorting the same way gives every file system the same order, and so
// the same first language.
void SortLikeNtfs(std::vector<std::string>& names) {
  auto upper = [](char c) { return uint8_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); };
  std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      if (upper(a[i]) != upper(b[i])) return upper(a[i]) < upper(b[i]);
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
}

// \n becomes a carriage return and \t a tab; a backslash before anything else
// stays, and the scan goes on with the character after it.
std::string ReplaceEscapes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 't')) {
      out += text[i + 1] == 'n' ? '\r' : '\t';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

void CLanguage::Load(const std::string& programName, int32_t minVersion, bool useModuleFolder) {
  if (programName.empty()) return;
  LoadFrom(programName, minVersion, useModuleFolder ? ModuleFolder() : ProgramFolder());
}

void CLanguage::LoadFrom(const std::string& programName, int32_t minVersion,
                         const std::string& folder) {
  if (programName.empty()) return;
  programName_ = programName;
  minVersion_ = minVersion;
  paths_.clear();
  names_.clear();
  filePath_.clear();  // the current file may have changed on disk

  const std::string subfolder = folder + kSubfolder + PathSeparator();
  for (const std::string& where : {folder, subfolder}) {
    std::vector<std::string> names = FindFilesWithExtension(where, kExtension);
    SortLikeNtfs(names);
    for (const std::string& name : names) {
      const std::string path = where + name;
      CIniFile file;
      if (!file.Load(path)) continue;
      if (!EqualsNoCase(file.GetString(kInfo, "program"), programName)) continue;
      if (ParseVersion(file.GetString(kInfo, "version")) < minVersion) continue;
      paths_.push_back(path);
      names_.push_back(file.GetString(kInfo, "name"));
    }
  }
  // The current index survives a reload, unless the file it named is gone:
  // an index past the end would read another language or none at all.
  if (current_ >= Count()) current_ = -1;
}

bool CLanguage::Select(const std::string& displayName) {
  if (names_.empty()) return false;
  const auto match = std::find(names_.begin(), names_.end(), displayName);
  const int32_t wanted = match == names_.end() ? 0 : int32_t(match - names_.begin());
  if (wanted == current_) return false;
  current_ = wanted;
  return true;
}

std::string CLanguage::GetName(int32_t index) const {
  if (index < 0) index = current_;
  if (index < 0 || index >= Count()) return {};
  return names_[size_t(index)];
}

std::string CLanguage::Path(int32_t index) const {
  return index >= 0 && index < Count() ? paths_[size_t(index)] : std::string();
}

int32_t CLanguage::IndexOf(const std::string& displayName) const {
  if (displayName.empty()) return current_;
  const auto match = std::find(names_.begin(), names_.end(), displayName);
  return match == names_.end() ? -1 : int32_t(match - names_.begin());
}

const CIniFile* CLanguage::CurrentFile() const {
  if (current_ < 0 || current_ >= Count()) return nullptr;
  const std::string& path = paths_[size_t(current_)];
  if (filePath_ != path) {
    // An unreadable file reads as empty: the built-in texts stay.
    file_.Load(path);
    filePath_ = path;
  }
  return &file_;
}

std::string CLanguage::GetText(const std::string& section, const std::string& key,
                               const std::string& defaultText) const {
  const CIniFile* file = CurrentFile();
  if (!file) return defaultText;
  std::string text = file->GetString(section, key);
  if (text.empty()) return defaultText;

  const size_t split = text.size() > 1 && text[0] == '[' ? text.find("]/", 1) : std::string::npos;
  if (split != std::string::npos) {
    // One level only: a redirection found there is taken as text.
    text = file->GetString(std::string_view(text).substr(1, split - 1),
                           std::string_view(text).substr(split + 2));
    if (text.empty()) return defaultText;
  }
  return ReplaceEscapes(text);
}

std::vector<std::string> CLanguage::GetList(const std::string& section,
                                            const std::string& key) const {
  std::vector<std::string> items;
  const CIniFile* file = CurrentFile();
  if (!file) return items;
  const std::string value = file->GetString(section, key);
  if (value.empty()) return items;
  size_t start = 0;
  for (size_t comma; (comma = value.find(',', start)) != std::string::npos; start = comma + 1) {
    items.push_back(value.substr(start, comma - start));
  }
  items.push_back(value.substr(start));
  return items;
}

CLanguage& TheLanguage() {
  static CLanguage language;
  return language;
}

void SelectStoredLanguage(CLanguage& language, const std::string& storedLanguage) {
  language.Select(storedLanguage.empty() ? "English" : storedLanguage);
}

void PrepareLanguage(CLanguage& language, const std::string& productName,
                     const std::string& storedLanguage) {
  language.Load("Quelmark " + productName, 0, true);
  SelectStoredLanguage(language, storedLanguage);
}

}  // namespace tessaro::i18n
