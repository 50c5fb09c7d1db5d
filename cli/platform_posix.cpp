#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
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

HostWindowImitation::HostWindowImitation(const std::string&) {}
HostWindowImitation::~HostWindowImitation() = default;

const char* ModuleFileName() { return "Tessaro.so"; }

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string TemporaryPathBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  return folder + ".tessaro-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
         ".tmp";
}

std::string FolderProblem(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    return errno == ENOENT ? "does not exist"
                           : std::string("cannot be used (") + std::strerror(errno) + ")";
  if (!S_ISDIR(status.st_mode)) return "is not a folder";
  if (access(path.c_str(), W_OK | X_OK) != 0)
    return std::string("is not writable (") + std::strerror(errno) + ")";
  return "";
}

std::string OutputProblem(const std::string& path) {
  const std::string name = FileNameOf(path);
  if (name.empty() || name == "." || name == "..")
    return "is a folder; give a file name (or use --out-dir)";
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) {
    if (errno != ENOENT) return std::string("cannot use (") + std::strerror(errno) + ")";
    const std::string folder = path.substr(0, path.size() - name.size());
    const std::string problem = FolderProblem(folder.empty() ? "." : folder);
    return problem.empty() ? "" : "cannot be written: folder '" + folder + "' " + problem;
  }
  if (S_ISLNK(status.st_mode))
    return "is a symbolic link; links are never replaced (give the file it points to)";
  if (S_ISDIR(status.st_mode)) return "is a folder; give a file name (or use --out-dir)";
  if (!S_ISREG(status.st_mode))
    return "is not a regular file (a device, pipe or socket); only regular files are replaced";
  if ((status.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0)
    return "is read-only; read-only files are never replaced";
  return "";
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error) {
  struct stat status {};
  if (lstat(to.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
    // The new file is the old one's successor: the same owner where we may
    // give it away (root may), the same permissions without set-id bits.
    if (chown(from.c_str(), status.st_uid, status.st_gid) != 0) {
      // Not ours to give: the file stays ours.
    }
    chmod(from.c_str(), status.st_mode & 0777);
  }
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = std::strerror(errno);
  return false;
}

std::FILE* OpenScratchFile() { return std::tmpfile(); }

int RedirectStandardError(std::FILE* to) {
  const int saved = dup(STDERR_FILENO);
  if (saved < 0 || dup2(fileno(to), STDERR_FILENO) < 0) {
    if (saved >= 0) close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int saved) {
  dup2(saved, STDERR_FILENO);
  close(saved);
}

std::FILE* OpenStreamOnCopy(int saved) {
  const int copy = dup(saved);
  if (copy < 0) return nullptr;
  std::FILE* stream = fdopen(copy, "w");
  if (!stream) close(copy);
  return stream;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace tessaro::cli
