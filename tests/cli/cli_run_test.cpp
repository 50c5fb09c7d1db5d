// The whole command in-process: exit statuses, messages, and what is left on
// disk, with the test module standing in for the filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <csignal>

#include "cli/cli_app.h"
#include "cli/host_session.h"
#include "cli/png_io.h"
#include "settings/presets.h"
#include "settings/settings_store.h"
#include "tests/cli/allocation_faults.h"
#include "tests/cli/test_module_host.h"
#include "tessaro_version.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.ok()) << module_.error();
    dir_ = fs::temp_directory_path() /
           ("tessaro_cli_run_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    picture_ = PatternRgba(6, 4);
    WritePicture("in.png", picture_, 6, 4);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void WritePicture(const std::string& name, const std::vector<uint8_t>& rgba, uint32_t w,
                    uint32_t h) {
    std::string error;
    ASSERT_TRUE(cli::WritePng(Path(name), rgba.data(), w, h, 4, &error)) << error;
  }
  cli::Picture ReadPicture(const std::string& name) {
    cli::Picture p;
    std::string error;
    EXPECT_TRUE(cli::ReadPng(Path(name), cli::PngLimits{}, &p, &error)) << name << ": " << error;
    return p;
  }

  // Runs the command with the test module; its messages end up in err_.
  int Run(const char* mode, std::vector<std::string> args) {
    module_.SetMode(mode);
    args.insert(args.begin(), {"--plugin", TestModulePath()});
    return RunBare(args);
  }
  int RunBare(const std::vector<std::string>& args) {
    const fs::path errPath = dir_ / "stderr.txt", outPath = dir_ / "stdout.txt";
    cli::CliEnvironment env;
    env.err = std::fopen(errPath.string().c_str(), "wb");
    env.out = std::fopen(outPath.string().c_str(), "wb");
    env.programFolder = cli::ProgramFolder();
    const int status = cli::RunCli(args, env);
    std::fclose(env.err);
    std::fclose(env.out);
    err_ = ReadAll(errPath);
    out_ = ReadAll(outPath);
    fs::remove(errPath);
    fs::remove(outPath);
    return status;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TestModule module_;
  fs::path dir_;
  std::vector<uint8_t> picture_;
  std::string err_, out_;
};

TEST_F(CliRunTest, ASuccessfulRunWritesTheFilteredPictureAndNothingElse) {
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("out.png")}), 0) << err_;
  EXPECT_EQ(err_, "");
  const cli::Picture out = ReadPicture("out.png");
  ASSERT_EQ(out.rgba.size(), picture_.size());
  for (size_t i = 0; i < picture_.size(); ++i)
    ASSERT_EQ(out.rgba[i], i % 4 == 3 ? picture_[i] : 255 - picture_[i]) << i;
  EXPECT_EQ(Files(), (std::vector<std::string>{"in.png", "out.png"}));

  // An existing output is replaced.
  EXPECT_EQ(Run("invert", {Path("out.png"), "-o", Path("out.png")}), 0) << err_;
  EXPECT_EQ(ReadPicture("out.png").rgba, picture_);
  EXPECT_EQ(Files(), (std::vector<std::string>{"in.png", "out.png"}));
}

TEST_F(CliRunTest, FailuresLeaveExistingOutputsUntouchedAndWriteNoNewOnes) {
  std::ofstream(Path("out.png"), std::ios::binary) << "precious";
  struct Case {
    const char* mode;
    int status;
    const char* message;
  };
  for (const Case& c : {Case{"fail-text", 3,
                             "in.png: the filter failed: test module failure: the sky is falling\n"},
                        Case{"fail-code", 3, "in.png: the filter failed: out of memory (-108)\n"},
                        Case{"fail-prepare", 3,
                             "in.png: the filter failed: unsupported image mode (-30101)\n"},
                        Case{"refuse", 2,
                             "in.png: the filter refused this picture: This filter requires a "
                             "selection or a layer with transparency!; nothing was written\n"}}) {
    for (const char* target : {"out.png", "new.png"}) {
      EXPECT_EQ(Run(c.mode, {Path("in.png"), "-o", Path(target)}), c.status) << c.mode;
      EXPECT_NE(err_.find(c.message), std::string::npos) << c.mode << ": " << err_;
      EXPECT_EQ(err_, "tessaro: " + Path("in.png") + ": " + std::string(c.message).substr(8))
          << "one line, naming the picture";
    }
    EXPECT_EQ(ReadAll(dir_ / "out.png"), "precious") << c.mode;
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.png", "out.png"})) << c.mode;
  }
}

TEST_F(CliRunTest, FlatPicturesNeedASelectionAndTheMaskMustFit) {
  EXPECT_EQ(Run("invert", {"--flat", Path("in.png"), "-o", Path("flat.png")}), 2);
  EXPECT_FALSE(fs::exists(dir_ / "flat.png"));

  std::vector<uint8_t> mask(6 * 4 * 4, 0);
  for (size_t i = 0; i < 6 * 4; ++i) {
    const uint8_t v = i % 3 ? 255 : 0;
    mask[i * 4] = mask[i * 4 + 1] = mask[i * 4 + 2] = v;
    mask[i * 4 + 3] = 255;
  }
  WritePicture("mask.png", mask, 6, 4);
  EXPECT_EQ(Run("invert", {"--flat", "--mask", Path("mask.png"), Path("in.png"), "-o",
                           Path("flat.png")}),
            0)
      << err_;
  EXPECT_EQ(module_.report().filterCase, 2);
  const cli::Picture flat = ReadPicture("flat.png");
  ASSERT_EQ(flat.rgba.size(), picture_.size());
  for (size_t i = 0; i < 6 * 4; ++i) {
    for (size_t c = 0; c < 3; ++c)
      ASSERT_EQ(flat.rgba[i * 4 + c], i % 3 ? 255 - picture_[i * 4 + c] : picture_[i * 4 + c]) << i;
    EXPECT_EQ(flat.rgba[i * 4 + 3], 255) << "a flat result has no transparency";
  }

  WritePicture("small.png", mask, 4, 6);
  EXPECT_EQ(Run("invert", {"--mask", Path("small.png"), Path("in.png"), "-o", Path("x.png")}), 1);
  EXPECT_NE(err_.find("small.png: the mask is 4 x 6 pixels, but " + Path("in.png") + " is 6 x 4"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(dir_ / "x.png"));
}

TEST_F(CliRunTest, MasksCountByBrightnessOverBlack) {
  const std::vector<uint8_t> rgba = {255, 255, 255, 255,  // white: selected
                                     0,   0,   0,   255,  // black: not
                                     255, 0,   0,   255,  // red: its brightness
                                     200, 200, 200, 128,  // half transparent grey
                                     7,   7,   7,   255,  // grey keeps its value
                                     255, 255, 255, 0};   // transparent: not
  EXPECT_EQ(cli::MaskFromPicture(rgba), (std::vector<uint8_t>{255, 0, 76, 100, 7, 0}));
}

TEST_F(CliRunTest, SeveralInputsGoToTheOutputFolderAndTheWorstStatusIsReturned) {
  fs::create_directories(dir_ / "outs");
  WritePicture("second.png", picture_, 6, 4);
  std::ofstream(Path("broken.png"), std::ios::binary) << "not a picture";
  EXPECT_EQ(Run("invert", {Path("in.png"), Path("broken.png"), Path("second.png"), "--out-dir",
                           Path("outs")}),
            1);
  EXPECT_NE(err_.find("broken.png: not a PNG file"), std::string::npos) << err_;
  EXPECT_TRUE(fs::exists(dir_ / "outs" / "in.png"));
  EXPECT_TRUE(fs::exists(dir_ / "outs" / "second.png"));
  EXPECT_FALSE(fs::exists(dir_ / "outs" / "broken.png"));

  module_.SetMode("refuse");
  EXPECT_EQ(RunBare({"--plugin", TestModulePath(), Path("in.png"), Path("broken.png"), "--out-dir",
                     Path("outs")}),
            2);
}

TEST_F(CliRunTest, UsageAndFileErrorsNameTheirCulprit) {
  EXPECT_EQ(RunBare({}), 1);
  EXPECT_EQ(err_, "tessaro: no input file given\nTry 'tessaro --help' for more information.\n");
  EXPECT_EQ(Run("invert", {Path("none.png"), "-o", Path("out.png")}), 1);
  EXPECT_EQ(err_.rfind("tessaro: " + Path("none.png") + ": cannot open (", 0), 0u) << err_;
  EXPECT_EQ(RunBare({"--plugin", Path("in.png"), Path("in.png"), "-o", Path("out.png")}), 1);
  EXPECT_EQ(err_.rfind("tessaro: cannot load the filter module " + Path("in.png") + ": ", 0), 0u)
      << err_;
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("no/such/folder/out.png")}), 1);
  EXPECT_NE(err_.find("no/such/folder/out.png"), std::string::npos) << err_;
  EXPECT_EQ(Files(), (std::vector<std::string>{"in.png"}));
  EXPECT_EQ(RunBare({"--help"}), 0);
  EXPECT_EQ(out_.rfind("Usage: tessaro", 0), 0u);
  EXPECT_EQ(RunBare({"--version"}), 0);
  EXPECT_EQ(out_, "tessaro " TESSARO_VERSION "\n");
}

TEST_F(CliRunTest, ClampedValuesAreWarnedAboutAndReachTheFilterClamped) {
  EXPECT_EQ(Run("invert", {"--zoom", "400", "--light-direction", "200", "--color", "112233",
                           Path("in.png"), "-o", Path("out.png")}),
            0);
  EXPECT_EQ(err_, "tessaro: warning: --zoom 400 is outside 50..150; 150 is used\n");
  const TestModuleReport& r = module_.report();
  ASSERT_EQ(r.keyCount, 16);
  EXPECT_EQ(r.values[3], 150);         // zooM
  EXPECT_EQ(r.values[10], -160);       // angL
  EXPECT_EQ(r.values[7], 0x00332211);  // colR
  EXPECT_EQ(r.values[4], 30);          // depT: the default where nothing is stored
  EXPECT_EQ(r.values[15], 0);          // smoO: off by default
}

// Memory may run out at any allocation of a run, ours or the module's: the
// run then ends with a status and a message, and leaves neither an output nor
// a temporary file behind.
TEST_F(CliRunTest, RunningOutOfMemoryAnywhereEndsWithAStatusAndLeavesNoFile) {
  module_.SetMode("invert");
  WritePicture("mask.png", picture_, 6, 4);
  const fs::path logs = dir_ / "logs";
  fs::create_directories(logs);
  const std::vector<std::string> args = {"--plugin", TestModulePath(), "--mask", Path("mask.png"),
                                         Path("in.png"), "-o", Path("out.png")};
  const std::vector<std::string> inputsOnly = {"in.png", "logs", "mask.png"};
  const std::vector<std::string> withOutput = {"in.png", "logs", "mask.png", "out.png"};
  for (int skip = 0;; ++skip) {
    ASSERT_LT(skip, 100000);
    cli::CliEnvironment env;
    env.err = std::fopen((logs / "stderr.txt").string().c_str(), "wb");
    env.out = std::fopen((logs / "stdout.txt").string().c_str(), "wb");
    int status = -1;
    bool threw = false, triggered = false;
    {
      FailOneAllocation fault(1, skip);
      try {
        status = cli::RunCli(args, env);
      } catch (...) {
        threw = true;
      }
      triggered = fault.Triggered();
    }
    std::fclose(env.err);
    std::fclose(env.out);
    ASSERT_FALSE(threw) << "allocation " << skip << " escaped as an exception";
    if (status == 0) {
      EXPECT_EQ(Files(), withOutput) << "allocation " << skip;
      fs::remove(dir_ / "out.png");
    } else {
      EXPECT_TRUE(status == 1 || status == 3) << "allocation " << skip << ": " << status;
      EXPECT_NE(ReadAll(logs / "stderr.txt"), "") << "allocation " << skip << " failed silently";
      EXPECT_EQ(Files(), inputsOnly) << "allocation " << skip;
    }
    if (!triggered) {
      EXPECT_EQ(status, 0) << ReadAll(logs / "stderr.txt");
      break;
    }
  }
}

TEST_F(CliRunTest, OutputsAreCheckedBeforeAnyPictureIsFiltered) {
  fs::create_directories(dir_ / "folder");
  for (const std::string& target : {Path("folder"), Path("folder") + "/"}) {
    EXPECT_EQ(Run("invert", {Path("in.png"), "-o", target}), 1);
    EXPECT_EQ(err_, "tessaro: " + target + ": is a folder; give a file name (or use --out-dir)\n");
  }
  // A missing output folder is found before the first of several inputs.
  WritePicture("second.png", picture_, 6, 4);
  EXPECT_EQ(Run("invert", {Path("in.png"), Path("second.png"), "--out-dir", Path("none")}), 1);
  EXPECT_EQ(err_, "tessaro: " + Path("none") + ": the output folder does not exist\n");
  EXPECT_EQ(Run("invert", {Path("in.png"), "--out-dir", Path("in.png")}), 1);
  EXPECT_EQ(err_, "tessaro: " + Path("in.png") + ": the output folder is not a folder\n");

  EXPECT_EQ(Run("invert", {Path("folder"), "-o", Path("out.png")}), 1);
  EXPECT_EQ(err_, "tessaro: " + Path("folder") + ": is a folder, not a PNG file\n");

  std::ofstream(Path("ro.png"), std::ios::binary) << "precious";
  fs::permissions(dir_ / "ro.png", fs::perms::owner_write | fs::perms::group_write |
                                       fs::perms::others_write, fs::perm_options::remove);
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("ro.png")}), 1);
  EXPECT_EQ(err_, "tessaro: " + Path("ro.png") + ": is read-only; read-only files are never replaced\n");
  EXPECT_EQ(ReadAll(dir_ / "ro.png"), "precious");
  fs::permissions(dir_ / "ro.png", fs::perms::owner_write, fs::perm_options::add);

  // The temporary name beside an output must fit wherever the output's does.
  const std::string longName = std::string(251, 'n') + ".png";
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path(longName)}), 0) << err_;
  EXPECT_TRUE(fs::exists(dir_ / longName));
}

// The picture's memory running out is said as such, never as the host
// interface's size limit.
TEST_F(CliRunTest, MessagesFollowTheCauseOfAFailure) {
  const std::vector<uint8_t> wide = PatternRgba(65535, 1);
  WritePicture("wide.png", wide, 65535, 1);
  {
    FailOneAllocation fault(wide.size() / 2, 0);
    EXPECT_EQ(Run("invert", {Path("wide.png"), "-o", Path("out.png")}), 1);
  }
  EXPECT_EQ(err_, "tessaro: " + Path("wide.png") + ": too large for the memory available\n");
}

#if !defined(_WIN32)
// Only a regular file the user may write is ever replaced, and it keeps its
// permissions; links, pipes and read-only files are refused untouched.
TEST_F(CliRunTest, OnlyWritableRegularFilesAreReplaced) {
  std::ofstream(Path("target.png"), std::ios::binary) << "precious";
  fs::create_symlink(dir_ / "target.png", dir_ / "link.png");
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("link.png")}), 1);
  EXPECT_NE(err_.find("link.png: is a symbolic link"), std::string::npos) << err_;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.png"));
  EXPECT_EQ(ReadAll(dir_ / "target.png"), "precious");

  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("pipe")}), 1);
  EXPECT_EQ(err_, "tessaro: " + Path("pipe") +
                      ": is not a regular file (a device, pipe or socket); only regular files "
                      "are replaced\n");
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));

  fs::permissions(dir_ / "target.png", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("target.png")}), 1);
  EXPECT_NE(err_.find("target.png: is read-only"), std::string::npos) << err_;
  EXPECT_EQ(ReadAll(dir_ / "target.png"), "precious");
  EXPECT_EQ(fs::status(dir_ / "target.png").permissions(),
            fs::perms::owner_read | fs::perms::group_read);

  fs::permissions(dir_ / "target.png", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Run("invert", {Path("in.png"), "-o", Path("target.png")}), 0) << err_;
  EXPECT_EQ(ReadPicture("target.png").width, 6u);
  EXPECT_EQ(fs::status(dir_ / "target.png").permissions(),
            fs::perms::owner_read | fs::perms::owner_write)
      << "a private output became readable by others";
}

// A write the system refuses (a full disk, a size limit) says so.
TEST_F(CliRunTest, WriteFailuresGiveTheSystemsReason) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::vector<uint8_t> noise(64 * 64 * 4);
  uint32_t seed = 12345;
  for (uint8_t& byte : noise) byte = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
  std::string error;
  const bool ok = cli::WritePng(Path("big.png"), noise.data(), 64, 64, 4, &error);
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, "cannot write (File too large)");
}

// The store is a file here; on Windows it is the registry of the shared test
// prefix, which these tests leave alone.
TEST_F(CliRunTest, PresetsAndLastUsedValuesStartTheSettingsAndOptionsWin) {
  const std::string settingsDir = (dir_ / "settings").string();
  setenv("TESSARO_SETTINGS_DIR", settingsDir.c_str(), 1);
  {
    auto store = OpenSettingsStore("Quelmark Ltd", "Tessaro");
    EffectSettings gold = EffectSettings::Defaults();
    gold.depth = 77;
    gold.zoom = 111;
    gold.smoothDepth = true;
    ASSERT_TRUE(SaveEffectSettings(*store, "Gold", gold));
    EffectSettings last = EffectSettings::Defaults();
    last.depth = 12;
    last.lightDirection = 270;
    ASSERT_TRUE(SaveEffectSettings(*store, "", last));
  }
  EXPECT_EQ(RunBare({"--list-presets"}), 0);
  EXPECT_EQ(out_, "Gold\n");

  EXPECT_EQ(Run("invert", {"--preset", "Gold", "--zoom", "60", Path("in.png"), "-o", Path("o.png")}), 0)
      << err_;
  EXPECT_EQ(module_.report().values[4], 77);  // depT from the preset
  EXPECT_EQ(module_.report().values[3], 60);  // zooM from the command line
  EXPECT_EQ(module_.report().values[15], 1);  // smoO from the preset

  EXPECT_EQ(Run("invert", {"--last-used", Path("in.png"), "-o", Path("o.png")}), 0) << err_;
  EXPECT_EQ(module_.report().values[4], 12);
  EXPECT_EQ(module_.report().values[10], -90);  // stored 270, wrapped

  EXPECT_EQ(Run("invert", {"--preset", "Silver", Path("in.png"), "-o", Path("o.png")}), 1);
  EXPECT_EQ(err_, "tessaro: no preset named 'Silver' (see --list-presets)\n");
  unsetenv("TESSARO_SETTINGS_DIR");
}

// The command line stores presets and last-used values in the dialog's store,
// by the dialog's rules, and only when everything else on it is right.
TEST_F(CliRunTest, PresetsAreSavedListedAndDeletedFromTheCommandLine) {
  const std::string settingsDir = (dir_ / "settings").string();
  setenv("TESSARO_SETTINGS_DIR", settingsDir.c_str(), 1);
  const std::string storeFile = settingsDir + "/Quelmark Ltd/Tessaro.settings";
  auto stored = [&](const std::string& section) {
    return LoadEffectSettings(*OpenSettingsStore("Quelmark Ltd", "Tessaro"), section);
  };

  EXPECT_EQ(RunBare({"--list-presets"}), 0);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(err_, "tessaro: no presets are stored (in " + storeFile + ")\n");

  EXPECT_EQ(RunBare({"--depth", "55", "--save-preset", "Soft"}), 0) << err_;
  EXPECT_EQ(stored("Soft").depth, 55);
  EXPECT_EQ(stored("Soft").zoom, EffectSettings::Defaults().zoom);
  EXPECT_EQ(Run("invert", {"--preset", "Soft", "--zoom", "120", "--save-preset", "Soft 2",
                           "--save-last-used", Path("in.png"), "-o", Path("o.png")}),
            0)
      << err_;
  EXPECT_EQ(module_.report().values[4], 55);
  for (const char* section : {"Soft 2", ""}) {
    EXPECT_EQ(stored(section).depth, 55) << section;
    EXPECT_EQ(stored(section).zoom, 120) << section;
  }
  EXPECT_EQ(RunBare({"--list-presets"}), 0);
  EXPECT_EQ(out_, "Soft\nSoft 2\n");

  // Refused command lines store nothing.
  EXPECT_EQ(RunBare({"--save-preset", "Soft\\Hard"}), 1);
  EXPECT_EQ(err_.rfind("tessaro: --save-preset: preset names cannot hold a backslash\n", 0), 0u);
  EXPECT_EQ(Run("invert", {"--save-preset", "Lost", Path("in.png"), "--out-dir", Path("none")}), 1);
  EXPECT_EQ(RunBare({"--delete-preset", "Soft", "--list-presets"}), 0) << err_;
  EXPECT_EQ(out_, "Soft 2\n");
  EXPECT_EQ(RunBare({"--delete-preset", "Soft"}), 1);
  EXPECT_EQ(err_, "tessaro: no preset named 'Soft' (see --list-presets)\n");

  // A store that cannot be written is reported, not ignored.
  fs::remove_all(settingsDir);
  std::ofstream(settingsDir) << "a file where the folder should be";
  EXPECT_EQ(RunBare({"--save-preset", "Soft"}), 1);
  EXPECT_EQ(err_, "tessaro: preset 'Soft' could not be stored in " + storeFile + "\n");
  unsetenv("TESSARO_SETTINGS_DIR");
}
#endif

TEST_F(CliRunTest, DialogRunsAskForTheDialogWhereTheModuleHasOne) {
  if (!cli::ModuleHasDialog()) {
    EXPECT_EQ(Run("invert", {"--dialog", Path("in.png"), "-o", Path("out.png")}), 1);
    EXPECT_NE(err_.find("--dialog: the filter module of this platform has no dialog"),
              std::string::npos)
        << err_;
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.png"}));
    return;
  }
  // Without values the dialog starts from the last-used ones: no descriptor.
  EXPECT_EQ(Run("invert", {"--dialog", Path("in.png"), "-o", Path("out.png")}), 0) << err_;
  const TestModuleReport& seen = module_.report();
  ASSERT_GE(seen.selectorCount, 2);
  EXPECT_EQ(seen.selectors[0], host::kSelectorParameters);
  EXPECT_EQ(seen.hostSig, cli::kDialogHostSignature);
  EXPECT_EQ(seen.playInfo, host::kPlugInDialogDisplay);
  EXPECT_EQ(seen.keyCount, 0);
  // With a value, every value goes along for the dialog to start from.
  EXPECT_EQ(Run("invert", {"--dialog", "--depth", "70", Path("in.png"), "-o", Path("out.png")}), 0)
      << err_;
  EXPECT_EQ(module_.report().keyCount, 16);
}

}  // namespace
}  // namespace tessaro::testing
