// Resampling kernels.  A kernel weighs an input sample by its signed distance
// from the position of the output sample in the input; its width bounds the
// support.  Every weight table built from a kernel is normalised, so only the
// ratios of its values matter, never its height.
#pragma once

namespace tessaro {

// A requested width below this selects the kernel's default width: callers
// pass 0 for "no preference".
constexpr double kMinFilterWidth = 1e-5;

class CGenericFilter {
 public:
  explicit CGenericFilter(double width) : width_(width) {}
  virtual ~CGenericFilter() = default;

  double Width() const { return width_; }
  // Kernel value at the signed distance x.
  virtual double Filter(double x) const = 0;

 protected:
  CGenericFilter(const CGenericFilter&) = default;
  CGenericFilter& operator=(const CGenericFilter&) = default;

 private:
  double width_;
};

// exp(-x^2 / width - 1) / sqrt(2 pi) within |x| <= width, 0 beyond: at width
// 10 the weights fall as exp(-d^2 / 10) and reach 10 samples to each side.
class CGaussianFilter final : public CGenericFilter {
 public:
  static constexpr double kDefaultWidth = 3.0;
  explicit CGaussianFilter(double width = kDefaultWidth) : CGenericFilter(width) {}
  double Filter(double x) const override;
};

// A tent: width - |x| within |x| < width, 0 beyond.  Width 1 is linear
// interpolation; below 1 an unscaled pass hits only the centre sample.
class CBilinearFilter final : public CGenericFilter {
 public:
  static constexpr double kDefaultWidth = 0.7;
  explicit CBilinearFilter(double width = kDefaultWidth) : CGenericFilter(width) {}
  double Filter(double x) const override;
};

// The kernel a resampler uses for a requested width.
template <class Kernel>
Kernel MakeFilter(double requestedWidth) {
  return Kernel(requestedWidth < kMinFilterWidth ? Kernel::kDefaultWidth : requestedWidth);
}

}  // namespace tessaro
