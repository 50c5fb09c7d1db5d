#include <errno.h>
#include <png.h>
#include <sys/stat.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "cli/png_banded_writer.h"
#include "cli/png_chunks.h"
#include "cli/png_direct_read.h"
#include "cli/png_io.h"

namespace tessaro::cli {

namespace {

// libpng reports errors by jumping back to where the call began.  The
// functions that set the jump point create no C++ object after it, so the
// jump skips nothing that needs destroying.
struct ErrorSink {
  char message[200];
  int systemError;  // errno when libpng gave up, for a reason people can act on
};

void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
  sink->systemError = errno;
  std::snprintf(sink->message, sizeof sink->message, "%s", message ? message : "libpng error");
  longjmp(png_jmpbuf(png), 1);
}
void OnWarning(png_structp, png_const_charp) {}

struct Geometry {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0;
  size_t rowBytes = 0;
};

bool ReadRows(png_structp png, png_infop info, std::FILE* file, std::vector<uint8_t>* raw,
              std::vector<png_bytep>* rows, Geometry* g) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_sig_bytes(png, 8);
  // Every chunk's checksum was verified by the scan before (CheckPngStream),
  // which also names the damaged chunk; a second check here only costs time.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  // Our own limits decide; libpng's defaults would refuse wide pictures.
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_read_info(png, info);
  g->width = png_get_image_width(png, info);
  g->height = png_get_image_height(png, info);
  png_set_expand(png);  // palette to RGB, low bit depths to 8, keys to alpha
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);  // no-op where alpha exists
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  g->bitDepth = png_get_bit_depth(png, info);
  g->rowBytes = png_get_rowbytes(png, info);
  raw->resize(g->rowBytes * g->height);
  rows->resize(g->height);
  for (png_uint_32 y = 0; y < g->height; ++y) (*rows)[y] = raw->data() + y * g->rowBytes;
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

// TESSARO_PNG_LEVEL (0 to 9) writes through libpng at that zlib level, with
// its adaptive choice of a filter per row; without it the banded writer below
// is used.
bool ChosenLevel(int* level) {
  const char* text = std::getenv("TESSARO_PNG_LEVEL");
  if (!text || text[0] < '0' || text[0] > '9' || text[1] != 0) return false;
  *level = text[0] - '0';
  return true;
}

bool WriteRows(png_structp png, png_infop info, std::FILE* file, png_bytepp rows, uint32_t width,
               uint32_t height, int channels) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  int level = 6;
  ChosenLevel(&level);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, width, height, 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

std::string OpenError() { return std::string("cannot open (") + std::strerror(errno) + ")"; }

// The kind of file first: a folder opens as a file here but reads nothing.
bool CheckFile(std::FILE* file, const PngLimits& limits, std::string* error,
               PngFailure* failure) {
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && !S_ISREG(status.st_mode))
    return RefusePng(PngFailure::NotAFile,
                     S_ISDIR(status.st_mode) ? "is a folder, not a PNG file" : "is not a regular file",
                     error, failure);
  const ByteSource source = [file](uint8_t* buffer, size_t size) {
    return std::fread(buffer, 1, size, file);
  };
  if (!CheckPngStream(source, limits, error, failure)) return false;
  if (std::fseek(file, 8, SEEK_SET) != 0)
    return RefusePng(PngFailure::CannotOpen, OpenError(), error, failure);
  return true;
}

}  // namespace

bool ReadPng(const std::string& path, const PngLimits& limits, Picture* picture,
             std::string* error, PngFailure* failure) {
  if (failure) *failure = PngFailure::None;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return RefusePng(PngFailure::CannotOpen, OpenError(), error, failure);
  if (!CheckFile(file, limits, error, failure)) {
    std::fclose(file);
    return false;
  }

  // The common kinds are read from memory in one pass; a file of any other
  // kind goes through libpng, and so does one whose bytes cannot be held as
  // well.  The picture's own memory running out is the failure it is.
  {
    std::vector<uint8_t> bytes;
    struct stat status {};
    try {
      if (fstat(fileno(file), &status) == 0 && status.st_size > 8) bytes.resize(size_t(status.st_size) - 8);
    } catch (const std::bad_alloc&) {
      bytes = {};
    }
    bool direct = false;
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size()) {
      try {
        direct = ReadPngDirect(bytes, picture);
      } catch (const std::bad_alloc&) {
        std::fclose(file);
        return RefusePng(PngFailure::OutOfMemory, "too large for the memory available", error, failure);
      }
    }
    if (direct) {
      std::fclose(file);
      return true;
    }
  }
  if (std::fseek(file, 8, SEEK_SET) != 0) {
    std::fclose(file);
    return RefusePng(PngFailure::CannotOpen, OpenError(), error, failure);
  }

  ErrorSink sink{};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<uint8_t> raw;
  std::vector<png_bytep> rows;
  Geometry g;
  bool ok = false;
  if (info) {
    try {
      ok = ReadRows(png, info, file, &raw, &rows, &g);
      if (!ok)
        RefusePng(PngFailure::Damaged, std::string("not a readable PNG file (") + sink.message + ")",
               error, failure);
    } catch (const std::bad_alloc&) {
      RefusePng(PngFailure::OutOfMemory, "too large for the memory available", error, failure);
    }
  } else {
    RefusePng(PngFailure::OutOfMemory, "out of memory", error, failure);
  }
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  std::fclose(file);
  if (!ok) return false;

  // The rows become the picture where they are: a second buffer of the
  // picture's size could fail where the first one fitted.
  const size_t samples = size_t(g.width) * g.height * 4;
  if (g.bitDepth == 16) {
    // Sample i is written at i and read from 2i and 2i + 1, never behind.
    for (size_t i = 0; i < samples; ++i)
      raw[i] = Reduce16To8(uint32_t(raw[2 * i]) << 8 | raw[2 * i + 1]);
  }
  raw.resize(samples);  // shrinks the 16-bit rows; allocates nothing
  picture->width = g.width;
  picture->height = g.height;
  picture->rgba = std::move(raw);
  return true;
}

bool WritePng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
              int channels, std::string* error) {
  int level = 0;
  if (!ChosenLevel(&level)) return WriteBandedPng(path, pixels, width, height, channels, error);
  // Taken before the file exists, so that a failure leaves nothing to clean up.
  std::vector<png_bytep> rows;
  try {
    rows.resize(height);
  } catch (const std::bad_alloc&) {
    *error = "cannot write PNG (out of memory)";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = OpenError();
    return false;
  }
  ErrorSink sink{};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  for (uint32_t y = 0; y < height; ++y)
    rows[y] = const_cast<png_bytep>(pixels + size_t(y) * width * size_t(channels));
  const bool ok = info && WriteRows(png, info, file, rows.data(), width, height, channels);
  // A write refused by the system (a full disk, a size limit) is reported
  // as the system's reason, not as the library's summary of it.
  if (!ok)
    *error = !info ? "cannot write PNG (out of memory)"
             : sink.systemError && std::strcmp(sink.message, "Write Error") == 0
                 ? std::string("cannot write (") + std::strerror(sink.systemError) + ")"
                 : std::string("cannot write PNG (") + sink.message + ")";
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  const bool closed = std::fclose(file) == 0;
  if (ok && !closed) *error = std::string("cannot write (") + std::strerror(errno) + ")";
  return ok && closed;
}

}  // namespace tessaro::cli
