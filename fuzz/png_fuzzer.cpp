// PNG and mask files as anyone may hand them to the command line.  The reader
// either refuses with a reason or gives exactly width x height pixels, and
// the mask made of them has one value per pixel.  Each input is also read
// with its chunk checksums made right, or nearly every mutation would end at
// the checksum test and the decoding behind it would never be reached.
#include <vector>

#include "cli/cli_app.h"
#include "cli/png_chunks.h"
#include "cli/png_io.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace tessaro;

bool RepairChecksums(std::vector<uint8_t>& bytes) {
  bool changed = false;
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const uint64_t length = cli::PngBigEndian32(&bytes[at]);
    if (at + 12 + length > bytes.size()) break;
    const uint32_t crc = cli::PngCrc(&bytes[at + 4], size_t(length) + 4);
    uint8_t* stored = &bytes[at + 8 + length];
    for (int i = 0; i < 4; ++i) {
      const uint8_t b = uint8_t(crc >> (24 - 8 * i));
      changed = changed || stored[i] != b;
      stored[i] = b;
    }
    at += 12 + length;
  }
  return changed;
}

void ReadOne(const uint8_t* data, size_t size) {
  const std::string path = fuzzing::ScratchFolder() + "input.png";
  fuzzing::WriteFile(path, data, size);
  cli::Picture picture;
  std::string error;
  cli::PngFailure failure = cli::PngFailure::None;
  // The host's own limits are far larger; these keep one run in memory.
  const cli::PngLimits limits{4096, 4096};
  if (!cli::ReadPng(path, limits, &picture, &error, &failure)) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(failure != cli::PngFailure::None);
    return;
  }
  FUZZ_CHECK(picture.width >= 1 && picture.height >= 1);
  FUZZ_CHECK(picture.rgba.size() == size_t(picture.width) * picture.height * 4);
  const std::vector<uint8_t> mask = cli::MaskFromPicture(picture.rgba);
  FUZZ_CHECK(mask.size() == size_t(picture.width) * picture.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadOne(data, size);
  std::vector<uint8_t> repaired(data, data + size);
  if (RepairChecksums(repaired)) ReadOne(repaired.data(), repaired.size());
  return 0;
}
