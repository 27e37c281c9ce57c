// PNG files of any content decode or raise; a decoded picture has every pixel the header
// promises and passes to the loader's bitmap within its limits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/BitmapEx.h"
#include "render/PngPicture.h"
#include "render/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream(data, size);
  TPngPicture picture;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  if (picture.Pixels().size() != static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height())) {
    __builtin_trap();
  }
  TBitmapEx bitmap;
  try {
    picture.AssignTo(bitmap);
  } catch (const Exception&) {
    return 0;
  }
  if (bitmap.PixelFormat() != pf32bit || bitmap.Width() != picture.Width()) __builtin_trap();
  // The loader's own path decodes straight into its bitmap and must give the same pixels.
  TMemoryStream again(data, size);
  TBitmapEx loaded;
  loaded.LoadFromStream(again, pkPng);
  if (loaded.Width() != bitmap.Width() || loaded.Height() != bitmap.Height() ||
      std::memcmp(loaded.Pixels(), bitmap.Pixels(), picture.Pixels().size() * 4) != 0) {
    __builtin_trap();
  }
  return 0;
}
