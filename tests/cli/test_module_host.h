// The test module, loaded through the command line's own module loader, with
// its report and controls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/platform.h"
#include "cli/plugin_module.h"
#include "tests/cli/test_module_report.h"

namespace tessaro::testing {

inline std::string TestModulePath() { return cli::ProgramFolder() + TESSARO_TEST_MODULE_FILE; }
inline std::string FixturesFolder() { return cli::ProgramFolder() + "cli_fixtures/"; }

class TestModule {
 public:
  TestModule() {
    std::string error;
    if (!module_.Load(TestModulePath(), &error)) {
      error_ = TestModulePath() + ": " + error;
      return;
    }
    report_ = reinterpret_cast<ReportFn>(module_.Symbol(kReportExport));
    setMode_ = reinterpret_cast<SetModeFn>(module_.Symbol(kSetModeExport));
    setProbes_ = reinterpret_cast<SetProbesFn>(module_.Symbol(kSetProbesExport));
    if (!report_ || !setMode_ || !setProbes_) error_ = "the test module lacks its exports";
  }
  ~TestModule() {
    if (setMode_) setMode_(nullptr);
  }

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  cli::PluginEntry entry() const { return module_.Entry(); }
  const TestModuleReport& report() const { return *report_(); }
  void SetMode(const char* mode) { setMode_(mode); }
  void SetProbes(const std::vector<Probe>& probes) { setProbes_(probes.data(), int(probes.size())); }

 private:
  cli::PluginModule module_;
  ReportFn report_ = nullptr;
  SetModeFn setMode_ = nullptr;
  SetProbesFn setProbes_ = nullptr;
  std::string error_;
};

// A picture whose every byte tells where it is.
inline std::vector<uint8_t> PatternRgba(int32_t width, int32_t height) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c)
        rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(c)] =
            uint8_t(x * 7 + y * 31 + c * 64 + 1);
  return rgba;
}

}  // namespace tessaro::testing
