#include "platform/text/TextFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "platform/text/CodePages.h"

namespace vx {

int TextFont::TextWidth(std::string_view text) const {
  int w = 0;
  for (unsigned char c : text) w += advances_[c];
  return w;
}

int TextFont::FitCount(std::string_view text, int maxWidth, int* width) const {
  int w = 0, n = 0;
  for (unsigned char c : text) {
    if (w + advances_[c] > maxWidth) break;
    w += advances_[c];
    ++n;
  }
  if (width) *width = w;
  return n;
}

void TextFont::TextOut(Canvas& canvas, int x, int y, std::string_view text, TColor color, const TColor* background) const {
  const int width = TextWidth(text);
  if (background) canvas.FillRect({x, y - metrics_.Ascent, x + width, y + metrics_.Descent}, *background);
  const uint32_t pixel = ColorToPixel(color);
  // Nothing outside the clip is worth rasterising.
  const TRect clip = canvas.ClipBox();
  if (y + metrics_.Descent >= clip.Top && y - metrics_.Ascent < clip.Bottom) {
    int pen = x;
    for (unsigned char c : text) {
      if (pen < clip.Right && pen + advances_[c] + metrics_.Height >= clip.Left) DrawGlyph(canvas, pen, y, c, pixel);
      pen += advances_[c];
    }
  }
  if (spec_.Underline) canvas.FillRect({x, y + underlinePos_, x + width, y + underlinePos_ + underlineSize_}, color);
  if (spec_.StrikeOut) canvas.FillRect({x, y - strikePos_, x + width, y - strikePos_ + strikeSize_}, color);
}

namespace {

int RoundScaled(long units, int em, int unitsPerEm) {
  return static_cast<int>(std::lround(static_cast<double>(units) * em / unitsPerEm));
}

// A glyph rendered once: coverage bytes with the offset from the pen position.
struct Glyph {
  bool Ready = false;
  int Left = 0, Top = 0, Width = 0, Rows = 0;
  std::vector<uint8_t> Coverage;
};

class FreeTypeFont : public TextFont {
public:
  FreeTypeFont(FontSpec spec, FT_Library lib, const std::vector<unsigned char>& file) : TextFont(std::move(spec)) {
    codePage_ = CodePageOfCharset(spec_.Charset);
    em_ = std::max(1, (spec_.Size * 96 + 36) / 72);
    if (FT_New_Memory_Face(lib, file.data(), static_cast<FT_Long>(file.size()), 0, &face_) != 0) {
      face_ = nullptr;
      return;
    }
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(em_));
    const int upem = face_->units_per_EM > 0 ? face_->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    long winAscent = os2 ? os2->usWinAscent : face_->ascender;
    long winDescent = os2 ? os2->usWinDescent : -face_->descender;
    metrics_.Ascent = RoundScaled(winAscent, em_, upem);
    metrics_.Descent = RoundScaled(winDescent, em_, upem);
    metrics_.Height = metrics_.Ascent + metrics_.Descent;
    if (hhea) {
      const long gap = hhea->Ascender - hhea->Descender + hhea->Line_Gap - (winAscent + winDescent);
      metrics_.ExternalLeading = std::max(0, RoundScaled(gap, em_, upem));
    }
    if (os2) {
      metrics_.AveCharWidth = RoundScaled(os2->xAvgCharWidth, em_, upem);
      strikePos_ = std::max(1, RoundScaled(os2->yStrikeoutPosition, em_, upem));
      strikeSize_ = std::max(1, RoundScaled(os2->yStrikeoutSize, em_, upem));
    }
    underlinePos_ = std::max(1, RoundScaled(-face_->underline_position, em_, upem));
    underlineSize_ = std::max(1, RoundScaled(face_->underline_thickness, em_, upem));
    // Unhinted advances, rounded once per character: measuring and placing agree.
    for (int c = 0; c < 256; ++c) {
      const FT_UInt index = GlyphIndex(static_cast<uint8_t>(c));
      FT_Fixed adv = 0;
      if (index != 0 || c >= 32) FT_Get_Advance(face_, index, FT_LOAD_NO_SCALE, &adv);
      advances_[c] = c < 32 ? 0 : RoundScaled(static_cast<long>(adv), em_, upem);
    }
  }
  ~FreeTypeFont() override {
    if (face_) FT_Done_Face(face_);
  }
  bool Ok() const { return face_ != nullptr; }

protected:
  void DrawGlyph(Canvas& canvas, int x, int y, uint8_t ch, uint32_t pixel) const override {
    Glyph& g = glyphs_[ch];
    if (!g.Ready) Render(ch, g);
    for (int r = 0; r < g.Rows; ++r)
      for (int c = 0; c < g.Width; ++c)
        canvas.BlendPixel(x + g.Left + c, y - g.Top + r, pixel, g.Coverage[static_cast<size_t>(r * g.Width + c)]);
  }

private:
  FT_UInt GlyphIndex(uint8_t ch) const {
    const uint16_t u = ch == 160 ? 0x20 : CodePageToUnicode(codePage_, ch);
    return u ? FT_Get_Char_Index(face_, u) : 0;
  }
  void Render(uint8_t ch, Glyph& g) const {
    g.Ready = true;
    if (ch <= 32 || ch == 160) return;
    if (FT_Load_Glyph(face_, GlyphIndex(ch), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return;
    const FT_Bitmap& bm = face_->glyph->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    g.Left = face_->glyph->bitmap_left;
    g.Top = face_->glyph->bitmap_top;
    g.Width = static_cast<int>(bm.width);
    g.Rows = static_cast<int>(bm.rows);
    g.Coverage.resize(static_cast<size_t>(g.Width) * static_cast<size_t>(g.Rows));
    for (int r = 0; r < g.Rows; ++r)
      std::copy_n(bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch, g.Width, g.Coverage.begin() + r * g.Width);
  }

  FT_Face face_ = nullptr;
  int em_ = 16;
  int codePage_ = 1252;
  mutable Glyph glyphs_[256];
};

// When no font file exists at all: fixed metrics, glyphs drawn as boxes.
class BoxFont : public TextFont {
public:
  BoxFont(FontSpec spec, int advance, int ascent, int descent, int leading) : TextFont(std::move(spec)) {
    metrics_ = {ascent + descent, ascent, descent, leading, 0, advance};
    for (int c = 32; c < 256; ++c) advances_[c] = advance;
  }

protected:
  void DrawGlyph(Canvas& canvas, int x, int y, uint8_t ch, uint32_t pixel) const override {
    if (ch == ' ' || ch == 160 || advances_[ch] < 2) return;
    for (int r = y - metrics_.Ascent + 2; r < y; ++r)
      for (int c = x; c < x + advances_[ch] - 1; ++c) canvas.BlendPixel(c, r, pixel, 255);
  }
};

const char* const kFontDirs[] = {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/",
                                 "/usr/share/fonts/truetype/dejavu/"};

}  // namespace

namespace {

// The four faces a name can resolve to; every other name is the last.
int FamilyOf(const std::string& name) {
  if (SameText(name, "Times New Roman")) return 0;
  if (SameText(name, "Courier New")) return 1;
  if (SameText(name, "Arial")) return 2;
  return 3;
}

std::string FindFontFile(int family, int style) {
  static const char* const kFamilies[3] = {"LiberationSerif", "LiberationMono", "LiberationSans"};
  static const char* const kStyles[4] = {"Regular", "Bold", "Italic", "BoldItalic"};
  static const char* const kDejaVu[4] = {"", "-Bold", "-Oblique", "-BoldOblique"};
  std::vector<std::string> names;
  if (family < 3) names.push_back(std::string(kFamilies[family]) + "-" + kStyles[style] + ".ttf");
  names.push_back(std::string("DejaVuSans") + kDejaVu[style] + ".ttf");
  names.push_back("DejaVuSans.ttf");
  for (const std::string& n : names)
    for (const char* dir : kFontDirs) {
      const std::string path = dir + n;
      if (std::ifstream(path).good()) return path;
    }
  return {};
}

int StyleOf(const FontSpec& spec) { return (spec.Bold ? 1 : 0) + (spec.Italic ? 2 : 0); }

}  // namespace

std::string FreeTypeFontProvider::FontFile(const FontSpec& spec) { return FindFontFile(FamilyOf(spec.Name), StyleOf(spec)); }

struct FreeTypeFontProvider::Impl {
  FT_Library lib = nullptr;
  std::mutex mutex;
  std::map<std::string, std::vector<unsigned char>> files;
  std::map<int, std::string> paths;  // by family * 4 + style
  // Fonts by what tells them apart: names only choose among four faces, so pages cannot
  // make the cache grow with names of their own.
  std::map<std::tuple<int, int, int, bool, bool, int>, std::shared_ptr<const TextFont>> fonts;
};

FreeTypeFontProvider::FreeTypeFontProvider() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->lib) != 0) {
    impl_->lib = nullptr;
    Log("ERROR: FreeType could not be started");
  }
}

FreeTypeFontProvider::~FreeTypeFontProvider() {
  impl_->fonts.clear();
  if (impl_->lib) FT_Done_FreeType(impl_->lib);
}

std::shared_ptr<const TextFont> FreeTypeFontProvider::Font(const FontSpec& spec) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  FontSpec s = spec;
  s.Size = std::clamp(s.Size, 1, 500);
  const int family = FamilyOf(s.Name), style = StyleOf(s);
  auto& slot = impl_->fonts[{family, style, s.Size, s.Underline, s.StrikeOut, CodePageOfCharset(s.Charset)}];
  if (slot) return slot;
  auto path = impl_->paths.find(family * 4 + style);
  if (path == impl_->paths.end()) path = impl_->paths.emplace(family * 4 + style, FindFontFile(family, style)).first;
  if (impl_->lib && !path->second.empty()) {
    auto& bytes = impl_->files[path->second];
    if (bytes.empty()) {
      std::ifstream in(path->second, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    auto ft = std::make_shared<FreeTypeFont>(s, impl_->lib, bytes);
    if (ft->Ok()) slot = ft;
  }
  if (!slot) {
    Log("ERROR: no font file for \"" + s.Name + "\"; drawing boxes");
    const int em = (s.Size * 96 + 36) / 72;
    slot = std::make_shared<BoxFont>(s, std::max(1, em / 2), em, std::max(1, em / 4), 0);
  }
  return slot;
}

FontProvider& SystemFonts() {
  static FreeTypeFontProvider provider;
  return provider;
}

}  // namespace vx
