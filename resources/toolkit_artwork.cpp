#include "resources/toolkit_artwork.h"

#include <cmath>
#include <functional>
#include <utility>

#include "resources/artwork_shapes.h"
#include "resources/icon_file.h"

namespace tessaro::resources {

namespace {

CDib Blank(int size) {
  CDib image;
  image.Create(size, size);
  return image;
}

// A region grown by `by` on every side, for the dark outline drawn under a
// shape: strokes widen, polygons gain rounded corners.
Region GrownStroke(const std::vector<Point>& path, double width, double by) {
  return Stroke(path, width + 2 * by);
}
Region GrownPolygon(const std::vector<Point>& corners, double by) {
  return RoundedPolygon(InsetConvex(corners, -by), by);
}

// Caption glyphs are white with a dark rim, like the caption's title, so they
// read on any caption colour.
CDib CaptionGlyph(const std::vector<std::vector<Point>>& strokes, int size) {
  constexpr double kWidth = 2.0, kRim = 1.1;
  constexpr uint32_t kRimColour = 0xD0202833u, kGlyphColour = 0xFFFFFFFFu;
  CDib image = Blank(size);
  const double s = double(size) / kSmallIconSize;
  Region rim = [](double, double) { return false; };
  Region glyph = rim;
  for (const auto& path : strokes) {
    rim = Union(std::move(rim), GrownStroke(path, kWidth, kRim));
    glyph = Union(std::move(glyph), Stroke(path, kWidth));
  }
  FillRegion(image, rim, Solid(kRimColour), s);
  FillRegion(image, glyph, Solid(kGlyphColour), s);
  return image;
}

}  // namespace

CDib DrawWarningSign(int size) {
  CDib image = Blank(size);
  const double s = double(size) / kMessageIconSize;
  const auto fill = [&](const Region& r, const Paint& p) { FillRegion(image, r, p, s); };
  const std::vector<Point> outline = {{19.0, -0.6}, {38.2, 36.0}, {-0.2, 36.0}};
  // A darker rim keeps the sign's edge on light and on orange backgrounds.
  fill(RoundedPolygon(outline, 3.2), Solid(0xFFB0500Au));
  fill(RoundedPolygon(InsetConvex(outline, 1.25), 2.0),
       VerticalGradient(4.0, 0xFFFFC64Du, 34.0, 0xFFF0870Au));
  // A lighter band inside the rim gives the face a little depth.
  const std::vector<Point> face = InsetConvex(outline, 2.4);
  fill(Difference(RoundedPolygon(InsetConvex(outline, 1.25), 2.0), RoundedPolygon(face, 1.0)),
       Solid(0x40FFFFFFu));
  constexpr uint32_t kMark = 0xFF262019u;
  // The bar narrows downward, as in printed signs.
  fill(Union(Polygon({{16.9, 13.0}, {21.1, 13.0}, {20.2, 24.2}, {17.8, 24.2}}),
             Union(Disc({19.0, 13.0}, 2.1), Disc({19.0, 24.2}, 1.2))),
       Solid(kMark));
  fill(Disc({19.0, 29.3}, 2.2), Solid(kMark));
  return image;
}

CDib DrawQuestionDisc(int size) {
  CDib image = Blank(size);
  const double s = double(size) / kMessageIconSize;
  const auto fill = [&](const Region& r, const Paint& p) { FillRegion(image, r, p, s); };
  const Point centre = {19.0, 19.0};
  fill(Disc(centre, 18.2), Solid(0xFF1A4C8Fu));
  fill(Disc(centre, 17.0), VerticalGradient(2.0, 0xFF6AAEF2u, 36.0, 0xFF1D5FBEu));
  // A soft sheen over the upper half.
  fill(Difference(Disc(centre, 15.6), Disc({19.0, 36.0}, 23.0)),
       VerticalGradient(3.0, 0x50FFFFFFu, 14.0, 0x08FFFFFFu));
  std::vector<Point> hook = Arc({19.0, 14.6}, 5.2, 160.0, -40.0, 40);
  hook.push_back({19.6, 20.6});
  hook.push_back({19.0, 21.8});
  hook.push_back({19.0, 23.2});
  // A faint shadow lifts the white mark off the blue.
  std::vector<Point> shadow;
  for (const Point& p : hook) shadow.push_back({p.x + 0.5, p.y + 0.7});
  fill(Union(Stroke(shadow, 4.0), Disc({19.5, 28.9}, 2.3)), Solid(0x50002050u));
  fill(Union(Stroke(hook, 3.8), Disc({19.0, 28.3}, 2.2)), Solid(0xFFFFFFFFu));
  return image;
}

CDib DrawCheckBox(bool ticked, int size) {
  CDib image = Blank(size);
  const double s = double(size) / kSmallIconSize;
  const auto fill = [&](const Region& r, const Paint& p) { FillRegion(image, r, p, s); };
  // Edges on whole pixels keep the one-pixel frame sharp.
  fill(RoundedRect(1.0, 1.0, 15.0, 15.0, 2.5), Solid(0xFF5C6470u));
  fill(RoundedRect(2.0, 2.0, 14.0, 14.0, 1.5),
       VerticalGradient(2.0, 0xFFFFFFFFu, 14.0, 0xFFDDE3EBu));
  if (ticked) {
    fill(Stroke({{4.4, 8.1}, {6.9, 10.7}, {11.7, 5.0}}, 2.2), Solid(0xFF1B4F91u));
  }
  return image;
}

CDib DrawMenuGlyph(int size) {
  return CaptionGlyph({{{4.5, 6.2}, {8.0, 9.8}, {11.5, 6.2}}}, size);
}

CDib DrawCloseGlyph(int size) {
  return CaptionGlyph({{{4.6, 4.6}, {11.4, 11.4}}, {{11.4, 4.6}, {4.6, 11.4}}}, size);
}

CDib DrawEyedropper(int size) {
  CDib image = Blank(size);
  const double scale = double(size) / kCursorSize;
  const auto fill = [&](const Region& r, const Paint& p) { FillRegion(image, r, p, scale); };
  // Positions along the pipette (s, from the tip towards the top right) and
  // across it (t).
  const Point tip = {kEyedropperHotX + 0.5, kEyedropperHotY + 0.5};
  const double k = std::sqrt(0.5);
  auto at = [&](double s, double t) {
    return Point{tip.x + (s + t) * k, tip.y + (t - s) * k};
  };
  const std::vector<Point> nose = {at(1.4, 0.0), at(5.5, -1.25), at(5.5, 1.25)};
  const std::vector<Point> tube = {at(5.0, 0.0), at(20.0, 0.0)};
  constexpr double kTubeWidth = 3.0;
  const std::vector<Point> collar = {at(19.5, -3.3), at(23.5, -3.3), at(23.5, 3.3), at(19.5, 3.3)};
  const std::vector<Point> bulb = {at(26.0, 0.0), at(33.6, 0.0)};
  constexpr double kBulbWidth = 7.6;

  // One black rim round the whole pipette, reaching the hot spot's pixel.
  Region rim = Union(GrownPolygon(nose, 1.0), GrownStroke(tube, kTubeWidth, 1.0));
  rim = Union(std::move(rim), GrownPolygon(collar, 1.0));
  rim = Union(std::move(rim), GrownStroke(bulb, kBulbWidth, 1.0));
  rim = Union(std::move(rim), Disc(tip, 0.8));
  // A pale halo outside the rim keeps the dark bulb visible on dark pictures.
  Region halo = Union(GrownStroke(tube, kTubeWidth, 2.0), GrownStroke(bulb, kBulbWidth, 2.0));
  halo = Union(std::move(halo), GrownPolygon(collar, 2.0));
  fill(halo, Solid(0x90FFFFFFu));
  fill(rim, Solid(0xFF000000u));

  fill(Stroke(bulb, kBulbWidth), Solid(0xFF3C3F44u));
  fill(Stroke({at(27.0, -1.6), at(33.2, -1.6)}, 1.4), Solid(0x70FFFFFFu));
  fill(RoundedPolygon(collar, 0.6), Solid(0xFF8A9099u));
  fill(Union(Polygon(nose), Stroke(tube, kTubeWidth)), Solid(0xFFFFFFFFu));
  return image;
}

std::vector<ArtworkFile> BuildArtworkFiles() {
  // Every size in both depths, the first size first as the files always had it.
  auto icon = [](const std::function<CDib(int)>& draw, const int (&sizes)[3]) {
    std::vector<CDib> pictures;
    for (int size : sizes) pictures.push_back(draw(size));
    std::vector<IconForm> forms;
    for (const CDib& picture : pictures) {
      forms.push_back({&picture, kPaletteBitCount});
      forms.push_back({&picture, kAlphaBitCount});
    }
    return EncodeIconFile(forms);
  };
  std::vector<ArtworkFile> files;
  files.push_back({"warning.ico", icon(DrawWarningSign, kMessageIconSizes)});
  files.push_back({"question.ico", icon(DrawQuestionDisc, kMessageIconSizes)});
  files.push_back(
      {"check_on.ico", icon([](int n) { return DrawCheckBox(true, n); }, kSmallIconSizes)});
  files.push_back(
      {"check_off.ico", icon([](int n) { return DrawCheckBox(false, n); }, kSmallIconSizes)});
  files.push_back({"caption_menu.ico", icon(DrawMenuGlyph, kSmallIconSizes)});
  files.push_back({"caption_close.ico", icon(DrawCloseGlyph, kSmallIconSizes)});
  std::vector<CDib> cursors;
  for (int size : kCursorSizes) cursors.push_back(DrawEyedropper(size));
  std::vector<CursorForm> cursorForms;
  for (const CDib& picture : cursors) {
    const EyedropperHotSpot hot = EyedropperHotSpotFor(picture.Width());
    cursorForms.push_back({&picture, hot.x, hot.y});
  }
  files.push_back({"eyedropper.cur", EncodeCursorFile(cursorForms)});
  return files;
}

EyedropperHotSpot EyedropperHotSpotFor(int size) {
  // The pixel under the scaled tip's centre.
  const double s = double(size) / kCursorSize;
  return {uint16_t((kEyedropperHotX + 0.5) * s), uint16_t((kEyedropperHotY + 0.5) * s)};
}

}  // namespace tessaro::resources
