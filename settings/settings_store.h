// The per-user settings store: the application key with named sections below
// it.  Value names and section names match without regard to case; integers
// are signed 32-bit, strings are text.  Reads take a default and never fail;
// writes report success but callers may ignore it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tessaro {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // section "" is the application key itself.  A section name holding
  // backslashes names nested sections, as a path of keys would.
  virtual int32_t GetInt(const std::string& section, const std::string& name, int32_t def) = 0;
  virtual std::string GetString(const std::string& section, const std::string& name,
                                const std::string& def) = 0;
  virtual bool WriteInt(const std::string& section, const std::string& name, int32_t value) = 0;
  virtual bool WriteString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
  // Several integers of one section at once; a store that can, writes them as
  // one change, so a set of values is never left half written.
  virtual bool WriteInts(const std::string& section,
                         const std::vector<std::pair<std::string, int32_t>>& values) {
    bool ok = true;
    for (const auto& [name, value] : values) ok = WriteInt(section, name, value) && ok;
    return ok;
  }

  // Names of the sections directly below the application key, in the order the
  // store enumerates them.
  virtual std::vector<std::string> ListSections() = 0;
  virtual bool SectionExists(const std::string& section) = 0;
  virtual bool DeleteValue(const std::string& section, const std::string& name) = 0;
  // Removes an empty section; a section that still has sections below it stays.
  virtual bool DeleteSection(const std::string& section) = 0;
};

// The store of the current user for "Software\<company>\<application>".
// Windows: the registry under the current user.  Elsewhere: a file under the
// user's configuration folder ($TESSARO_SETTINGS_DIR overrides the folder).
std::unique_ptr<SettingsStore> OpenSettingsStore(const std::string& company,
                                                 const std::string& application);

// Where that store is, for people: the file's path, or the registry key.
std::string SettingsStoreLocation(const std::string& company, const std::string& application);

}  // namespace tessaro
