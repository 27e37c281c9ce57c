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
  // The pixels are decoded straight into their rows of a picture of our own, handed over
  // only when every read has succeeded: a failed load leaves the target as it was.
  TBitmapEx out;
  out.AllocatePixels(width, height);
  const bool bottomUp = !(descriptor & 0x20);
  auto rowAt = [&](int32_t r) { return reinterpret_cast<uint32_t*>(out.ScanLine(bottomUp ? height - 1 - r : r)); };
  // `count` stored pixels as 32-bit ones; 24-bit pixels come out opaque, as every load ends.
  auto put = [bpp](const uint8_t* s, uint32_t* d, int32_t count) {
    if (bpp == 4) std::memcpy(d, s, static_cast<size_t>(count) * 4);
    else WidenBgrPixels(s, reinterpret_cast<uint8_t*>(d), count);
  };
  const size_t line = static_cast<size_t>(width) * static_cast<size_t>(bpp);
  if (imageType == 2) {
    std::unique_ptr<uint8_t[]> scratch;
    for (int32_t r = 0; r < height; ++r) {
      const uint8_t* s = stream.ReadInPlace(static_cast<int64_t>(line));
      if (!s) {
        if (!scratch) scratch.reset(new uint8_t[line]);
        stream.ReadBuffer(scratch.get(), static_cast<int64_t>(line));
        s = scratch.get();
      }
      put(s, rowAt(r), width);
    }
  } else {
    // Packets run on across rows; one that passes the end of the picture is cut there, and
    // only the part of a literal packet that fits is read.
    int32_t r = 0, x = 0;
    uint32_t* d = rowAt(0);
    uint8_t scratch[128 * 4];
    while (r < height) {
      uint8_t b;
      stream.ReadBuffer(&b, 1);  // data that ends early raises
      int32_t left = (b & 127) + 1;
      if (b & 128) {
        const uint8_t* s = stream.ReadView(bpp, scratch);
        uint32_t px;
        put(s, &px, 1);
        while (left > 0 && r < height) {
          const int32_t n = std::min(left, width - x);
          std::fill(d + x, d + x + n, px);
          left -= n;
          if ((x += n) == width && ++r < height) {
            x = 0;
            d = rowAt(r);
          }
        }
      } else {
        const int64_t fitRest = static_cast<int64_t>(height - r - 1) * width + (width - x);
        left = static_cast<int32_t>(std::min<int64_t>(left, fitRest));
        const uint8_t* s = stream.ReadView(static_cast<int64_t>(left) * bpp, scratch);
        while (left > 0) {
          const int32_t n = std::min(left, width - x);
          put(s, d + x, n);
          s += static_cast<size_t>(n) * static_cast<size_t>(bpp);
          left -= n;
          if ((x += n) == width && ++r < height) {
            x = 0;
            d = rowAt(r);
          }
        }
      }
    }
  }
  if (descriptor & 0x10) out.FlipHorizontal();
  bitmap.TakePixels(out);
}

}  // namespace vx
