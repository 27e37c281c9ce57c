#include "platform/Region.h"

#include <algorithm>

namespace vx {

namespace {
// Corners in any order make the same rectangle.
TRect Normalised(int l, int t, int r, int b) { return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}; }
}  // namespace

Region Region::Rectangle(int left, int top, int right, int bottom) {
  Region g;
  g.bounds_ = Normalised(left, top, right, bottom);
  return g;
}

Region Region::Ellipse(int left, int top, int right, int bottom) {
  Region g = Rectangle(left, top, right, bottom);
  g.kind_ = Kind::Ellipse;
  return g;
}

Region Region::Polygon(std::vector<TPoint> points) {
  Region g;
  g.kind_ = Kind::Polygon;
  if (points.size() >= 3) {
    g.bounds_ = {points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const TPoint& p : points)
      g.bounds_ = {std::min(g.bounds_.Left, p.X), std::min(g.bounds_.Top, p.Y), std::max(g.bounds_.Right, p.X),
                   std::max(g.bounds_.Bottom, p.Y)};
    g.points_ = std::move(points);
  }
  return g;
}

bool Region::Contains(int x, int y) const {
  if (!bounds_.Contains(x, y)) return false;
  // Pixels are tested at their centres.
  const double px = x + 0.5, py = y + 0.5;
  switch (kind_) {
    case Kind::Rect:
      return true;
    case Kind::Ellipse: {
      const double rx = bounds_.Width() / 2.0, ry = bounds_.Height() / 2.0;
      const double u = (px - bounds_.Left - rx) / rx, v = (py - bounds_.Top - ry) / ry;
      return u * u + v * v <= 1.0;
    }
    case Kind::Polygon: {
      bool in = false;
      for (size_t i = 0, j = points_.size() - 1; i < points_.size(); j = i++) {
        const TPoint a = points_[i], b = points_[j];
        if ((a.Y > py) != (b.Y > py)) {
          const double cross = a.X + (py - a.Y) * (b.X - a.X) / static_cast<double>(b.Y - a.Y);
          if (px < cross) in = !in;
        }
      }
      return in;
    }
  }
  return false;
}

}  // namespace vx
