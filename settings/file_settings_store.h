// A settings store kept in one text file.  Every write rewrites the file
// beside itself and renames it into place, so a crash never leaves half a
// store; writers of several processes take turns, so none loses another's
// values; a damaged file reads as whatever of it still makes sense (at worst
// nothing, so every value takes its default).
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace tessaro {

class FileSettingsStore final : public SettingsStore {
 public:
  explicit FileSettingsStore(std::string path);

  int32_t GetInt(const std::string& section, const std::string& name, int32_t def) override;
  std::string GetString(const std::string& section, const std::string& name,
                        const std::string& def) override;
  bool WriteInt(const std::string& section, const std::string& name, int32_t value) override;
  bool WriteString(const std::string& section, const std::string& name,
                   const std::string& value) override;
  bool WriteInts(const std::string& section,
                 const std::vector<std::pair<std::string, int32_t>>& values) override;
  std::vector<std::string> ListSections() override;
  bool SectionExists(const std::string& section) override;
  bool DeleteValue(const std::string& section, const std::string& name) override;
  bool DeleteSection(const std::string& section) override;

  const std::string& path() const { return path_; }

 private:
  struct Value {
    std::string name;
    bool isInt = false;
    int32_t number = 0;
    std::string text;
  };
  struct Section {
    std::string path;  // "" for the application key; nested parts joined by '\'
    std::vector<Value> values;
  };

  // The file is read afresh for every operation: another process (a second
  // editor, the command-line host) may have written it in between.
  // What a reader sees: a store that cannot be read counts as empty.
  std::vector<Section> Load() const;
  // What a writer starts from: false when a store exists but cannot be read
  // whole, so a write never replaces presets it could not see.
  bool LoadForUpdate(std::vector<Section>& sections) const;
  bool Save(const std::vector<Section>& sections) const;
  // The store's path, its folder made: writers lock it (store_lock.h).
  std::string PathWithFolder() const;
  static Section* Find(std::vector<Section>& sections, const std::string& path);
  static Value* FindValue(Section& section, const std::string& name);
  bool Write(const std::string& section, std::vector<Value> values);

  std::string path_;
};

}  // namespace tessaro
