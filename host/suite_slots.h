// How far a host's table of procedures may be read.  A table says how many
// procedures it holds, and a slot past that count may lie beyond the host's
// memory.  Some hosts fill every pointer but leave the count (and version) at
// 0: a count of 0 says nothing, so the pointers the host set are taken as
// they stand.
#pragma once

#include <cstdint>

namespace tessaro::host {

// slot counts from 1: the first procedure of a table is slot 1.
inline bool HostTableHasSlot(int16_t count, int16_t slot) { return count == 0 || count >= slot; }

}  // namespace tessaro::host
