#include "i18n/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "tests/support/language_folder.h"

namespace tessaro::i18n {
namespace {

using tessaro::testing::LanguageFolder;

constexpr size_t kCap = CIniFile::kMaxFileBytes;

CIniFile Parsed(const std::string& bytes, bool complete = true) {
  CIniFile file;
  file.Parse(bytes, complete);
  return file;
}

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t u : text) {
    const char high = char(u >> 8), low = char(u & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(CIniFileFormat, NamesFoldFirstKeyWinsBlanksTrimmedOddLinesIgnored) {
  const char* lines[] = {"orphan=before any section",
                         "; comment = not a key",
                         "  [ Msg ]  ",
                         "Key = \tValue with  inner  spaces \t",
                         "key=second, ignored",
                         "",
                         "no equals sign here",
                         "= no name",
                         "eq=a=b",
                         "[other]",
                         "x=1",
                         "[MSG]",
                         "KEY=third, ignored",
                         "later = from the second block",
                         "empty=   "};
  for (const std::string eol : {"\n", "\r\n", "\r"}) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + eol;
    for (const bool finalBreak : {true, false}) {
      SCOPED_TRACE(::testing::PrintToString(eol) + (finalBreak ? " ending" : " not ending"));
      const CIniFile file = Parsed(finalBreak ? text : text.substr(0, text.size() - eol.size()));
      EXPECT_EQ(file.GetString("msg", "kEy"), "Value with  inner  spaces");
      EXPECT_EQ(file.GetString("Msg", "eq"), "a=b");
      EXPECT_EQ(file.GetString("Msg", "later"), "from the second block");
      EXPECT_EQ(file.GetString("Msg", "empty"), "");
      EXPECT_EQ(file.GetString("Msg", "x"), "");
      EXPECT_EQ(file.GetString("OTHER", "X"), "1");
      EXPECT_EQ(file.GetString("Msg", "no equals sign here"), "");
      EXPECT_EQ(file.GetString("Msg", ""), "");
      EXPECT_EQ(file.GetString("", "orphan"), "");
    }
  }
}

TEST(CIniFileFormat, ValuesAreTrimmedThenCutAt2047Characters) {
  const std::string exact(2047, 'a');
  EXPECT_EQ(Parsed("[S]\nk=" + exact + "\n").GetString("S", "k"), exact);
  EXPECT_EQ(Parsed("[S]\nk=" + exact + "bc\n").GetString("S", "k"), exact);
  // Blanks go before the cut, so leading ones do not use up characters, while a
  // blank that the cut leaves at the end stays.
  EXPECT_EQ(Parsed("[S]\nk=   " + std::string(2046, 'a') + " b   \n").GetString("S", "k"),
            std::string(2046, 'a') + " ");
  // Characters, not bytes: a two-byte character is kept whole or dropped whole.
  const std::string e_acute = "\xC3\xA9", euro = "\xE2\x82\xAC";
  EXPECT_EQ(Parsed("[S]\nk=" + std::string(2045, 'a') + e_acute + euro + euro).GetString("S", "k"),
            std::string(2045, 'a') + e_acute + euro);
}

TEST(CIniFileEncoding, Utf8WithOrWithoutMarkUtf16AndWindows1252) {
  const std::string e_acute = "\xC3\xA9", euro = "\xE2\x82\xAC", clef = "\xF0\x9D\x84\x9E";
  // The mark is not part of the first section's name.
  EXPECT_EQ(Parsed("\xEF\xBB\xBF[Info]\r\nname=Caf" + e_acute + "\r\n").GetString("info", "name"),
            "Caf" + e_acute);
  EXPECT_EQ(Parsed("[Info]\nname=Caf" + e_acute + " " + euro).GetString("Info", "name"),
            "Caf" + e_acute + " " + euro);
  for (const bool bigEndian : {false, true}) {
    const std::u16string text = u"[Msg]\r\nok=\u00C9t\u00E9 \U0001D11E\r\nbad=\xD800x";
    const CIniFile file = Parsed(Utf16(text, bigEndian));
    EXPECT_EQ(file.GetString("Msg", "ok"), "\xC3\x89t" + e_acute + " " + clef);
    EXPECT_EQ(file.GetString("Msg", "bad"), "\xEF\xBF\xBDx");  // lone surrogate
  }
  // Not UTF-8 and no mark: the legacy Western code page.
  EXPECT_EQ(Parsed("[Msg]\nok=Caf\xE9 \x80\x9C\n").GetString("Msg", "ok"),
            "Caf" + e_acute + " " + euro + "\xC5\x93");
  // Encoded surrogates are no UTF-8 either.
  EXPECT_EQ(Parsed("[Msg]\nok=\xED\xA0\x80").GetString("Msg", "ok"), "\xC3\xAD\xC2\xA0" + euro);
  // With the mark the file says it is UTF-8: a broken byte is replaced, the
  // rest is not reinterpreted.
  EXPECT_EQ(Parsed("\xEF\xBB\xBF[Msg]\nok=" + e_acute + "\xE9\n").GetString("Msg", "ok"),
            e_acute + "\xEF\xBF\xBD");
  EXPECT_EQ(Parsed(std::string("[Msg]\nok=a\0b\n", 12)).GetString("Msg", "ok"), "ab");
}

TEST(CIniFileRobustness, GarbageNeverHidesTheLinesAfterIt) {
  // Bytes that mean something to the reader or the decoders, and random ones.
  const std::string alphabet = "[]=;\n\r \t\\/\xEF\xBB\xBF\xFF\xFE\xC3\xA9\xF0\xED\x80\xD8";
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    std::string garbage = "x";  // never a byte-order mark
    const size_t length = random() % 600;
    for (size_t i = 0; i < length; ++i) {
      garbage += random() % 2 ? alphabet[random() % alphabet.size()] : char(random() & 0xFF);
    }
    // 'z' appears only below, so no garbage key can take its place.
    std::replace(garbage.begin(), garbage.end(), 'z', '.');
    std::replace(garbage.begin(), garbage.end(), 'Z', '.');
    EXPECT_EQ(Parsed(garbage + "\n[Z]\nz=ok\n").GetString("z", "z"), "ok") << round;
  }
}

TEST(CIniFileRobustness, CutFileKeepsOnlyWholeLines) {
  const std::string utf8 = "\xEF\xBB\xBF[S]\nk=\xC3\xA9t\xC3\xA9\nq=1\n";
  const std::string utf16 = Utf16(u"[S]\nk=\u00E9t\u00E9\nq=1\n", false);
  for (const std::string& whole : {utf8, utf16}) {
    for (size_t n = 0; n <= whole.size(); ++n) {
      const CIniFile file = Parsed(whole.substr(0, n), false);
      const std::string k = file.GetString("S", "k");
      EXPECT_TRUE(k.empty() || k == "\xC3\xA9t\xC3\xA9") << n << ": " << k;
      EXPECT_EQ(file.GetString("S", "q"), n == whole.size() ? "1" : "") << n;
    }
  }
}

TEST(CIniFileLoad, ReadsFilesUpToTheCapAndNothingElse) {
  LanguageFolder folder;
  CIniFile file;
  EXPECT_FALSE(file.Load(folder.Folder() + "missing.lng"));
  folder.MakeFolder("dir.lng");
  EXPECT_FALSE(file.Load(folder.Folder() + "dir.lng"));

  // Exactly the cap, without a final line break: the whole file, last line too.
  const std::string head = "[S]\nk=";
  folder.Write("exact.lng", head + std::string(kCap - head.size(), 'v'));
  ASSERT_TRUE(file.Load(folder.Folder() + "exact.lng"));
  EXPECT_EQ(file.GetString("S", "k"), std::string(2047, 'v'));

  // One byte more: the cut line is dropped rather than read short.
  folder.Write("over.lng", "[S]\nfirst=1\n" + head + std::string(kCap, 'v'));
  ASSERT_TRUE(file.Load(folder.Folder() + "over.lng"));
  EXPECT_EQ(file.GetString("S", "first"), "1");
  EXPECT_EQ(file.GetString("S", "k"), "");

  // A character split by the cap must not make the file look like another
  // encoding.
  std::string split = "[S]\nk=\xC3\xA9\n;";
  split += std::string(kCap - 1 - split.size(), 'x') + "\xC3\xA9\n[T]\nlate=1\n";
  folder.Write("split.lng", split);
  ASSERT_TRUE(file.Load(folder.Folder() + "split.lng"));
  EXPECT_EQ(file.GetString("S", "k"), "\xC3\xA9");
  EXPECT_EQ(file.GetString("T", "late"), "");
}

}  // namespace
}  // namespace tessaro::i18n
