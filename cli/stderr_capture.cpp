#include <cstdio>

#include "cli/platform.h"

namespace tessaro::cli {

namespace {
// A module that says more than this is not saying anything useful.
constexpr size_t kMaxCaptured = 1 << 16;
}  // namespace

StderrCapture::StderrCapture() {
  std::fflush(stderr);
  held_ = OpenScratchFile();
  if (!held_) return;
  savedDescriptor_ = RedirectStandardError(held_);
  if (savedDescriptor_ < 0) {
    std::fclose(held_);
    held_ = nullptr;
    return;
  }
  original_ = OpenStreamOnCopy(savedDescriptor_);
}

StderrCapture::~StderrCapture() { Finish(); }

std::string StderrCapture::Finish() {
  if (savedDescriptor_ < 0) return "";
  std::fflush(stderr);
  RestoreStandardError(savedDescriptor_);
  savedDescriptor_ = -1;
  if (original_) std::fclose(original_);
  original_ = nullptr;
  std::string text;
  std::rewind(held_);
  char buffer[4096];
  for (size_t got; text.size() < kMaxCaptured && (got = std::fread(buffer, 1, sizeof buffer, held_)) > 0;)
    text.append(buffer, got);
  std::fclose(held_);
  held_ = nullptr;
  return text;
}

}  // namespace tessaro::cli
