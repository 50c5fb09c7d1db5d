// Independent readers of the plug-in property list and scripting terminology,
// written the way a host walks them (unaligned little-endian reads).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tessaro::testing {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  size_t offset() const { return pos_; }
  size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  uint8_t U8() {
    if (!Need(1)) return 0;
    return data_[pos_++];
  }
  uint16_t U16() {
    uint16_t lo = U8();
    return uint16_t(lo | (uint16_t(U8()) << 8));
  }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (uint32_t(U16()) << 16);
  }
  std::string Pascal() {
    const uint8_t n = U8();
    return Chars(n);
  }
  std::string Chars(size_t n) {
    if (!Need(n)) return {};
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  std::vector<uint8_t> Bytes(size_t n) {
    if (!Need(n)) return {};
    std::vector<uint8_t> v(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return v;
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || size_ - pos_ < n) ok_ = false;
    return ok_;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

struct PiplProperty {
  uint32_t vendor = 0, key = 0, id = 0, length = 0;
  std::vector<uint8_t> data;
};

struct PiplResource {
  uint16_t prefix = 0;
  uint32_t version = 0;
  uint32_t count = 0;
  std::vector<PiplProperty> properties;
  bool walkedToEnd = false;  // the last property ends exactly at the end

  const PiplProperty* Find(uint32_t key) const {
    for (const auto& p : properties)
      if (p.key == key) return &p;
    return nullptr;
  }
};

inline PiplResource ReadPipl(const uint8_t* data, size_t size) {
  PiplResource r;
  ByteReader in(data, size);
  r.prefix = in.U16();
  r.version = in.U32();
  r.count = in.U32();
  for (uint32_t i = 0; i < r.count && in.ok() && i < 1000; ++i) {
    PiplProperty p;
    p.vendor = in.U32();
    p.key = in.U32();
    p.id = in.U32();
    p.length = in.U32();
    p.data = in.Bytes(p.length);
    if (!in.ok()) break;
    r.properties.push_back(std::move(p));
  }
  r.walkedToEnd = in.ok() && in.remaining() == 0;
  return r;
}

struct AeteParameter {
  std::string name, description;
  uint32_t key = 0, type = 0;
  uint16_t flags = 0;
};

struct AeteResource {
  uint16_t prefix = 0;
  uint8_t major = 0, minor = 0;
  uint16_t language = 0, script = 0, suiteCount = 0;
  std::string suiteName, suiteDescription;
  uint32_t suiteId = 0;
  uint16_t suiteLevel = 0, suiteVersion = 0, eventCount = 0;
  std::string eventName, eventDescription;
  uint32_t eventClass = 0, eventId = 0;
  uint32_t replyType = 0;
  std::string replyDescription;
  uint16_t replyFlags = 0;
  uint32_t directType = 0;
  std::string directDescription;
  uint16_t directFlags = 0;
  std::vector<AeteParameter> parameters;
  uint16_t classCount = 0xFFFF, comparisonCount = 0xFFFF, enumerationCount = 0xFFFF;
  bool walkedToEnd = false;
};

// Reads the one-suite, one-event form; anything else leaves walkedToEnd false.
inline AeteResource ReadAete(const uint8_t* data, size_t size) {
  AeteResource a;
  ByteReader in(data, size);
  a.prefix = in.U16();
  a.major = in.U8();
  a.minor = in.U8();
  a.language = in.U16();
  a.script = in.U16();
  a.suiteCount = in.U16();
  a.suiteName = in.Pascal();
  a.suiteDescription = in.Pascal();
  a.suiteId = in.U32();
  a.suiteLevel = in.U16();
  a.suiteVersion = in.U16();
  a.eventCount = in.U16();
  a.eventName = in.Pascal();
  a.eventDescription = in.Pascal();
  a.eventClass = in.U32();
  a.eventId = in.U32();
  a.replyType = in.U32();
  a.replyDescription = in.Pascal();
  a.replyFlags = in.U16();
  a.directType = in.U32();
  a.directDescription = in.Pascal();
  a.directFlags = in.U16();
  const uint16_t n = in.U16();
  for (uint16_t i = 0; i < n && in.ok(); ++i) {
    AeteParameter p;
    p.name = in.Pascal();
    p.key = in.U32();
    p.type = in.U32();
    p.description = in.Pascal();
    p.flags = in.U16();
    if (in.ok()) a.parameters.push_back(p);
  }
  a.classCount = in.U16();
  a.comparisonCount = in.U16();
  a.enumerationCount = in.U16();
  a.walkedToEnd = in.ok() && in.remaining() == 0;
  return a;
}

}  // namespace tessaro::testing
