// TGA pictures of any content decode or raise; a decoded picture is within the limits and
// can be repacked into texture sheets.
#include <cstddef>
#include <cstdint>

#include "core/Log.h"
#include "render/BitmapEx.h"
#include "render/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  TMemoryStream stream(data, size);
  TBitmapEx picture;
  try {
    picture.LoadFromStream(stream, pkTga);
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
