// The language table: which language files exist for this program, which one
// is current, and the lookup of every visible text in it.  Every lookup carries
// the built-in English text, so a missing file, section or key never leaves a
// blank.  Texts are UTF-8; the Windows user interface converts them when it
// shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/ini_file.h"

namespace tessaro::i18n {

class CLanguage {
 public:
  CLanguage() = default;
  CLanguage(const CLanguage&) = delete;
  CLanguage& operator=(const CLanguage&) = delete;

  // Rebuilds the lists of accepted files from the "*.lng" files beside the
  // module (beside the host program when useModuleFolder is false) and in its
  // "langs" folder.  An empty program name does nothing.
  void Load(const std::string& programName, int32_t minVersion, bool useModuleFolder);
  // The same with an explicit folder, which must end with a path separator.
  void LoadFrom(const std::string& programName, int32_t minVersion, const std::string& folder);

  // Makes the first file with this display name current, or the first file when
  // no name matches.  True when the current language changed.
  bool Select(const std::string& displayName);

  // Display name of an accepted file; a negative index means the current one.
  // Empty when there is no such file.
  std::string GetName(int32_t index = -1) const;
  // Index of the first file with this display name, or -1; an empty name gives
  // the current index.
  int32_t IndexOf(const std::string& displayName) const;

  // The current file's text for (section, key), following one redirection
  // "[Section]/key" and turning \n into a carriage return and \t into a tab;
  // defaultText when no language is current or the value is empty.
  std::string GetText(const std::string& section, const std::string& key,
                      const std::string& defaultText) const;
  // The current file's value split at every comma, untrimmed; no redirection or
  // escapes.  Empty when no language is current or the value is empty.
  std::vector<std::string> GetList(const std::string& section, const std::string& key) const;

  // Gives a dialog (the platform's window handle) the current language's
  // texts of section: its title (key "0") and those of its direct children by
  // control id.  Does nothing when no language is current or the window does
  // not exist; without a window system there is never a window.
  void ApplyToDialog(const std::string& section, void* dialogWindow);
  // Gives a menu (the platform's menu handle) and its sub-menus the texts of
  // section, by the key rule of ApplyMenuTexts (i18n/menu_texts.h).
  void ApplyToMenu(const std::string& section, void* menu) const;

  // What the window and menu appliers need besides the texts.
  int32_t Current() const { return current_; }
  int32_t Count() const { return int32_t(paths_.size()); }
  // Full path of an accepted file; empty when there is no such file.
  std::string Path(int32_t index) const;
  const std::string& ProgramName() const { return programName_; }
  int32_t MinVersion() const { return minVersion_; }

  // The dialog section and window that texts were last applied to; the window
  // is the platform's handle, kept opaque here.
  struct ApplyTarget {
    std::string section;
    void* window = nullptr;
  };
  ApplyTarget& LastApplied() { return lastApplied_; }

 private:
  // The current file's contents, read on the first lookup after a change.
  const CIniFile* CurrentFile() const;

  std::string programName_;
  int32_t minVersion_ = 0;
  std::vector<std::string> paths_;
  std::vector<std::string> names_;
  int32_t current_ = -1;
  ApplyTarget lastApplied_;

  mutable CIniFile file_;
  mutable std::string filePath_;  // whose contents file_ holds; empty: none yet
};

// The one table of the module.  It outlives every host call; the host calls on
// one thread, so it needs no lock.
CLanguage& TheLanguage();

// Selects the language stored in the settings; an empty stored name means
// "English", which no file need carry: the built-in texts are English.
void SelectStoredLanguage(CLanguage& language, const std::string& storedLanguage);

// What the prepare and about selectors do: load the files of the program
// "Quelmark <product>" (any version) beside the module and select the stored
// language.
void PrepareLanguage(CLanguage& language, const std::string& productName,
                     const std::string& storedLanguage);

}  // namespace tessaro::i18n
