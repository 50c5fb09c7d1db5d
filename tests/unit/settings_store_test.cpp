#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "settings/file_settings_store.h"
#include "settings/presets.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("tessaro-store-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).u8string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

class FileStoreTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  FileSettingsStore store_{folder_.File("Quelmark Ltd/Tessaro.settings")};
};

TEST_F(FileStoreTest, MissingStoreReadsDefaults) {
  EXPECT_EQ(store_.GetInt("", "Zoom", 90), 90);
  EXPECT_EQ(store_.GetString("", "Language", "English"), "English");
  EXPECT_TRUE(store_.ListSections().empty());
  EXPECT_EQ(LoadEffectSettings(store_, ""), EffectSettings::Defaults());
}

TEST_F(FileStoreTest, ValuesRoundTripWithCaseInsensitiveNames) {
  ASSERT_TRUE(store_.WriteInt("", "Y", -120));
  ASSERT_TRUE(store_.WriteInt("", "Min", INT32_MIN));
  ASSERT_TRUE(store_.WriteString("", "Language", "Fran\xC3\xA7" "ais = [x] %41;\n2"));
  EXPECT_EQ(store_.GetInt("", "y", 0), -120);
  EXPECT_EQ(store_.GetInt("", "MIN", 0), INT32_MIN);
  EXPECT_EQ(store_.GetString("", "language", ""), "Fran\xC3\xA7" "ais = [x] %41;\n2");
  // A value of the other type reads as the default.
  EXPECT_EQ(store_.GetInt("", "Language", 7), 7);
  EXPECT_EQ(store_.GetString("", "Y", "none"), "none");
  // Overwriting keeps one value.
  ASSERT_TRUE(store_.WriteInt("", "y", 5));
  EXPECT_EQ(store_.GetInt("", "Y", 0), 5);
  std::ifstream in(folder_.File("Quelmark Ltd/Tessaro.settings"));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.find("y="), std::string::npos) << "the first spelling of a name stays";
}

TEST_F(FileStoreTest, SectionsAreChildrenOfTheApplicationKey) {
  ASSERT_TRUE(store_.WriteInt("Soft", "Depth", 10));
  ASSERT_TRUE(store_.WriteInt("alpha", "Depth", 11));
  ASSERT_TRUE(store_.WriteInt("Nested\\Inner", "Depth", 12));
  EXPECT_EQ(store_.GetInt("", "Depth", -1), -1);
  EXPECT_EQ(store_.GetInt("SOFT", "depth", -1), 10);
  EXPECT_EQ(store_.GetInt("nested\\inner", "Depth", -1), 12);
  // Only the first part of a nested name shows, in name order.
  EXPECT_EQ(store_.ListSections(), (std::vector<std::string>{"alpha", "Nested", "Soft"}));
  EXPECT_TRUE(store_.SectionExists("nested"));
  EXPECT_FALSE(store_.DeleteSection("Nested")) << "a section with sections below it stays";
  EXPECT_TRUE(store_.DeleteSection("Nested\\Inner"));
  EXPECT_TRUE(store_.DeleteSection("Nested"));
  EXPECT_FALSE(store_.DeleteSection(""));
  EXPECT_FALSE(store_.DeleteSection("missing"));
}

TEST_F(FileStoreTest, DamagedStoreReadsWhatItCanAndNeverThrows) {
  const std::string path = folder_.File("Quelmark Ltd/Tessaro.settings");
  fs::create_directories(fs::u8path(path).parent_path());
  {
    std::ofstream out(fs::u8path(path), std::ios::binary);
    out << "garbage\x01\xff\n[unclosed\nZoom=i:120\nDepth=i:99999999999999\n=i:4\nAngle=x:3\n"
        << std::string(3000, '[') << "\nPerspective=i:12junk\n[Soft]\nZoom=i:60\n"
        << "Round=i:-20\r\nRound=i:99\n";
  }
  EXPECT_EQ(store_.GetInt("", "Zoom", 0), 120);
  EXPECT_EQ(store_.GetInt("", "Depth", 30), 30);
  EXPECT_EQ(store_.GetInt("", "Perspective", 80), 80);
  EXPECT_EQ(store_.GetInt("", "Angle", 45), 45);
  EXPECT_EQ(store_.GetInt("Soft", "Zoom", 0), 60);
  EXPECT_EQ(store_.GetInt("Soft", "Round", 0), -20) << "first value of a name wins";
  // Writing repairs the file and keeps what was readable.
  ASSERT_TRUE(store_.WriteInt("", "Depth", 40));
  EXPECT_EQ(store_.GetInt("", "Zoom", 0), 120);
  EXPECT_EQ(store_.GetInt("Soft", "Zoom", 0), 60);
}

TEST_F(FileStoreTest, WritesLeaveNoTemporaryFileBehind) {
  ASSERT_TRUE(store_.WriteInt("", "Zoom", 100));
  ASSERT_TRUE(store_.WriteInt("", "Zoom", 110));
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder_.path()))
    if (entry.is_regular_file()) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(FileStoreTest, AStoreThatCannotBeReadWholeIsNeverReplaced) {
  // Larger than any store the program writes: read as empty, but a write
  // must not replace presets it could not see.
  const fs::path file = fs::u8path(folder_.File("Quelmark Ltd/Tessaro.settings"));
  fs::create_directories(file.parent_path());
  {
    std::ofstream out(file, std::ios::binary);
    out << "[Presets\\Soft]\nZoom=i:60\n";
    out << std::string(size_t(17) << 20, ';');
  }
  const auto size = fs::file_size(file);
  EXPECT_EQ(store_.GetInt("Presets\\Soft", "Zoom", 90), 90);
  EXPECT_FALSE(store_.WriteInt("", "Zoom", 100));
  EXPECT_FALSE(store_.DeleteSection("Presets\\Soft"));
  EXPECT_EQ(fs::file_size(file), size);

  // A folder in the store's place reads as empty and is left alone too.
  FileSettingsStore folderInPlace(folder_.path().u8string());
  EXPECT_EQ(folderInPlace.GetInt("", "Zoom", 90), 90);
  EXPECT_FALSE(folderInPlace.WriteInt("", "Zoom", 100));
  EXPECT_TRUE(fs::is_directory(folder_.path()));
}

TEST_F(FileStoreTest, UnwritableLocationFailsQuietly) {
  // The store's folder is a file: nothing can be written below it.
  { std::ofstream(folder_.path() / "blocker") << "x"; }
  FileSettingsStore blocked(folder_.File("blocker/Tessaro.settings"));
  EXPECT_FALSE(blocked.WriteInt("", "Zoom", 100));
  EXPECT_EQ(blocked.GetInt("", "Zoom", 90), 90);
}

TEST_F(FileStoreTest, EffectSettingsRoundTripAndClampLikeTheControls) {
  EffectSettings s;
  s.lightDirection = -135;
  s.angleX = -75;
  s.color = 0x00123456;
  s.smoothDepth = true;
  s.colorOverlay = true;
  ASSERT_TRUE(SaveEffectSettings(store_, "", s));
  EXPECT_EQ(LoadEffectSettings(store_, ""), s);
  EXPECT_EQ(store_.GetInt("", "Angle", 0), -135);
  EXPECT_EQ(store_.GetInt("", "Smooth", 0), 1);

  store_.WriteInt("", "Zoom", 10);
  store_.WriteInt("", "Round", -300);
  store_.WriteInt("", "Use color", 5);
  const EffectSettings loaded = LoadEffectSettings(store_, "");
  EXPECT_EQ(loaded.zoom, 50);
  EXPECT_EQ(loaded.round, -100);
  EXPECT_TRUE(loaded.colorOverlay);
}

TEST_F(FileStoreTest, PresetsSaveTwiceEmptyNameAndDelete) {
  EffectSettings first, second;
  first.depth = 10;
  second.depth = 70;
  SaveEffectSettings(store_, "Soft", first);
  SaveEffectSettings(store_, "Soft", second);
  EXPECT_EQ(ListPresets(store_), std::vector<std::string>{"Soft"});
  EXPECT_EQ(LoadEffectSettings(store_, "soft").depth, 70);

  // An empty name replaces the last-used values and adds no preset.
  EffectSettings last;
  last.zoom = 140;
  SaveEffectSettings(store_, "", last);
  EXPECT_EQ(ListPresets(store_), std::vector<std::string>{"Soft"});
  EXPECT_EQ(LoadEffectSettings(store_, "").zoom, 140);

  DeletePreset(store_, "SOFT");
  EXPECT_TRUE(ListPresets(store_).empty());
  EXPECT_EQ(LoadEffectSettings(store_, "Soft"), EffectSettings::Defaults());
  DeletePreset(store_, "Soft");  // already gone: nothing happens

  // Names made only of separators would reach the last-used values.
  DeletePreset(store_, "\\");
  DeletePreset(store_, "");
  EXPECT_EQ(LoadEffectSettings(store_, "").zoom, 140);

  // A backslash would nest a key the list cannot show: refused, nothing written.
  EXPECT_FALSE(SaveEffectSettings(store_, "Soft\\Hard", first));
  EXPECT_FALSE(SaveEffectSettings(store_, "\\", first));
  EXPECT_TRUE(ListPresets(store_).empty());
  EXPECT_FALSE(store_.SectionExists("Soft"));
}

#if !defined(_WIN32)
// Two programs (an editor and the command line, say) saving at the same time:
// each rewrites the whole file, and neither may lose what the other saved.
TEST_F(FileStoreTest, TwoProcessesSavingAtOnceLoseNothing) {
  constexpr int kEach = 40;
  const std::string path = store_.path();
  auto name = [](int process, int i) { return "P" + std::to_string(process) + "-" + std::to_string(i); };
  pid_t children[2];
  for (int process = 0; process < 2; ++process) {
    children[process] = fork();
    ASSERT_GE(children[process], 0);
    if (children[process] == 0) {
      FileSettingsStore mine(path);
      bool ok = true;
      for (int i = 0; i < kEach; ++i) {
        EffectSettings s = EffectSettings::Defaults();
        s.depth = i;
        s.zoom = 60 + process;
        ok = SaveEffectSettings(mine, name(process, i), s) && ok;
        ok = SaveEffectSettings(mine, "", s) && ok;
      }
      _exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save was refused";
  }
  EXPECT_EQ(ListPresets(store_).size(), size_t(2 * kEach));
  for (int process = 0; process < 2; ++process)
    for (int i = 0; i < kEach; ++i) {
      const EffectSettings s = LoadEffectSettings(store_, name(process, i));
      EXPECT_EQ(s.depth, i) << name(process, i);
      EXPECT_EQ(s.zoom, 60 + process) << name(process, i);
    }
  const EffectSettings last = LoadEffectSettings(store_, "");
  EXPECT_EQ(last.depth, kEach - 1) << "the last-used values are one writer's last, whole";
}
#endif

}  // namespace
}  // namespace tessaro
