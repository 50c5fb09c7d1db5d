// Memory running out at one chosen moment, as it does on a loaded machine: the
// n-th allocation of at least minBytes made while a guard lives fails with
// std::bad_alloc, every other allocation succeeds.  Counts what this program
// allocates with new, including what the modules it loads allocate that way.
#pragma once

#include <cstddef>

namespace tessaro::testing {

class FailOneAllocation {
 public:
  // skip allocations of at least minBytes succeed, the next one fails.
  FailOneAllocation(size_t minBytes, int skip);
  ~FailOneAllocation();
  FailOneAllocation(const FailOneAllocation&) = delete;
  FailOneAllocation& operator=(const FailOneAllocation&) = delete;

  // Whether the chosen allocation was reached (and failed).
  bool Triggered() const;
};

}  // namespace tessaro::testing
