// The command-line host's own PNG writer.  The picture is cut into bands of
// rows that are filtered and compressed at the same time on several threads,
// each band into a deflate stream of its own that ends on a byte boundary
// with its dictionary flushed, so that the bands joined are one valid zlib
// stream (with the checksums combined).  Every row is Paeth-filtered and the
// bytes run-length coded: libpng's adaptive filter choice tries all five
// filters on every row and took longer than the whole effect, and the single
// filter with run-length coding gave smaller files than libpng at level 1
// (7.9 MB instead of 9.6 MB for the 4000 x 3000 benchmark document).
#pragma once

#include <cstdint>
#include <string>

namespace tessaro::cli {

// 8-bit RGB (channels 3) or RGBA (channels 4) rows, packed, written as a
// non-interlaced PNG on up to `threads` threads (0: TESSARO_THREADS when set
// to 1..64, else one per processor); on
// failure error holds the reason ("cannot write (No space left on device)")
// and the file may be incomplete.
bool WriteBandedPng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                    int channels, std::string* error, unsigned threads = 0);

// How many bands a picture of this many rows of rowBytes bytes is cut into:
// bands of at least a megabyte, at most one per thread and at most 16.
int PngBandCount(uint64_t rowBytes, uint32_t height, unsigned threads);

}  // namespace tessaro::cli
