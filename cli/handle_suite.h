// The host's handle procedures: movable memory blocks as a plug-in sees them,
// kept here as plain heap blocks.  A handle points at the block's data
// pointer, so `*h` is the block as hosts hand it out.
//
// The procedures carry no context argument; they act on the one suite that is
// active.  Handles the suite never made are ignored, not followed, so a
// confused plug-in cannot make the host write through a stray pointer.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "host/plugin_interface.h"

namespace tessaro::cli {

class HandleSuite {
 public:
  HandleSuite();
  ~HandleSuite();  // frees every handle still alive
  HandleSuite(const HandleSuite&) = delete;
  HandleSuite& operator=(const HandleSuite&) = delete;

  // The table for the record; its procedures act on the active suite.
  host::HandleProcs* Procs() { return &procs_; }
  void Activate();
  void Deactivate();

  // The same operations for the host's own use.
  host::Handle New(int32_t size);
  void Dispose(host::Handle h);
  bool IsLive(host::Handle h) const;
  int32_t SizeOf(host::Handle h) const;  // -1 for a handle that is not ours
  host::OSErr Resize(host::Handle h, int32_t size);
  size_t LiveCount() const { return live_.size(); }

 private:
  struct Block;
  Block* Find(host::Handle h) const;

  host::HandleProcs procs_{};
  std::unordered_set<Block*> live_;
};

}  // namespace tessaro::cli
