#include "cli/progress_bar.h"

namespace tessaro::cli {

namespace {
constexpr int kCells = 30;

int PercentOf(int32_t done, int32_t total) {
  if (total <= 0) return 0;
  if (done < 0) done = 0;
  if (done > total) done = total;
  return int(int64_t(done) * 100 / total);
}
}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, std::string label)
    : stream_(stream), label_(std::move(label)) {}

ProgressBar::~ProgressBar() { Finish(); }

std::string ProgressBar::Render(const std::string& label, int32_t done, int32_t total, int cells) {
  const int percent = PercentOf(done, total);
  const int filled = percent * cells / 100;
  std::string bar = label + " [";
  bar.append(size_t(filled), '#');
  bar.append(size_t(cells - filled), '-');
  bar += "] ";
  const std::string digits = std::to_string(percent);
  bar.append(3 - digits.size(), ' ');
  return bar + digits + "%";
}

void ProgressBar::Report(int32_t done, int32_t total) {
  const int percent = PercentOf(done, total);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  const std::string frame = Render(label_, done, total, kCells);
  std::fprintf(stream_, "\r%s", frame.c_str());
  std::fflush(stream_);
  drawnWidth_ = frame.size();
}

void ProgressBar::Finish() {
  if (drawnWidth_ == 0) return;
  std::fprintf(stream_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
  std::fflush(stream_);
  drawnWidth_ = 0;
  shownPercent_ = -1;
}

}  // namespace tessaro::cli
