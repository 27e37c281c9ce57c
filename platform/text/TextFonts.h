#pragma once
// The text service of the HTML viewer: fonts chosen by name, size in points (96 pixels per
// inch) and style, with their metrics, advances, the fitting-extent call and baseline text
// output. Text is 8-bit in the code page of the font's charset.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

namespace vx {

struct FontSpec {
  std::string Name = "Times New Roman";
  int Size = 12;  // points
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  int Charset = 1;
  bool operator==(const FontSpec&) const = default;
};

// The font's metrics in pixels, as a desktop text call reports them.
struct FontMetrics {
  int Height = 0;  // ascent + descent
  int Ascent = 0, Descent = 0;
  int ExternalLeading = 0;
  int Overhang = 0;
  int AveCharWidth = 0;
};

class TextFont {
public:
  virtual ~TextFont() = default;
  const FontSpec& Spec() const { return spec_; }
  const FontMetrics& Metrics() const { return metrics_; }
  // Advance of one character in pixels.
  int Advance(uint8_t ch) const { return advances_[ch]; }
  int TextWidth(std::string_view text) const;
  // How many leading characters fit in maxWidth (0 when not even the first does), and
  // their width.
  int FitCount(std::string_view text, int maxWidth, int* width = nullptr) const;
  // Draws with the baseline at y; with a background the character cells are filled first.
  void TextOut(Canvas& canvas, int x, int y, std::string_view text, TColor color, const TColor* background = nullptr) const;

protected:
  explicit TextFont(FontSpec spec) : spec_(std::move(spec)) {}
  // Draws one character's glyph with its origin at (x, y).
  virtual void DrawGlyph(Canvas& canvas, int x, int y, uint8_t ch, uint32_t pixel) const = 0;

  FontSpec spec_;
  FontMetrics metrics_;
  int advances_[256] = {};
  int underlinePos_ = 1, underlineSize_ = 1;  // below the baseline
  int strikePos_ = 3, strikeSize_ = 1;        // above the baseline
};

// Hands out fonts; the same spec gives the same font object.
class FontProvider {
public:
  virtual ~FontProvider() = default;
  virtual std::shared_ptr<const TextFont> Font(const FontSpec& spec) = 0;
};

// The real fonts, from the system's font files: "Times New Roman" as Liberation Serif,
// "Courier New" as Liberation Mono, "Arial" as Liberation Sans, any other name as DejaVu Sans.
class FreeTypeFontProvider : public FontProvider {
public:
  FreeTypeFontProvider();
  ~FreeTypeFontProvider() override;
  std::shared_ptr<const TextFont> Font(const FontSpec& spec) override;
  // The file a spec resolves to (empty when none is installed).
  static std::string FontFile(const FontSpec& spec);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The one provider of the program's real fonts.
FontProvider& SystemFonts();

}  // namespace vx
