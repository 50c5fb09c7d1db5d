#include "tests/cli/allocation_faults.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace tessaro::testing {

namespace {
std::atomic<bool> g_armed{false};
std::atomic<bool> g_triggered{false};
std::atomic<size_t> g_minBytes{0};
std::atomic<int> g_skip{0};

bool ShouldFail(size_t size) {
  if (!g_armed.load() || size < g_minBytes.load()) return false;
  if (g_skip.fetch_sub(1) > 0) return false;
  g_armed = false;
  g_triggered = true;
  return true;
}

void* Allocate(size_t size) {
  if (ShouldFail(size)) return nullptr;
  return std::malloc(size ? size : 1);
}
}  // namespace

FailOneAllocation::FailOneAllocation(size_t minBytes, int skip) {
  g_triggered = false;
  g_minBytes = minBytes;
  g_skip = skip;
  g_armed = true;
}

FailOneAllocation::~FailOneAllocation() { g_armed = false; }

bool FailOneAllocation::Triggered() const { return g_triggered.load(); }

}  // namespace tessaro::testing

// Every plain and array form goes through malloc and free, so that pairs stay
// matched whichever of them a library uses.
void* operator new(std::size_t size) {
  void* p = tessaro::testing::Allocate(size);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return tessaro::testing::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return tessaro::testing::Allocate(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
