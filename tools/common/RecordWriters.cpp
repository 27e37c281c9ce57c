#include "tools/common/RecordWriters.h"

#include <stdexcept>

#include "render/BitmapEx.h"

namespace vxtools {

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutI32(std::vector<uint8_t>& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }

}  // namespace

std::vector<uint8_t> EncodeImageRecordHeader(const TImageRecordHeader& h) {
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(h.Stored));
  PutI32(out, h.Pattern.Width);
  PutI32(out, h.Pattern.Height);
  PutI32(out, h.Visible.Width);
  PutI32(out, h.Visible.Height);
  PutI32(out, h.PatternCount);
  PutI32(out, h.Texture.Width);
  PutI32(out, h.Texture.Height);
  PutI32(out, h.TextureCount);
  return out;
}

std::vector<uint8_t> EncodeImageRecord(const TImageRecordHeader& h, const uint32_t* sheets) {
  if (!IsValidColorFormat(h.Stored) || h.Texture.Width < 1 || h.Texture.Height < 1 || h.TextureCount < 1) {
    throw std::invalid_argument("EncodeImageRecord: bad header");
  }
  std::vector<uint8_t> out = EncodeImageRecordHeader(h);
  const size_t bpp = ColorFormatBytes[h.Stored];
  const size_t rowBytes = static_cast<size_t>(h.Texture.Width) * bpp;
  const size_t rows = static_cast<size_t>(h.Texture.Height) * static_cast<size_t>(h.TextureCount);
  const size_t start = out.size();
  out.resize(start + rowBytes * rows);
  const TLineConverter convert = GetLineConverter(h.Stored);
  for (size_t r = 0; r < rows; ++r) {
    const uint32_t* src = sheets + r * static_cast<size_t>(h.Texture.Width);
    uint8_t* dst = out.data() + start + r * rowBytes;
    if (h.Stored == COLOR_X8R8G8B8) {
      // A stored X8 texel carries 0xFF on top, as a single-pixel write would store it.
      for (int32_t x = 0; x < h.Texture.Width; ++x) WritePixel(src[x], dst + static_cast<size_t>(x) * 4, h.Stored);
    } else {
      convert(src, dst, h.Texture.Width);
    }
  }
  return out;
}

std::vector<uint8_t> EncodeImageRecordFromPicture(const TBitmapEx& picture, TGfxSize pattern, TGfxSize visible,
                                                  TGfxSize texture, TColorFormat stored) {
  TBitmapEx sheets;
  if (!TBitmapEx::Repack(picture, sheets, 0, 0, 0, visible, pattern, texture) || sheets.Empty()) {
    throw std::invalid_argument("EncodeImageRecordFromPicture: impossible geometry");
  }
  TImageRecordHeader h;
  h.Stored = stored;
  h.Pattern = visible;  // the sheets hold visible-sized cells
  h.Visible = visible;
  h.Texture = texture;
  h.TextureCount = sheets.Height() / texture.Height;
  const int64_t columns = picture.Width() / pattern.Width, rows = picture.Height() / pattern.Height;
  h.PatternCount = static_cast<int32_t>(columns * rows);
  return EncodeImageRecord(h, sheets.Pixels());
}

std::vector<uint8_t> EncodeFontRecord(const TFontRecordInfo& info, const std::vector<uint8_t>& imageRecord) {
  std::vector<uint8_t> out;
  PutU32(out, info.FirstChar);
  PutU32(out, info.Metric1);
  PutU32(out, info.Metric2);
  PutU32(out, static_cast<uint32_t>(info.Glyphs.size()));
  for (const TGfxSize& g : info.Glyphs) {
    PutI32(out, g.Width);
    PutI32(out, g.Height);
  }
  out.insert(out.end(), imageRecord.begin(), imageRecord.end());
  return out;
}

}  // namespace vxtools
