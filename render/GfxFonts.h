#pragma once
// Bitmap fonts: an image whose patterns are the glyphs of a run of 8-bit character codes, with
// a width and height per glyph. Text is drawn as one textured quad per character through the
// device, with a vertical two-colour gradient, imitated bold and italic, a scale factor and
// colour tags ("#$AABBGGRR") inside the text. TGfxFonts loads every font record of an archive.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/GfxDef.h"
#include "render/GfxImg.h"

class TGfxDevice;
class TRecDb;

// A record that is not a font (or no record with the key).
constexpr int32_t errInvalidRecordType = -13;
// Font list codes: no device, device without a surface (named by the device header).
// errNotGfxDevice = -14, errDeviceInactive = -15.

// Archive record type of a font.
constexpr uint16_t FontRecordType = 5;

using TFontStyles = uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;  // accepted, not drawn
constexpr TFontStyles fsStrikeOut = 8;  // accepted, not drawn

class TGfxFont {
public:
  // Most glyphs a font record may hold: one per 8-bit code.
  static constexpr uint32_t MaxGlyphs = 256;

  TGfxFont() = default;
  ~TGfxFont();
  TGfxFont(const TGfxFont&) = delete;
  TGfxFont& operator=(const TGfxFont&) = delete;

  TGfxDevice* Device = nullptr;
  double Scale = 1.0;
  bool TextTags = false;  // kept for the owner: colour tags are always honoured
  int32_t Interleave = 0;  // extra advance after every glyph
  int32_t Index = -1;
  std::string Name;

  // Only bold and italic are kept.
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style) { style_ = static_cast<TFontStyles>(style & (fsBold | fsItalic)); }

  bool Loaded() const { return loaded_; }
  uint8_t FirstChar() const { return firstChar_; }
  int32_t GlyphCount() const { return static_cast<int32_t>(glyphs_.size()); }
  TGfxSize GlyphSize(int32_t glyph) const;
  // The two metrics stored with the record (the drawing does not use them).
  uint32_t Metric1() const { return metric1_; }
  uint32_t Metric2() const { return metric2_; }
  TGfxImage* Image() const { return image_.get(); }
  // Exchanges the glyph image (the same glyphs made for another device); the old one is freed.
  void SetImage(std::unique_ptr<TGfxImage> image) { image_ = std::move(image); }

  // Loads the font record `key` with glyphs in `format`. -1 when already loaded or without a
  // ready device, -13 when the record is missing or not a font, -8 when its glyph table does
  // not fit the record; archive and image codes are passed on.
  int32_t LoadFromRecDb(TRecDb& archive, std::string_view key, TColorFormat format);
  // Frees the glyph image. Always 0.
  int32_t Unload();

  // Draws with effect 5 (alpha blend, modulated).
  int32_t TextOut(std::string_view text, int32_t x, int32_t y, uint32_t colour);
  int32_t TextOut(std::string_view text, int32_t x, int32_t y, uint32_t colour, int32_t effect);
  // Top colour on the upper corners of every glyph, bottom colour on the lower ones. -1 when
  // not loaded; otherwise 0 once the text was walked.
  int32_t TextOutEx(std::string_view text, int32_t x, int32_t y, uint32_t topColour, uint32_t bottomColour,
                    int32_t effect);
  int32_t TextWidth(std::string_view text) const;
  int32_t TextHeight(std::string_view text) const;

private:
  std::unique_ptr<TGfxImage> image_;
  TFontStyles style_ = 0;
  std::vector<TGfxSize> glyphs_;
  bool loaded_ = false;
  uint8_t firstChar_ = 32;
  uint32_t metric1_ = 0;
  uint32_t metric2_ = 0;
};

// Sender, record key, index, accept, name, format.
using TFontNotifyEvent = std::function<void(void* sender, const std::string& key, int32_t index, bool& accept,
                                            std::string& name, TColorFormat& format)>;

class TGfxFonts {
public:
  TGfxFonts() = default;
  ~TGfxFonts();
  TGfxFonts(const TGfxFonts&) = delete;
  TGfxFonts& operator=(const TGfxFonts&) = delete;

  TGfxDevice* Device() const { return device_; }
  // Gives the device to every font.
  void SetDevice(TGfxDevice* device);
  // A device appearing while none is set is adopted; the set device going away leaves none.
  void DeviceInserted(TGfxDevice* device);
  void DeviceRemoved(TGfxDevice* device);

  TFontNotifyEvent OnLoad;
  bool ClearOnLoad = true;

  int32_t Count() const { return static_cast<int32_t>(fonts_.size()); }
  // nullptr outside 0..Count-1.
  TGfxFont* Items(int32_t index) const;
  void Clear();
  // A new font on the list's device, named "Font00", "Font01", ...
  TGfxFont* AddFont();

  // Loads every font record (type 5) of the archive, in table order. A record that fails to
  // load is logged and left out while the others still load; the result is then the first
  // failure's code. -14 without a device, -15 when the device has no surface.
  int32_t LoadFromRecDb(TRecDb& archive);

private:
  void RemoveFont(TGfxFont* font);

  TGfxDevice* device_ = nullptr;
  std::vector<std::unique_ptr<TGfxFont>> fonts_;
  int32_t nameCounter_ = 0;
};
