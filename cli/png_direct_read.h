// The common PNG files read without libpng's row machinery: 8-bit RGB and
// RGBA in one pass, the kind editors and this program write.  zlib inflates
// the image data row by row and the rows are unfiltered here, the Paeth
// filter four samples at a time; libpng's general unfiltering took as long as
// the inflating.  Everything else (and anything unexpected) is left to the
// general reader.
#pragma once

#include <cstdint>
#include <vector>

#include "cli/png_io.h"

namespace tessaro::cli {

// `file` holds a PNG file from its first chunk on (the signature left out),
// whose chunk structure and checksums were already checked.  True with the
// picture as straight RGBA; false when the file is of another kind, or
// anything in it does not add up: the caller then reads it the general way,
// which also names what is wrong.  May throw std::bad_alloc.
bool ReadPngDirect(const std::vector<uint8_t>& file, Picture* picture);

// The five row filters undone for one row of `size` bytes with `bpp` bytes
// per pixel (3 or 4), in place, with the row above already unfiltered (zeros
// for the first row).  False for an unknown filter type.
bool UnfilterRow(uint8_t type, uint8_t* row, const uint8_t* above, size_t size, int bpp);

}  // namespace tessaro::cli
