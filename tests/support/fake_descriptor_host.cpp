#include "tests/support/fake_descriptor_host.h"

namespace tessaro::testing {

namespace {

using host::Boolean;
using host::Handle;
using host::OSErr;

FakeDescriptorHost* g_host = nullptr;

struct Reader {
  std::vector<DescriptorEntry> entries;
  size_t next = 0;  // entry whose value the next getter returns is next - 1
};

struct Writer {
  std::vector<DescriptorEntry> entries;
};

Handle NewHandle(const std::vector<DescriptorEntry>& entries) {
  auto* data = new std::vector<DescriptorEntry>(entries);
  auto* h = new char*(reinterpret_cast<char*>(data));
  ++g_host->liveHandles;
  return h;
}

std::vector<DescriptorEntry>* DataOf(Handle h) {
  return reinterpret_cast<std::vector<DescriptorEntry>*>(*h);
}

void Dispose(Handle h) {
  if (!h) return;
  ++g_host->disposed;
  --g_host->liveHandles;
  delete DataOf(h);
  delete h;
}

void* OpenRead(Handle descriptor, uint32_t* keys) {
  ++g_host->openReads;
  g_host->keyArraySeen.clear();
  // Like a real host, overwrite the entries while walking them: the array
  // must be the module's writable copy.
  for (uint32_t* k = keys; k && *k; ++k) {
    g_host->keyArraySeen.push_back(*k);
    *k = 0x6E756C6C;  // 'null'
  }
  auto* reader = new Reader;
  reader->entries = *DataOf(descriptor);
  return reader;
}

OSErr CloseRead(void* token) {
  delete static_cast<Reader*>(token);
  return 0;
}

Boolean GetKey(void* token, uint32_t* key, uint32_t* type, int32_t* flags) {
  auto* r = static_cast<Reader*>(token);
  if (r->next >= r->entries.size()) return 0;
  const DescriptorEntry& e = r->entries[r->next++];
  *key = e.key;
  *type = e.type;
  *flags = 0;
  return 1;
}

const DescriptorEntry* Current(void* token, OSErr& err) {
  auto* r = static_cast<Reader*>(token);
  const size_t index = r->next - 1;
  err = static_cast<int>(index) == g_host->failGetterAt ? OSErr(-1715) : OSErr(0);
  return &r->entries[index];
}

OSErr GetInteger(void* token, int32_t* value) {
  OSErr err;
  const DescriptorEntry* e = Current(token, err);
  if (err == 0) *value = e->value;
  return err;
}

OSErr GetBoolean(void* token, Boolean* value) {
  OSErr err;
  const DescriptorEntry* e = Current(token, err);
  if (err == 0) *value = Boolean(e->value ? 1 : 0);
  return err;
}

void* OpenWrite() { return g_host->failOpenWrite ? nullptr : new Writer; }

OSErr PutInteger(void* token, uint32_t key, int32_t value) {
  static_cast<Writer*>(token)->entries.push_back({key, 0x6C6F6E67, value});  // 'long'
  return 0;
}

OSErr PutBoolean(void* token, uint32_t key, Boolean value) {
  static_cast<Writer*>(token)->entries.push_back({key, 0x626F6F6C, value ? 1 : 0});  // 'bool'
  return 0;
}

OSErr CloseWrite(void* token, Handle* out) {
  auto* w = static_cast<Writer*>(token);
  *out = g_host->closeWriteYieldsNull ? nullptr : NewHandle(w->entries);
  delete w;
  return 0;
}

}  // namespace

FakeDescriptorHost::FakeDescriptorHost() {
  g_host = this;
  readProcs.readDescriptorProcsVersion = 0;
  readProcs.numReadDescriptorProcs = 18;
  readProcs.openReadDescriptorProc = OpenRead;
  readProcs.closeReadDescriptorProc = CloseRead;
  readProcs.getKeyProc = GetKey;
  readProcs.getIntegerProc = GetInteger;
  readProcs.getBooleanProc = GetBoolean;
  writeProcs.numWriteDescriptorProcs = 16;
  writeProcs.openWriteDescriptorProc = OpenWrite;
  writeProcs.closeWriteDescriptorProc = CloseWrite;
  writeProcs.putIntegerProc = PutInteger;
  writeProcs.putBooleanProc = PutBoolean;
  handleProcs.handleProcsVersion = 1;
  handleProcs.numHandleProcs = 8;
  handleProcs.disposeProc = Dispose;
  params.readDescriptorProcs = &readProcs;
  params.writeDescriptorProcs = &writeProcs;
}

FakeDescriptorHost::~FakeDescriptorHost() {
  if (params.descriptor) Dispose(params.descriptor);
  g_host = nullptr;
}

void FakeDescriptorHost::Attach(host::FilterRecord& record) {
  record.descriptorParameters = &params;
  record.handleProcs = &handleProcs;
}

host::Handle FakeDescriptorHost::MakeDescriptor(const std::vector<DescriptorEntry>& entries) {
  return NewHandle(entries);
}

std::vector<DescriptorEntry> FakeDescriptorHost::Contents(host::Handle descriptor) {
  return descriptor ? *DataOf(descriptor) : std::vector<DescriptorEntry>{};
}

}  // namespace tessaro::testing
