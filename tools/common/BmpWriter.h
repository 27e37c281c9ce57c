#pragma once
// Writes BMP pictures: 24 bits (blue, green, red; alpha dropped) or 32 bits (alpha kept),
// bottom-up rows as usual, or top-down on request.
#include <cstdint>
#include <string>
#include <vector>

class TBitmapEx;

namespace vxtools {

// pixels: width x height 0xAARRGGBB values, top row first.
std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, int bits,
                               bool topDown = false);
// A 32-bit picture.
std::vector<uint8_t> EncodeBmp(const TBitmapEx& picture, int bits, bool topDown = false);
bool WriteBmpFile(const std::string& path, const TBitmapEx& picture, int bits, std::string* error = nullptr);

}  // namespace vxtools
