// PNG and mask files as anyone may hand them to the command line.  The reader
// either refuses with a reason or gives exactly width x height pixels, and
// the mask made of them has one value per pixel.
#include "cli/cli_app.h"
#include "cli/png_io.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaro;
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
    return 0;
  }
  FUZZ_CHECK(picture.width >= 1 && picture.height >= 1);
  FUZZ_CHECK(picture.rgba.size() == size_t(picture.width) * picture.height * 4);
  const std::vector<uint8_t> mask = cli::MaskFromPicture(picture.rgba);
  FUZZ_CHECK(mask.size() == size_t(picture.width) * picture.height);
  return 0;
}
