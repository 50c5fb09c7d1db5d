// Anti-aliased drawing with fractional coordinates for the module's icons and
// cursor.  CDib's own shapes sit on whole pixels, which is too coarse for a
// 16-pixel glyph; here a region is any point test, and a pixel's coverage is
// the share of a 16 x 16 grid of sample points inside it.
//
// Coordinates are in pixels: pixel (i, j) covers [i, i + 1) x [j, j + 1), so
// its centre is (i + 0.5, j + 0.5).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "image/dib.h"

namespace tessaro::resources {

struct Point {
  double x, y;
};

using Region = std::function<bool(double x, double y)>;
// The colour (0xAARRGGBB, straight alpha) to paint at a point.
using Paint = std::function<uint32_t(double x, double y)>;

constexpr int kCoverageSamples = 16;  // per axis

Region Disc(Point centre, double radius);
// Non-zero winding, so the corners may come in either order.
Region Polygon(std::vector<Point> corners);
// Every point within width / 2 of the path: round ends and joins.
Region Stroke(std::vector<Point> path, double width);
// The convex polygon with each corner rounded to the radius; straight edges
// stay where they are.  Corners must be in one turning direction.
Region RoundedPolygon(const std::vector<Point>& corners, double radius);
Region RoundedRect(double left, double top, double right, double bottom, double radius);
Region Union(Region a, Region b);
Region Difference(Region a, Region b);

// Points along the circular arc from angle `from` to `to` (degrees,
// anticlockwise on screen, 0 pointing right), both ends included.
std::vector<Point> Arc(Point centre, double radius, double from, double to, int steps);

// A convex polygon moved inward by distance on every edge (outward when
// distance is negative).
std::vector<Point> InsetConvex(const std::vector<Point>& corners, double distance);

Paint Solid(uint32_t colour);
// From `top` at y = y0 to `bottom` at y = y1, held beyond the ends.
Paint VerticalGradient(double y0, uint32_t top, double y1, uint32_t bottom);

// Composites paint over the image through the region's coverage.  With a
// scale the region and the paint are drawn that many times larger: shapes
// made for one size give every other.
void FillRegion(CDib& image, const Region& region, const Paint& paint, double scale = 1.0);

}  // namespace tessaro::resources
