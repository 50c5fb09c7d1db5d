// A fresh folder in the platform's temporary folder for language-file tests,
// removed with everything in it at the end of the test.  Names and contents are
// given in UTF-8 and written through the wide API on Windows.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "i18n/file_system.h"

namespace tessaro::testing {

class LanguageFolder {
 public:
  explicit LanguageFolder(const std::string& leaf = "") {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("tessaro-i18n-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    path_ = leaf.empty() ? root_ : root_ / std::filesystem::u8path(leaf);
    std::filesystem::create_directories(path_);
  }
  ~LanguageFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  LanguageFolder(const LanguageFolder&) = delete;
  LanguageFolder& operator=(const LanguageFolder&) = delete;

  // The folder as the language table takes it: UTF-8, ending with a separator.
  std::string Folder() const { return path_.u8string() + i18n::PathSeparator(); }

  // name may contain "/" for a subfolder.
  void Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / std::filesystem::u8path(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  void Remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(path_ / std::filesystem::u8path(name), ignored);
  }
  void MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(path_ / std::filesystem::u8path(name));
  }

 private:
  std::filesystem::path root_;
  std::filesystem::path path_;
};

}  // namespace tessaro::testing
