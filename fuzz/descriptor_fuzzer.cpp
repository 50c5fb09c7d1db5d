// The replayed descriptor as any host may present it: tables of any length
// with procedures missing, keys and types in any order, getters that fail,
// readings that end early.  The module must read only the slots the host's
// counts allow, leave every value in its range, and free the descriptor once.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzz/fuzz_support.h"
#include "host/scripting.h"
#include "host/suite_slots.h"

namespace {

using namespace tessaro;
using namespace tessaro::host;

struct Host {
  FuzzedDataProvider* in = nullptr;
  int16_t readCount = 18, writeCount = 16, handleCount = 8;
  int opened = 0, closed = 0, disposed = 0, keysLeft = 0;
  std::vector<uint32_t> keys;
};
Host* g = nullptr;

constexpr uint32_t kTypes[] = {FourCC("long"), FourCC("bool"), FourCC("doub"), FourCC("TEXT"),
                               FourCC("enum"), 0};

// Calling a slot the host's count excludes is the fault this target hunts.
void Slot(int16_t count, int16_t slot) { FUZZ_CHECK(HostTableHasSlot(count, slot)); }

PIReadDescriptor OpenRead(Handle, uint32_t* keyArray) {
  Slot(g->readCount, 1);
  FUZZ_CHECK(keyArray != nullptr);
  size_t n = 0;
  while (keyArray[n] != 0) ++n;
  FUZZ_CHECK(n == kSettingCount);
  for (size_t i = 0; i < n; ++i) keyArray[i] = FourCC("null");  // hosts scribble here
  ++g->opened;
  return g->in->ConsumeBool() ? reinterpret_cast<PIReadDescriptor>(g) : nullptr;
}
OSErr CloseRead(PIReadDescriptor) {
  Slot(g->readCount, 2);
  ++g->closed;
  return g->in->ConsumeIntegral<int16_t>();
}
Boolean GetKey(PIReadDescriptor, uint32_t* key, uint32_t* type, int32_t* flags) {
  Slot(g->readCount, 3);
  if (g->keysLeft-- <= 0 || !g->in->remaining_bytes()) return false;
  const auto& table = kSettingTable;
  *key = g->in->ConsumeBool() ? table[g->in->ConsumeIntegralInRange<size_t>(0, table.size() - 1)].scriptKey
                              : g->in->ConsumeIntegral<uint32_t>();
  *type = g->in->PickValueInArray(kTypes);
  *flags = g->in->ConsumeIntegral<int32_t>();
  return true;
}
OSErr Result() {
  const int16_t pick = g->in->ConsumeIntegralInRange<int16_t>(0, 5);
  return pick <= 2 ? 0 : pick == 3 ? 2 : pick == 4 ? -1715 : g->in->ConsumeIntegral<int16_t>();
}
OSErr GetInteger(PIReadDescriptor, int32_t* value) {
  Slot(g->readCount, 4);
  *value = g->in->ConsumeIntegral<int32_t>();
  return Result();
}
OSErr GetBoolean(PIReadDescriptor, Boolean* value) {
  Slot(g->readCount, 7);
  *value = g->in->ConsumeIntegral<uint8_t>();
  return Result();
}

PIWriteDescriptor OpenWrite() {
  Slot(g->writeCount, 1);
  return g->in->ConsumeBool() ? reinterpret_cast<PIWriteDescriptor>(g) : nullptr;
}
OSErr CloseWrite(PIWriteDescriptor, Handle* out) {
  Slot(g->writeCount, 2);
  *out = g->in->ConsumeBool() ? reinterpret_cast<Handle>(&g->keys) : nullptr;
  return 0;
}
OSErr PutInteger(PIWriteDescriptor, uint32_t key, int32_t) {
  Slot(g->writeCount, 3);
  g->keys.push_back(key);
  return Result();
}
OSErr PutBoolean(PIWriteDescriptor, uint32_t key, Boolean value) {
  Slot(g->writeCount, 6);
  FUZZ_CHECK(value == 0 || value == 1);
  g->keys.push_back(key);
  return Result();
}
void Dispose(Handle) {
  Slot(g->handleCount, 2);
  ++g->disposed;
}

int16_t Count(FuzzedDataProvider& in, int16_t full) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return 0;
    case 1: return full;
    case 2: return in.ConsumeIntegralInRange<int16_t>(1, full);
    default: return in.ConsumeIntegral<int16_t>();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Host host;
  host.in = &in;
  g = &host;
  host.readCount = Count(in, 18);
  host.writeCount = Count(in, 16);
  host.handleCount = Count(in, 8);
  host.keysLeft = in.ConsumeIntegralInRange(0, 40);

  ReadDescriptorProcs read{};
  read.numReadDescriptorProcs = host.readCount;
  WriteDescriptorProcs write{};
  write.numWriteDescriptorProcs = host.writeCount;
  HandleProcs handles{};
  handles.numHandleProcs = host.handleCount;
  // Each procedure present or missing, as hosts differ.
  if (in.ConsumeBool()) read.openReadDescriptorProc = OpenRead;
  if (in.ConsumeBool()) read.closeReadDescriptorProc = CloseRead;
  if (in.ConsumeBool()) read.getKeyProc = GetKey;
  if (in.ConsumeBool()) read.getIntegerProc = GetInteger;
  if (in.ConsumeBool()) read.getBooleanProc = GetBoolean;
  if (in.ConsumeBool()) write.openWriteDescriptorProc = OpenWrite;
  if (in.ConsumeBool()) write.closeWriteDescriptorProc = CloseWrite;
  if (in.ConsumeBool()) write.putIntegerProc = PutInteger;
  if (in.ConsumeBool()) write.putBooleanProc = PutBoolean;
  if (in.ConsumeBool()) handles.disposeProc = Dispose;

  PIDescriptorParameters params{};
  params.playInfo = in.ConsumeIntegral<int16_t>();
  params.recordInfo = 7;
  uint8_t descriptorBytes = 0;
  params.descriptor = in.ConsumeBool() ? reinterpret_cast<Handle>(&descriptorBytes) : nullptr;
  if (in.ConsumeBool()) params.readDescriptorProcs = &read;
  if (in.ConsumeBool()) params.writeDescriptorProcs = &write;
  FilterRecord record{};
  if (in.ConsumeBool()) record.descriptorParameters = &params;
  if (in.ConsumeBool()) record.handleProcs = &handles;

  int messages = 0;
  const SystemMessageFn message = [&](const char*) { ++messages; };
  EffectSettings settings = EffectSettings::Defaults();
  const Handle given = params.descriptor;
  const int result = ReadDescriptor(record, settings, message);
  FUZZ_CHECK(result == kNoDescriptor || result == kShowDialog || result == kDontShowDialog);
  FUZZ_CHECK(host.closed <= host.opened && host.opened <= 1);
  FUZZ_CHECK(host.disposed <= 1);
  if (host.disposed) FUZZ_CHECK(params.descriptor == nullptr);
  if (result == kNoDescriptor) FUZZ_CHECK(params.descriptor == given);
  for (const SettingInfo& info : kSettingTable) {
    const int32_t v = settings.Get(info.id);
    if (info.kind == SettingKind::Slider) FUZZ_CHECK(v >= info.min && v <= info.max);
    if (info.kind == SettingKind::Check) FUZZ_CHECK(v == 0 || v == 1);
  }

  host.disposed = 0;
  WriteDescriptor(record, settings, message);
  FUZZ_CHECK(host.disposed <= 1);
  FUZZ_CHECK(host.keys.size() <= kSettingCount);
  g = nullptr;
  return 0;
}
