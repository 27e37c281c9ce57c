#pragma once
// Regions as geometry: a rectangle, an ellipse in its bounding box, or a polygon filled
// even-odd; answers whether a pixel belongs to it (image-map areas).
#include <vector>

#include "platform/Canvas.h"

namespace vx {

class Region {
public:
  static Region Rectangle(int left, int top, int right, int bottom);
  static Region Ellipse(int left, int top, int right, int bottom);
  static Region Polygon(std::vector<TPoint> points);

  bool Contains(int x, int y) const;
  TRect Bounds() const { return bounds_; }

private:
  enum class Kind { Rect, Ellipse, Polygon } kind_ = Kind::Rect;
  TRect bounds_;
  std::vector<TPoint> points_;
};

}  // namespace vx
