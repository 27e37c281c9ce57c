#pragma once
// A picture as the generator hands it on: straight (not premultiplied) 0xAARRGGBB pixels,
// row 0 at the top, exactly the size it is shown at.
#include <cstdint>
#include <string>
#include <vector>

namespace vx::datagen {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, 0xAARRGGBB, straight alpha

  Picture() = default;
  Picture(int w, int h, uint32_t fill = 0);

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  // True when every pixel has alpha 255: such a picture is stored as a 24-bit BMP.
  bool IsOpaque() const;
};

// Straight-alpha "over" of src onto dst at (x, y), clipped; used for mock-ups.
void BlendOver(Picture& dst, const Picture& src, int x, int y);
// Nearest-pixel copy of src stretched to w x h (mock-ups of stretched textures).
Picture Stretch(const Picture& src, int w, int h);
// Each colour channel multiplied by the matching byte of a 0x00RRGGBB tint (mock-ups).
Picture Tint(const Picture& src, uint32_t rgb);

}  // namespace vx::datagen
