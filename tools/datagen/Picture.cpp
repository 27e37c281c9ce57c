#include "tools/datagen/Picture.h"

#include <algorithm>

namespace vx::datagen {

Picture::Picture(int w, int h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0), fill) {}

bool Picture::IsOpaque() const {
  return std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) == 0xFF; });
}

void BlendOver(Picture& dst, const Picture& src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy) {
    const int dy = y + sy;
    if (dy < 0 || dy >= dst.height) continue;
    for (int sx = 0; sx < src.width; ++sx) {
      const int dx = x + sx;
      if (dx < 0 || dx >= dst.width) continue;
      const uint32_t s = src.At(sx, sy);
      const uint32_t sa = s >> 24;
      if (sa == 0) continue;
      uint32_t& d = dst.At(dx, dy);
      const uint32_t da = d >> 24;
      // Result alpha and colour of the Porter-Duff "over" in straight alpha, in 0..255 units.
      const uint32_t oa = sa + da * (255 - sa) / 255;
      uint32_t out = oa << 24;
      for (int sh = 0; sh <= 16; sh += 8) {
        const uint32_t sc = (s >> sh) & 0xFF, dc = (d >> sh) & 0xFF;
        const uint32_t num = sc * sa * 255 + dc * da * (255 - sa);
        const uint32_t c = oa == 0 ? 0 : (num + oa * 255 / 2) / (oa * 255);
        out |= std::min<uint32_t>(c, 255) << sh;
      }
      d = out;
    }
  }
}

Picture Stretch(const Picture& src, int w, int h) {
  Picture out(w, h);
  if (src.width <= 0 || src.height <= 0) return out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      out.At(x, y) = src.At(static_cast<int>(static_cast<int64_t>(x) * src.width / w),
                            static_cast<int>(static_cast<int64_t>(y) * src.height / h));
  return out;
}

Picture Tint(const Picture& src, uint32_t rgb) {
  Picture out = src;
  for (auto& p : out.pixels) {
    uint32_t r = p & 0xFF000000u;
    for (int sh = 0; sh <= 16; sh += 8) r |= (((p >> sh) & 0xFF) * ((rgb >> sh) & 0xFF) / 255) << sh;
    p = r;
  }
  return out;
}

}  // namespace vx::datagen
