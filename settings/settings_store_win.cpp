// The registry under the current user, as every Windows program keeps its
// per-user settings.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "i18n/utf16.h"
#include "settings/settings_store.h"

namespace tessaro {

namespace {

class Key {
 public:
  Key() = default;
  explicit Key(HKEY key) : key_(key) {}
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

class RegistryStore final : public SettingsStore {
 public:
  explicit RegistryStore(std::wstring root) : root_(std::move(root)) {}

  int32_t GetInt(const std::string& section, const std::string& name, int32_t def) override {
    Key key = Open(section, KEY_READ);
    if (!key) return def;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key.get(), Utf8ToWide(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
      return def;
    return static_cast<int32_t>(value);
  }

  std::string GetString(const std::string& section, const std::string& name,
                        const std::string& def) override {
    Key key = Open(section, KEY_READ);
    if (!key) return def;
    const std::wstring wname = Utf8ToWide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > (1u << 20))
      return def;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = DWORD(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&text[0]), &got) != ERROR_SUCCESS)
      return def;
    text.resize(std::min<size_t>(got / sizeof(wchar_t), text.size()));
    // Stored strings may or may not carry their terminating zero.
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return WideToUtf8(text);
  }

  bool WriteInt(const std::string& section, const std::string& name, int32_t value) override {
    Key key = Create(section);
    if (!key) return false;
    const DWORD v = static_cast<DWORD>(value);
    return RegSetValueExW(key.get(), Utf8ToWide(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&v), sizeof v) == ERROR_SUCCESS;
  }

  bool WriteString(const std::string& section, const std::string& name,
                   const std::string& value) override {
    Key key = Create(section);
    if (!key) return false;
    const std::wstring w = Utf8ToWide(value);
    return RegSetValueExW(key.get(), Utf8ToWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(w.c_str()),
                          DWORD((w.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  std::vector<std::string> ListSections() override {
    std::vector<std::string> names;
    Key key = Open("", KEY_READ);
    if (!key) return names;
    DWORD count = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    for (DWORD i = 0; i < count; ++i) {
      wchar_t name[1024];
      DWORD length = 1024;
      if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
          ERROR_SUCCESS)
        names.push_back(WideToUtf8(std::wstring(name, length)));
    }
    return names;
  }

  bool SectionExists(const std::string& section) override {
    return static_cast<bool>(Open(section, KEY_READ));
  }

  bool DeleteValue(const std::string& section, const std::string& name) override {
    Key key = Open(section, KEY_SET_VALUE);
    return key && RegDeleteValueW(key.get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
  }

  bool DeleteSection(const std::string& section) override {
    if (Path(section) == root_) return false;
    // Fails for a key with subkeys, which is what callers expect.
    return RegDeleteKeyW(HKEY_CURRENT_USER, Path(section).c_str()) == ERROR_SUCCESS;
  }

 private:
  std::wstring Path(const std::string& section) const {
    std::wstring path = root_;
    std::wstring rest = Utf8ToWide(section);
    while (!rest.empty() && rest.front() == L'\\') rest.erase(rest.begin());
    while (!rest.empty() && rest.back() == L'\\') rest.pop_back();
    if (!rest.empty()) path += L"\\" + rest;
    return path;
  }
  Key Open(const std::string& section, REGSAM access) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(section).c_str(), 0, access, &key) != ERROR_SUCCESS)
      return Key();
    return Key(key);
  }
  Key Create(const std::string& section) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Path(section).c_str(), 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return Key();
    return Key(key);
  }

  std::wstring root_;
};

}  // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore(const std::string& company,
                                                 const std::string& application) {
  return std::make_unique<RegistryStore>(L"Software\\" + Utf8ToWide(company) + L"\\" + Utf8ToWide(application));
}

std::string SettingsStoreLocation(const std::string& company, const std::string& application) {
  return "the registry key HKEY_CURRENT_USER\\Software\\" + company + "\\" + application;
}

}  // namespace tessaro
