#include "render/GfxFonts.h"

#include <algorithm>
#include <limits>

#include "core/Log.h"
#include "core/Rounding.h"
#include "render/GfxDevice.h"
#include "render/RecDb.h"
#include "render/StreamEx.h"
#include "render/Streams.h"

namespace {

// Walks a text the way drawing and measuring see it. A "#" at 1-based position i starts a
// colour tag when i < length - 10 and the next character is "$": the tag is "#", "$" and
// eight hexadecimal digits, is neither drawn nor measured, and the character right after it
// is taken in the same step (as a character, even when it is another "#"). So a tag needs
// at least two characters after it to count.
class TextWalker {
public:
  explicit TextWalker(std::string_view text) : t_(text) {}

  // False at the end. Otherwise `ch` is the next character; `tag` tells whether a tag came
  // right before it, and then `tagValid`/`tagColour` its value.
  bool Next(uint8_t& ch, bool& tag, bool& tagValid, uint32_t& tagColour) {
    if (p_ >= t_.size()) return false;
    tag = false;
    const size_t len = t_.size();
    if (t_[p_] == '#' && len > 10 && p_ + 1 < len - 10 && t_[p_ + 1] == '$') {
      tag = true;
      tagValid = ParseHex8(t_.substr(p_ + 2, 8), tagColour);
      p_ += 10;
    }
    ch = static_cast<uint8_t>(t_[p_]);
    ++p_;
    return true;
  }

private:
  static bool ParseHex8(std::string_view s, uint32_t& value) {
    uint32_t v = 0;
    for (char c : s) {
      uint32_t d;
      if (c >= '0' && c <= '9') {
        d = static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        d = static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        d = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        return false;
      }
      v = v << 4 | d;
    }
    value = v;
    return true;
  }

  std::string_view t_;
  size_t p_ = 0;
};

// Calls visit(size) with the table size of every character of the text the font has a glyph
// for, in order; colour tags and characters outside the font are passed over.
template <class Visit>
void ForEachGlyph(std::string_view text, uint8_t firstChar, const std::vector<TGfxSize>& glyphs, Visit visit) {
  TextWalker walker(text);
  uint8_t ch;
  bool tag, tagValid;
  uint32_t tagColour;
  while (walker.Next(ch, tag, tagValid, tagColour)) {
    const int32_t g = static_cast<int32_t>(ch) - firstChar;
    if (g < 0 || g >= static_cast<int32_t>(glyphs.size())) continue;
    visit(glyphs[static_cast<size_t>(g)]);
  }
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ---- TGfxFont -----------------------------------------------------------------------------

TGfxFont::~TGfxFont() { Unload(); }

TGfxSize TGfxFont::GlyphSize(int32_t glyph) const {
  if (glyph < 0 || glyph >= GlyphCount()) return TGfxSize{};
  return glyphs_[static_cast<size_t>(glyph)];
}

int32_t TGfxFont::Unload() {
  if (image_) {
    image_->Release();
    image_.reset();
  }
  loaded_ = false;
  return 0;
}

int32_t TGfxFont::LoadFromRecDb(TRecDb& archive, std::string_view key, TColorFormat format) {
  if (loaded_ || !Device || !Device->SurfaceCreated()) return errInvalidCall;
  if (!archive.Opened()) {
    int32_t code = archive.Open();
    if (code != 0) return code;
  }
  int32_t index = archive.FindRecord(key);
  if (index < 0 || archive.RecordType(index) != FontRecordType) return errInvalidRecordType;
  TMemoryStream stream;
  int32_t code = archive.ReadStream(key, stream);
  if (code != 0) return code;
  stream.SetPosition(0);

  std::vector<TGfxSize> glyphs;
  uint32_t first, m1, m2, count;
  try {
    first = StreamReadU32(stream);
    m1 = StreamReadU32(stream);
    m2 = StreamReadU32(stream);
    count = StreamReadU32(stream);
    // The table must fit the record and stay within one glyph per 8-bit code.
    if (count > MaxGlyphs || static_cast<int64_t>(count) * 8 > stream.Remaining()) return errImageFormat;
    glyphs.resize(count);
    for (TGfxSize& g : glyphs) {
      g.Width = StreamReadI32(stream);
      g.Height = StreamReadI32(stream);
      if (g.Width < 0 || g.Height < 0 || g.Width > TGfxImage::MaxSide || g.Height > TGfxImage::MaxSide) {
        return errImageFormat;
      }
    }
  } catch (const EStreamError&) {
    return errArchiveRead;
  }

  std::unique_ptr<TGfxImage> image = Device->CreateImage();
  if (!image) return errInvalidCall;
  if (!image->Device) image->Device = Device;
  code = image->LoadFromStream(stream, format);
  if (code != 0) return code;  // the image frees itself here
  image_ = std::move(image);
  glyphs_ = std::move(glyphs);
  firstChar_ = static_cast<uint8_t>(first & 0xFF);
  metric1_ = m1;
  metric2_ = m2;
  loaded_ = true;
  return 0;
}

int32_t TGfxFont::TextOut(std::string_view text, int32_t x, int32_t y, uint32_t colour) {
  return TextOutEx(text, x, y, colour, colour, 5);
}

int32_t TGfxFont::TextOut(std::string_view text, int32_t x, int32_t y, uint32_t colour, int32_t effect) {
  return TextOutEx(text, x, y, colour, colour, effect);
}

int32_t TGfxFont::TextOutEx(std::string_view text, int32_t x, int32_t y, uint32_t topColour,
                            uint32_t bottomColour, int32_t effect) {
  if (!loaded_ || !image_ || !Device) return errInvalidCall;
  if (text.empty()) return 0;
  effect |= 1 | 4;
  TColor4 colours{topColour, topColour, bottomColour, bottomColour};
  uint32_t lastTag = topColour;

  const TGfxSize visible = image_->VisibleSize();
  const TGfxSize cell = image_->PatternSize();
  const bool bold = (style_ & fsBold) != 0, italic = (style_ & fsItalic) != 0;
  // Bold italic takes the cell size; every other style the visible size.
  const TGfxSize quadSize = bold && italic ? cell : visible;
  const int64_t W = vx::Round32(quadSize.Width * Scale);
  const int64_t H = vx::Round32(quadSize.Height * Scale);
  const int64_t slant = italic ? W / 4 : 0;

  int64_t pen = x;
  TextWalker walker(text);
  uint8_t ch;
  bool tag, tagValid;
  uint32_t tagColour = 0;
  while (walker.Next(ch, tag, tagValid, tagColour)) {
    if (tag) {
      if (tagValid) lastTag = tagColour;
      colours = Color4(lastTag);
    }
    const int32_t g = static_cast<int32_t>(ch) - firstChar_;
    if (g < 0 || g >= GlyphCount()) continue;
    auto quadAt = [&](int64_t left) {
      return TPoint4{TGfxPoint{Clamp32(left + slant), y}, TGfxPoint{Clamp32(left + W + slant), y},
                     TGfxPoint{Clamp32(left + W), Clamp32(int64_t{y} + H)},
                     TGfxPoint{Clamp32(left), Clamp32(int64_t{y} + H)}};
    };
    const TGfxPattern pattern(g);
    if (bold) {
      Device->TextureMap(image_.get(), quadAt(pen - 1), colours, effect, pattern);
      Device->TextureMap(image_.get(), quadAt(pen + 1), colours, effect, pattern);
    }
    Device->TextureMap(image_.get(), quadAt(pen), colours, effect, pattern);
    pen += vx::Round32(glyphs_[static_cast<size_t>(g)].Width * Scale) + int64_t{Interleave};
  }
  return 0;
}

int32_t TGfxFont::TextWidth(std::string_view text) const {
  if (!loaded_ || text.empty()) return 0;
  int64_t width = 0;
  ForEachGlyph(text, firstChar_, glyphs_,
               [&](const TGfxSize& glyph) { width += vx::Round32(glyph.Width * Scale) + int64_t{Interleave}; });
  return Clamp32(width);
}

int32_t TGfxFont::TextHeight(std::string_view text) const {
  if (!loaded_ || text.empty()) return 0;
  int32_t height = 0;
  ForEachGlyph(text, firstChar_, glyphs_,
               [&](const TGfxSize& glyph) { height = std::max(height, vx::Round32(glyph.Height * Scale)); });
  return height;
}

// ---- TGfxFonts ----------------------------------------------------------------------------

TGfxFonts::~TGfxFonts() { Clear(); }

void TGfxFonts::SetDevice(TGfxDevice* device) {
  device_ = device;
  for (auto& f : fonts_) f->Device = device;
}

void TGfxFonts::DeviceInserted(TGfxDevice* device) {
  if (!device_ && device) SetDevice(device);
}

void TGfxFonts::DeviceRemoved(TGfxDevice* device) {
  if (device && device == device_) SetDevice(nullptr);
}

TGfxFont* TGfxFonts::Items(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return fonts_[static_cast<size_t>(index)].get();
}

void TGfxFonts::Clear() {
  while (!fonts_.empty()) fonts_.pop_back();
}

TGfxFont* TGfxFonts::AddFont() {
  auto font = std::make_unique<TGfxFont>();
  font->Device = device_;
  font->Index = Count();
  std::string n = std::to_string(nameCounter_);
  font->Name = "Font" + (n.size() < 2 ? "0" + n : n);
  ++nameCounter_;
  fonts_.push_back(std::move(font));
  return fonts_.back().get();
}

void TGfxFonts::RemoveFont(TGfxFont* font) {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    if (fonts_[i].get() == font) {
      fonts_.erase(fonts_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  for (size_t i = 0; i < fonts_.size(); ++i) fonts_[i]->Index = static_cast<int32_t>(i);
}

int32_t TGfxFonts::LoadFromRecDb(TRecDb& archive) {
  if (!archive.Opened()) {
    int32_t code = archive.Open();
    if (code != 0) return code;
  }
  if (!device_) return errNotGfxDevice;
  if (!device_->SurfaceCreated()) return errDeviceInactive;
  if (ClearOnLoad) Clear();
  int32_t result = 0;
  for (int32_t i = 0; i < archive.RecordCount(); ++i) {
    if (archive.RecordType(i) != FontRecordType) continue;
    const std::string key = archive.RecordKey(i);
    bool accept = true;
    std::string name = key;
    TColorFormat format = device_->PreferredFormat(2);
    if (OnLoad) OnLoad(this, key, Count(), accept, name, format);
    if (!accept) continue;
    TGfxFont* font = AddFont();
    int32_t code = font->LoadFromRecDb(archive, key, format);
    if (code != 0) {
      // One damaged font must not cost the others: drop it, say so, go on.
      Log("ERROR: font \"" + key + "\" not loaded: " + ErrorString(code));
      RemoveFont(font);
      if (result == 0) result = code;
      continue;
    }
    font->Name = name;
  }
  return result;
}
