#pragma once
// What the picture fuzzers share: a picture of any content decodes or raises; a decoded
// picture is 32-bit, not empty, within the pixel limit, and can be repacked into texture
// sheets.
#include <cstddef>
#include <cstdint>

#include "core/Log.h"
#include "render/BitmapEx.h"
#include "render/Streams.h"

namespace vxfuzz {

inline int DecodePicture(const uint8_t* data, size_t size, uint8_t kind) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  TMemoryStream stream(data, size);
  TBitmapEx picture;
  try {
    picture.LoadFromStream(stream, kind);
  } catch (const Exception&) {
    return 0;
  }
  if (picture.PixelFormat() != pf32bit || picture.Empty() ||
      static_cast<int64_t>(picture.Width()) * picture.Height() > TBitmapEx::MaxPixels) {
    __builtin_trap();
  }
  TBitmapEx sheets;
  TBitmapEx::Repack(picture, sheets, 0, 0, 0, {32, 32}, {32, 32}, {64, 64});
  return 0;
}

}  // namespace vxfuzz
