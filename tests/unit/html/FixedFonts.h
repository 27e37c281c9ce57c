#pragma once
// A font provider with fixed metrics for layout tests: every character `advance` wide (a
// space too), height ascent + descent; glyphs are filled boxes from two rows below the top
// of the cell to the baseline, one column short of the advance.
#include <memory>

#include "platform/text/TextFonts.h"

namespace vxtest {

class FixedFont : public vx::TextFont {
public:
  FixedFont(vx::FontSpec spec, int advance, int ascent, int descent, int leading) : TextFont(std::move(spec)) {
    metrics_ = {ascent + descent, ascent, descent, leading, 0, advance};
    for (int c = 32; c < 256; ++c) advances_[c] = advance;
  }

protected:
  void DrawGlyph(vx::Canvas& canvas, int x, int y, uint8_t ch, uint32_t pixel) const override {
    if (ch == ' ' || ch == 160) return;
    for (int r = y - metrics_.Ascent + 2; r < y; ++r)
      for (int c = x; c < x + advances_[ch] - 1; ++c) canvas.BlendPixel(c, r, pixel, 255);
  }
};

class FixedFontProvider : public vx::FontProvider {
public:
  FixedFontProvider(int advance, int ascent, int descent, int leading)
      : advance_(advance), ascent_(ascent), descent_(descent), leading_(leading) {}
  std::shared_ptr<const vx::TextFont> Font(const vx::FontSpec& spec) override {
    return std::make_shared<FixedFont>(spec, advance_, ascent_, descent_, leading_);
  }

private:
  int advance_, ascent_, descent_, leading_;
};

}  // namespace vxtest
