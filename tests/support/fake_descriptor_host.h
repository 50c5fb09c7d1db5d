// A scripted stand-in for a host's descriptor and handle procedures: tests
// put keys in, read what the module wrote, and inject the host's failures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/plugin_interface.h"

namespace tessaro::testing {

struct DescriptorEntry {
  uint32_t key = 0;
  uint32_t type = 0;  // 'long' or 'bool'
  int32_t value = 0;
};

class FakeDescriptorHost {
 public:
  FakeDescriptorHost();
  ~FakeDescriptorHost();
  FakeDescriptorHost(const FakeDescriptorHost&) = delete;
  FakeDescriptorHost& operator=(const FakeDescriptorHost&) = delete;

  // Wires the procedures and parameters into a record.
  void Attach(host::FilterRecord& record);

  host::Handle MakeDescriptor(const std::vector<DescriptorEntry>& entries);
  static std::vector<DescriptorEntry> Contents(host::Handle descriptor);

  host::PIDescriptorParameters params{};
  host::ReadDescriptorProcs readProcs{};
  host::WriteDescriptorProcs writeProcs{};
  host::HandleProcs handleProcs{};

  // Failure injection.
  int failGetterAt = -1;        // the getter for this entry index returns an error
  bool failOpenWrite = false;   // open of a write descriptor yields no token
  bool closeWriteYieldsNull = false;

  // Observations.
  int disposed = 0;
  int openReads = 0;
  std::vector<uint32_t> keyArraySeen;  // the key array as passed to open
  int liveHandles = 0;
};

}  // namespace tessaro::testing
