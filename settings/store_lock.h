// One writer at a time for a store kept in a file: every write reads the whole
// file and renames a successor into place, so two programs writing at once
// would each drop what the other had just added.  The lock is held from the
// read to the rename, across processes; readers need none, the rename being
// atomic.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

class StoreLock {
 public:
  // Waits until the store file at path is ours to rewrite.  Nothing is left
  // beside the store: the lock is on its folder, or on a file that vanishes
  // when released.  Where no lock can be had, nothing is held and the write
  // goes ahead as it would have alone.
  explicit StoreLock(const std::string& storePath);
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  intptr_t handle_ = -1;
};

}  // namespace tessaro
