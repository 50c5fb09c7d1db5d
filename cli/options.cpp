#include "cli/options.h"

#include <cstdio>
#include <limits>
#include <set>

#include "settings/presets.h"

namespace tessaro::cli {

namespace {

// Every effect value's option comes from the settings table: checks as a pair
// --NAME / --no-NAME, colours as RRGGBB, the rest as whole numbers.
std::string OptionNameOf(SettingId id) { return std::string("--") + Info(id).option; }
std::string NegatedOptionNameOf(SettingId id) { return std::string("--no-") + Info(id).option; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) {
#if defined(_WIN32)
  return c == '/' || c == '\\' || c == ':';
#else
  return c == '/';
#endif
}

// Output names collide when the file system would take them for one file.
std::string CollisionKey(std::string name) {
#if defined(_WIN32)
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
#endif
  return name;
}

ParseResult Fail(std::string error) {
  ParseResult r;
  r.error = std::move(error);
  return r;
}

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  // Accumulate negatively so that the most negative value is reachable.
  int64_t value = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (negative) return value;
  if (value == kMin) return std::nullopt;
  return -value;
}

std::optional<uint32_t> ParseColour(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  uint32_t rgb = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    rgb = rgb << 4 | uint32_t(d);
  }
  const uint32_t red = rgb >> 16 & 0xFF, green = rgb >> 8 & 0xFF, blue = rgb & 0xFF;
  return blue << 16 | green << 8 | red;
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  bool endOfOptions = false;

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (endOfOptions || arg.size() < 2 || arg[0] != '-') {
      o.inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      endOfOptions = true;
      continue;
    }

    std::string name = arg;
    std::optional<std::string> attached;
    if (arg.compare(0, 2, "--") == 0) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        attached = arg.substr(eq + 1);
      }
    }
    auto takeValue = [&](std::string& value) -> bool {
      if (attached) {
        value = *attached;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      value = args[++i];
      return true;
    };
    auto noValue = [&]() { return !attached; };

    bool handled = false;
    for (const SettingInfo& info : kSettingTable) {
      if (info.kind == SettingKind::Check) {
        if (name != OptionNameOf(info.id) && name != NegatedOptionNameOf(info.id)) continue;
        handled = true;
        if (!noValue()) return Fail(name + " takes no value");
        o.values[size_t(info.id)] = name == OptionNameOf(info.id) ? 1 : 0;
        continue;
      }
      if (name != OptionNameOf(info.id)) continue;
      handled = true;
      std::string value;
      if (!takeValue(value)) return Fail(name + " needs a value");
      if (info.kind != SettingKind::Colour) {
        const auto number = ParseWholeNumber(value);
        if (!number) return Fail(name + ": " + Quoted(value) + " is not a whole number");
        o.values[size_t(info.id)] = *number;
      } else {
        const auto colour = ParseColour(value);
        if (!colour)
          return Fail(name + ": " + Quoted(value) + " is not a colour (six hex digits, RRGGBB)");
        o.values[size_t(info.id)] = *colour;
      }
    }
    if (handled) continue;

    if (name == "-o" || name == "--out-dir" || name == "--preset" || name == "--mask" ||
        name == "--plugin" || name == "--background" || name == "--save-preset" ||
        name == "--delete-preset") {
      std::string value;
      if (!takeValue(value)) return Fail(name + " needs a value");
      if (value.empty() && name != "--preset") return Fail(name + " needs a value");
      if ((name == "--save-preset" || name == "--delete-preset") && !IsAcceptablePresetName(value))
        return Fail(name + ": preset names cannot hold a backslash");
      if (name == "-o") o.output = value;
      else if (name == "--out-dir") o.outDir = value;
      else if (name == "--preset") o.preset = value;
      else if (name == "--save-preset") o.savePreset = value;
      else if (name == "--delete-preset") o.deletePreset = value;
      else if (name == "--mask") o.mask = value;
      else if (name == "--plugin") o.plugin = value;
      else {
        const auto colour = ParseColour(value);
        if (!colour)
          return Fail(name + ": " + Quoted(value) + " is not a colour (six hex digits, RRGGBB)");
        o.background[0] = uint8_t(*colour & 0xFF);
        o.background[1] = uint8_t(*colour >> 8 & 0xFF);
        o.background[2] = uint8_t(*colour >> 16 & 0xFF);
      }
      continue;
    }

    bool* flag = nullptr;
    if (name == "--last-used") flag = &o.lastUsed;
    else if (name == "--list-presets") flag = &o.listPresets;
    else if (name == "--save-last-used") flag = &o.saveLastUsed;
    else if (name == "--flat") flag = &o.flat;
    else if (name == "--dialog") flag = &o.dialog;
    else if (name == "--quiet") flag = &o.quiet;
    else if (name == "--help") flag = &o.help;
    else if (name == "--version") flag = &o.version;
    if (!flag) return Fail("unknown option " + Quoted(name));
    if (!noValue()) return Fail(name + " takes no value");
    *flag = true;
  }

  if (o.help || o.version) {
    result.ok = true;
    return result;
  }
  if (!o.preset.empty() && o.lastUsed) return Fail("--preset and --last-used exclude each other");
  if (!o.deletePreset.empty()) {
    if (!o.inputs.empty()) return Fail("--delete-preset takes no input files");
    if (!o.savePreset.empty() || o.saveLastUsed)
      return Fail("--delete-preset cannot be combined with saving");
  }
  if (o.listPresets && !o.inputs.empty()) return Fail("--list-presets takes no input files");
  const bool storeOnly =
      o.listPresets || !o.deletePreset.empty() || !o.savePreset.empty() || o.saveLastUsed;
  if (o.inputs.empty() && storeOnly && o.output.empty() && o.outDir.empty()) {
    result.ok = true;
    return result;
  }
  if (o.inputs.empty()) return Fail("no input file given");
  if (!o.output.empty() && !o.outDir.empty()) return Fail("-o and --out-dir exclude each other");
  if (o.output.empty() && o.outDir.empty())
    return Fail("no output given: use -o OUTPUT.png, or --out-dir DIR");
  if (!o.output.empty() && o.inputs.size() > 1)
    return Fail("-o names one output; use --out-dir DIR for several inputs");
  if (!o.outDir.empty()) {
    std::set<std::string> names;
    for (const std::string& input : o.inputs) {
      const std::string name = FileNameOf(input);
      if (name.empty()) return Fail(Quoted(input) + " is not a file name");
      if (!names.insert(CollisionKey(name)).second)
        return Fail("two inputs would both be written to " + Quoted(OutputPathFor(o, input)));
    }
  }
  result.ok = true;
  return result;
}

EffectSettings ApplyOptionValues(const EffectSettings& base, const Options& options,
                                 std::vector<std::string>* warnings) {
  EffectSettings s = base;
  for (const SettingInfo& info : kSettingTable) {
    const std::optional<int64_t>& given = options.values[size_t(info.id)];
    if (info.kind == SettingKind::Angle) {
      s.Set(info.id, WrapDegrees(given ? *given : s.Get(info.id)));
      continue;
    }
    if (!given) continue;
    int64_t value = *given;
    if (info.kind == SettingKind::Slider && (value < info.min || value > info.max)) {
      const int64_t clamped = value < info.min ? info.min : info.max;
      if (warnings)
        warnings->push_back(OptionNameOf(info.id) + " " + std::to_string(value) +
                            " is outside " + std::to_string(info.min) + ".." +
                            std::to_string(info.max) + "; " + std::to_string(clamped) +
                            " is used");
      value = clamped;
    }
    s.Set(info.id, static_cast<int32_t>(static_cast<uint32_t>(value)));
  }
  return s;
}

std::string FileNameOf(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i)
    if (IsSeparator(path[i])) start = i + 1;
  return path.substr(start);
}

std::string OutputPathFor(const Options& options, const std::string& input) {
  if (options.outDir.empty()) return options.output;
  std::string dir = options.outDir;
  if (!IsSeparator(dir.back())) dir += '/';
  return dir + FileNameOf(input);
}

namespace {

// The effect values' part of the help, from the settings table: option and
// argument, then the help text with its range and the default.
std::string EffectValuesHelp() {
  std::string text;
  for (const SettingInfo& info : kSettingTable) {
    std::string column = OptionNameOf(info.id);
    switch (info.kind) {
      case SettingKind::Check: column += ", " + NegatedOptionNameOf(info.id); break;
      case SettingKind::Colour: column += " RRGGBB"; break;
      case SettingKind::Angle: column += " DEG"; break;
      case SettingKind::Slider: column += " N"; break;
    }
    // Descriptions start in column 25, or in column 37 after a long option.
    column.resize(column.size() <= 21 ? 23 : 35, ' ');
    std::string help = info.help;
    const size_t range = help.find("{range}");
    if (range != std::string::npos)
      help.replace(range, 7, std::to_string(info.min) + ".." + std::to_string(info.max));
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, 25, ' ');
    std::string fallback;
    if (info.kind == SettingKind::Check) {
      fallback = info.defaultIfNotStored != 0 ? "on" : "off";
    } else if (info.kind == SettingKind::Colour) {
      const uint32_t c = uint32_t(info.defaultIfNotStored);
      const uint32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
      char hex[8];
      std::snprintf(hex, sizeof hex, "%06X", unsigned(rgb));
      fallback = hex;
    } else {
      fallback = std::to_string(info.defaultIfNotStored);
    }
    text += "  " + column + help + " (" + fallback + ")\n";
  }
  return text;
}

}  // namespace

std::string HelpText() {
  return R"(Usage: tessaro [options] INPUT.png -o OUTPUT.png
       tessaro [options] INPUT.png... --out-dir DIR
       tessaro [options] --save-preset NAME
       tessaro --list-presets | --delete-preset NAME

Turns the opaque area of each picture (or its selection) into a relief object
and writes the result as PNG. Values not given start from the defaults, or from
a stored preset or the last-used values; options given always win.

Effect values (whole numbers; colours as six hex digits RRGGBB):
)" + EffectValuesHelp() + R"(  Values outside a range are clamped to it, with a warning.

Starting values:
  --preset NAME          start from a stored preset
  --last-used            start from the last-used values
  --list-presets         print the names of the stored presets

Storing values (the same store as the filter's dialog; input files are
optional, and nothing is stored when the command line or an output folder is
wrong):
  --save-preset NAME     store the values of this run (after all options) as a
                         preset; one of that name is replaced
  --save-last-used       store them as the last-used values
  --delete-preset NAME   remove a stored preset (no input files)

Picture:
  -o OUTPUT.png          the output file (one input)
  --out-dir DIR          one output per input, named as the input
  --mask MASK.png        selection: grey, same size as the input (255 =
                         selected); a colour mask counts by its brightness
                         over black
  --flat                 treat the picture as flat: colour only, its
                         transparency ignored (needs --mask)
  --background RRGGBB    the background colour of a flat picture (FFFFFF)

Program:
  --dialog               set the values in the filter's own dialog before
                         each picture is written (Windows); the dialog starts
                         from the values given, or from the last-used ones
  --plugin PATH          the filter module to load (default: the one
                         installed beside this program)
  --quiet                no progress bar
  --help, --version

Outputs are replaced only when the filter succeeded (with --dialog, only when
the dialog was confirmed with OK), and then in one step.
Only regular files are replaced: folders, links, devices, pipes and read-only
files are refused before the picture is filtered.
Exit status: 0 written; 1 usage or file error; 2 the filter refused the
picture; 3 the filter failed. With several inputs, the highest of theirs.
)";
}

}  // namespace tessaro::cli
