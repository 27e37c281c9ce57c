// GIF files of any content decode or raise; a decoded file gives every image its pixels, a
// frame strip within the caps and an animation that steps through its frames.
#include <cstddef>
#include <cstdint>

#include "html/AnimGif.h"
#include "html/Gif.h"
#include "render/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream(data, size);
  TGif gif;
  try {
    gif.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  for (int32_t n = 0; n < gif.ImageCount(); ++n) {
    const TGifImage& im = gif.Image(n);
    if (im.Width < 1 || im.Height < 1 || im.Pixels.size() != static_cast<size_t>(im.Width) * im.Height) __builtin_trap();
    if (gif.Delay(n) < 1 || gif.Disposal(n) > 3) __builtin_trap();
  }
  try {
    const ThvBitmap strip = gif.GetStripBitmap();
    if (static_cast<int64_t>(strip.Width) * strip.Height * 3 > TGif::MaxStripBytes) __builtin_trap();
    stream.SetPosition(0);
    auto image = TGIFImage::CreateFromStream(stream);
    for (int32_t k = 0; k <= image->NumFrames; ++k) image->SetCurrentFrame(image->CurrentFrame + 1);
    if (image->CurrentFrame < 1 || image->CurrentFrame > image->NumFrames) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
