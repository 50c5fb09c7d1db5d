#include "settings/file_settings_store.h"

#include "settings/store_lock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace tessaro {

namespace {

namespace fs = std::filesystem;

// Big enough for thousands of presets; anything larger is not ours.
constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool LessName(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

// Section names are paths of keys separated by backslashes; empty parts are
// dropped, so "" and "\" both name the application key.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string NormalisePath(const std::string& path) {
  std::string out;
  for (const std::string& part : SplitPath(path)) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

bool IsBelow(const std::string& child, const std::string& parent) {
  if (parent.empty()) return !child.empty();
  return child.size() > parent.size() + 1 && child[parent.size()] == '\\' &&
         SameName(child.substr(0, parent.size()), parent);
}

// Names and texts are written with %XX escapes for anything that would break
// the line structure, so any byte sequence survives a round trip.
std::string Escape(const std::string& s, bool isName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    const bool special = c < 0x20 || c == 0x7F || c == '%' ||
                         (isName && (c == '=' || c == '[' || c == ']' || c == ';'));
    if (special) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += char(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

bool ParseInt32(const std::string& text, int32_t& value) {
  if (text.empty() || text.size() > 12) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size()) return false;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string path) : path_(std::move(path)) {}

std::string FileSettingsStore::PathWithFolder() const {
  // The lock needs the folder before the first write makes it.
  std::error_code ec;
  const fs::path target = fs::u8path(path_);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  return path_;
}

std::vector<FileSettingsStore::Section> FileSettingsStore::Load() const {
  std::vector<Section> sections;
  if (!LoadForUpdate(sections)) sections.assign(1, Section{});
  return sections;
}

bool FileSettingsStore::LoadForUpdate(std::vector<Section>& sections) const {
  sections.assign(1, Section{});  // the application key is always there
  const fs::path file = fs::u8path(path_);
  std::error_code ec;
  if (!fs::exists(file, ec)) return !ec;  // nothing stored yet
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec || size > kMaxFileBytes) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;

  Section* current = &sections[0];
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string::npos) continue;
      const std::string path = NormalisePath(Unescape(line.substr(1, close - 1)));
      current = Find(sections, path);
      if (!current) {
        sections.push_back(Section{path, {}});
        current = &sections.back();
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || line.size() < eq + 3 || line[eq + 2] != ':') continue;
    Value v;
    v.name = Unescape(line.substr(0, eq));
    const char type = line[eq + 1];
    const std::string payload = line.substr(eq + 3);
    if (type == 'i') {
      v.isInt = true;
      if (!ParseInt32(payload, v.number)) continue;
    } else if (type == 's') {
      v.text = Unescape(payload);
    } else {
      continue;
    }
    if (!FindValue(*current, v.name)) current->values.push_back(std::move(v));
  }
  if (in.bad()) {
    sections.assign(1, Section{});
    return false;
  }
  return true;
}

bool FileSettingsStore::Save(const std::vector<Section>& sections) const {
  std::ostringstream out;
  out << "; Tessaro settings. Written by the program: edits may be overwritten.\n";
  for (const Section& s : sections) {
    if (!s.path.empty()) out << '[' << Escape(s.path, true) << "]\n";
    for (const Value& v : s.values) {
      out << Escape(v.name, true) << '=';
      if (v.isInt) {
        out << "i:" << v.number;
      } else {
        out << "s:" << Escape(v.text, false);
      }
      out << '\n';
    }
  }
  const std::string text = out.str();

  std::error_code ec;
  const fs::path target = fs::u8path(path_);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  // A name of its own per write, so two writers never share a half-written file.
  static std::atomic<uint32_t> writes{0};
  fs::path temp = target;
  temp += ".new-" +
          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
          std::to_string(++writes);
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(text.data(), std::streamsize(text.size()));
    file.flush();
    if (!file) {
      file.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

FileSettingsStore::Section* FileSettingsStore::Find(std::vector<Section>& sections,
                                                    const std::string& path) {
  for (Section& s : sections)
    if (SameName(s.path, path)) return &s;
  return nullptr;
}

FileSettingsStore::Value* FileSettingsStore::FindValue(Section& section, const std::string& name) {
  for (Value& v : section.values)
    if (SameName(v.name, name)) return &v;
  return nullptr;
}

int32_t FileSettingsStore::GetInt(const std::string& section, const std::string& name,
                                  int32_t def) {
  std::vector<Section> sections = Load();
  Section* s = Find(sections, NormalisePath(section));
  const Value* v = s ? FindValue(*s, name) : nullptr;
  return v && v->isInt ? v->number : def;
}

std::string FileSettingsStore::GetString(const std::string& section, const std::string& name,
                                         const std::string& def) {
  std::vector<Section> sections = Load();
  Section* s = Find(sections, NormalisePath(section));
  const Value* v = s ? FindValue(*s, name) : nullptr;
  return v && !v->isInt ? v->text : def;
}

bool FileSettingsStore::Write(const std::string& section, std::vector<Value> values) {
  for (const Value& v : values)
    if (v.name.empty()) return false;
  const StoreLock lock(PathWithFolder());
  std::vector<Section> sections;
  if (!LoadForUpdate(sections)) return false;
  const std::string path = NormalisePath(section);
  // Writing into a nested section creates its parents, as keys would be.
  std::string prefix;
  for (const std::string& part : SplitPath(path)) {
    prefix += (prefix.empty() ? "" : "\\") + part;
    if (!Find(sections, prefix)) sections.push_back(Section{prefix, {}});
  }
  Section* s = Find(sections, path);
  for (Value& value : values) {
    if (Value* existing = FindValue(*s, value.name)) {
      value.name = existing->name;  // the stored spelling stays
      *existing = std::move(value);
    } else {
      s->values.push_back(std::move(value));
    }
  }
  return Save(sections);
}

bool FileSettingsStore::WriteInt(const std::string& section, const std::string& name,
                                 int32_t value) {
  return WriteInts(section, {{name, value}});
}

bool FileSettingsStore::WriteInts(const std::string& section,
                                  const std::vector<std::pair<std::string, int32_t>>& values) {
  std::vector<Value> list;
  for (const auto& [name, number] : values) {
    Value v;
    v.name = name;
    v.isInt = true;
    v.number = number;
    list.push_back(std::move(v));
  }
  return Write(section, std::move(list));
}

bool FileSettingsStore::WriteString(const std::string& section, const std::string& name,
                                    const std::string& value) {
  Value v;
  v.name = name;
  v.text = value;
  return Write(section, {std::move(v)});
}

std::vector<std::string> FileSettingsStore::ListSections() {
  std::vector<std::string> names;
  for (const Section& s : Load()) {
    const std::vector<std::string> parts = SplitPath(s.path);
    if (parts.empty()) continue;
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&](const std::string& n) { return SameName(n, parts[0]); });
    if (!known) names.push_back(parts[0]);
  }
  // Key enumeration of the platform's store comes in name order.
  std::stable_sort(names.begin(), names.end(), LessName);
  return names;
}

bool FileSettingsStore::SectionExists(const std::string& section) {
  const std::string path = NormalisePath(section);
  if (path.empty()) return true;
  for (const Section& s : Load())
    if (SameName(s.path, path) || IsBelow(s.path, path)) return true;
  return false;
}

bool FileSettingsStore::DeleteValue(const std::string& section, const std::string& name) {
  const StoreLock lock(PathWithFolder());
  std::vector<Section> sections;
  if (!LoadForUpdate(sections)) return false;
  Section* s = Find(sections, NormalisePath(section));
  if (!s) return false;
  auto it = std::find_if(s->values.begin(), s->values.end(),
                         [&](const Value& v) { return SameName(v.name, name); });
  if (it == s->values.end()) return false;
  s->values.erase(it);
  return Save(sections);
}

bool FileSettingsStore::DeleteSection(const std::string& section) {
  const std::string path = NormalisePath(section);
  if (path.empty()) return false;
  const StoreLock lock(PathWithFolder());
  std::vector<Section> sections;
  if (!LoadForUpdate(sections)) return false;
  bool found = false;
  for (const Section& s : sections) {
    if (IsBelow(s.path, path)) return false;
    found = found || SameName(s.path, path);
  }
  if (!found) return false;
  sections.erase(std::remove_if(sections.begin(), sections.end(),
                                [&](const Section& s) { return SameName(s.path, path); }),
                 sections.end());
  return Save(sections);
}

}  // namespace tessaro
