// Any bytes as a page picture: the kind and the transparent colours are found within the
// bytes given, and loading gives nothing or a picture whose pixels and mask match its size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "html/HtmlPictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ThtmlPictureKind kind = SniffPicture(data, size);
  const auto gif = GifTransparentColor(data, size);
  const auto png = PngTransparentColor(data, size);
  if (gif && kind != ThtmlPictureKind::Gif89) __builtin_trap();
  if (png && kind != ThtmlPictureKind::Png) __builtin_trap();
  if ((gif && *gif > 0xFFFFFF) || (png && *png > 0xFFFFFF)) __builtin_trap();
  if (size > (1u << 16)) return 0;  // decoding is the decoders' own targets' business
  const auto picture = LoadHtmlPicture(std::vector<uint8_t>(data, data + size), size % 2 == 1);
  if (!picture) return 0;
  const size_t pixels = static_cast<size_t>(picture->Width) * static_cast<size_t>(picture->Height);
  if (picture->Width < 1 || picture->Height < 1 || picture->Pixels.size() != pixels) __builtin_trap();
  if (picture->Mask && (picture->Mask->Width != picture->Width || picture->Mask->Bits.size() != pixels)) __builtin_trap();
  if (picture->Animate) picture->Animate(0);
  return 0;
}
