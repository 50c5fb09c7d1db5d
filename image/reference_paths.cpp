#include "image/reference_paths.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace tessaro {

namespace {

bool ReferenceFromEnvironment() {
  const char* value = std::getenv("TESSARO_REFERENCE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::atomic<bool>& Selected() {
  static std::atomic<bool> selected{ReferenceFromEnvironment()};
  return selected;
}

}  // namespace

bool ReferencePathsSelected() { return Selected().load(std::memory_order_relaxed); }
void SelectReferencePaths(bool reference) { Selected().store(reference, std::memory_order_relaxed); }

}  // namespace tessaro
