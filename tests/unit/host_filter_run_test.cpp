#include <gtest/gtest.h>

#include <vector>

#include "host/filter_run.h"
#include "image/dib.h"
#include "image/pixel.h"

namespace tessaro::host {
namespace {

// Buffers laid out as a host lays them out, with row padding.
struct HostImage {
  int32_t w, h, planes;
  int32_t rowBytes;
  std::vector<uint8_t> in, out, mask;

  HostImage(int32_t width, int32_t height, int32_t p, bool withMask)
      : w(width), h(height), planes(p), rowBytes(width * p + 3),
        in(size_t(rowBytes) * height, 0), out(size_t(rowBytes) * height, 0xEE),
        mask(withMask ? size_t(width + 1) * height : 0, 0) {}

  uint8_t* In(int x, int y) { return &in[size_t(y) * rowBytes + size_t(x) * planes]; }
  uint8_t* Out(int x, int y) { return &out[size_t(y) * rowBytes + size_t(x) * planes]; }
  uint8_t& Mask(int x, int y) { return mask[size_t(y) * (w + 1) + x]; }

  HostPixels View(uint8_t bgR = 255, uint8_t bgG = 255, uint8_t bgB = 255) {
    HostPixels p;
    p.width = w;
    p.height = h;
    p.planes = planes;
    p.in = in.data();
    p.inRowBytes = rowBytes;
    p.out = out.data();
    p.outRowBytes = rowBytes;
    if (!mask.empty()) {
      p.mask = mask.data();
      p.maskRowBytes = w + 1;
    }
    p.background[0] = bgR;
    p.background[1] = bgG;
    p.background[2] = bgB;
    return p;
  }
};

TEST(FilterRunRequestTest, AsksForEverythingInOnePiece) {
  FilterRecord r{};
  r.filterRect = Rect16{10, 20, 110, 220};
  r.filterCase = 5;  // layer with editable transparency and a selection
  r.planes = 3;
  r.haveMask = 1;
  r.autoMask = 1;
  RequestWholeImage(r);
  EXPECT_EQ(r.planes, 4);
  EXPECT_EQ(r.inHiPlane, 3);
  EXPECT_EQ(r.outHiPlane, 3);
  EXPECT_EQ(r.inLoPlane, 0);
  EXPECT_EQ(r.autoMask, 0);
  EXPECT_EQ(r.inRect.bottom, 110);
  EXPECT_EQ(r.outRect.right, 220);
  EXPECT_EQ(r.maskRect.left, 20);

  FilterRecord flat{};
  flat.filterRect = Rect16{0, 0, 5, 5};
  flat.filterCase = 1;
  flat.planes = 3;
  RequestWholeImage(flat);
  EXPECT_EQ(flat.planes, 3);
  EXPECT_EQ(flat.inHiPlane, 2);
  EXPECT_EQ(flat.maskRect.right, 0) << "no mask without a selection";

  FilterRecord big{};
  BigDocumentStruct doc{};
  doc.filterRect32 = VRect{0, 0, 40000, 50000};
  big.bigDocumentData = &doc;
  big.planes = 4;
  RequestWholeImage(big);
  EXPECT_EQ(doc.inRect32.bottom, 40000);
  EXPECT_EQ(doc.outRect32.right, 50000);
  EXPECT_EQ(doc.PluginUsing32BitCoordinates, 1);
}

TEST(FilterRunRequestTest, BuffersAreCheckedInOrder) {
  FilterRecord r{};
  uint8_t byte = 0;
  r.haveMask = 1;
  EXPECT_EQ(CheckBuffers(r), BufferCheck::NoOutput);
  r.outData = &byte;
  EXPECT_EQ(CheckBuffers(r), BufferCheck::NoInput);
  r.inData = &byte;
  EXPECT_EQ(CheckBuffers(r), BufferCheck::NoMask);
  r.maskData = &byte;
  EXPECT_EQ(CheckBuffers(r), BufferCheck::Ok);
  r.haveMask = 0;
  r.maskData = nullptr;
  EXPECT_EQ(CheckBuffers(r), BufferCheck::Ok);
}

TEST(FilterRunRequestTest, UnreadableLayoutsAreRefusedWithAText) {
  std::vector<uint8_t> buffer(100);
  FilterRecord r{};
  r.filterRect = Rect16{0, 0, 4, 4};
  r.planes = 4;
  r.inData = r.outData = buffer.data();
  r.inRowBytes = r.outRowBytes = 15;  // less than 4 pixels of 4 planes
  EXPECT_ANY_THROW(ViewOfBuffers(r));
  r.inRowBytes = r.outRowBytes = 16;
  EXPECT_NO_THROW(ViewOfBuffers(r));
  r.planes = 2;
  EXPECT_ANY_THROW(ViewOfBuffers(r));
  r.planes = 4;
  r.filterRect = Rect16{0, 0, 0, 4};
  EXPECT_ANY_THROW(ViewOfBuffers(r));
}

TEST(ObjectBoundsTest, LayerTransparencyGivesTheBoxWithAClampedMargin) {
  HostImage img(20, 10, 4, false);
  img.In(5, 3)[3] = 255;
  img.In(9, 6)[3] = 1;
  ObjectBounds b;
  ASSERT_EQ(FindObjectBounds(img.View(), b), BoundsResult::Found);
  EXPECT_EQ(b.imageWidth, 20);
  EXPECT_EQ(b.imageHeight, 10);
  EXPECT_EQ(b.left, 3);
  EXPECT_EQ(b.top, 1);
  EXPECT_EQ(b.right, 11);
  EXPECT_EQ(b.bottom, 8);
  EXPECT_EQ(b.width(), 9);
  EXPECT_EQ(b.height(), 8);

  // An object touching every edge: the margin is clamped on all four sides.
  img.In(0, 0)[3] = 10;
  img.In(19, 9)[3] = 10;
  ASSERT_EQ(FindObjectBounds(img.View(), b), BoundsResult::Found);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 19);
  EXPECT_EQ(b.bottom, 9);
}

TEST(ObjectBoundsTest, RefusalsForMissingSelectionAndThinObjects) {
  HostImage flat(8, 8, 3, false);
  ObjectBounds b;
  EXPECT_EQ(FindObjectBounds(flat.View(), b), BoundsResult::NoSelection);

  HostImage row(8, 8, 4, false);
  for (int x = 0; x < 8; ++x) row.In(x, 4)[3] = 255;
  EXPECT_EQ(FindObjectBounds(row.View(), b), BoundsResult::Empty);
  HostImage none(8, 8, 4, false);
  EXPECT_EQ(FindObjectBounds(none.View(), b), BoundsResult::Empty);

  // The selection weights the transparency: opaque pixels outside it do not count.
  HostImage selected(8, 8, 4, true);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) selected.In(x, y)[3] = 255;
  selected.Mask(2, 2) = 255;
  selected.Mask(3, 3) = 1;  // 255 * 1 / 255 = 1: still covered
  ASSERT_EQ(FindObjectBounds(selected.View(), b), BoundsResult::Found);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.right, 5);

  // A flat image whose selection is empty still runs, on the corner pixel.
  HostImage flatMasked(8, 8, 3, true);
  ASSERT_EQ(FindObjectBounds(flatMasked.View(), b), BoundsResult::Found);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 2);
  EXPECT_EQ(b.bottom, 2);
}

CDib Render(int w, int h, uint32_t fill) {
  CDib d;
  d.Create(w, h);
  d.Fill(fill);
  return d;
}

TEST(CompositeTest, LayerWithoutSelectionClearsEverythingButTheRender) {
  HostImage img(4, 3, 4, false);
  for (auto& v : img.in) v = 200;
  CDib render = Render(4, 3, 0);
  render.SetPixel(1, 1, 0xFF102030);
  render.SetPixel(2, 1, 0x80FF0000);
  CompositeResult(img.View(), render);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint8_t* o = img.Out(x, y);
      if (y == 1 && x == 1) {
        EXPECT_EQ(o[0], 0x10);
        EXPECT_EQ(o[1], 0x20);
        EXPECT_EQ(o[2], 0x30);
        EXPECT_EQ(o[3], 255);
      } else if (y == 1 && x == 2) {
        EXPECT_EQ(o[0], 255);
        EXPECT_EQ(o[3], 0x80) << "over transparency the render is kept as it is";
      } else {
        EXPECT_EQ(o[0] | o[1] | o[2] | o[3], 0) << x << "," << y;
      }
    }
  // Row padding is the host's and stays untouched.
  EXPECT_EQ(img.out[size_t(img.rowBytes) - 1], 0xEE);
}

TEST(CompositeTest, FlatImageWithSelectionTakesTheBackgroundColour) {
  HostImage black(2, 1, 3, true);
  black.Mask(0, 0) = 128;
  black.Mask(1, 0) = 0;
  CompositeResult(black.View(255, 255, 255), Render(2, 1, 0));
  EXPECT_EQ(black.Out(0, 0)[0], 128) << "white background over a black pixel";
  EXPECT_EQ(black.Out(1, 0)[0], 0) << "unselected keeps the image";

  HostImage white(1, 1, 3, true);
  for (auto& v : white.in) v = 255;
  white.Mask(0, 0) = 128;
  CompositeResult(white.View(0, 0, 0), Render(1, 1, 0));
  EXPECT_EQ(white.Out(0, 0)[0], 127) << "black background over a white pixel";

  HostImage full(1, 1, 3, true);
  full.Mask(0, 0) = 255;
  CompositeResult(full.View(10, 20, 30), Render(1, 1, 0x80FFFFFF));
  // Background (10,20,30) with the half-transparent white render over it.
  const uint32_t expected = BlendPixelOver(MakePixel(255, 10, 20, 30), 0x80FFFFFF);
  EXPECT_EQ(full.Out(0, 0)[0], PixelRed(expected));
  EXPECT_EQ(full.Out(0, 0)[1], PixelGreen(expected));
  EXPECT_EQ(full.Out(0, 0)[2], PixelBlue(expected));
}

TEST(CompositeTest, LayerWithSelectionReducesTransparencyInsideTheSelection) {
  HostImage img(3, 1, 4, true);
  for (int x = 0; x < 3; ++x) {
    img.In(x, 0)[0] = 50;
    img.In(x, 0)[3] = 200;
  }
  img.Mask(0, 0) = 255;
  img.Mask(1, 0) = 128;
  img.Mask(2, 0) = 0;
  // The host was told not to copy the source: the output starts as garbage.
  CompositeResult(img.View(), Render(3, 1, 0));
  EXPECT_EQ(img.Out(0, 0)[3], 0);
  EXPECT_EQ(img.Out(1, 0)[3], 200 * 127 / 255);
  EXPECT_EQ(img.Out(2, 0)[3], 200) << "unselected pixels keep their transparency";
  EXPECT_EQ(img.Out(0, 0)[0], 50) << "colours are kept";
  EXPECT_EQ(img.Out(2, 0)[0], 50);
}

}  // namespace
}  // namespace tessaro::host
