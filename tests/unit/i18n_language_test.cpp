#include "i18n/language.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "i18n/file_system.h"
#include "tests/support/language_folder.h"

namespace tessaro::i18n {
namespace {

using tessaro::testing::LanguageFolder;

constexpr char kProgram[] = "Quelmark Tessaro";

std::string Lng(const std::string& name, const std::string& body = "",
                const std::string& version = "1", const std::string& program = kProgram) {
  return "[Info]\nprogram=" + program + "\nversion=" + version + "\nname=" + name + "\n" + body;
}

std::vector<std::string> Names(const CLanguage& language) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < language.Count(); ++i) names.push_back(language.GetName(i));
  return names;
}

using Strings = std::vector<std::string>;

TEST(CLanguageLoad, AcceptsFilesOfTheProgramFromTheMinimumVersionOn) {
  LanguageFolder folder;
  folder.Write("a.lng", "[INFO]\nPROGRAM = QUELMARK tessaro\nName = A\n");  // no version: 0
  folder.Write("b.lng", Lng("Other", "", "1", "Quelmark Tessaro 2"));
  folder.Write("c.lng", Lng("Minus", "", "-1"));
  folder.Write("d.lng", Lng("Hex16", "", "0x10"));
  folder.Write("e.lng", Lng("Octal8", "", "010"));
  folder.Write("f.lng", Lng("Twelve", "", "12abc"));
  folder.Write("g.lng", Lng("Huge", "", "99999999999999999999999"));
  folder.Write("h.LNG", Lng("Upper", "", "9"));
  folder.Write("m.lng", Lng("Letters", "", "zz"));
  folder.Write("n.lng", "[Info]\nname=No program\n");
  folder.Write("i.lng.txt", Lng("Txt"));
  folder.Write("j.lngold", Lng("Old"));
  folder.Write(".k.lng", Lng("Hidden"));
  folder.MakeFolder("l.lng");

  CLanguage language;
  language.LoadFrom(kProgram, 0, folder.Folder());
  EXPECT_EQ(Names(language),
            (Strings{"A", "Hex16", "Octal8", "Twelve", "Huge", "Upper", "Letters"}));
  language.LoadFrom(kProgram, 9, folder.Folder());
  EXPECT_EQ(Names(language), (Strings{"Hex16", "Twelve", "Huge", "Upper"}));
  // Versions are 32-bit on every platform; larger ones saturate.
  language.LoadFrom(kProgram, INT32_MAX, folder.Folder());
  EXPECT_EQ(Names(language), Strings{"Huge"});
  // An empty program name leaves everything as it was.
  language.LoadFrom("", 0, folder.Folder());
  EXPECT_EQ(Names(language), Strings{"Huge"});
}

TEST(CLanguageLoad, ModuleFolderFirstThenLangsEachInNameOrder) {
  LanguageFolder folder;
  folder.Write("b.lng", Lng("B"));
  folder.Write("_u.lng", Lng("Under"));
  folder.Write("A.lng", Lng("Alpha"));
  folder.Write("langs/z.lng", Lng("Zed"));
  folder.Write("langs/A.lng", Lng("Alpha"));
  folder.Write("langs/deeper/q.lng", Lng("Deeper"));

  CLanguage language;
  language.LoadFrom(kProgram, 0, folder.Folder());
  // Upper-case order, as NTFS lists a folder: "_" sorts after the letters.
  ASSERT_EQ(Names(language), (Strings{"Alpha", "B", "Under", "Alpha", "Zed"}));
  EXPECT_EQ(language.Path(0), folder.Folder() + "A.lng");
  EXPECT_EQ(language.Path(3), folder.Folder() + "langs" + PathSeparator() + "A.lng");
  EXPECT_EQ(language.IndexOf("Alpha"), 0);
}

TEST(CLanguageLoad, NoFilesMeansTheBuiltInEnglishTexts) {
  LanguageFolder folder;
  const std::string missing = folder.Folder() + "missing" + PathSeparator();
  for (const std::string& where : {folder.Folder(), missing}) {
    CLanguage language;
    language.LoadFrom(kProgram, 0, where);
    EXPECT_EQ(language.Count(), 0);
    SelectStoredLanguage(language, "");
    EXPECT_FALSE(language.Select("English"));
    EXPECT_EQ(language.Current(), -1);
    EXPECT_EQ(language.GetName(), "");
    EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "OK");
    EXPECT_TRUE(language.GetList("Main_dlg", "1010").empty());
  }
}

TEST(CLanguageSelect, ExactNamesAndTheFirstFileForAnUnknownName) {
  LanguageFolder folder;
  folder.Write("de.lng", Lng("Deutsch", "[Msg]\nok=Gut\n"));
  folder.Write("fr.lng", Lng("Français", "[Msg]\nok=Bien\n"));
  folder.Write("x.lng", Lng("Deutsch", "[Msg]\nok=Zweites\n"));

  CLanguage language;
  EXPECT_FALSE(language.Select("Deutsch"));  // nothing loaded yet
  language.LoadFrom(kProgram, 0, folder.Folder());
  EXPECT_EQ(language.IndexOf(""), -1);

  EXPECT_TRUE(language.Select("Français"));
  EXPECT_EQ(language.Current(), 1);
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Bien");
  EXPECT_FALSE(language.Select("Français"));
  // Names compare exactly; a name no file has (the stored built-in "English")
  // selects the first file.
  EXPECT_TRUE(language.Select("deutsch"));
  EXPECT_EQ(language.Current(), 0);
  EXPECT_FALSE(language.Select("Deutsch"));
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Gut");
  EXPECT_TRUE(language.Select("Français"));
  SelectStoredLanguage(language, "");
  EXPECT_EQ(language.Current(), 0);

  EXPECT_EQ(language.IndexOf("Deutsch"), 0);
  EXPECT_EQ(language.IndexOf("Klingon"), -1);
  EXPECT_EQ(language.IndexOf(""), 0);
  EXPECT_EQ(language.GetName(), "Deutsch");
  EXPECT_EQ(language.GetName(3), "");

  // The stored name counts as "English" when empty, and a file may carry it.
  folder.Write("en.lng", Lng("English", "[Msg]\nok=Okay\n"));
  language.LoadFrom(kProgram, 0, folder.Folder());
  SelectStoredLanguage(language, "");
  EXPECT_EQ(language.GetName(), "English");
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Okay");
}

TEST(CLanguageSelect, ReloadKeepsTheIndexWhileItExistsAndRereadsTheFile) {
  LanguageFolder folder;
  folder.Write("de.lng", Lng("Deutsch", "[Msg]\nok=Gut\n"));
  folder.Write("fr.lng", Lng("Francais", "[Msg]\nok=Bien\n"));
  CLanguage language;
  language.LoadFrom(kProgram, 0, folder.Folder());
  ASSERT_TRUE(language.Select("Francais"));
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Bien");

  folder.Write("fr.lng", Lng("Francais", "[Msg]\nok=Tres bien\n"));
  language.LoadFrom(kProgram, 0, folder.Folder());
  EXPECT_EQ(language.Current(), 1);
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Tres bien");

  // The selected file is gone: its index must not point past the list.
  folder.Remove("fr.lng");
  language.LoadFrom(kProgram, 0, folder.Folder());
  EXPECT_EQ(language.Current(), -1);
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "OK");
  EXPECT_TRUE(language.Select("Francais"));
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Gut");

  folder.Remove("de.lng");
  language.LoadFrom(kProgram, 0, folder.Folder());
  EXPECT_EQ(language.Current(), -1);
  EXPECT_FALSE(language.Select("Deutsch"));
}

class CLanguageLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("de.lng", Lng("Deutsch", R"(
[Msg]
err_empty = [Msg]/err_no_sel
err_no_sel = Keine Auswahl!
to_missing = [Msg]/nothing
to_empty = [Msg]/empty
empty =
to_dialog = [main_DLG]/0
chain = [Msg]/err_empty
to_escape = [Main_dlg]/esc
del_preset = Remove\nthis preset?
escapes = a\tb\xc\
double = \\n|\\\n
bracket = [not a redirection
slash_first = ]/x [
[Main_dlg]
0 = Relief
esc = Line\none
1010 = Low, Medium ,,High,
1011 = [Msg]/err_no_sel
1012 = a\nb
)"));
    language_.LoadFrom(kProgram, 0, folder_.Folder());
    ASSERT_TRUE(language_.Select("Deutsch"));
  }
  std::string Text(const char* section, const char* key) {
    return language_.GetText(section, key, "built-in");
  }

  LanguageFolder folder_;
  CLanguage language_;
};

TEST_F(CLanguageLookup, RedirectionGoesOneLevelToTheSameFile) {
  EXPECT_EQ(Text("Msg", "err_empty"), "Keine Auswahl!");
  EXPECT_EQ(Text("msg", "TO_DIALOG"), "Relief");
  EXPECT_EQ(Text("Msg", "to_missing"), "built-in");
  EXPECT_EQ(Text("Msg", "to_empty"), "built-in");
  EXPECT_EQ(Text("Msg", "chain"), "[Msg]/err_no_sel");
  EXPECT_EQ(Text("Msg", "to_escape"), "Line\rone");
  EXPECT_EQ(Text("Msg", "bracket"), "[not a redirection");
  EXPECT_EQ(Text("Msg", "slash_first"), "]/x [");
  EXPECT_EQ(Text("Msg", "empty"), "built-in");
  EXPECT_EQ(Text("Msg", "absent"), "built-in");
  EXPECT_EQ(Text("Absent", "0"), "built-in");
}

TEST_F(CLanguageLookup, EscapesReplacedLeftToRight) {
  EXPECT_EQ(Text("Msg", "del_preset"), "Remove\rthis preset?");
  EXPECT_EQ(Text("Msg", "escapes"), "a\tb\\xc\\");
  // The first backslash stays, the second starts the escape.
  EXPECT_EQ(Text("Msg", "double"), "\\\r|\\\\\r");
}

TEST_F(CLanguageLookup, ListsSplitAtEveryCommaWithoutRedirectionOrEscapes) {
  EXPECT_EQ(language_.GetList("Main_dlg", "1010"), (Strings{"Low", " Medium ", "", "High", ""}));
  EXPECT_EQ(language_.GetList("Main_dlg", "1011"), Strings{"[Msg]/err_no_sel"});
  EXPECT_EQ(language_.GetList("Main_dlg", "1012"), Strings{"a\\nb"});
  EXPECT_TRUE(language_.GetList("Main_dlg", "1013").empty());
}

TEST(CLanguagePaths, NonAsciiFolderAndFileNames) {
  LanguageFolder folder("Sprachen ü 言語");
  folder.Write("Français.lng", Lng("Français", "[Msg]\nok=D'accord\n"));
  folder.Write("langs/Ελ.lng", Lng("Ελ", "[Msg]\nok=Ναι\n"));
  CLanguage language;
  language.LoadFrom(kProgram, 0, folder.Folder());
  ASSERT_EQ(Names(language), (Strings{"Français", "Ελ"}));
  language.Select("Ελ");
  EXPECT_EQ(language.GetText("Msg", "ok", "OK"), "Ναι");
}

TEST(CLanguagePaths, PrepareLooksBesideTheModule) {
  const std::string module = ModuleFolder();
  ASSERT_FALSE(module.empty());
  EXPECT_EQ(module.back(), PathSeparator());
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(module)));
  // The tests are linked into one executable: module and program are one file.
  EXPECT_EQ(module, ProgramFolder());

  CLanguage language;
  PrepareLanguage(language, "Tessaro", "");
  EXPECT_EQ(language.ProgramName(), kProgram);
  EXPECT_EQ(language.MinVersion(), 0);
}

}  // namespace
}  // namespace tessaro::i18n
