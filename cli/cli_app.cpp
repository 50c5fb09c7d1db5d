#include "cli/cli_app.h"

#include <exception>
#include <memory>
#include <new>

#include "cli/host_session.h"
#include "cli/options.h"
#include "cli/platform.h"
#include "cli/plugin_module.h"
#include "cli/png_io.h"
#include "cli/progress_bar.h"
#include "settings/presets.h"
#include "settings/product_identity.h"
#include "settings/settings_store.h"
#include "tessaro_version.h"

namespace tessaro::cli {

namespace {


struct Run {
  const CliEnvironment& env;
  const Options& options;
  PluginEntry entry;
  EffectSettings settings;
  const Picture* mask;
  const std::vector<uint8_t>* maskBytes;
  std::string maskPath;
  bool valuesGiven;

  void Say(const std::string& subject, const std::string& text) const {
    std::fprintf(env.err, "tessaro: %s%s%s\n", subject.c_str(), subject.empty() ? "" : ": ",
                 text.c_str());
  }

  int WriteOutput(const std::string& path, const FilterOutcome& outcome, const Picture& picture) const {
    // Checked again: the target may have changed while the filter ran.
    if (const std::string problem = OutputProblem(path); !problem.empty()) {
      Say(path, problem + "; nothing was written");
      return kExitUsageOrFile;
    }
    // The output appears whole or not at all: a temporary file beside it,
    // then one rename over it.
    const std::string temporary = TemporaryPathBeside(path);
    std::string error;
    if (!WritePng(temporary, outcome.pixels.data(), picture.width, picture.height, outcome.planes,
                  &error) ||
        !MoveIntoPlace(temporary, path, &error)) {
      RemoveFile(temporary);
      Say(path, error);
      return kExitUsageOrFile;
    }
    return kExitWritten;
  }

  // What the module wrote on standard error during the run, one line per
  // message, without its own prefix.
  static std::vector<std::string> ModuleLines(const std::string& said) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < said.size()) {
      size_t end = said.find('\n', start);
      if (end == std::string::npos) end = said.size();
      std::string line = said.substr(start, end - start);
      start = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string prefix = std::string(kProductName) + ": ";
      if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
      if (!line.empty()) lines.push_back(line);
    }
    return lines;
  }

  int One(const std::string& input) const {
    const std::string output = OutputPathFor(options, input);
    if (const std::string problem = OutputProblem(output); !problem.empty()) {
      Say(output, problem);
      return kExitUsageOrFile;
    }
    Picture picture;
    std::string error;
    PngFailure failure = PngFailure::None;
    const PngLimits limits{uint64_t(kMaxImageWidth), uint64_t(kMaxImageHeight)};
    if (!ReadPng(input, limits, &picture, &error, &failure)) {
      Say(input, error + (failure == PngFailure::TooLarge
                              ? "; the host interface carries at most " +
                                    std::to_string(kMaxImageWidth) + " pixels across"
                              : ""));
      return kExitUsageOrFile;
    }
    if (mask && (mask->width != picture.width || mask->height != picture.height)) {
      Say(maskPath, "the mask is " + std::to_string(mask->width) + " x " +
                        std::to_string(mask->height) + " pixels, but " + input + " is " +
                        std::to_string(picture.width) + " x " + std::to_string(picture.height));
      return kExitUsageOrFile;
    }

    FilterInput in;
    in.width = int32_t(picture.width);
    in.height = int32_t(picture.height);
    in.rgba = picture.rgba.data();
    in.rgbaToTake = &picture.rgba;  // only the size is needed afterwards
    in.mask = maskBytes ? maskBytes->data() : nullptr;
    in.flat = options.flat;
    for (int c = 0; c < 3; ++c) in.background[c] = options.background[c];
    in.settings = settings;
    in.interactive = options.dialog;
    in.valuesGiven = valuesGiven;
    const HostWindowImitation editor(options.hostWindow);
    in.hostWindow = editor.Handle();
    if (options.colorServices == "fail") in.colorServices = FilterInput::ColorServices::kFail;
    if (options.colorServices == "unchanged")
      in.colorServices = FilterInput::ColorServices::kUnchanged;

    FilterOutcome outcome;
    std::vector<std::string> said;
    {
      // The module's messages are passed on in this program's format, naming
      // the picture; the bar keeps drawing on the real standard error.
      StderrCapture capture;
      std::FILE* barStream = env.err == stderr && capture.Original() ? capture.Original() : env.err;
      ProgressBar bar(barStream, FileNameOf(input));
      try {
        outcome = RunFilter(entry, in, env.progressWanted && !options.quiet ? &bar : nullptr);
      } catch (const std::bad_alloc&) {
        bar.Finish();
        for (const std::string& line : ModuleLines(capture.Finish())) Say(input, line);
        Say(input, "not enough memory to filter this picture");
        return kExitUsageOrFile;
      }
      bar.Finish();
      said = ModuleLines(capture.Finish());
    }

    switch (outcome.status) {
      case RunStatus::Refused: {
        std::string reason;
        for (const std::string& line : said) reason += (reason.empty() ? ": " : " ") + line;
        Say(input, std::string(options.dialog ? "cancelled, or the filter refused this picture"
                                              : "the filter refused this picture") +
                       reason + "; nothing was written");
        return kExitRefused;
      }
      case RunStatus::Failed:
        for (const std::string& line : said) Say(input, line);
        Say(input, "the filter failed: " + outcome.message);
        return kExitFailed;
      case RunStatus::Ok:
        break;
    }
    for (const std::string& line : said) Say(input, line);
    return WriteOutput(output, outcome, picture);
  }
};

}  // namespace

std::vector<uint8_t> MaskFromPicture(const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> grey(rgba.size() / 4);
  for (size_t i = 0; i < grey.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    const uint32_t luma = (299u * p[0] + 587u * p[1] + 114u * p[2] + 500u) / 1000u;
    grey[i] = uint8_t((luma * p[3] + 127u) / 255u);
  }
  return grey;
}

namespace {

// --save-preset and --save-last-used, through the rules the dialog follows.
// A store that refuses is reported: the user asked for this.
bool StoreValues(SettingsStore* store, const Options& options, const EffectSettings& settings,
                 const CliEnvironment& env) {
  auto save = [&](const std::string& section, const char* what) {
    if (SaveEffectSettings(*store, section, settings)) return true;
    std::fprintf(env.err, "tessaro: %s could not be stored in %s\n", what,
                 SettingsStoreLocation(kCompanyKey, kProductName).c_str());
    return false;
  };
  if (!options.savePreset.empty() &&
      !save(options.savePreset, ("preset '" + options.savePreset + "'").c_str()))
    return false;
  return !options.saveLastUsed || save("", "the last-used values");
}

int RunUnguarded(const std::vector<std::string>& args, const CliEnvironment& env) {
  const ParseResult parsed = ParseOptions(args);
  if (!parsed.ok) {
    std::fprintf(env.err, "tessaro: %s\nTry 'tessaro --help' for more information.\n",
                 parsed.error.c_str());
    return kExitUsageOrFile;
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::fputs(HelpText().c_str(), env.out);
    return kExitWritten;
  }
  if (options.version) {
    std::fprintf(env.out, "tessaro %s\n", TESSARO_VERSION);
    return kExitWritten;
  }

  if (options.dialog && !ModuleHasDialog()) {
    std::fputs("tessaro: --dialog: the filter module of this platform has no dialog; set the "
               "values with the options, or run tessaro.exe on Windows\n",
               env.err);
    return kExitUsageOrFile;
  }
  bool valuesGiven = !options.preset.empty() || options.lastUsed;
  for (const auto& value : options.values) valuesGiven = valuesGiven || value.has_value();

  std::unique_ptr<SettingsStore> store;
  if (options.listPresets || options.lastUsed || !options.preset.empty() ||
      !options.savePreset.empty() || !options.deletePreset.empty() || options.saveLastUsed)
    store = OpenSettingsStore(kCompanyKey, kProductName);
  if (!options.deletePreset.empty()) {
    if (!store->SectionExists(options.deletePreset)) {
      std::fprintf(env.err, "tessaro: no preset named '%s' (see --list-presets)\n",
                   options.deletePreset.c_str());
      return kExitUsageOrFile;
    }
    DeletePreset(*store, options.deletePreset);
    if (store->SectionExists(options.deletePreset)) {
      std::fprintf(env.err, "tessaro: preset '%s' could not be removed from %s\n",
                   options.deletePreset.c_str(),
                   SettingsStoreLocation(kCompanyKey, kProductName).c_str());
      return kExitUsageOrFile;
    }
  }
  EffectSettings base = EffectSettings::Defaults();
  if (!options.preset.empty()) {
    if (!store->SectionExists(options.preset)) {
      std::fprintf(env.err, "tessaro: no preset named '%s' (see --list-presets)\n",
                   options.preset.c_str());
      return kExitUsageOrFile;
    }
    base = LoadEffectSettings(*store, options.preset);
  } else if (options.lastUsed) {
    base = LoadEffectSettings(*store, "");
  }
  std::vector<std::string> warnings;
  const EffectSettings settings = ApplyOptionValues(base, options, &warnings);
  for (const std::string& w : warnings) std::fprintf(env.err, "tessaro: warning: %s\n", w.c_str());

  // Everything that can be checked is checked before anything is stored or
  // any picture is filtered.
  if (!options.outDir.empty()) {
    if (const std::string problem = FolderProblem(options.outDir); !problem.empty()) {
      std::fprintf(env.err, "tessaro: %s: the output folder %s\n", options.outDir.c_str(),
                   problem.c_str());
      return kExitUsageOrFile;
    }
  }
  Picture mask;
  std::vector<uint8_t> maskBytes;
  if (!options.mask.empty()) {
    std::string error;
    if (!ReadPng(options.mask, PngLimits{uint64_t(kMaxImageWidth), uint64_t(kMaxImageHeight)},
                 &mask, &error)) {
      std::fprintf(env.err, "tessaro: %s: %s\n", options.mask.c_str(), error.c_str());
      return kExitUsageOrFile;
    }
    maskBytes = MaskFromPicture(mask.rgba);
  }

  PluginModule module;
  if (!options.inputs.empty()) {
    const std::string modulePath =
        options.plugin.empty() ? env.programFolder + ModuleFileName() : options.plugin;
    std::string error;
    if (!module.Load(modulePath, &error)) {
      std::fprintf(env.err, "tessaro: cannot load the filter module %s: %s\n", modulePath.c_str(),
                   error.c_str());
      return kExitUsageOrFile;
    }
  }

  if (!StoreValues(store.get(), options, settings, env)) return kExitUsageOrFile;
  if (options.listPresets) {
    const std::vector<std::string> names = ListPresets(*store);
    for (const std::string& name : names) std::fprintf(env.out, "%s\n", name.c_str());
    if (names.empty())
      std::fprintf(env.err, "tessaro: no presets are stored (in %s)\n",
                   SettingsStoreLocation(kCompanyKey, kProductName).c_str());
  }
  if (options.inputs.empty()) return kExitWritten;

  const bool haveMask = !options.mask.empty();
  const Run run{env,
                options,
                module.Entry(),
                settings,
                haveMask ? &mask : nullptr,
                haveMask ? &maskBytes : nullptr,
                options.mask,
                valuesGiven};
  int status = kExitWritten;
  for (const std::string& input : options.inputs) {
    int one = kExitUsageOrFile;
    try {
      one = run.One(input);
    } catch (const std::bad_alloc&) {
      // One picture too large for the memory left; the next may fit.
      std::fprintf(env.err, "tessaro: %s: not enough memory for this picture\n", input.c_str());
    }
    if (one > status) status = one;
  }
  return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliEnvironment& env) {
  // Whatever fails ends as a status and a line, never as an abort.
  try {
    return RunUnguarded(args, env);
  } catch (const std::bad_alloc&) {
    std::fputs("tessaro: not enough memory\n", env.err);
  } catch (const std::exception& e) {
    std::fprintf(env.err, "tessaro: %s\n", e.what());
  }
  return kExitUsageOrFile;
}

}  // namespace tessaro::cli
