// Reader of the initialisation-file format that language files use:
//
//   ; a comment
//   [Section]
//   key = value
//
// Section and key names compare without regard to ASCII case.  When a key
// repeats, in the same section or in a later block of a section with the same
// name, the first one wins.  Blanks around names and values are removed and a
// value keeps at most kMaxValueChars characters, as the platform's reader does
// for a buffer of kMaxValueChars + 1.  Comment lines, blank lines, lines without
// "=" and keys before the first section are ignored; nothing else is special (no
// quotes, no inline comments, no continuation lines).
//
// Text encoding: UTF-8, with or without a byte-order mark, is the format's
// encoding, so one file can hold any script.  Files starting with a UTF-16
// byte-order mark (what Windows editors save as "Unicode") are read too, and a
// file that is not valid UTF-8 and has no mark is taken as Windows-1252, the
// encoding older Western European files were written in.  Whatever the file,
// names and values come out as UTF-8 without NUL characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tessaro::i18n {

class CIniFile {
 public:
  // Language files are a few dozen KiB; anything beyond this is not read, so a
  // stray huge file cannot exhaust the host's memory.  A file cut here loses
  // its last, partial line as well.
  static constexpr size_t kMaxFileBytes = size_t(4) << 20;
  static constexpr size_t kMaxValueChars = 2047;

  // Replaces the contents with the file's.  False, and empty, when the file
  // cannot be read.
  bool Load(const std::string& path);

  // Replaces the contents with those of a whole file's bytes; complete = false
  // says the bytes stop somewhere inside the file.
  void Parse(std::string_view bytes, bool complete = true);

  void Clear() { sections_.clear(); }

  // Empty when the section or the key is missing.
  std::string GetString(std::string_view section, std::string_view key) const;

 private:
  using Section = std::unordered_map<std::string, std::string>;  // folded key -> value
  std::unordered_map<std::string, Section> sections_;            // folded name -> keys
};

}  // namespace tessaro::i18n
