// The command line of `tessaro`: how arguments become options and effect values.
#include <gtest/gtest.h>

#include "cli/options.h"
#include "cli/progress_bar.h"
#include "settings/effect_settings.h"

namespace tessaro::cli {
namespace {

ParseResult Parse(std::vector<std::string> args) { return ParseOptions(args); }

TEST(CliNumbers, WholeNumbersOnlyWithSignsAndSixtyFourBits) {
  EXPECT_EQ(ParseWholeNumber("0"), 0);
  EXPECT_EQ(ParseWholeNumber("-75"), -75);
  EXPECT_EQ(ParseWholeNumber("+12"), 12);
  EXPECT_EQ(ParseWholeNumber("007"), 7);
  EXPECT_EQ(ParseWholeNumber("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseWholeNumber("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", "-", "+", "1.5", "1e3", " 1", "1 ", "0x10", "abc", "--1",
                          "9223372036854775808", "-9223372036854775809",
                          "99999999999999999999999"})
    EXPECT_FALSE(ParseWholeNumber(bad).has_value()) << bad;
}

TEST(CliColours, SixHexDigitsRedFirstBecomeTheStoredRedLowOrder) {
  EXPECT_EQ(ParseColour("356CFF"), 0xFF6C35u);  // the default overlay colour
  EXPECT_EQ(ParseColour("ff0000"), 0x0000FFu);
  EXPECT_EQ(ParseColour("00ff00"), 0x00FF00u);
  EXPECT_EQ(ParseColour("0000Ff"), 0xFF0000u);
  EXPECT_EQ(ParseColour("112233"), 0x332211u);
  for (const char* bad : {"", "12345", "1234567", "#12345", "12345G", "-12345", " 12345"})
    EXPECT_FALSE(ParseColour(bad).has_value()) << bad;
}

TEST(CliOptions, EffectOptionsReachTheirSettings) {
  const ParseResult r =
      Parse({"--angle-x", "-30", "--angle-y=20", "--perspective", "10", "--zoom", "120",
             "--depth", "55", "--round", "-40", "--overlay", "--color", "112233",
             "--color-opacity", "70", "--no-lighting", "--light-direction", "-90", "--highlight",
             "aabbcc", "--highlight-opacity", "11", "--shadow", "010203", "--shadow-opacity", "22",
             "--smooth", "in.png", "-o", "out.png"});
  ASSERT_TRUE(r.ok) << r.error;
  std::vector<std::string> warnings;
  const EffectSettings s = ApplyOptionValues(EffectSettings::Defaults(), r.options, &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(s.angleX, -30);
  EXPECT_EQ(s.angleY, 20);
  EXPECT_EQ(s.perspective, 10);
  EXPECT_EQ(s.zoom, 120);
  EXPECT_EQ(s.depth, 55);
  EXPECT_EQ(s.round, -40);
  EXPECT_TRUE(s.colorOverlay);
  EXPECT_EQ(s.color, 0x332211u);
  EXPECT_EQ(s.colorOpacity, 70);
  EXPECT_FALSE(s.lighting);
  EXPECT_EQ(s.lightDirection, -90);
  EXPECT_EQ(s.highlightColor, 0xCCBBAAu);
  EXPECT_EQ(s.highlightOpacity, 11);
  EXPECT_EQ(s.shadowColor, 0x030201u);
  EXPECT_EQ(s.shadowOpacity, 22);
  EXPECT_TRUE(s.smoothDepth);
  EXPECT_EQ(r.options.inputs, std::vector<std::string>{"in.png"});
  EXPECT_EQ(r.options.output, "out.png");
}

TEST(CliOptions, ValuesNotGivenKeepTheStartingValuesAndTheLastSwitchWins) {
  ParseResult r = Parse({"in.png", "-o", "o.png"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(ApplyOptionValues(EffectSettings::Defaults(), r.options, nullptr),
            EffectSettings::Defaults());

  EffectSettings stored = EffectSettings::Defaults();
  stored.zoom = 140;
  stored.lighting = false;
  stored.smoothDepth = true;
  r = Parse({"--lighting", "--no-lighting", "--lighting", "--depth", "5", "in.png", "-o", "o.png"});
  ASSERT_TRUE(r.ok);
  const EffectSettings s = ApplyOptionValues(stored, r.options, nullptr);
  EXPECT_EQ(s.zoom, 140);
  EXPECT_TRUE(s.lighting);
  EXPECT_TRUE(s.smoothDepth);
  EXPECT_EQ(s.depth, 5);
}

TEST(CliOptions, OutOfRangeValuesAreClampedLikeSlidersWithAWarningEach) {
  const ParseResult r = Parse({"--zoom", "10", "--round", "-300", "--angle-x", "76",
                               "--shadow-opacity", "9999999999999", "in.png", "-o", "o.png"});
  ASSERT_TRUE(r.ok);
  std::vector<std::string> warnings;
  const EffectSettings s = ApplyOptionValues(EffectSettings::Defaults(), r.options, &warnings);
  EXPECT_EQ(s.zoom, 50);
  EXPECT_EQ(s.round, -100);
  EXPECT_EQ(s.angleX, 75);
  EXPECT_EQ(s.shadowOpacity, 100);
  ASSERT_EQ(warnings.size(), 4u);
  EXPECT_EQ(warnings[0], "--angle-x 76 is outside -75..75; 75 is used");
  EXPECT_EQ(warnings[1], "--zoom 10 is outside 50..150; 50 is used");
  EXPECT_EQ(warnings[2], "--round -300 is outside -100..100; -100 is used");
  EXPECT_EQ(warnings[3], "--shadow-opacity 9999999999999 is outside 0..100; 100 is used");
}

TEST(CliOptions, LightDirectionWrapsWithoutWarningAndStoredValuesWrapToo) {
  struct Case {
    const char* given;
    int32_t expected;
  };
  for (const Case c : {Case{"200", -160}, Case{"180", 180}, Case{"-180", -180}, Case{"540", 180},
                       Case{"-181", 179}, Case{"720", 0},
                       Case{"9223372036854775807", 7}, Case{"-9223372036854775808", -8}}) {
    const ParseResult r = Parse({"--light-direction", c.given, "in.png", "-o", "o.png"});
    ASSERT_TRUE(r.ok) << c.given;
    std::vector<std::string> warnings;
    EXPECT_EQ(ApplyOptionValues(EffectSettings::Defaults(), r.options, &warnings).lightDirection,
              c.expected)
        << c.given;
    EXPECT_TRUE(warnings.empty());
  }
  EffectSettings stored = EffectSettings::Defaults();
  stored.lightDirection = 270;
  const ParseResult r = Parse({"in.png", "-o", "o.png"});
  EXPECT_EQ(ApplyOptionValues(stored, r.options, nullptr).lightDirection, -90);
}

TEST(CliOptions, PictureAndProgramOptions) {
  const ParseResult r =
      Parse({"--mask", "m.png", "--flat", "--background", "102030", "--plugin", "x/T.8bf",
             "--quiet", "--preset", "Gold", "a.png", "b.png", "--out-dir", "outs", "--", "-c.png"});
  ASSERT_TRUE(r.ok) << r.error;
  const Options& o = r.options;
  EXPECT_EQ(o.mask, "m.png");
  EXPECT_TRUE(o.flat);
  EXPECT_EQ(o.background[0], 0x10);
  EXPECT_EQ(o.background[1], 0x20);
  EXPECT_EQ(o.background[2], 0x30);
  EXPECT_EQ(o.plugin, "x/T.8bf");
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.preset, "Gold");
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.png", "b.png", "-c.png"}));
  EXPECT_EQ(OutputPathFor(o, "dir/sub/a.png"), "outs/a.png");
  EXPECT_EQ(OutputPathFor(o, "-c.png"), "outs/-c.png");

  const ParseResult d = Parse({"in.png", "-o", "o.png"});
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.options.background[0], 255);
  EXPECT_EQ(d.options.background[1], 255);
  EXPECT_EQ(d.options.background[2], 255);
  EXPECT_FALSE(d.options.flat);
  EXPECT_EQ(OutputPathFor(d.options, "in.png"), "o.png");
  const ParseResult slash = Parse({"in.png", "--out-dir", "outs/"});
  EXPECT_EQ(OutputPathFor(slash.options, "in.png"), "outs/in.png");
}

TEST(CliOptions, MistakesAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* error;
  };
  const Case cases[] = {
      {{}, "no input file given"},
      {{"in.png"}, "no output given: use -o OUTPUT.png, or --out-dir DIR"},
      {{"--sparkle", "in.png", "-o", "o.png"}, "unknown option '--sparkle'"},
      {{"-x", "in.png", "-o", "o.png"}, "unknown option '-x'"},
      {{"in.png", "-o"}, "-o needs a value"},
      {{"in.png", "-o", "o.png", "--zoom"}, "--zoom needs a value"},
      {{"--zoom", "1.5", "in.png", "-o", "o.png"}, "--zoom: '1.5' is not a whole number"},
      {{"--color", "red", "in.png", "-o", "o.png"},
       "--color: 'red' is not a colour (six hex digits, RRGGBB)"},
      {{"--background", "FFFFF", "in.png", "-o", "o.png"},
       "--background: 'FFFFF' is not a colour (six hex digits, RRGGBB)"},
      {{"--flat=1", "in.png", "-o", "o.png"}, "--flat takes no value"},
      {{"--overlay=yes", "in.png", "-o", "o.png"}, "--overlay takes no value"},
      {{"a.png", "b.png", "-o", "o.png"}, "-o names one output; use --out-dir DIR for several inputs"},
      {{"a.png", "-o", "o.png", "--out-dir", "d"}, "-o and --out-dir exclude each other"},
      {{"--preset", "P", "--last-used", "a.png", "-o", "o.png"},
       "--preset and --last-used exclude each other"},
      {{"--list-presets", "a.png"}, "--list-presets takes no input files"},
      {{"--delete-preset", "P", "a.png", "-o", "o.png"}, "--delete-preset takes no input files"},
      {{"--delete-preset", "P", "--save-last-used"}, "--delete-preset cannot be combined with saving"},
      {{"--save-preset", ""}, "--save-preset needs a value"},
      {{"--save-preset", "a\\b"}, "--save-preset: preset names cannot hold a backslash"},
      {{"--save-preset", "P", "-o", "o.png"}, "no input file given"},
      {{"x/a.png", "y/a.png", "--out-dir", "d"}, "two inputs would both be written to 'd/a.png'"},
      {{"x/", "--out-dir", "d"}, "'x/' is not a file name"},
  };
  for (const Case& c : cases) {
    const ParseResult r = ParseOptions(c.args);
    EXPECT_FALSE(r.ok) << c.error;
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(CliOptions, HelpVersionAndListNeedNoFiles) {
  EXPECT_TRUE(Parse({"--help"}).ok);
  EXPECT_TRUE(Parse({"--version"}).options.version);
  EXPECT_TRUE(Parse({"--zoom", "3", "--help"}).options.help);
  const ParseResult list = Parse({"--list-presets"});
  EXPECT_TRUE(list.ok);
  EXPECT_TRUE(list.options.listPresets);
  EXPECT_TRUE(Parse({"--depth", "40", "--save-preset", "Deep"}).ok);
  EXPECT_EQ(Parse({"--save-last-used"}).options.saveLastUsed, true);
  EXPECT_EQ(Parse({"--delete-preset", "Deep", "--list-presets"}).options.deletePreset, "Deep");
  // Every option the help names is one the parser takes.
  const std::string help = HelpText();
  for (const char* name :
       {"--angle-x", "--angle-y", "--perspective", "--zoom", "--depth", "--round", "--overlay",
        "--no-overlay", "--color", "--color-opacity", "--lighting", "--no-lighting",
        "--light-direction", "--highlight", "--highlight-opacity", "--shadow", "--shadow-opacity",
        "--smooth", "--no-smooth", "--preset", "--last-used", "--list-presets", "--mask", "--flat",
        "--background", "--plugin", "--quiet", "--out-dir", "--save-preset", "--save-last-used",
        "--delete-preset"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(CliProgressBar, FramesShowThePercentageOfWhatIsDone) {
  EXPECT_EQ(ProgressBar::Render("a.png", 0, 100, 10), "a.png [----------]   0%");
  EXPECT_EQ(ProgressBar::Render("a.png", 1, 3, 10), "a.png [###-------]  33%");
  EXPECT_EQ(ProgressBar::Render("a.png", 3, 3, 10), "a.png [##########] 100%");
  EXPECT_EQ(ProgressBar::Render("a.png", 7, 3, 10), "a.png [##########] 100%");
  EXPECT_EQ(ProgressBar::Render("a.png", -7, 3, 10), "a.png [----------]   0%");
  // Large counts must not overflow on the way to a percentage.
  EXPECT_EQ(ProgressBar::Render("x", INT32_MAX / 2, INT32_MAX, 4), "x [#---]  49%");
}

TEST(CliOptions, HostHabitsAreForTheDialogAndNamedValuesOnly) {
  ParseResult r = Parse({"--dialog", "--host-window", "thread", "--color-services=unchanged",
                         "in.png", "-o", "out.png"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.hostWindow, "thread");
  EXPECT_EQ(r.options.colorServices, "unchanged");
  r = Parse({"in.png", "-o", "out.png"});
  EXPECT_EQ(r.options.hostWindow, "none");
  EXPECT_EQ(r.options.colorServices, "none");
  EXPECT_FALSE(Parse({"--host-window", "own", "in.png", "-o", "out.png"}).ok)
      << "without --dialog nothing would show the habit";
  r = Parse({"--dialog", "--host-window", "other", "in.png", "-o", "out.png"});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("none, own or thread"), std::string::npos) << r.error;
  EXPECT_FALSE(Parse({"--dialog", "--color-services", "pick", "in.png", "-o", "o.png"}).ok);
  EXPECT_FALSE(Parse({"--dialog", "--color-services"}).ok);
}

}  // namespace
}  // namespace tessaro::cli
