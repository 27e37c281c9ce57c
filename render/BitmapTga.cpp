// Reader of true-colour TGA pictures, raw (type 2) and run-length encoded (type 10), 24 and
// 32 bits per pixel, with the orientation bits of the descriptor.
#include <algorithm>
#include <cstring>
#include <memory>

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
  // Every read ends before the picture is touched, so a failed load leaves it as it was.
  // The buffer is filled whole below, so it is not cleared first.
  const std::unique_ptr<uint8_t[]> data(new uint8_t[total]);
  if (imageType == 2) {
    stream.ReadBuffer(data.get(), static_cast<int64_t>(total));
  } else {
    const size_t pixelSize = static_cast<size_t>(bpp);
    size_t pos = 0;
    uint8_t pixel[4];
    while (pos < total) {
      uint8_t b;
      stream.ReadBuffer(&b, 1);  // data that ends early raises
      const size_t bytes = (static_cast<size_t>(b & 127) + 1) * pixelSize;
      const size_t fit = std::min(bytes, total - pos);  // a packet past the end is cut there
      if (b & 128) {
        stream.ReadBuffer(pixel, bpp);
        uint8_t* d = data.get() + pos;
        for (size_t k = 0; k < fit; k += pixelSize) std::memcpy(d + k, pixel, pixelSize);
      } else {
        stream.ReadBuffer(data.get() + pos, static_cast<int64_t>(fit));
      }
      pos += fit;
    }
  }

  // 24-bit pixels are widened here to the opaque 32-bit pixels every load ends with, which
  // spares the picture a second pass.
  bitmap.SetSize(0, 0);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(width, height);
  // Rows go straight to their place: the usual TGA is stored bottom-up.
  const size_t line = static_cast<size_t>(width) * static_cast<size_t>(bpp);
  const bool bottomUp = !(descriptor & 0x20);
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* d = bitmap.ScanLine(bottomUp ? height - 1 - r : r);
    const uint8_t* s = data.get() + static_cast<size_t>(r) * line;
    if (bpp == 4) std::memcpy(d, s, line);
    else WidenBgrPixels(s, d, width);
  }
  if (descriptor & 0x10) bitmap.FlipHorizontal();
}

}  // namespace vx
