// The one-pass reader of 8-bit RGB and RGBA files against pictures libpng
// wrote with each row filter forced, and with the image data cut into chunks
// of every size down to one byte.
#if !defined(_WIN32)
#include <png.h>

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "cli/png_chunks.h"
#include "cli/png_direct_read.h"

namespace tessaro::testing {
namespace {

void OnError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
void OnWarning(png_structp, png_const_charp) {}
void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void Flush(png_structp) {}

bool Encode(png_structp png, png_infop info, std::vector<uint8_t>* out, const std::vector<png_bytep>& rows,
            uint32_t w, int channels, int filter) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, Append, Flush);
  png_set_IHDR(png, info, w, uint32_t(rows.size()), 8, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, filter);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  return true;
}

std::vector<uint8_t> EncodeWithLibpng(const std::vector<uint8_t>& samples, uint32_t w, uint32_t h, int channels,
                                      int filter) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(h);
  for (uint32_t y = 0; y < h; ++y) rows[y] = const_cast<png_bytep>(&samples[size_t(y) * w * size_t(channels)]);
  const bool ok = Encode(png, info, &out, rows, w, channels, filter);
  png_destroy_write_struct(&png, &info);
  return ok ? out : std::vector<uint8_t>{};
}

void AppendChunk(std::vector<uint8_t>& file, const char* type, const uint8_t* data, size_t size) {
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(size >> shift));
  const size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), data, data + size);
  const uint32_t crc = cli::PngCrc(&file[start], file.size() - start);
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(crc >> shift));
}

// The chunks after the signature, with all image data joined and cut again
// into chunks of `piece` bytes.
std::vector<uint8_t> Rechunked(const std::vector<uint8_t>& png, size_t piece) {
  std::vector<uint8_t> data, out;
  size_t at = 8;
  for (; at + 12 <= png.size(); at += 12 + cli::PngBigEndian32(&png[at])) {
    const size_t length = cli::PngBigEndian32(&png[at]);
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
      data.insert(data.end(), &png[at + 8], &png[at + 8] + length);
    } else if (std::memcmp(&png[at + 4], "IEND", 4) == 0) {
      for (size_t i = 0; i < data.size(); i += piece)
        AppendChunk(out, "IDAT", &data[i], std::min(piece, data.size() - i));
      out.insert(out.end(), &png[at], &png[at] + 12);
    } else {
      out.insert(out.end(), &png[at], &png[at] + 12 + length);
    }
  }
  return out;
}

TEST(PngDirectRead, EveryFilterAndChunkingGivesTheWrittenPixels) {
  constexpr uint32_t w = 61, h = 9;
  for (const int channels : {3, 4}) {
    std::vector<uint8_t> samples(size_t(w) * h * size_t(channels));
    uint32_t seed = 5;
    for (size_t i = 0; i < samples.size(); ++i) {
      seed = seed * 1103515245u + 12345u;
      // Noise beside flat stretches and steps, so every predictor case occurs.
      samples[i] = (i / 37) % 3 == 0 ? uint8_t(seed >> 24) : uint8_t((i / 97) * 40);
    }
    std::vector<uint8_t> expected(size_t(w) * h * 4, 255);
    for (size_t p = 0; p < size_t(w) * h; ++p)
      std::memcpy(&expected[4 * p], &samples[p * size_t(channels)], size_t(channels));
    for (const int filter : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                             PNG_ALL_FILTERS}) {
      const std::vector<uint8_t> png = EncodeWithLibpng(samples, w, h, channels, filter);
      ASSERT_FALSE(png.empty());
      for (const size_t piece : {size_t(1 << 20), size_t(1), size_t(7)}) {
        cli::Picture picture;
        ASSERT_TRUE(cli::ReadPngDirect(Rechunked(png, piece), &picture))
            << channels << " channels, filter " << filter << ", pieces of " << piece;
        EXPECT_EQ(picture.width, w);
        EXPECT_EQ(picture.height, h);
        EXPECT_EQ(picture.rgba, expected) << channels << " channels, filter " << filter << ", pieces of " << piece;
      }
    }
  }
}

// Whatever does not add up is left to the general reader, which names it.
TEST(PngDirectRead, ShortOrForeignDataIsLeftToTheGeneralReader) {
  std::vector<uint8_t> samples(size_t(20) * 4 * 4, 77);
  const std::vector<uint8_t> png = EncodeWithLibpng(samples, 20, 4, 4, PNG_FILTER_PAETH);
  std::vector<uint8_t> chunks = Rechunked(png, 1 << 20);
  cli::Picture picture;
  ASSERT_TRUE(cli::ReadPngDirect(chunks, &picture));
  // The image data cut short: the rows cannot all be filled.
  size_t idat = 0;
  while (std::memcmp(&chunks[idat + 4], "IDAT", 4) != 0) idat += 12 + cli::PngBigEndian32(&chunks[idat]);
  const size_t length = cli::PngBigEndian32(&chunks[idat]);
  std::vector<uint8_t> cut(chunks.begin(), chunks.begin() + long(idat));
  AppendChunk(cut, "IDAT", &chunks[idat + 8], length / 2);
  cut.insert(cut.end(), chunks.end() - 12, chunks.end());
  EXPECT_FALSE(cli::ReadPngDirect(cut, &picture));
  // An unknown row filter.
  std::vector<uint8_t> rows(size_t(20) * 4 + 1, 9);
  EXPECT_FALSE(cli::UnfilterRow(5, rows.data(), rows.data(), 80, 4));
}

}  // namespace
}  // namespace tessaro::testing
#endif
