#include "host/plugin_resources.h"

#include <cstring>
#include <string>

#include "host/plugin_interface.h"
#include "settings/effect_settings.h"

namespace tessaro::host {

namespace {

constexpr uint32_t kVendor = FourCC("8BIM");
constexpr uint32_t kSuiteId = FourCC("qmX1");
constexpr uint32_t kEventId = FourCC("tssA");

// Little-endian writer; four-character codes go in as integers, so they appear
// byte-reversed in the file as every Windows host expects.
class ByteWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) {
    U8(uint8_t(v));
    U8(uint8_t(v >> 8));
  }
  void U32(uint32_t v) {
    U16(uint16_t(v));
    U16(uint16_t(v >> 16));
  }
  void Bytes(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
  }
  void Pascal(const char* text) {
    const size_t n = std::strlen(text);
    U8(uint8_t(n));
    Bytes(text, n);
  }
  void CString(const char* text) { Bytes(text, std::strlen(text) + 1); }
  void PadTo4() {
    while (bytes_.size() % 4) U8(0);
  }
  std::vector<uint8_t>& Get() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class PropertyList {
 public:
  void Add(uint32_t key, ByteWriter data) {
    data.PadTo4();  // hosts step by the padded length; some crash on anything else
    body_.U32(kVendor);
    body_.U32(key);
    body_.U32(0);
    body_.U32(uint32_t(data.Get().size()));
    body_.Bytes(data.Get().data(), data.Get().size());
    ++count_;
  }
  std::vector<uint8_t> Finish() {
    ByteWriter out;
    out.U16(1);  // Windows prefix
    out.U32(0);  // version
    out.U32(count_);
    out.Bytes(body_.Get().data(), body_.Get().size());
    return std::move(out.Get());
  }

 private:
  ByteWriter body_;
  uint32_t count_ = 0;
};

// Filter case flags: 0x01 host need not copy the source, 0x02 works on blank
// layers, 0x04 filters layer masks, 0x08 writes outside the selection.
constexpr uint8_t kFlagsWithoutSelection = 0x07;
constexpr uint8_t kFlagsWithSelection = 0x0f;

}  // namespace

uint32_t EntryPointKey(ModuleArchitecture architecture) {
  return architecture == ModuleArchitecture::X86 ? FourCC("wx86") : FourCC("8664");
}

std::vector<uint8_t> BuildPropertyList(ModuleArchitecture architecture) {
  PropertyList list;
  ByteWriter w;

  w = {};
  w.U32(FourCC("8BFM"));
  list.Add(FourCC("kind"), w);

  w = {};
  w.Pascal(kMenuName);
  list.Add(FourCC("name"), w);

  w = {};
  w.Pascal(kCategory);
  list.Add(FourCC("catg"), w);

  w = {};
  w.U32((1u << 16) | 1u);  // interface version 1.1
  list.Add(FourCC("vers"), w);

  w = {};
  w.CString(kEntryPointName);
  list.Add(EntryPointKey(architecture), w);

  w = {};
  w.U32(0);
  w.U32(kSuiteId);
  w.U32(kEventId);
  w.U16(kTerminologyId);
  w.CString(kScriptingScope);
  list.Add(FourCC("hstm"), w);

  w = {};
  w.U8(0x10);  // RGB colour, the only mode
  list.Add(FourCC("mode"), w);

  w = {};
  w.CString(kEnableExpression);
  list.Add(FourCC("enbl"), w);

  w = {};
  w.U8(0x80);
  list.Add(FourCC("flly"), w);

  // One entry per filter case, in case order: flat, flat with selection,
  // floating selection, then the two layer kinds without and with selection.
  w = {};
  const uint8_t caseFlags[7] = {kFlagsWithoutSelection, kFlagsWithSelection, kFlagsWithSelection,
                                kFlagsWithoutSelection, kFlagsWithSelection,
                                kFlagsWithoutSelection, kFlagsWithSelection};
  for (uint8_t flags : caseFlags) {
    w.U8(1);  // input: straight data
    w.U8(1);  // output: straight data
    w.U8(flags);
    w.U8(0);
  }
  list.Add(FourCC("fici"), w);

  return list.Finish();
}

std::vector<uint8_t> BuildTerminology() {
  ByteWriter w;
  w.U16(1);  // Windows prefix
  w.U8(1);   // version 1.0
  w.U8(0);
  w.U16(0);  // language
  w.U16(0);  // script
  w.U16(1);  // one suite

  w.Pascal(kSuiteName);
  w.Pascal(kSuiteDescription);
  w.U32(kSuiteId);
  w.U16(1);  // level
  w.U16(1);  // version
  w.U16(1);  // one event

  w.Pascal(kEventName);
  w.Pascal("");
  w.U32(kSuiteId);
  w.U32(kEventId);

  // Hosts read the reply and direct-parameter descriptions as fixed empty runs.
  w.U32(FourCC("null"));
  w.Pascal("");
  w.U16(0);
  w.U32(FourCC("#ImR"));
  w.Pascal("");
  w.U16(0xB000);

  w.U16(uint16_t(kSettingTable.size()));
  for (const SettingInfo& info : kSettingTable) {
    w.Pascal(info.scriptName);
    w.U32(info.scriptKey);
    w.U32(info.kind == SettingKind::Check ? descriptor_type::kBoolean : descriptor_type::kInteger);
    w.Pascal("");
    w.U16(0);
  }

  w.U16(0);  // classes
  w.U16(0);  // comparison operators
  w.U16(0);  // enumerations
  return std::move(w.Get());
}

}  // namespace tessaro::host
