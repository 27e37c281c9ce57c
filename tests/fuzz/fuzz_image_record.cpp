// Image records of any content load into a software image or fail with a code; a loaded
// image answers pattern and pixel queries inside its textures.
#include <cstddef>
#include <cstdint>

#include "core/Log.h"
#include "render/GfxImg2.h"
#include "render/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  for (TColorFormat format : {COLOR_A8R8G8B8, COLOR_R5G6B5}) {
    TMemoryStream stream(data, size);
    TGfxImage2 image;
    if (image.LoadFromStream(stream, format) != 0) {
      if (image.TexturesReady() || image.Loaded()) __builtin_trap();
      continue;
    }
    for (int32_t n : {-1, 0, 1, 7, 1 << 30}) {
      TGfxPattern p(n);
      p.Mirror = (n & 1) != 0;
      TImageTexture texture;
      TGfxRect rect;
      if (image.GetPatternTexture(p, texture, rect) == 0) {
        (void)image.GetPixel(rect.Left, rect.Top, 0);
      }
    }
    (void)image.GetPixel(image.TextureSize().Width - 1, image.TextureSize().Height - 1, image.TextureCount() - 1);
  }
  return 0;
}
