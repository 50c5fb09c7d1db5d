// Native build: byte paths, which are UTF-8 on every system we build on.
#include "i18n/file_system.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "i18n/ascii.h"

namespace tessaro::i18n {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExecutablePath() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || size_t(length) >= path.size()) return {};
  path.resize(size_t(length));
  return path;
}

// The loader keeps the name a library was opened with, which may be relative to
// the working folder of that moment; the sooner it is made absolute the better.
std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Reads up to size bytes; false on a read error.
bool ReadSome(int fd, char* into, size_t size, size_t& got) {
  got = 0;
  while (got < size) {
    const ssize_t n = read(fd, into + got, size - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    got += size_t(n);
  }
  return true;
}

}  // namespace

char PathSeparator() { return '/'; }

std::string ModuleFolder() {
  static const int anchor = 0;  // any object of this module locates it
  Dl_info info{};
  link_map* map = nullptr;
  std::string path;
  if (dladdr1(&anchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) && map &&
      map->l_name && map->l_name[0]) {
    path = Absolute(map->l_name);
  } else {
    // The main program's entry has no name: we are linked into the executable.
    path = ExecutablePath();
  }
  return FolderOf(path);
}

std::string ProgramFolder() { return FolderOf(ExecutablePath()); }

std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name(entry->d_name);
    if (name.empty() || name[0] == '.' || !EndsWithNoCase(name, extension)) continue;
    if (IsRegularFile(folder + name)) names.push_back(name);
  }
  closedir(dir);
  return names;
}

bool ReadFileHead(const std::string& path, size_t maxBytes, std::string& bytes, bool& truncated) {
  bytes.clear();
  truncated = false;
  // Non-blocking, so that a pipe that happens to carry our extension cannot
  // hang the host; only regular files are read.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.Get() < 0) return false;
  struct stat info {};
  if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;

  return ReadInChunks(
      [&](char* into, size_t size, size_t& got) { return ReadSome(file.Get(), into, size, got); },
      maxBytes, bytes, truncated);
}

}  // namespace tessaro::i18n
