#include "ui/dialog/preview_view.h"

#include <algorithm>
#include <new>

#include "image/pixel.h"

namespace tessaro {

namespace {

int32_t Middle(int32_t low, int32_t high) { return int32_t((int64_t(low) + high) / 2); }

// The platform's rectangle intersection: all zero when nothing overlaps.
PreviewRect Intersect(const PreviewRect& a, const PreviewRect& b) {
  PreviewRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return PreviewRect{};
  return r;
}

// One axis of the clamp: a view as wide as the image takes the image's edges,
// a narrower one is pushed back inside from whichever side it left.
void ClampAxis(int32_t& viewLow, int32_t& viewHigh, int32_t imageLow, int32_t imageHigh) {
  if (viewHigh - viewLow == imageHigh - imageLow) {
    viewLow = imageLow;
    viewHigh = imageHigh;
    return;
  }
  if (viewLow < imageLow) {
    const int32_t d = imageLow - viewLow;
    viewLow += d;
    viewHigh += d;
  }
  if (imageHigh < viewHigh) {
    const int32_t d = viewHigh - imageHigh;
    viewLow -= d;
    viewHigh -= d;
  }
}

}  // namespace

bool PreviewView::SetImage(CDib* viewImage, PreviewRect& imageRect, bool keepCentre,
                           int32_t clientWidth, int32_t clientHeight) {
  viewImage_ = viewImage;
  const int32_t centreX = keepCentre ? Middle(view_.left, view_.right)
                                     : Middle(imageRect.left, imageRect.right);
  const int32_t centreY = keepCentre ? Middle(view_.top, view_.bottom)
                                     : Middle(imageRect.top, imageRect.bottom);
  imageRect = {0, 0, imageRect.right - imageRect.left, imageRect.bottom - imageRect.top};
  image_ = imageRect;

  // The client area inside the pane's frame, then widened by the frame's
  // pixel on the left and top again: the view spans at most the client less
  // one pixel.
  view_ = Intersect({1, 1, clientWidth - 1, clientHeight - 1}, image_);
  view_.left -= 1;
  view_.top -= 1;
  MoveView(centreX - view_.Width() / 2, centreY - view_.Height() / 2);

  viewWidth_ = view_.Width();
  viewHeight_ = view_.Height();
  dragging_ = false;
  return viewImage_ != nullptr && viewImage_->Create(viewWidth_, viewHeight_);
}

void PreviewView::ClampView() {
  ClampAxis(view_.left, view_.right, image_.left, image_.right);
  ClampAxis(view_.top, view_.bottom, image_.top, image_.bottom);
}

void PreviewView::MoveView(int32_t dx, int32_t dy) {
  view_.left += dx;
  view_.right += dx;
  view_.top += dy;
  view_.bottom += dy;
}

DibRect PreviewRenderPart(const DibRect& view, int32_t targetWidth, int32_t targetHeight) {
  const DibRect whole{0, 0, targetWidth, targetHeight};
  const int64_t w = int64_t(view.right) - view.left, h = int64_t(view.bottom) - view.top;
  if (w <= 0 || h <= 0) return whole;
  auto clamp = [](int64_t v, int32_t high) { return int32_t(std::min<int64_t>(std::max<int64_t>(v, 0), high)); };
  const DibRect part{clamp(view.left - w / 2, targetWidth), clamp(view.top - h / 2, targetHeight),
                     clamp(view.right + w / 2, targetWidth), clamp(view.bottom + h / 2, targetHeight)};
  // A part above half the target saves too little for the later full
  // render that panning or OK would need.
  const int64_t partArea = int64_t(part.right - part.left) * (part.bottom - part.top);
  return 2 * partArea >= int64_t(targetWidth) * targetHeight ? whole : part;
}

bool PreviewView::BeginDrag(int32_t x, int32_t y) {
  if (!panningAllowed_) return false;
  dragging_ = true;
  lastX_ = x;
  lastY_ = y;
  return true;
}

bool PreviewView::DragTo(int32_t x, int32_t y) {
  if (!dragging_) return false;
  // Pointer moves are bounded by the screen, so these differences are small.
  MoveView(lastX_ - x, lastY_ - y);
  ClampView();
  lastX_ = x;
  lastY_ = y;
  return true;
}

PreviewPlacement PlacePreview(int32_t clientWidth, int32_t clientHeight, int32_t viewWidth,
                              int32_t viewHeight) {
  return {int32_t((int64_t(clientWidth) - viewWidth) / 2),
          int32_t((int64_t(clientHeight) - viewHeight) / 2)};
}

bool ComposePreviewPicture(const CDib& viewImage, uint32_t background, CDib& picture) {
  const int32_t w = viewImage.Width(), h = viewImage.Height();
  if (w <= 0 || h <= 0 || !picture.Create(w, h)) return false;
  picture.Fill(0xFF000000u | SwapRedBlue(background & 0xFFFFFFu));
  try {
    // At equal size and this width only the centre tap weighs: the pixels
    // come through unchanged, except that fully transparent ones lose the
    // colour they carried, so no stale colour shows through the background.
    CDib resampled;
    viewImage.Stretch(resampled, 0.7);
    picture.BlendSameSize(resampled, 255);
  } catch (const std::bad_alloc&) {
    picture.Destroy();
    return false;
  }
  return true;
}

}  // namespace tessaro
