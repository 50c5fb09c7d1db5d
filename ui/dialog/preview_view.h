// The preview pane's window onto the full-size render: where the view sits in
// render pixels, how a drag pans it, and the picture the pane shows.  No
// window here: the pane (preview_bitmap_win) only carries these results to
// the platform, so all of it is checked natively.
//
// Rectangles follow the pane's own convention: the image rectangle is
// inclusive (0, 0, W - 1, H - 1), and a rectangle's width is right - left.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

struct PreviewRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool operator==(const PreviewRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

class PreviewView {
 public:
  // Binds the view image (owned by the dialog) and the extent of the render,
  // centres the view on the image rectangle (or, with keepCentre, on the
  // current view) for a pane of clientWidth x clientHeight, and creates the
  // view image at the view's size.  imageRect is shifted to start at (0, 0),
  // as the caller's rectangle is.  False when the view image could not be
  // created: the pane then shows its waiting text.
  bool SetImage(CDib* viewImage, PreviewRect& imageRect, bool keepCentre, int32_t clientWidth,
                int32_t clientHeight);

  // Moves the view back inside the image rectangle, x and y on their own.
  void ClampView();

  // The dialog centres the view on the object by moving it.
  void MoveView(int32_t dx, int32_t dy);

  // Panning.  BeginDrag says whether a drag started (panning allowed);
  // DragTo moves the view so the picture follows the pointer and says whether
  // the parent must be told (every step while dragging).
  bool BeginDrag(int32_t x, int32_t y);
  bool DragTo(int32_t x, int32_t y);
  void EndDrag() { dragging_ = false; }
  bool Dragging() const { return dragging_; }
  void AllowPanning(bool allowed) { panningAllowed_ = allowed; }

  const PreviewRect& View() const { return view_; }
  const PreviewRect& ImageRect() const { return image_; }
  CDib* ViewImage() const { return viewImage_; }
  int32_t ViewWidth() const { return viewWidth_; }
  int32_t ViewHeight() const { return viewHeight_; }

 private:
  CDib* viewImage_ = nullptr;
  PreviewRect image_;
  PreviewRect view_;
  int32_t viewWidth_ = 0, viewHeight_ = 0;
  bool dragging_ = false;
  bool panningAllowed_ = true;
  int32_t lastX_ = 0, lastY_ = 0;
};

// The rectangle of a render target of targetWidth x targetHeight to draw for
// a view showing `view` (right and bottom exclusive): the view grown by half
// its size on every side, so that short pans need no new render, clipped to
// the target; the whole target when that part would not be much smaller.
DibRect PreviewRenderPart(const DibRect& view, int32_t targetWidth, int32_t targetHeight);
inline bool IsWholeTarget(const DibRect& part, int32_t targetWidth, int32_t targetHeight) {
  return part.left <= 0 && part.top <= 0 && part.right >= targetWidth && part.bottom >= targetHeight;
}

// Where the view picture lands in the pane: centred, possibly partly outside.
struct PreviewPlacement {
  int32_t left, top;
};
PreviewPlacement PlacePreview(int32_t clientWidth, int32_t clientHeight, int32_t viewWidth,
                              int32_t viewHeight);

// The view image as the pane shows it: transparent pixels lose their colour,
// then everything is composited over the opaque background colour (a colour
// value 0x00BBGGRR).  False when there is nothing to show or no memory for
// it; the pane then shows its waiting text.
bool ComposePreviewPicture(const CDib& viewImage, uint32_t background, CDib& picture);

}  // namespace tessaro
