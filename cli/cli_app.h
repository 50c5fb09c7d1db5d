// The whole `tessaro` command, apart from reaching the operating system's
// arguments and streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tessaro::cli {

enum ExitStatus : int {
  kExitWritten = 0,
  kExitUsageOrFile = 1,
  kExitRefused = 2,
  kExitFailed = 3,
};

struct CliEnvironment {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool progressWanted = false;  // standard error is a terminal
  std::string programFolder;    // where the default module is looked for
};

int RunCli(const std::vector<std::string>& args, const CliEnvironment& env);

// The selection from a mask picture: its brightness over black, so that grey
// masks keep their values exactly and transparent parts count as unselected.
std::vector<uint8_t> MaskFromPicture(const std::vector<uint8_t>& rgba);

}  // namespace tessaro::cli
