// The edge walk and span set-up shared by the reference filler and the fast
// one: both must visit exactly the same rows and columns with exactly the same
// stepped values, so the code that decides them exists once.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "image/numeric.h"
#include "render/quad_filler.h"
#include "scene/scene3d.h"

namespace tessaro::quad_walk {

// 1 / d with the IEEE result for d = 0 (an infinity of d's sign), without
// dividing by zero.
inline double Reciprocal(double d) {
  if (d == 0) return std::copysign(std::numeric_limits<double>::infinity(), d);
  return 1 / d;
}

inline int Previous(int corner) { return (corner + 3) & 3; }
inline int Next(int corner) { return (corner + 1) & 3; }

// A quad corner as the filler uses it.  w = 1 / depth and the texel position
// times w (u, v) vary linearly over the screen, as does x.
struct Corner {
  int32_t x, y;
  double w, u, v;
};

inline Corner MakeCorner(const CNode3D& n, double lastColumn, double lastRow) {
  const double w = Reciprocal(n.depth);
  return {n.sx, n.sy, w, lastColumn * n.s * w, lastRow * n.t * w};
}

// The current values along one edge and their increments per row.
struct Edge {
  int end;         // corner index the edge runs to
  int64_t endRow;  // that corner's screen row
  double x, w, u, v;
  double dx, dw, du, dv;

  // Sets the edge up at its start corner.  False for a zero-height edge.
  bool Start(const Corner* corners, int from, int to) {
    const Corner& a = corners[from];
    const Corner& b = corners[to];
    // Screen coordinates span the whole 32-bit range: differences in 64 bits.
    const int64_t height = int64_t(b.y) - int64_t(a.y);
    if (height == 0) return false;
    const double h = double(height);
    end = to;
    endRow = b.y;
    x = double(a.x);
    w = a.w;
    u = a.u;
    v = a.v;
    dx = double(int64_t(b.x) - int64_t(a.x)) / h;
    dw = (b.w - a.w) / h;
    du = (b.u - a.u) / h;
    dv = (b.v - a.v) / h;
    return true;
  }

  void Step() {
    x += dx;
    w += dw;
    u += du;
    v += dv;
  }

  // Only used far above the target, see kWalkedRowsAboveTarget.
  void Advance(int64_t rows) {
    const double n = double(rows);
    x += n * dx;
    w += n * dw;
    u += n * du;
    v += n * dv;
  }
};

// Walks the quad's rows from its top corner down to the last row of a target
// `height` rows high and calls span(left, right, row) for every row from 0 on,
// left and right being the two edges' current states.
template <class SpanFn>
void WalkQuad(const Corner* corners, int64_t height, SpanFn&& span) {
  // Top corner: the highest; of two on the top row the later one in the quad's
  // order, unless it lies to the left.
  int top = 0;
  for (int k = 1; k < 4; ++k) {
    const bool higher = corners[k].y < corners[top].y;
    const bool laterOnSameRow =
        corners[k].y == corners[top].y && corners[k].x >= corners[top].x && k == top + 1;
    if (higher || laterOnSameRow) top = k;
  }

  // The left chain runs backwards through the corners, the right chain forwards.
  // Horizontal edges at the top are skipped on the left only.
  int leftStart = top;
  while (corners[Previous(leftStart)].y == corners[leftStart].y && Previous(leftStart) != top)
    leftStart = Previous(leftStart);
  Edge left, right;
  if (!left.Start(corners, leftStart, Previous(leftStart))) return;
  if (!right.Start(corners, top, Next(top))) return;

  // A quad listed counter-clockwise on the screen starts with its right edge to
  // the left of its left edge: back faces draw nothing.
  if (right.x < left.x) return;

  int64_t lowestCornerRow = corners[0].y;
  for (int k = 0; k < 4; ++k) lowestCornerRow = std::max<int64_t>(lowestCornerRow, corners[k].y);
  const int64_t firstWalkedRow = -kWalkedRowsAboveTarget;
  int rowsPastCorners = 0;

  for (int64_t y = corners[top].y;;) {
    if (y >= height) return;
    int64_t rows = 1;
    if (y >= 0) {
      span(left, right, int32_t(y));
    } else if (y < firstWalkedRow) {
      // Far above the target (only extreme projections get here) the walk
      // moves in large steps.  It takes the decisions the row-by-row walk
      // takes; only the last bits of the stepped values may differ.
      if (y >= lowestCornerRow) {
        // Past every corner both edges end on every row and each new edge is
        // set up from its corners alone, so the walk repeats every four rows.
        // Two cycles without stopping mean it never stops up here: skip whole
        // cycles.
        if (++rowsPastCorners > 8) y += 4 * ((firstWalkedRow - y) / 4);
      } else {
        // Both edges are straight up to the next corner row; the difference of
        // their x is linear there, so it cannot turn negative in between
        // without being negative at the end of the jump as well.
        rows = std::min({firstWalkedRow - y, left.endRow + 1 - y, right.endRow + 1 - y});
        rows = std::max<int64_t>(rows, 1);
      }
    }
    if (rows == 1) {
      left.Step();
      right.Step();
    } else {
      left.Advance(rows);
      right.Advance(rows);
    }
    y += rows;

    if (y > left.endRow) {
      if (left.end == right.end) return;  // the chains have met
      const int from = left.end;
      if (!left.Start(corners, from, Previous(from))) return;
      left.Step();  // the new edge's values for the current row
    }
    if (y > right.endRow) {
      const int from = right.end;
      if (!right.Start(corners, from, Next(from))) return;
      right.Step();
    }
    if (right.x < left.x) return;
  }
}

// One row's painted columns first..last with w, u and v at the first and their
// increments per column.
struct Span {
  int64_t first, last;
  double w, u, v;
  double dw, du, dv;
};

// The columns and start values of a row between two edge points; false when
// the row paints nothing.  Equal rounded columns paint nothing, so a span never
// paints one isolated pixel (the tip of a diamond stays empty).
inline bool SetUpSpan(double xLeft, double xRight, double wLeft, double wRight, double uLeft,
                      double vLeft, double uRight, double vRight, int32_t width, Span& s) {
  int32_t c0 = TruncateToInt32(xLeft + 0.5);
  int32_t c1 = TruncateToInt32(xRight + 0.5);
  if (c0 == c1) return false;
  double x0 = xLeft, w0 = wLeft, u0 = uLeft, v0 = vLeft;
  double x1 = xRight, w1 = wRight, u1 = uRight, v1 = vRight;
  if (c1 < c0) {
    std::swap(c0, c1);
    std::swap(x0, x1);
    std::swap(w0, w1);
    std::swap(u0, u1);
    std::swap(v0, v1);
  }
  const double dx = x1 - x0;
  if (!(dx >= 1e-7)) return false;  // also NaN
  s.dw = (w1 - w0) / dx;
  s.du = (u1 - u0) / dx;
  s.dv = (v1 - v0) / dx;

  const double offset = double(c0) - x0;
  s.w = w0 + offset * s.dw;
  s.u = u0 + offset * s.du;
  s.v = v0 + offset * s.dv;
  if (c0 < 0) {
    s.w = s.w - double(c0) * s.dw;
    s.u = s.u - double(c0) * s.du;
    s.v = s.v - double(c0) * s.dv;
  }
  s.first = std::max<int64_t>(c0, 0);
  s.last = std::min<int64_t>(c1, int64_t(width) - 1);
  return s.first <= s.last;
}

}  // namespace tessaro::quad_walk
