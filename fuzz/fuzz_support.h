// What the fuzz targets share: a private scratch folder for the readers that
// take file names, and a way to stop at a broken promise.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tessaro::fuzzing {

// A folder of this process's own, so that parallel fuzzing jobs never share
// files.  Ends with a separator.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const std::filesystem::path p = std::filesystem::temp_directory_path() /
                                    ("tessaro-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                      ("tessaro-fuzz-" + std::to_string(getpid())),
                                  ignored);
    });
    return p.string() + "/";
  }();
  return folder;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

// A property the code under test must keep; its failure is a finding.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

}  // namespace tessaro::fuzzing
