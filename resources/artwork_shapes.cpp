#include "resources/artwork_shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "image/pixel.h"

namespace tessaro::resources {

namespace {

constexpr double kPi = 3.14159265358979323846;

double SquaredDistanceToSegment(double x, double y, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double px = a.x + t * dx - x, py = a.y + t * dy - y;
  return px * px + py * py;
}

bool InsidePolygon(const std::vector<Point>& corners, double x, double y) {
  int winding = 0;
  const size_t n = corners.size();
  for (size_t i = 0; i < n; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % n];
    const double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
    if (a.y <= y) {
      if (b.y > y && side > 0) ++winding;
    } else if (b.y <= y && side < 0) {
      --winding;
    }
  }
  return winding != 0;
}

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

}  // namespace

Region Disc(Point centre, double radius) {
  const double r2 = radius * radius;
  return [centre, r2](double x, double y) {
    const double dx = x - centre.x, dy = y - centre.y;
    return dx * dx + dy * dy <= r2;
  };
}

Region Polygon(std::vector<Point> corners) {
  return [corners = std::move(corners)](double x, double y) { return InsidePolygon(corners, x, y); };
}

Region Stroke(std::vector<Point> path, double width) {
  const double r2 = width * width / 4;
  return [path = std::move(path), r2](double x, double y) {
    if (path.size() == 1) return SquaredDistanceToSegment(x, y, path[0], path[0]) <= r2;
    for (size_t i = 0; i + 1 < path.size(); ++i)
      if (SquaredDistanceToSegment(x, y, path[i], path[i + 1]) <= r2) return true;
    return false;
  };
}

Region RoundedPolygon(const std::vector<Point>& corners, double radius) {
  // The inset polygon grown by the radius: its sides come back to the
  // original edges and its corners become arcs.
  std::vector<Point> core = InsetConvex(corners, radius);
  Region inside = Polygon(core);
  core.push_back(core.front());
  return Union(std::move(inside), Stroke(std::move(core), 2 * radius));
}

Region RoundedRect(double left, double top, double right, double bottom, double radius) {
  return RoundedPolygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}}, radius);
}

Region Union(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Region Difference(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

std::vector<Point> Arc(Point centre, double radius, double from, double to, int steps) {
  std::vector<Point> points;
  steps = std::max(steps, 1);
  for (int i = 0; i <= steps; ++i) {
    const double angle = (from + (to - from) * i / steps) * kPi / 180;
    points.push_back({centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle)});
  }
  return points;
}

std::vector<Point> InsetConvex(const std::vector<Point>& corners, double distance) {
  const size_t n = corners.size();
  if (n < 3) return corners;
  double area2 = 0;
  for (size_t i = 0; i < n; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % n];
    area2 += a.x * b.y - b.x * a.y;
  }
  // Inward is to the right of each edge when the corners run clockwise on
  // screen (positive area with y pointing down), to the left otherwise.
  const double side = area2 > 0 ? 1.0 : -1.0;
  struct Line {
    Point p, d;  // a point on the line and its direction
  };
  std::vector<Line> lines;
  for (size_t i = 0; i < n; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % n];
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    const double nx = -dy / length * side, ny = dx / length * side;
    lines.push_back({{a.x + nx * distance, a.y + ny * distance}, {dx, dy}});
  }
  std::vector<Point> result;
  for (size_t i = 0; i < n; ++i) {
    const Line& l0 = lines[(i + n - 1) % n];
    const Line& l1 = lines[i];
    const double cross = l0.d.x * l1.d.y - l0.d.y * l1.d.x;
    if (std::fabs(cross) < 1e-12) {
      result.push_back(l1.p);
      continue;
    }
    const double t = ((l1.p.x - l0.p.x) * l1.d.y - (l1.p.y - l0.p.y) * l1.d.x) / cross;
    result.push_back({l0.p.x + t * l0.d.x, l0.p.y + t * l0.d.y});
  }
  return result;
}

Paint Solid(uint32_t colour) {
  return [colour](double, double) { return colour; };
}

Paint VerticalGradient(double y0, uint32_t top, double y1, uint32_t bottom) {
  return [=](double, double y) {
    const double t = y1 != y0 ? std::clamp((y - y0) / (y1 - y0), 0.0, 1.0) : 0.0;
    uint32_t result = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
      const double v = Channel(top, shift) * (1 - t) + Channel(bottom, shift) * t;
      result = (result << 8) | uint32_t(std::lround(v));
    }
    return result;
  };
}

void FillRegion(CDib& image, const Region& region, const Paint& paint, double scale) {
  constexpr int kSamples = kCoverageSamples * kCoverageSamples;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      int inside = 0;
      for (int sy = 0; sy < kCoverageSamples; ++sy)
        for (int sx = 0; sx < kCoverageSamples; ++sx)
          if (region((x + (sx + 0.5) / kCoverageSamples) / scale,
                     (y + (sy + 0.5) / kCoverageSamples) / scale))
            ++inside;
      // An alpha of 0 would erase (see CDib::BlendPixel): uncovered pixels are skipped.
      if (inside == 0) continue;
      const uint32_t colour = paint((x + 0.5) / scale, (y + 0.5) / scale);
      const uint32_t alpha = (PixelAlpha(colour) * uint32_t(inside) + kSamples / 2) / kSamples;
      if (alpha == 0) continue;
      image.BlendPixel(x, y, (alpha << 24) | PixelColour(colour));
    }
  }
}

}  // namespace tessaro::resources
