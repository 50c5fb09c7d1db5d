// The run-time choice between the plain reference implementation of each
// relief stage and its optimised path.  The reference paths are the ones the
// optimised paths are proven against, bit for bit; tests and benchmarks run
// both in one process.  The environment variable TESSARO_REFERENCE=1 selects
// the reference paths from the start (for whole-program measurements).
#pragma once

namespace tessaro {

bool ReferencePathsSelected();
void SelectReferencePaths(bool reference);

// Selects the reference paths for its lifetime and restores the previous
// choice afterwards.
class ScopedReferencePaths {
 public:
  explicit ScopedReferencePaths(bool reference = true) : previous_(ReferencePathsSelected()) {
    SelectReferencePaths(reference);
  }
  ~ScopedReferencePaths() { SelectReferencePaths(previous_); }
  ScopedReferencePaths(const ScopedReferencePaths&) = delete;
  ScopedReferencePaths& operator=(const ScopedReferencePaths&) = delete;

 private:
  bool previous_;
};

}  // namespace tessaro
