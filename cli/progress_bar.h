// The progress bar drawn on standard error while the filter renders.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/host_session.h"

namespace tessaro::cli {

class ProgressBar : public ProgressSink {
 public:
  ProgressBar(std::FILE* stream, std::string label);
  ~ProgressBar() override;
  // Redraws only when the shown percentage changes: plug-ins report often.
  void Report(int32_t done, int32_t total) override;
  // Clears the bar, so that messages after it start on a clean line.
  void Finish();

  // One frame of the bar: "label [#####-----]  50%".
  static std::string Render(const std::string& label, int32_t done, int32_t total, int cells);

 private:
  std::FILE* stream_;
  std::string label_;
  int shownPercent_ = -1;
  size_t drawnWidth_ = 0;
};

}  // namespace tessaro::cli
