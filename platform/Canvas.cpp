#include "platform/Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace vx {

namespace {

// The classic desktop scheme, by system-colour index ($00BBGGRR).
constexpr TColor kSysColors[31] = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000,
    0xE1FFFF, 0xC0C0C0, 0x800000, 0xD08410, 0xB5B5B5, 0x800000, 0xC0C0C0,
};

}  // namespace

TColor SysColor(int index) { return index >= 0 && index < 31 ? kSysColors[index] : 0; }

TColor ColorToRGB(TColor c) {
  if ((c & 0xFF000000u) == clSystemColor) return SysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFFu;
}

TRect TRect::Intersect(const TRect& o) const {
  TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
  if (r.IsEmpty()) r = {};
  return r;
}

PixelMask ColorKeyMask(const PixelView& src, uint32_t keyPixel) {
  PixelMask m;
  m.Width = src.Width;
  m.Height = src.Height;
  m.Bits.resize(static_cast<size_t>(src.Width) * static_cast<size_t>(src.Height));
  for (int y = 0; y < src.Height; ++y)
    for (int x = 0; x < src.Width; ++x)
      m.Bits[static_cast<size_t>(y) * static_cast<size_t>(src.Width) + static_cast<size_t>(x)] =
          ((src.At(x, y) ^ keyPixel) & 0x00FFFFFFu) == 0;
  return m;
}

Canvas::Canvas(uint32_t* pixels, int width, int height, int stride)
    : pixels_(pixels), width_(std::max(0, width)), height_(std::max(0, height)), stride_(stride) {
  clips_.push_back({0, 0, width_, height_});
}

void Canvas::PushClip(const TRect& r) {
  clips_.push_back(clips_.back().Intersect(r.Offset(-orgX_, -orgY_)));
}

void Canvas::PopClip() {
  if (clips_.size() > 1) clips_.pop_back();
}

TRect Canvas::ClipBox() const { return clips_.back().Offset(orgX_, orgY_); }

TRect Canvas::ToDevice(const TRect& r) const { return r.Offset(-orgX_, -orgY_).Intersect(clips_.back()); }

uint32_t Canvas::GetPixel(int x, int y) const {
  x -= orgX_, y -= orgY_;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(stride_) + static_cast<size_t>(x)];
}

void Canvas::SetPixel(int x, int y, TColor c) { FillRect({x, y, x + 1, y + 1}, c); }

void Canvas::BlendPixel(int x, int y, uint32_t pixel, unsigned coverage) {
  x -= orgX_, y -= orgY_;
  if (coverage == 0 || !clips_.back().Contains(x, y)) return;
  uint32_t& d = Row(y)[x];
  if (coverage >= 255) {
    d = pixel;
    return;
  }
  const unsigned inv = 255 - coverage;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned s = (pixel >> shift) & 0xFF, t = (d >> shift) & 0xFF;
    out |= ((s * coverage + t * inv + 127) / 255) << shift;
  }
  d = out;
}

void Canvas::FillRect(const TRect& r, TColor c) {
  const TRect d = ToDevice(r);
  if (d.IsEmpty()) return;
  const uint32_t px = ColorToPixel(c);
  for (int y = d.Top; y < d.Bottom; ++y) std::fill(Row(y) + d.Left, Row(y) + d.Right, px);
}

void Canvas::FrameRect(const TRect& r, TColor c) { Frame3D(r, c, c); }

void Canvas::Frame3D(const TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
  FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
  FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom}, bottomRight);
  FillRect({r.Left + 1, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
}

void Canvas::Line(int x0, int y0, int x1, int y1, TColor c) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  // Long lines are cut to the clip's reach so that a wild coordinate costs nothing.
  for (int steps = 0; (x0 != x1 || y0 != y1) && steps < 100000; ++steps) {
    SetPixel(x0, y0, c);
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void Canvas::Ellipse(const TRect& r, TColor pen, const TColor* fill) {
  if (r.IsEmpty()) return;
  // Pixel centres inside the ellipse; the outline is the ring of pixels that touch outside.
  const double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
  const double rx = r.Width() / 2.0, ry = r.Height() / 2.0;
  auto inside = [&](int x, int y, double shrink) {
    const double ax = rx - shrink, ay = ry - shrink;
    if (ax <= 0 || ay <= 0) return false;
    const double u = (x + 0.5 - cx) / ax, v = (y + 0.5 - cy) / ay;
    return u * u + v * v <= 1.0;
  };
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      if (!inside(x, y, 0)) continue;
      if (!inside(x, y, 1.0)) SetPixel(x, y, pen);
      else if (fill) SetPixel(x, y, *fill);
    }
}

void Canvas::StretchDraw(const TRect& dst, const PixelView& src, const TRect& srcRect, const PixelMask* mask) {
  const TRect s = srcRect.Intersect({0, 0, src.Width, src.Height});
  if (dst.IsEmpty() || s.IsEmpty() || srcRect != s) return;
  const TRect d = ToDevice(dst);
  const int64_t dw = dst.Width(), dh = dst.Height();
  for (int y = d.Top; y < d.Bottom; ++y) {
    const int sy = s.Top + static_cast<int>((static_cast<int64_t>(y + orgY_ - dst.Top) * s.Height()) / dh);
    uint32_t* row = Row(y);
    for (int x = d.Left; x < d.Right; ++x) {
      const int sx = s.Left + static_cast<int>((static_cast<int64_t>(x + orgX_ - dst.Left) * s.Width()) / dw);
      if (mask && mask->Width == src.Width && mask->Height == src.Height && mask->Transparent(sx, sy)) continue;
      row[x] = src.At(sx, sy) | 0xFF000000u;
    }
  }
}

void Canvas::Draw(int x, int y, const PixelView& src, const PixelMask* mask) {
  StretchDraw({x, y, x + src.Width, y + src.Height}, src, {0, 0, src.Width, src.Height}, mask);
}

void Canvas::TileDraw(const TRect& area, const PixelView& src, int originX, int originY) {
  if (src.Width <= 0 || src.Height <= 0 || area.IsEmpty()) return;
  const TRect d = ToDevice(area);
  for (int y = d.Top; y < d.Bottom; ++y) {
    int sy = (y + orgY_ - originY) % src.Height;
    if (sy < 0) sy += src.Height;
    uint32_t* row = Row(y);
    for (int x = d.Left; x < d.Right; ++x) {
      int sx = (x + orgX_ - originX) % src.Width;
      if (sx < 0) sx += src.Width;
      row[x] = src.At(sx, sy) | 0xFF000000u;
    }
  }
}

}  // namespace vx
