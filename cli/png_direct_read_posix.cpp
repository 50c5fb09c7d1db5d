#include "cli/png_direct_read.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "cli/png_chunks.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tessaro::cli {

namespace {

uint8_t PaethPredictor(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  return uint8_t(pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
}

void UnpaethBytes(uint8_t* row, const uint8_t* above, size_t size, int bpp) {
  for (size_t i = 0; i < size; ++i) {
    const int a = i >= size_t(bpp) ? row[i - size_t(bpp)] : 0;
    const int c = i >= size_t(bpp) ? above[i - size_t(bpp)] : 0;
    row[i] = uint8_t(row[i] + PaethPredictor(a, above[i], c));
  }
}

#ifdef __SSE2__
__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }
__m128i Choose(__m128i mask, __m128i ifSet, __m128i otherwise) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// One pixel of four samples at a time, in 16-bit lanes: each depends on the
// pixel before it, so the lanes are the samples, not the pixels.
void UnpaethFour(uint8_t* row, const uint8_t* above, size_t size) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero, c = zero;  // the pixel to the left, and the one above it
  for (size_t i = 0; i + 4 <= size; i += 4) {
    uint32_t up, here;
    std::memcpy(&up, above + i, 4);
    std::memcpy(&here, row + i, 4);
    const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(up)), zero);
    const __m128i x = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(here)), zero);
    const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
    const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i predicted = Choose(notA, Choose(_mm_cmpgt_epi16(pb, pc), c, b), a);
    const __m128i out = _mm_and_si128(_mm_add_epi16(x, predicted), _mm_set1_epi16(0xFF));
    const uint32_t bytes = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, zero)));
    std::memcpy(row + i, &bytes, 4);
    a = out;
    c = b;
  }
}
#endif

// Fills exactly `size` bytes of out from the image data, taking the IDAT
// chunks one after the other.
class ImageData {
 public:
  ImageData(const std::vector<uint8_t>& file, std::vector<std::pair<size_t, size_t>> spans)
      : file_(file), spans_(std::move(spans)) {}
  ~ImageData() {
    if (open_) inflateEnd(&z_);
  }
  ImageData(const ImageData&) = delete;
  ImageData& operator=(const ImageData&) = delete;

  // Checks the zlib header and opens a raw inflate behind it.  The stream's
  // Adler-32 is not checked: the chunk checksums already were.
  bool Open() {
    uint8_t header[2];
    for (uint8_t& b : header) {
      if (!NextByte(&b)) return false;
    }
    if ((header[0] & 0x0F) != 8 || (header[0] >> 4) > 7 || (header[0] * 256 + header[1]) % 31 != 0 ||
        (header[1] & 0x20) != 0) {
      return false;
    }
    if (inflateInit2(&z_, -15) != Z_OK) return false;
    open_ = true;
    return true;
  }

  bool Fill(uint8_t* out, size_t size) {
    z_.next_out = out;
    z_.avail_out = uInt(size);
    while (z_.avail_out > 0) {
      if (z_.avail_in == 0 && !NextSpan()) return false;
      const int result = inflate(&z_, Z_NO_FLUSH);
      if (result == Z_STREAM_END) return z_.avail_out == 0;
      if (result != Z_OK) return false;
    }
    return true;
  }

 private:
  bool NextSpan() {
    while (span_ < spans_.size()) {
      const auto [at, length] = spans_[span_++];
      const size_t skip = taken_;
      taken_ = 0;
      if (length <= skip) continue;
      z_.next_in = const_cast<Bytef*>(file_.data() + at + skip);
      z_.avail_in = uInt(length - skip);
      return true;
    }
    return false;
  }
  // The header bytes, before the stream is opened.
  bool NextByte(uint8_t* b) {
    while (span_ < spans_.size()) {
      const auto [at, length] = spans_[span_];
      if (taken_ < length) {
        *b = file_[at + taken_++];
        return true;
      }
      ++span_;
      taken_ = 0;
    }
    return false;
  }

  const std::vector<uint8_t>& file_;
  std::vector<std::pair<size_t, size_t>> spans_;  // offset and length of each IDAT's data
  size_t span_ = 0;
  size_t taken_ = 0;  // of the current span, before the stream was opened
  z_stream z_{};
  bool open_ = false;
};

}  // namespace

bool UnfilterRow(uint8_t type, uint8_t* row, const uint8_t* above, size_t size, int bpp) {
  const size_t step = size_t(bpp);
  switch (type) {
    case 0: return true;
    case 1:
      for (size_t i = step; i < size; ++i) row[i] = uint8_t(row[i] + row[i - step]);
      return true;
    case 2:
      for (size_t i = 0; i < size; ++i) row[i] = uint8_t(row[i] + above[i]);
      return true;
    case 3:
      for (size_t i = 0; i < size; ++i) {
        const int left = i >= step ? row[i - step] : 0;
        row[i] = uint8_t(row[i] + ((left + above[i]) >> 1));
      }
      return true;
    case 4:
#ifdef __SSE2__
      if (bpp == 4) {
        UnpaethFour(row, above, size);
        return true;
      }
#endif
      UnpaethBytes(row, above, size, bpp);
      return true;
    default: return false;
  }
}

bool ReadPngDirect(const std::vector<uint8_t>& file, Picture* picture) {
  uint32_t width = 0, height = 0;
  uint8_t depth = 0, colourType = 0, interlace = 0;
  bool colourKey = false;
  std::vector<std::pair<size_t, size_t>> spans;
  for (size_t at = 0; file.size() - at >= 12;) {
    const size_t length = PngBigEndian32(&file[at]);
    if (length > file.size() - at - 12) return false;
    const char* type = reinterpret_cast<const char*>(&file[at + 4]);
    const uint8_t* body = &file[at + 8];
    if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
      width = PngBigEndian32(body);
      height = PngBigEndian32(body + 4);
      depth = body[8];
      colourType = body[9];
      interlace = body[12];
      if (body[10] != 0 || body[11] != 0) return false;
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      colourKey = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      spans.emplace_back(at + 8, length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    at += 12 + length;
  }
  // RGB with a colour key turns the key transparent: the general reader's work.
  if (width == 0 || height == 0 || depth != 8 || interlace != 0 || spans.empty() ||
      !(colourType == 6 || (colourType == 2 && !colourKey))) {
    return false;
  }
  const int bpp = colourType == 6 ? 4 : 3;
  if (uint64_t(width) * height > (uint64_t(SIZE_MAX) >> 3) / 4) return false;
  const size_t rowBytes = size_t(width) * size_t(bpp);

  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  std::vector<uint8_t> zeros(rowBytes, 0), previous(bpp == 3 ? rowBytes : 0),
      current(bpp == 3 ? rowBytes : 0);
  ImageData data(file, std::move(spans));
  if (!data.Open()) return false;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t filter = 0;
    // Four samples a pixel are unfiltered where they belong; three go
    // through a row of their own and gain an opaque alpha.
    uint8_t* row = bpp == 4 ? rgba.data() + size_t(y) * rowBytes : current.data();
    const uint8_t* above =
        y == 0 ? zeros.data() : (bpp == 4 ? rgba.data() + size_t(y - 1) * rowBytes : previous.data());
    if (!data.Fill(&filter, 1) || !data.Fill(row, rowBytes)) return false;
    if (!UnfilterRow(filter, row, above, rowBytes, bpp)) return false;
    if (bpp == 3) {
      uint8_t* out = rgba.data() + size_t(y) * size_t(width) * 4;
      for (size_t x = 0; x < width; ++x) {
        out[4 * x] = row[3 * x];
        out[4 * x + 1] = row[3 * x + 1];
        out[4 * x + 2] = row[3 * x + 2];
        out[4 * x + 3] = 255;
      }
      previous.swap(current);
    }
  }
  picture->width = width;
  picture->height = height;
  picture->rgba = std::move(rgba);
  return true;
}

}  // namespace tessaro::cli
