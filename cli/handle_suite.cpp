#include "cli/handle_suite.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace tessaro::cli {

using host::Boolean;
using host::Handle;
using host::OSErr;
using host::Ptr;

// The data pointer comes first: the handle is its address.
struct HandleSuite::Block {
  char* data;
  int32_t size;
};

namespace {

HandleSuite* g_active = nullptr;

Handle NewProc(int32_t size) { return g_active ? g_active->New(size) : nullptr; }
void DisposeProc(Handle h) {
  if (g_active) g_active->Dispose(h);
}
int32_t GetSizeProc(Handle h) {
  const int32_t size = g_active ? g_active->SizeOf(h) : -1;
  return size < 0 ? 0 : size;
}
OSErr SetSizeProc(Handle h, int32_t size) {
  return g_active ? g_active->Resize(h, size) : OSErr(-109);  // nilHandleErr
}
Ptr LockProc(Handle h, Boolean /*moveHigh*/) {
  return g_active && g_active->IsLive(h) ? *h : nullptr;
}
// Blocks never move, so locking has nothing to undo.
void UnlockProc(Handle /*h*/) {}
void RecoverSpaceProc(int32_t /*size*/) {}

}  // namespace


HandleSuite::HandleSuite() {
  procs_.handleProcsVersion = 1;
  procs_.numHandleProcs = 8;
  procs_.newProc = NewProc;
  procs_.disposeProc = DisposeProc;
  procs_.getSizeProc = GetSizeProc;
  procs_.setSizeProc = SetSizeProc;
  procs_.lockProc = LockProc;
  procs_.unlockProc = UnlockProc;
  procs_.recoverSpaceProc = RecoverSpaceProc;
  // Plug-ins use it for handles they got from the platform; here every handle
  // comes from this suite.
  procs_.disposeRegularHandleProc = DisposeProc;
}

HandleSuite::~HandleSuite() {
  Deactivate();
  for (Block* b : live_) {
    std::free(b->data);
    delete b;
  }
}

void HandleSuite::Activate() { g_active = this; }
void HandleSuite::Deactivate() {
  if (g_active == this) g_active = nullptr;
}

HandleSuite::Block* HandleSuite::Find(Handle h) const {
  if (!h) return nullptr;
  // Compared by address only: a handle that is not ours is never followed.
  Block* candidate = reinterpret_cast<Block*>(h);
  return live_.count(candidate) ? candidate : nullptr;
}

Handle HandleSuite::New(int32_t size) {
  if (size < 0) return nullptr;
  // malloc(0) may return null; every live block owns at least one byte.
  char* data = static_cast<char*>(std::calloc(size_t(size) + 1, 1));
  if (!data) return nullptr;
  Block* b = new (std::nothrow) Block{data, size};
  if (!b) {
    std::free(data);
    return nullptr;
  }
  // Called from the plug-in's frames: running out of memory is a null handle.
  try {
    live_.insert(b);
  } catch (const std::bad_alloc&) {
    std::free(data);
    delete b;
    return nullptr;
  }
  return &b->data;
}

void HandleSuite::Dispose(Handle h) {
  Block* b = Find(h);
  if (!b) return;
  live_.erase(b);
  std::free(b->data);
  delete b;
}

bool HandleSuite::IsLive(Handle h) const { return Find(h) != nullptr; }

int32_t HandleSuite::SizeOf(Handle h) const {
  const Block* b = Find(h);
  return b ? b->size : -1;
}

OSErr HandleSuite::Resize(Handle h, int32_t size) {
  Block* b = Find(h);
  if (!b) return -109;  // nilHandleErr
  if (size < 0) return -50;  // paramErr
  char* data = static_cast<char*>(std::realloc(b->data, size_t(size) + 1));
  if (!data) return host::kMemFullErr;
  if (size > b->size) std::fill(data + b->size, data + size + 1, char(0));
  b->data = data;
  b->size = size;
  return host::kNoErr;
}

}  // namespace tessaro::cli
