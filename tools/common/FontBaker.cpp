#include "tools/common/FontBaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

namespace vxtools {

uint32_t Cp1252ToUnicode(uint8_t code) {
  static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (code >= 0x80 && code < 0xA0) return high[code - 0x80];
  return code;
}

namespace {

struct FtLibrary {
  FT_Library lib = nullptr;
  ~FtLibrary() {
    if (lib) FT_Done_FreeType(lib);
  }
};
struct FtFace {
  FT_Face face = nullptr;
  ~FtFace() {
    if (face) FT_Done_Face(face);
  }
};

struct GlyphBitmap {
  int32_t left = 0, top = 0, width = 0, rows = 0, advance = 0;
  std::vector<uint8_t> coverage;
};

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool BakeFont(const TFontBakeOptions& o, TBakedFont& result, std::string* error) {
  if (o.PixelSize < 4 || o.PixelSize > 256) return Fail(error, "pixel size must be within 4..256");
  if (o.FirstChar > 255 || o.LastChar > 255 || o.LastChar < o.FirstChar) return Fail(error, "bad character range");
  FtLibrary ft;
  if (FT_Init_FreeType(&ft.lib) != 0) return Fail(error, "FreeType failed to start");
  FtFace f;
  if (FT_New_Face(ft.lib, o.FontFile.c_str(), 0, &f.face) != 0) return Fail(error, "cannot read font " + o.FontFile);
  if (FT_Set_Pixel_Sizes(f.face, 0, static_cast<FT_UInt>(o.PixelSize)) != 0) {
    return Fail(error, "font has no usable size " + std::to_string(o.PixelSize));
  }
  const int32_t ascender = static_cast<int32_t>((f.face->size->metrics.ascender + 63) >> 6);
  const int32_t descender = static_cast<int32_t>(-(f.face->size->metrics.descender) >> 6);
  const int32_t lineHeight = std::max(1, ascender + descender);

  const uint32_t count = o.LastChar - o.FirstChar + 1;
  std::vector<GlyphBitmap> glyphs(count);
  int32_t cellW = 1;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(o.FirstChar + i));
    GlyphBitmap& g = glyphs[i];
    if (cp == 0) continue;  // unassigned code: an empty glyph of no width
    const FT_UInt index = FT_Get_Char_Index(f.face, cp);
    if (FT_Load_Glyph(f.face, index, FT_LOAD_DEFAULT) != 0) continue;
    if (FT_Render_Glyph(f.face->glyph, FT_RENDER_MODE_NORMAL) != 0) continue;
    const FT_GlyphSlot slot = f.face->glyph;
    // A bitmap glyph cannot reach into its neighbours: ink left of the pen moves right and
    // the advance grows by as much, and the advance covers the ink on the right. Otherwise a
    // glyph such as a bold "w" eats most of the space after it ("windowopens").
    const int32_t shift = std::max(0, -slot->bitmap_left);
    g.left = slot->bitmap_left + shift;
    g.top = slot->bitmap_top;
    g.width = static_cast<int32_t>(slot->bitmap.width);
    g.rows = static_cast<int32_t>(slot->bitmap.rows);
    g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6) + shift;
    if (g.width > 0) g.advance = std::max(g.advance, g.left + g.width);
    g.coverage.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
    for (int32_t y = 0; y < g.rows; ++y) {
      const uint8_t* src = slot->bitmap.buffer + static_cast<ptrdiff_t>(y) * slot->bitmap.pitch;
      std::copy(src, src + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
    }
    cellW = std::max({cellW, g.advance, g.left + g.width});
  }
  const int32_t cellH = lineHeight;

  // The smallest square power-of-two texture that holds every glyph, else several textures
  // of the largest size.
  int32_t tex = 64;
  while (tex < o.MaxTexture &&
         static_cast<int64_t>(tex / cellW) * (tex / cellH) < static_cast<int64_t>(count)) {
    tex *= 2;
  }
  if (tex < cellW || tex < cellH) return Fail(error, "glyphs larger than the largest texture");
  const int32_t perRow = tex / cellW, perTexture = perRow * (tex / cellH);
  const int32_t textures = static_cast<int32_t>((count + static_cast<uint32_t>(perTexture) - 1) / perTexture);

  std::vector<uint32_t> sheets(static_cast<size_t>(tex) * static_cast<size_t>(tex) * static_cast<size_t>(textures),
                               0x00FFFFFFu);
  result.Info = TFontRecordInfo{};
  result.Info.FirstChar = o.FirstChar;
  result.Info.Metric1 = static_cast<uint32_t>(o.PixelSize);
  result.Info.Metric2 = static_cast<uint32_t>(ascender);
  for (uint32_t i = 0; i < count; ++i) {
    const GlyphBitmap& g = glyphs[i];
    result.Info.Glyphs.push_back(TGfxSize{g.advance, lineHeight});
    const int32_t t = static_cast<int32_t>(i) / perTexture, p = static_cast<int32_t>(i) % perTexture;
    const int32_t cx = (p % perRow) * cellW, cy = (p / perRow) * cellH;
    for (int32_t y = 0; y < g.rows; ++y) {
      const int32_t ty = ascender - g.top + y;
      if (ty < 0 || ty >= cellH) continue;
      for (int32_t x = 0; x < g.width; ++x) {
        const int32_t tx = g.left + x;
        if (tx >= cellW) break;
        const size_t at = (static_cast<size_t>(t) * tex + static_cast<size_t>(cy + ty)) * tex + static_cast<size_t>(cx + tx);
        sheets[at] = 0x00FFFFFFu | static_cast<uint32_t>(g.coverage[static_cast<size_t>(y) * g.width + x]) << 24;
      }
    }
  }
  TImageRecordHeader h;
  h.Stored = COLOR_A8R8G8B8;
  h.Pattern = h.Visible = TGfxSize{cellW, cellH};
  h.PatternCount = static_cast<int32_t>(count);
  h.Texture = TGfxSize{tex, tex};
  h.TextureCount = textures;
  result.Record = EncodeFontRecord(result.Info, EncodeImageRecord(h, sheets.data()));
  return true;
}

}  // namespace vxtools
