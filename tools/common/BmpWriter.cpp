#include "tools/common/BmpWriter.h"

#include <stdexcept>

#include "platform/Files.h"
#include "render/BitmapEx.h"

namespace vxtools {

namespace {

void Put(std::vector<uint8_t>& out, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, int bits, bool topDown) {
  if ((bits != 24 && bits != 32) || width < 1 || height < 1) throw std::invalid_argument("EncodeBmp: bad picture");
  const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32) * 4;
  const size_t dataSize = stride * static_cast<size_t>(height);
  std::vector<uint8_t> out(54 + dataSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put(out, 2, static_cast<uint32_t>(out.size()), 4);
  Put(out, 10, 54, 4);
  Put(out, 14, 40, 4);
  Put(out, 18, static_cast<uint32_t>(width), 4);
  Put(out, 22, static_cast<uint32_t>(topDown ? -height : height), 4);
  Put(out, 26, 1, 2);
  Put(out, 28, static_cast<uint32_t>(bits), 2);
  Put(out, 34, static_cast<uint32_t>(dataSize), 4);
  Put(out, 38, 2835, 4);  // 72 dpi
  Put(out, 42, 2835, 4);
  const int bpp = bits / 8;
  for (int32_t y = 0; y < height; ++y) {
    const int32_t fileRow = topDown ? y : height - 1 - y;
    uint8_t* d = out.data() + 54 + stride * static_cast<size_t>(fileRow);
    const uint32_t* s = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < width; ++x, d += bpp) {
      d[0] = static_cast<uint8_t>(s[x]);
      d[1] = static_cast<uint8_t>(s[x] >> 8);
      d[2] = static_cast<uint8_t>(s[x] >> 16);
      if (bpp == 4) d[3] = static_cast<uint8_t>(s[x] >> 24);
    }
  }
  return out;
}

std::vector<uint8_t> EncodeBmp(const TBitmapEx& picture, int bits, bool topDown) {
  if (picture.PixelFormat() != pf32bit) throw std::invalid_argument("EncodeBmp: picture is not 32-bit");
  return EncodeBmp(picture.Width(), picture.Height(), picture.Pixels(), bits, topDown);
}

bool WriteBmpFile(const std::string& path, const TBitmapEx& picture, int bits, std::string* error) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeBmp(picture, bits);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return vx::WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                             error);
}

}  // namespace vxtools
