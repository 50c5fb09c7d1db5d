#include "cli/png_banded_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessaro::cli {

namespace {

constexpr uint8_t kPaethFilter = 4;
constexpr uint64_t kBytesPerBand = uint64_t(1) << 20;
constexpr int kMaxBands = 16;
// IDAT chunks are limited to 2^31 - 1 bytes; smaller ones cost nothing.
constexpr size_t kMaxChunk = size_t(1) << 24;

// A growing byte buffer whose pages are only touched when written.
class Bytes {
 public:
  uint8_t* data() { return data_.get(); }
  size_t size() const { return size_; }
  uint8_t* SpaceFor(size_t n) {
    if (size_ + n > capacity_) {
      const size_t capacity = std::max(size_ + n, capacity_ + capacity_ / 2 + 4096);
      std::unique_ptr<uint8_t[]> grown(new uint8_t[capacity]);
      if (size_) std::memcpy(grown.get(), data_.get(), size_);
      data_ = std::move(grown);
      capacity_ = capacity;
    }
    return data_.get() + size_;
  }
  void Grow(size_t n) { size_ += n; }
  void Append(const uint8_t* p, size_t n) {
    std::memcpy(SpaceFor(n), p, n);
    Grow(n);
  }

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t size_ = 0, capacity_ = 0;
};

int PaethPredictor(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

#if defined(__SSE2__)
// The predictor for eight samples at once (a, b, c widened to 16 bits):
// pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|, ties as in PaethPredictor.
__m128i PaethPredictor8(__m128i a, __m128i b, __m128i c) {
  auto abs16 = [](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); };
  const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
  const __m128i pa = abs16(bc), pb = abs16(ac), pc = abs16(_mm_add_epi16(bc, ac));
  const __m128i takeA = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc)),
                                         _mm_set1_epi16(-1));
  const __m128i takeB = _mm_andnot_si128(_mm_cmpgt_epi16(pb, pc), _mm_set1_epi16(-1));
  const __m128i bOrC = _mm_or_si128(_mm_and_si128(takeB, b), _mm_andnot_si128(takeB, c));
  return _mm_or_si128(_mm_and_si128(takeA, a), _mm_andnot_si128(takeA, bOrC));
}
#endif

// One row with the Paeth predictor; prior is null for the first row of the
// picture (the predictor then sees zeros above).
void FilterRow(const uint8_t* row, const uint8_t* prior, size_t rowBytes, size_t bpp, uint8_t* out) {
  out[0] = kPaethFilter;
  uint8_t* o = out + 1;
  size_t i = 0;
  if (prior == nullptr) {
    for (; i < rowBytes; ++i) o[i] = uint8_t(row[i] - (i >= bpp ? row[i - bpp] : 0));
    return;
  }
  for (; i < bpp && i < rowBytes; ++i) o[i] = uint8_t(row[i] - prior[i]);
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  auto load8 = [](const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
  for (; i + 8 <= rowBytes; i += 8) {
    const __m128i a = _mm_unpacklo_epi8(load8(row + i - bpp), zero);
    const __m128i b = _mm_unpacklo_epi8(load8(prior + i), zero);
    const __m128i c = _mm_unpacklo_epi8(load8(prior + i - bpp), zero);
    const __m128i predicted = _mm_packus_epi16(PaethPredictor8(a, b, c), zero);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o + i), _mm_sub_epi8(load8(row + i), predicted));
  }
#endif
  for (; i < rowBytes; ++i) o[i] = uint8_t(row[i] - PaethPredictor(row[i - bpp], prior[i], prior[i - bpp]));
}

struct Band {
  uint32_t firstRow = 0, endRow = 0;
  bool last = false;
  Bytes compressed;
  uLong adler = 1;  // of the filtered bytes
  uint64_t filteredBytes = 0;
  bool ok = false;
};

// Runs deflate until it has taken all input (and, when flushing, emitted
// everything), growing the output as needed.
bool Deflate(z_stream& z, int flush, Bytes& out) {
  for (;;) {
    constexpr size_t kStep = size_t(1) << 16;
    z.next_out = out.SpaceFor(kStep);
    z.avail_out = uInt(kStep);
    const int result = deflate(&z, flush);
    out.Grow(kStep - z.avail_out);
    if (result == Z_STREAM_ERROR) return false;
    if (flush == Z_FINISH ? result == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) return true;
  }
}

// The band's rows filtered and compressed into a raw deflate stream that ends
// on a byte boundary (the last band's with the final block).
void CompressBand(const uint8_t* pixels, size_t rowBytes, size_t bpp, Band& band) {
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK) return;
  try {
    std::vector<uint8_t> filtered(rowBytes + 1);
    bool ok = true;
    for (uint32_t y = band.firstRow; ok && y < band.endRow; ++y) {
      const uint8_t* row = pixels + size_t(y) * rowBytes;
      FilterRow(row, y > 0 ? row - rowBytes : nullptr, rowBytes, bpp, filtered.data());
      band.adler = adler32_z(band.adler, filtered.data(), filtered.size());
      band.filteredBytes += filtered.size();
      z.next_in = filtered.data();
      z.avail_in = uInt(filtered.size());
      ok = Deflate(z, Z_NO_FLUSH, band.compressed);
    }
    band.ok = ok && Deflate(z, band.last ? Z_FINISH : Z_SYNC_FLUSH, band.compressed);
  } catch (const std::bad_alloc&) {
    band.ok = false;
  }
  deflateEnd(&z);
}

void PutBigEndian(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

bool WriteChunk(std::FILE* file, const char* type, const uint8_t* data, size_t size) {
  uint8_t head[8];
  PutBigEndian(head, uint32_t(size));
  std::memcpy(head + 4, type, 4);
  uLong crc = crc32_z(0, head + 4, 4);
  if (size) crc = crc32_z(crc, data, size);
  uint8_t tail[4];
  PutBigEndian(tail, uint32_t(crc));
  return std::fwrite(head, 1, 8, file) == 8 && (size == 0 || std::fwrite(data, 1, size, file) == size) &&
         std::fwrite(tail, 1, 4, file) == 4;
}

bool WriteFile(const std::string& path, uint32_t width, uint32_t height, int channels,
               std::vector<Band>& bands, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = std::string("cannot open (") + std::strerror(errno) + ")";
    return false;
  }
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  uint8_t header[13];
  PutBigEndian(header, width);
  PutBigEndian(header + 4, height);
  header[8] = 8;                      // bits per sample
  header[9] = channels == 4 ? 6 : 2;  // RGBA or RGB
  header[10] = header[11] = header[12] = 0;
  bool ok = std::fwrite(kSignature, 1, 8, file) == 8 && WriteChunk(file, "IHDR", header, sizeof header);
  for (Band& band : bands) {
    for (size_t at = 0; ok && at < band.compressed.size(); at += kMaxChunk)
      ok = WriteChunk(file, "IDAT", band.compressed.data() + at, std::min(kMaxChunk, band.compressed.size() - at));
  }
  ok = ok && WriteChunk(file, "IEND", nullptr, 0);
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) {
    *error = std::string("cannot write (") + std::strerror(ok ? errno : writeErrno) + ")";
    return false;
  }
  return true;
}

// TESSARO_THREADS (1 to 64) as for the effect, so that one setting measures
// a whole run on one thread; else one per processor.
unsigned DefaultThreads() {
  const char* text = std::getenv("TESSARO_THREADS");
  const int n = text ? std::atoi(text) : 0;
  if (n >= 1 && n <= 64) return unsigned(n);
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

int PngBandCount(uint64_t rowBytes, uint32_t height, unsigned threads) {
  const uint64_t bytes = (rowBytes + 1) * uint64_t(height);
  uint64_t bands = std::min<uint64_t>({bytes / kBytesPerBand, uint64_t(threads), uint64_t(kMaxBands), height});
  return int(std::max<uint64_t>(bands, 1));
}

bool WriteBandedPng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                    int channels, std::string* error, unsigned threads) {
  if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
    *error = "cannot write PNG (no valid picture size)";
    return false;
  }
  const size_t bpp = size_t(channels), rowBytes = size_t(width) * bpp;
  bool ok = true;
  try {
    if (threads == 0) threads = DefaultThreads();
    const int count = PngBandCount(rowBytes, height, threads);
    std::vector<Band> bands(static_cast<size_t>(count));
    for (int b = 0; b < count; ++b) {
      bands[size_t(b)].firstRow = uint32_t(uint64_t(height) * uint64_t(b) / uint64_t(count));
      bands[size_t(b)].endRow = uint32_t(uint64_t(height) * uint64_t(b + 1) / uint64_t(count));
    }
    bands.back().last = true;
    // The zlib header (32 K window, fastest) before the first band.
    static const uint8_t kZlibHeader[2] = {0x78, 0x01};
    bands.front().compressed.Append(kZlibHeader, 2);

    std::vector<std::thread> helpers;
    for (size_t b = 1; b < bands.size(); ++b) {
      try {
        helpers.emplace_back(CompressBand, pixels, rowBytes, bpp, std::ref(bands[b]));
      } catch (...) {
        CompressBand(pixels, rowBytes, bpp, bands[b]);  // no thread to be had: here
      }
    }
    CompressBand(pixels, rowBytes, bpp, bands[0]);
    for (std::thread& t : helpers) t.join();

    uLong adler = bands[0].adler;
    for (size_t b = 0; b < bands.size(); ++b) {
      ok = ok && bands[b].ok;
      if (b > 0) adler = adler32_combine(adler, bands[b].adler, z_off_t(bands[b].filteredBytes));
    }
    if (ok) {
      uint8_t trailer[4];
      PutBigEndian(trailer, uint32_t(adler));
      bands.back().compressed.Append(trailer, 4);
      return WriteFile(path, width, height, channels, bands, error);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  *error = "cannot write PNG (out of memory)";
  return false;
}

}  // namespace tessaro::cli
