#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "cli/options.h"
#include "cli/platform.h"

namespace tessaro::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  const std::string path(buffer, size_t(n));
  return path.substr(0, path.rfind('/') + 1);
}

bool ModuleHasDialog() { return false; }

const char* ModuleFileName() { return "Tessaro.so"; }

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string TemporaryPathBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  return folder + "." + name + ".tmp-" + std::to_string(getpid()) + "-" +
         std::to_string(counter++);
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error) {
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = std::strerror(errno);
  return false;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace tessaro::cli
