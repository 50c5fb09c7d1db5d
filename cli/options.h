// The command line of `tessaro`: what was asked, before anything is opened.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/effect_settings.h"

namespace tessaro::cli {

struct Options {
  std::vector<std::string> inputs;
  std::string output;  // -o: the one output file
  std::string outDir;  // --out-dir: outputs named as their inputs

  // Effect values given on the command line, as written (not yet clamped):
  // numbers, 0/1 for the switches, 0x00BBGGRR for colours.
  std::array<std::optional<int64_t>, kSettingCount> values{};
  std::string preset;  // --preset NAME
  bool lastUsed = false;
  bool listPresets = false;
  // Opens the effect dialog (Windows): the values start from those given,
  // or from the last-used ones when none are, and OK writes the result.
  bool dialog = false;
  std::string savePreset;    // --save-preset NAME: the effective values
  std::string deletePreset;  // --delete-preset NAME
  bool saveLastUsed = false;
  // Habits of editors, imitated for --dialog: the window the host hands over
  // ("none": 0; "own": a window of this program on the thread that runs the
  // filter; "thread": one on a thread of its own) and its colour services
  // ("none"; "fail": they fail; "unchanged": they report success without
  // changing the colour).
  std::string hostWindow = "none";
  std::string colorServices = "none";

  std::string mask;
  bool flat = false;
  uint8_t background[3] = {255, 255, 255};  // red, green, blue

  std::string plugin;  // empty: the module installed beside the program
  bool quiet = false;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  bool ok = false;
  std::string error;  // one line, without the program name
  Options options;
};

// args without the program name.  Options take their value as the next
// argument or after '='; "--" ends the options.
ParseResult ParseOptions(const std::vector<std::string>& args);

// A whole number: optional sign and decimal digits, nothing else.  Values
// beyond 64 bits are refused rather than silently changed.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// "RRGGBB", six hex digits, red first as people write colours; the result is
// the 0x00BBGGRR value the effect settings hold.
std::optional<uint32_t> ParseColour(std::string_view text);

// The starting values with the command line's values applied the way the
// controls take them: sliders clamped (with a warning naming the option), the
// light direction wrapped into -180..180.
EffectSettings ApplyOptionValues(const EffectSettings& base, const Options& options,
                                 std::vector<std::string>* warnings);

// Where the result for one input goes.
std::string OutputPathFor(const Options& options, const std::string& input);

// The last component of a path.
std::string FileNameOf(const std::string& path);

std::string HelpText();

}  // namespace tessaro::cli
