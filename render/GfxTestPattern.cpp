#include "render/GfxTestPattern.h"

#include <cmath>

#include "render/GfxDevice.h"

int32_t DrawTestPattern(TGfxDevice& device, uint32_t frame) {
  const int32_t w = device.Width();
  const int32_t h = device.Height();
  int32_t first = 0;
  const auto note = [&first](int32_t code) {
    if (first == 0) first = code;
  };
  // Colour bars: white, yellow, cyan, green, magenta, red, blue, black ($AABBGGRR).
  const uint32_t bars[8] = {0xFFFFFFFFu, 0xFF00FFFFu, 0xFFFFFF00u, 0xFF00FF00u,
                            0xFFFF00FFu, 0xFF0000FFu, 0xFFFF0000u, 0xFF000000u};
  const int32_t barHeight = h / 3;
  for (int32_t i = 0; i < 8; ++i)
    note(device.FillRect(GfxRect(w * i / 8, 0, w * (i + 1) / 8, barHeight), Color4(bars[i]), 0));
  // A grey ramp in 32 steps, then the same ramp as one shaded quad below it.
  const int32_t rampTop = barHeight;
  const int32_t rampHeight = h / 12;
  for (int32_t i = 0; i < 32; ++i) {
    const uint32_t v = static_cast<uint32_t>(i * 255 / 31);
    note(device.FillRect(GfxRect(w * i / 32, rampTop, w * (i + 1) / 32, rampTop + rampHeight),
                         Color4(0xFF000000u | v << 16 | v << 8 | v), 0));
  }
  note(device.FillQuad(QuadFromRect(GfxRect(0, rampTop + rampHeight, w, rampTop + 2 * rampHeight)),
                       TColor4{0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u}, 0));
  // Shaded corners and a half-transparent veil over part of them.
  const int32_t lowTop = rampTop + 2 * rampHeight;
  note(device.FillQuad(QuadFromRect(GfxRect(0, lowTop, w / 2, h)),
                       TColor4{0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu}, 0));
  note(device.FillRect(GfxRect(w / 8, lowTop + (h - lowTop) / 4, w * 3 / 8, h - (h - lowTop) / 4),
                       Color4(0x80000000u), 4));
  // A one-pixel frame around the whole surface and around the lower right quarter.
  note(device.FrameRect(GfxRect(0, 0, w, h), Color4(0xFF00FFFFu), 0));
  note(device.FrameRect(GfxRect(w / 2 + 8, lowTop + 8, w - 8, h - 8), Color4(0xFFFFFFFFu), 0));
  // Lines fanning out from the centre of that quarter, clipped to it.
  const TGfxPoint centre{(w / 2 + w) / 2, (lowTop + h) / 2};
  device.SetClipRect(GfxRect(w / 2 + 9, lowTop + 9, w - 9, h - 9));
  for (int32_t i = 0; i < 24; ++i) {
    const double angle = i * 3.14159265358979 / 12.0;
    const TGfxPoint end{centre.X + static_cast<int32_t>(std::lround(std::cos(angle) * w)),
                        centre.Y + static_cast<int32_t>(std::lround(std::sin(angle) * w))};
    note(device.Line(centre, end, 0xFFFFFFFFu, 0xFF0000FFu, 0));
  }
  // A square that moves, so a frozen frame shows at once.
  const int32_t span = w / 2 - 40;
  const int32_t pos = span > 0 ? static_cast<int32_t>(frame % static_cast<uint32_t>(2 * span)) : 0;
  const int32_t x = w / 2 + 10 + (pos < span ? pos : 2 * span - pos);
  note(device.FillRect(GfxBounds(x, lowTop + 20, 20, 20), Color4(0xC000C0FFu), 4));
  note(device.ResetClipRect());
  return first;
}
