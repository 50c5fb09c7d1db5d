// The host's scripting descriptors: keyed, typed values in a host handle, with
// the read and write procedures a plug-in uses on them.
//
// A descriptor handle holds its items back to back: key, type and length as
// 32-bit little-endian integers, then the value's bytes.  Only the host looks
// inside; the plug-in sees handles and procedures.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "cli/handle_suite.h"
#include "host/plugin_interface.h"

namespace tessaro::cli {

namespace type = host::descriptor_type;

struct DescriptorItem {
  uint32_t key = 0;
  uint32_t type = 0;
  std::vector<uint8_t> data;

  static DescriptorItem Integer(uint32_t key, int32_t value);
  static DescriptorItem Bool(uint32_t key, bool value);
};

class DescriptorSuite {
 public:
  explicit DescriptorSuite(HandleSuite& handles);
  ~DescriptorSuite();  // ends every reading and writing the plug-in left open
  DescriptorSuite(const DescriptorSuite&) = delete;
  DescriptorSuite& operator=(const DescriptorSuite&) = delete;

  host::ReadDescriptorProcs* ReadProcs() { return &readProcs_; }
  host::WriteDescriptorProcs* WriteProcs() { return &writeProcs_; }
  void Activate();
  void Deactivate();

  // A new host handle holding the items; null when memory runs out.
  host::Handle MakeDescriptor(const std::vector<DescriptorItem>& items);
  // The items of a descriptor handle; false for a handle that is not a live
  // one of ours or whose bytes are not a descriptor.
  bool Contents(host::Handle descriptor, std::vector<DescriptorItem>* items) const;

  static std::vector<uint8_t> Encode(const std::vector<DescriptorItem>& items);
  static bool Decode(const uint8_t* bytes, size_t size, std::vector<DescriptorItem>* items);

  // What the procedures work on; public for the procedures only.
  struct Reader {
    std::vector<DescriptorItem> items;
    size_t next = 0;  // the current item, whose value the getters return, is next - 1
    uint32_t* keys = nullptr;
    host::OSErr worst = host::kNoErr;
  };
  struct Writer {
    std::vector<DescriptorItem> items;
  };
  Reader* FindReader(void* token);
  Writer* FindWriter(void* token);
  Reader* OpenReader(host::Handle descriptor, uint32_t* keys);
  void CloseReader(Reader* r);
  Writer* OpenWriter();
  void CloseWriter(Writer* w);
  HandleSuite& Handles() { return handles_; }

 private:
  HandleSuite& handles_;
  host::ReadDescriptorProcs readProcs_{};
  host::WriteDescriptorProcs writeProcs_{};
  std::unordered_set<Reader*> readers_;
  std::unordered_set<Writer*> writers_;
};

}  // namespace tessaro::cli
