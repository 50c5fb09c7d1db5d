#include "cli/descriptor_suite.h"

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace tessaro::cli {

using host::Boolean;
using host::Handle;
using host::OSErr;
using host::PIDescriptorSimpleReference;
using host::PIReadDescriptor;
using host::PIWriteDescriptor;
using host::Str255;

namespace {

using host::kEofErr;  // also when there is no current item: getKey was not called or found none
using host::kParamErr;

DescriptorSuite* g_active = nullptr;

// The procedures are called from the plug-in's frames, which an exception
// must never unwind: running out of memory becomes the interface's own answer,
// an error code or a null token.
template <typename R>
R OutOfMemoryResult() {
  if constexpr (std::is_same_v<R, OSErr>) return host::kMemFullErr;
  else return R{};
}

template <auto Procedure>
struct Guarded;

template <typename R, typename... Args, R (*Procedure)(Args...)>
struct Guarded<Procedure> {
  static R Call(Args... args) noexcept {
    try {
      return Procedure(args...);
    } catch (...) {
      return OutOfMemoryResult<R>();
    }
  }
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

template <typename T>
std::vector<uint8_t> BytesOf(const T& value) {
  std::vector<uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}
template <typename T>
bool ValueOf(const std::vector<uint8_t>& bytes, size_t offset, T* value) {
  if (bytes.size() < offset + sizeof(T)) return false;
  std::memcpy(value, bytes.data() + offset, sizeof(T));
  return true;
}

// ---- Writing ---------------------------------------------------------------------

OSErr Put(PIWriteDescriptor d, uint32_t key, uint32_t type, std::vector<uint8_t> data) {
  DescriptorSuite::Writer* w = g_active ? g_active->FindWriter(d) : nullptr;
  if (!w) return kParamErr;
  w->items.push_back(DescriptorItem{key, type, std::move(data)});
  return host::kNoErr;
}

// The bytes of a handle the plug-in passes in; false when it is not ours.
bool HandleBytes(Handle h, std::vector<uint8_t>* bytes) {
  if (!g_active || !g_active->Handles().IsLive(h)) return false;
  const int32_t size = g_active->Handles().SizeOf(h);
  bytes->assign(reinterpret_cast<uint8_t*>(*h), reinterpret_cast<uint8_t*>(*h) + size);
  return true;
}

PIWriteDescriptor OpenWrite() { return g_active ? g_active->OpenWriter() : nullptr; }

OSErr CloseWrite(PIWriteDescriptor d, Handle* newDescriptor) {
  DescriptorSuite::Writer* w = g_active ? g_active->FindWriter(d) : nullptr;
  if (!w) return kParamErr;
  Handle h = g_active->MakeDescriptor(w->items);
  g_active->CloseWriter(w);
  if (newDescriptor) *newDescriptor = h;
  else g_active->Handles().Dispose(h);
  return h ? host::kNoErr : host::kMemFullErr;
}

OSErr PutInteger(PIWriteDescriptor d, uint32_t key, int32_t value) {
  return Put(d, key, type::kInteger, BytesOf(value));
}
OSErr PutFloat(PIWriteDescriptor d, uint32_t key, const double* value) {
  if (!value) return kParamErr;
  return Put(d, key, type::kFloat, BytesOf(*value));
}
OSErr PutUnitFloat(PIWriteDescriptor d, uint32_t key, uint32_t unit, const double* value) {
  if (!value) return kParamErr;
  std::vector<uint8_t> bytes = BytesOf(unit);
  const std::vector<uint8_t> v = BytesOf(*value);
  bytes.insert(bytes.end(), v.begin(), v.end());
  return Put(d, key, type::kUnitFloat, std::move(bytes));
}
OSErr PutBoolean(PIWriteDescriptor d, uint32_t key, Boolean value) {
  return Put(d, key, type::kBoolean, {uint8_t(value ? 1 : 0)});
}
OSErr PutHandleBytes(PIWriteDescriptor d, uint32_t key, uint32_t type, Handle h) {
  std::vector<uint8_t> bytes;
  if (!HandleBytes(h, &bytes)) return kParamErr;
  return Put(d, key, type, std::move(bytes));
}
OSErr PutText(PIWriteDescriptor d, uint32_t key, Handle text) {
  return PutHandleBytes(d, key, type::kText, text);
}
OSErr PutAlias(PIWriteDescriptor d, uint32_t key, Handle alias) {
  return PutHandleBytes(d, key, type::kAlias, alias);
}
OSErr PutEnumerated(PIWriteDescriptor d, uint32_t key, uint32_t enumType, uint32_t value) {
  std::vector<uint8_t> bytes = BytesOf(enumType);
  const std::vector<uint8_t> v = BytesOf(value);
  bytes.insert(bytes.end(), v.begin(), v.end());
  return Put(d, key, type::kEnumerated, std::move(bytes));
}
OSErr PutClass(PIWriteDescriptor d, uint32_t key, uint32_t classType) {
  return Put(d, key, type::kClass, BytesOf(classType));
}
OSErr PutSimpleReference(PIWriteDescriptor d, uint32_t key, const PIDescriptorSimpleReference* ref) {
  if (!ref) return kParamErr;
  return Put(d, key, type::kReference, BytesOf(*ref));
}
OSErr PutObject(PIWriteDescriptor d, uint32_t key, uint32_t objectType, Handle object) {
  std::vector<uint8_t> bytes;
  if (!HandleBytes(object, &bytes)) return kParamErr;
  std::vector<uint8_t> data = BytesOf(objectType);
  data.insert(data.end(), bytes.begin(), bytes.end());
  return Put(d, key, type::kObject, std::move(data));
}
OSErr PutString(PIWriteDescriptor d, uint32_t key, const unsigned char* pascal) {
  if (!pascal) return kParamErr;
  return Put(d, key, type::kText, std::vector<uint8_t>(pascal + 1, pascal + 1 + pascal[0]));
}
// Lists and scoped values are beyond what this host records.
OSErr PutCount(PIWriteDescriptor, uint32_t, uint32_t) { return host::kHostInsufficientErr; }
OSErr PutScopedClass(PIWriteDescriptor, uint32_t, uint32_t) { return host::kHostInsufficientErr; }
OSErr PutScopedObject(PIWriteDescriptor, uint32_t, uint32_t, Handle) { return host::kHostInsufficientErr; }

// ---- Reading ---------------------------------------------------------------------

PIReadDescriptor OpenRead(Handle descriptor, uint32_t* keys) {
  return g_active ? g_active->OpenReader(descriptor, keys) : nullptr;
}

OSErr CloseRead(PIReadDescriptor d) {
  DescriptorSuite::Reader* r = g_active ? g_active->FindReader(d) : nullptr;
  if (!r) return kParamErr;
  const OSErr worst = r->worst;
  g_active->CloseReader(r);
  return worst;
}

Boolean GetKey(PIReadDescriptor d, uint32_t* key, uint32_t* itemType, int32_t* flags) {
  DescriptorSuite::Reader* r = g_active ? g_active->FindReader(d) : nullptr;
  if (!r || r->next >= r->items.size()) return 0;
  const DescriptorItem& item = r->items[r->next++];
  if (key) *key = item.key;
  if (itemType) *itemType = item.type;
  if (flags) *flags = 0;
  // Keys handed out are crossed off in the plug-in's list, as hosts do.
  for (uint32_t* k = r->keys; k && *k; ++k)
    if (*k == item.key) {
      *k = type::kNull;
      break;
    }
  return 1;
}

// The current item for a getter that accepts `wanted`.  A getter that cannot
// deliver leaves its error for close to report, the first one if several.
const DescriptorItem* Current(PIReadDescriptor d, uint32_t wanted, OSErr* err) {
  DescriptorSuite::Reader* r = g_active ? g_active->FindReader(d) : nullptr;
  if (!r) {
    *err = kParamErr;
    return nullptr;
  }
  *err = host::kNoErr;
  if (r->next == 0) *err = kEofErr;
  else if (r->items[r->next - 1].type != wanted) *err = kParamErr;
  if (*err != host::kNoErr) {
    r->worst = r->worst == host::kNoErr ? *err : r->worst;
    return nullptr;
  }
  return &r->items[r->next - 1];
}

template <typename T>
OSErr GetScalar(PIReadDescriptor d, uint32_t wanted, size_t offset, T* out) {
  OSErr err;
  const DescriptorItem* item = Current(d, wanted, &err);
  if (!item) return err;
  if (!out) return kParamErr;
  return ValueOf(item->data, offset, out) ? host::kNoErr : kParamErr;
}

OSErr GetInteger(PIReadDescriptor d, int32_t* value) {
  return GetScalar(d, type::kInteger, 0, value);
}
OSErr GetFloat(PIReadDescriptor d, double* value) { return GetScalar(d, type::kFloat, 0, value); }
OSErr GetUnitFloat(PIReadDescriptor d, uint32_t* unit, double* value) {
  uint32_t u = 0;
  const OSErr err = GetScalar(d, type::kUnitFloat, 0, &u);
  if (err != host::kNoErr) return err;
  if (unit) *unit = u;
  return GetScalar(d, type::kUnitFloat, 4, value);
}
OSErr GetBoolean(PIReadDescriptor d, Boolean* value) {
  uint8_t b = 0;
  const OSErr err = GetScalar(d, type::kBoolean, 0, &b);
  if (err == host::kNoErr && value) *value = b ? 1 : 0;
  return value ? err : kParamErr;
}
OSErr GetEnumerated(PIReadDescriptor d, uint32_t* value) {
  return GetScalar(d, type::kEnumerated, 4, value);
}
OSErr GetClass(PIReadDescriptor d, uint32_t* value) { return GetScalar(d, type::kClass, 0, value); }
OSErr GetSimpleReference(PIReadDescriptor d, PIDescriptorSimpleReference* ref) {
  return GetScalar(d, type::kReference, 0, ref);
}

// A new handle with bytes of the current item, from offset on.
OSErr GetBytesAsHandle(PIReadDescriptor d, uint32_t wanted, size_t offset, Handle* out) {
  OSErr err;
  const DescriptorItem* item = Current(d, wanted, &err);
  if (!item) return err;
  if (!out || item->data.size() < offset) return kParamErr;
  const size_t size = item->data.size() - offset;
  Handle h = g_active->Handles().New(int32_t(size));
  if (!h) return host::kMemFullErr;
  if (size) std::memcpy(*h, item->data.data() + offset, size);
  *out = h;
  return host::kNoErr;
}
OSErr GetText(PIReadDescriptor d, Handle* text) {
  return GetBytesAsHandle(d, type::kText, 0, text);
}
OSErr GetAlias(PIReadDescriptor d, Handle* alias) {
  return GetBytesAsHandle(d, type::kAlias, 0, alias);
}
OSErr GetObject(PIReadDescriptor d, uint32_t* objectType, Handle* object) {
  uint32_t t = 0;
  const OSErr err = GetScalar(d, type::kObject, 0, &t);
  if (err != host::kNoErr) return err;
  if (objectType) *objectType = t;
  return GetBytesAsHandle(d, type::kObject, 4, object);
}
OSErr GetString(PIReadDescriptor d, Str255* value) {
  OSErr err;
  const DescriptorItem* item = Current(d, type::kText, &err);
  if (!item) return err;
  if (!value) return kParamErr;
  const size_t n = item->data.size() < 255 ? item->data.size() : 255;
  (*value)[0] = static_cast<unsigned char>(n);
  if (n) std::memcpy(*value + 1, item->data.data(), n);
  return host::kNoErr;
}
OSErr GetCount(PIReadDescriptor, uint32_t*) { return host::kHostInsufficientErr; }

OSErr GetPinnedInteger(PIReadDescriptor d, int32_t min, int32_t max, int32_t* value) {
  int32_t v = 0;
  const OSErr err = GetInteger(d, &v);
  if (err != host::kNoErr || !value) return value ? err : kParamErr;
  const int32_t pinned = v < min ? min : v > max ? max : v;
  *value = pinned;
  return pinned == v ? host::kNoErr : host::kCoercedParamErr;
}
OSErr Pin(double v, const double* min, const double* max, double* value) {
  double pinned = v;
  if (min && pinned < *min) pinned = *min;
  if (max && pinned > *max) pinned = *max;
  *value = pinned;
  return pinned == v ? host::kNoErr : host::kCoercedParamErr;
}
OSErr GetPinnedFloat(PIReadDescriptor d, const double* min, const double* max, double* value) {
  double v = 0;
  const OSErr err = GetFloat(d, &v);
  if (err != host::kNoErr || !value) return value ? err : kParamErr;
  return Pin(v, min, max, value);
}
OSErr GetPinnedUnitFloat(PIReadDescriptor d, const double* min, const double* max, uint32_t* unit,
                         double* value) {
  double v = 0;
  const OSErr err = GetUnitFloat(d, unit, &v);
  if (err != host::kNoErr || !value) return value ? err : kParamErr;
  return Pin(v, min, max, value);
}

}  // namespace

DescriptorItem DescriptorItem::Integer(uint32_t key, int32_t value) {
  return DescriptorItem{key, type::kInteger, BytesOf(value)};
}

DescriptorItem DescriptorItem::Bool(uint32_t key, bool value) {
  return DescriptorItem{key, type::kBoolean, {uint8_t(value ? 1 : 0)}};
}

DescriptorSuite::DescriptorSuite(HandleSuite& handles) : handles_(handles) {
  readProcs_.readDescriptorProcsVersion = 0;
  readProcs_.numReadDescriptorProcs = 18;
  readProcs_.openReadDescriptorProc = Guarded<OpenRead>::Call;
  readProcs_.closeReadDescriptorProc = Guarded<CloseRead>::Call;
  readProcs_.getKeyProc = Guarded<GetKey>::Call;
  readProcs_.getIntegerProc = Guarded<GetInteger>::Call;
  readProcs_.getFloatProc = Guarded<GetFloat>::Call;
  readProcs_.getUnitFloatProc = Guarded<GetUnitFloat>::Call;
  readProcs_.getBooleanProc = Guarded<GetBoolean>::Call;
  readProcs_.getTextProc = Guarded<GetText>::Call;
  readProcs_.getAliasProc = Guarded<GetAlias>::Call;
  readProcs_.getEnumeratedProc = Guarded<GetEnumerated>::Call;
  readProcs_.getClassProc = Guarded<GetClass>::Call;
  readProcs_.getSimpleReferenceProc = Guarded<GetSimpleReference>::Call;
  readProcs_.getObjectProc = Guarded<GetObject>::Call;
  readProcs_.getCountProc = Guarded<GetCount>::Call;
  readProcs_.getStringProc = Guarded<GetString>::Call;
  readProcs_.getPinnedIntegerProc = Guarded<GetPinnedInteger>::Call;
  readProcs_.getPinnedFloatProc = Guarded<GetPinnedFloat>::Call;
  readProcs_.getPinnedUnitFloatProc = Guarded<GetPinnedUnitFloat>::Call;

  writeProcs_.writeDescriptorProcsVersion = 0;
  writeProcs_.numWriteDescriptorProcs = 16;
  writeProcs_.openWriteDescriptorProc = Guarded<OpenWrite>::Call;
  writeProcs_.closeWriteDescriptorProc = Guarded<CloseWrite>::Call;
  writeProcs_.putIntegerProc = Guarded<PutInteger>::Call;
  writeProcs_.putFloatProc = Guarded<PutFloat>::Call;
  writeProcs_.putUnitFloatProc = Guarded<PutUnitFloat>::Call;
  writeProcs_.putBooleanProc = Guarded<PutBoolean>::Call;
  writeProcs_.putTextProc = Guarded<PutText>::Call;
  writeProcs_.putAliasProc = Guarded<PutAlias>::Call;
  writeProcs_.putEnumeratedProc = Guarded<PutEnumerated>::Call;
  writeProcs_.putClassProc = Guarded<PutClass>::Call;
  writeProcs_.putSimpleReferenceProc = Guarded<PutSimpleReference>::Call;
  writeProcs_.putObjectProc = Guarded<PutObject>::Call;
  writeProcs_.putCountProc = Guarded<PutCount>::Call;
  writeProcs_.putStringProc = Guarded<PutString>::Call;
  writeProcs_.putScopedClassProc = Guarded<PutScopedClass>::Call;
  writeProcs_.putScopedObjectProc = Guarded<PutScopedObject>::Call;
}

DescriptorSuite::~DescriptorSuite() {
  Deactivate();
  for (Reader* r : readers_) delete r;
  for (Writer* w : writers_) delete w;
}

void DescriptorSuite::Activate() { g_active = this; }
void DescriptorSuite::Deactivate() {
  if (g_active == this) g_active = nullptr;
}

std::vector<uint8_t> DescriptorSuite::Encode(const std::vector<DescriptorItem>& items) {
  std::vector<uint8_t> out;
  for (const DescriptorItem& item : items) {
    PutU32(out, item.key);
    PutU32(out, item.type);
    PutU32(out, uint32_t(item.data.size()));
    out.insert(out.end(), item.data.begin(), item.data.end());
  }
  return out;
}

bool DescriptorSuite::Decode(const uint8_t* bytes, size_t size,
                             std::vector<DescriptorItem>* items) {
  items->clear();
  size_t at = 0;
  while (at < size) {
    if (size - at < 12) return false;
    DescriptorItem item;
    item.key = GetU32(bytes + at);
    item.type = GetU32(bytes + at + 4);
    const uint32_t length = GetU32(bytes + at + 8);
    at += 12;
    if (length > size - at) return false;
    item.data.assign(bytes + at, bytes + at + length);
    at += length;
    items->push_back(std::move(item));
  }
  return true;
}

Handle DescriptorSuite::MakeDescriptor(const std::vector<DescriptorItem>& items) {
  std::vector<uint8_t> bytes;
  try {
    bytes = Encode(items);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (bytes.size() > size_t(INT32_MAX)) return nullptr;
  Handle h = handles_.New(int32_t(bytes.size()));
  if (h && !bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  return h;
}

bool DescriptorSuite::Contents(Handle descriptor, std::vector<DescriptorItem>* items) const {
  if (!handles_.IsLive(descriptor)) return false;
  return Decode(reinterpret_cast<const uint8_t*>(*descriptor),
                size_t(handles_.SizeOf(descriptor)), items);
}

DescriptorSuite::Reader* DescriptorSuite::FindReader(void* token) {
  auto* r = static_cast<Reader*>(token);
  return readers_.count(r) ? r : nullptr;
}

DescriptorSuite::Writer* DescriptorSuite::FindWriter(void* token) {
  auto* w = static_cast<Writer*>(token);
  return writers_.count(w) ? w : nullptr;
}

DescriptorSuite::Reader* DescriptorSuite::OpenReader(Handle descriptor, uint32_t* keys) {
  try {
    auto r = std::make_unique<Reader>();
    if (!Contents(descriptor, &r->items)) return nullptr;
    r->keys = keys;
    readers_.insert(r.get());
    return r.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void DescriptorSuite::CloseReader(Reader* r) {
  readers_.erase(r);
  delete r;
}

DescriptorSuite::Writer* DescriptorSuite::OpenWriter() {
  try {
    auto w = std::make_unique<Writer>();
    writers_.insert(w.get());
    return w.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void DescriptorSuite::CloseWriter(Writer* w) {
  writers_.erase(w);
  delete w;
}

}  // namespace tessaro::cli
