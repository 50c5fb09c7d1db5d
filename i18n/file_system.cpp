#include "i18n/file_system.h"

namespace tessaro::i18n {

bool ReadInChunks(const ReadSomeFn& readSome, size_t maxBytes, std::string& bytes, bool& truncated) {
  constexpr size_t kChunk = 64 * 1024;
  size_t got = 0;
  do {
    const size_t want = maxBytes - bytes.size() < kChunk ? maxBytes - bytes.size() : kChunk;
    const size_t old = bytes.size();
    bytes.resize(old + want);
    if (!readSome(&bytes[0] + old, want, got)) {
      bytes.clear();
      return false;
    }
    bytes.resize(old + got);
  } while (got > 0 && bytes.size() < maxBytes);

  char extra = 0;
  if (bytes.size() == maxBytes && readSome(&extra, 1, got)) truncated = got > 0;
  return true;
}

}  // namespace tessaro::i18n
