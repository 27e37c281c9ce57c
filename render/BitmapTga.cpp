// Reader of true-colour TGA pictures, raw (type 2) and run-length encoded (type 10), 24 and
// 32 bits per pixel, with the orientation bits of the descriptor.
#include <algorithm>
#include <cstring>
#include <vector>

#include "render/BitmapEx.h"
#include "render/Streams.h"

namespace vx {

void ReadTgaPicture(TBitmapEx& bitmap, TStream& stream) {
  uint8_t h[18];
  stream.ReadBuffer(h, 18);
  const uint8_t idLength = h[0], colorMapType = h[1], imageType = h[2];
  const int32_t width = h[12] | h[13] << 8, height = h[14] | h[15] << 8;
  const uint8_t depth = h[16], descriptor = h[17];
  if (imageType != 2 && imageType != 10) {
    throw EInvalidGraphic("Invalid TARGA color format (only TrueColor and RLE are supported)");
  }
  if (colorMapType != 0) throw EInvalidGraphic("Color-mapped TARGA is not supported");
  if (depth != 24 && depth != 32) {
    throw EInvalidGraphic("Unsupported TARGA bitdepth (only 24 and 32-bit depths are supported)");
  }
  TBitmapEx::CheckPictureSize(width, height, "TARGA");
  if (stream.Seek(idLength, soCurrent) < 0) throw EReadError("Stream read error");

  const int32_t bpp = depth / 8;
  const size_t total = static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(bpp);
  const int64_t remaining = stream.Remaining();
  // Check what the data can hold before allocating: raw data is exactly the picture, and one
  // run-length packet of at least 1 + bpp bytes yields at most 128 pixels.
  if (imageType == 2 && static_cast<int64_t>(total) > remaining) throw EReadError("Stream read error");
  if (imageType == 10 && static_cast<int64_t>(width) * height > remaining / (1 + bpp) * 128 + 128) {
    throw EReadError("Stream read error");
  }
  std::vector<uint8_t> data(total, 0);
  if (imageType == 2) {
    stream.ReadBuffer(data.data(), static_cast<int64_t>(total));
  } else {
    size_t pos = 0;
    uint8_t pixel[4];
    while (pos < total) {
      uint8_t b;
      stream.ReadBuffer(&b, 1);  // data that ends early raises
      const size_t n = static_cast<size_t>(b & 127) + 1;
      const size_t bytes = n * static_cast<size_t>(bpp);
      const size_t fit = std::min(bytes, total - pos);  // a packet past the end is cut there
      if (b & 128) {
        stream.ReadBuffer(pixel, bpp);
        for (size_t k = 0; k < fit; ++k) data[pos + k] = pixel[k % static_cast<size_t>(bpp)];
      } else {
        stream.ReadBuffer(data.data() + pos, static_cast<int64_t>(fit));
      }
      pos += fit;
    }
  }

  bitmap.SetSize(0, 0);
  bitmap.SetPixelFormat(depth == 32 ? pf32bit : pf24bit);
  bitmap.SetSize(width, height);
  const size_t line = static_cast<size_t>(width) * static_cast<size_t>(bpp);
  for (int32_t r = 0; r < height; ++r) std::memcpy(bitmap.ScanLine(r), data.data() + r * line, line);
  if (descriptor & 0x10) bitmap.FlipHorizontal();
  if (!(descriptor & 0x20)) bitmap.FlipVertical();  // the usual bottom-up TGA
}

}  // namespace vx
