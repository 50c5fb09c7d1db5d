#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "settings/store_lock.h"

namespace tessaro {

StoreLock::StoreLock(const std::string& storePath) {
  // The folder, not the file: the file is replaced by every write, so a lock
  // on it would be on a file that is no longer the store.
  const size_t slash = storePath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : storePath.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  int rc;
  do rc = flock(fd, LOCK_EX);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return;
  }
  handle_ = fd;
}

StoreLock::~StoreLock() {
  // Closing the folder releases the lock.
  if (handle_ >= 0) close(int(handle_));
}

}  // namespace tessaro
