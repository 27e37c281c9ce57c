// Pixel formats: exact narrowing and widening values, round trips of every stored value, and
// the per-format line converters against the table-driven reference.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/GfxFormats.h"

namespace {

uint32_t Narrow(uint32_t colour, TColorFormat f) {
  uint32_t out = 0;
  WritePixel(colour, &out, f);
  return out;
}

uint32_t Widen(uint32_t value, TColorFormat f) { return ReadPixel(&value, f); }

// The bits a format actually stores (the X formats leave some bits without meaning).
uint32_t StoredMask(TColorFormat f) {
  int bits = 0;
  for (int k = 0; k < 4; ++k) bits += ColorFormatBits[f][k];
  return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
}

TEST(PixelFormatTest, NarrowingKeepsTheTopBitsOfEachComponent) {
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_R3G3B2), 0xFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_R5G6B5), 0xFFFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_X1R5G5B5), 0x7FFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_X4R4G4B4), 0x0FFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_A1R5G5B5), 0xFFFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_A4R4G4B4), 0xFFFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_A8R3G3B2), 0xFFFFu);
  EXPECT_EQ(Narrow(0xFFFFFFFF, COLOR_A2R2G2B2), 0xFFu);
  // Red gets two bits and blue three in the R3G3B2 layouts.
  EXPECT_EQ(Narrow(0x00FF0000, COLOR_R3G3B2), 0xC0u);
  EXPECT_EQ(Narrow(0x000000FF, COLOR_R3G3B2), 0x07u);
  EXPECT_EQ(Narrow(0x0000FF00, COLOR_R3G3B2), 0x38u);
  EXPECT_EQ(Narrow(0x00FF0000, COLOR_A2R2G2B2), 0x30u);
  EXPECT_EQ(Narrow(0x80FF0000, COLOR_A8R3G3B2), 0x80C0u);
  // One-bit alpha is set from 128 up.
  EXPECT_EQ(Narrow(0x7FFFFFFF, COLOR_A1R5G5B5), 0x7FFFu);
  EXPECT_EQ(Narrow(0x80000000, COLOR_A1R5G5B5), 0x8000u);
  EXPECT_EQ(Narrow(0x12345678, COLOR_A8R8G8B8), 0x12345678u);
  // A single X8 write marks the pixel opaque; the X formats never set their spare bits.
  EXPECT_EQ(Narrow(0x12345678, COLOR_X8R8G8B8), 0xFF345678u);
  EXPECT_EQ(Narrow(0x00000000, COLOR_X8R8G8B8), 0xFF000000u);
  EXPECT_EQ(Narrow(0xFF000000, COLOR_X1R5G5B5), 0u);
  EXPECT_EQ(Narrow(0xFF000000, COLOR_X4R4G4B4), 0u);
}

TEST(PixelFormatTest, WideningScalesWithIntegerDivision) {
  EXPECT_EQ(Widen(0xFFFF, COLOR_R5G6B5), 0xFFFFFFFFu);
  EXPECT_EQ(Widen(0x0000, COLOR_R5G6B5), 0xFF000000u);
  EXPECT_EQ(Widen(16, COLOR_X1R5G5B5), 0xFF000083u);  // 16 * 255 / 31 = 131
  EXPECT_EQ(Widen(0x01, COLOR_A2R2G2B2), 0x00000055u);  // 2-bit 1 gives 85; alpha 0
  EXPECT_EQ(Widen(0x8000, COLOR_A1R5G5B5), 0xFF000000u);
  EXPECT_EQ(Widen(0xC0, COLOR_R3G3B2), 0xFFFF0000u);
  EXPECT_EQ(Widen(0x07, COLOR_R3G3B2), 0xFF0000FFu);
  // X8 read alone comes back opaque; A8 keeps its alpha.
  EXPECT_EQ(Widen(0x00123456, COLOR_X8R8G8B8), 0xFF123456u);
  EXPECT_EQ(Widen(0x00123456, COLOR_A8R8G8B8), 0x00123456u);
  // Only the format's bytes are read: the byte after a 16-bit pixel does not leak in.
  const uint8_t two[4] = {0x1F, 0x00, 0xEE, 0xEE};
  EXPECT_EQ(ReadPixel(two, COLOR_R5G6B5), 0xFF0000FFu);
}

TEST(PixelFormatTest, EveryStoredValueWidenedThenNarrowedGivesItself) {
  for (int f = 0; f < ColorFormatCount; ++f) {
    const TColorFormat format = static_cast<TColorFormat>(f);
    if (ColorFormatBytes[f] == 4) continue;  // checked with random values below
    const uint32_t mask = StoredMask(format);
    const uint32_t limit = ColorFormatBytes[f] == 1 ? 0x100u : 0x10000u;
    for (uint32_t v = 0; v < limit; ++v) {
      if ((v & mask) != v) continue;  // a spare bit of an X format
      ASSERT_EQ(Narrow(Widen(v, format), format), v) << "format " << f << " value " << v;
    }
  }
  std::mt19937 rng(1);
  for (int i = 0; i < 10000; ++i) {
    const uint32_t v = rng();
    ASSERT_EQ(Narrow(Widen(v, COLOR_A8R8G8B8), COLOR_A8R8G8B8), v);
    ASSERT_EQ(Narrow(Widen(v, COLOR_X8R8G8B8), COLOR_X8R8G8B8), v | 0xFF000000u);
  }
}

TEST(PixelFormatTest, ConvertersMatchTheReferenceOnRandomRows) {
  std::mt19937 rng(2);
  for (int f = 0; f < ColorFormatCount; ++f) {
    const TColorFormat format = static_cast<TColorFormat>(f);
    const TLineConverter convert = GetLineConverter(format);
    ASSERT_NE(convert, nullptr);
    for (int32_t count : {0, 1, 3, 7, 64, 333}) {
      std::vector<uint32_t> src(static_cast<size_t>(count));
      for (auto& c : src) c = rng();
      const size_t bytes = static_cast<size_t>(count) * ColorFormatBytes[f];
      std::vector<uint8_t> fast(bytes + 8, 0xCD), slow(bytes + 8, 0xCD);
      convert(src.data(), fast.data(), count);
      vx::ConvertLineGeneric(src.data(), slow.data(), count, format);
      ASSERT_EQ(fast, slow) << "format " << f << " count " << count;
      EXPECT_EQ(fast[bytes], 0xCD) << "wrote past the row";

      std::vector<uint32_t> wideFast(static_cast<size_t>(count) + 2, 0xCDCDCDCD), wideSlow = wideFast;
      ConvertLineToARGB(fast.data(), wideFast.data(), count, format);
      vx::ConvertLineToARGBGeneric(fast.data(), wideSlow.data(), count, format);
      ASSERT_EQ(wideFast, wideSlow) << "format " << f << " count " << count;
      EXPECT_EQ(wideFast[static_cast<size_t>(count)], 0xCDCDCDCDu);
      // Every single-pixel read agrees with the line widening.
      for (int32_t i = 0; i < count && format != COLOR_X8R8G8B8; ++i) {
        ASSERT_EQ(ReadPixel(fast.data() + static_cast<size_t>(i) * ColorFormatBytes[f], format),
                  wideFast[static_cast<size_t>(i)]);
      }
    }
  }
}

TEST(PixelFormatTest, ThirtyTwoBitLinesAreCopiedUnchanged) {
  const std::vector<uint32_t> src{0x00112233, 0x80FFFFFF, 0x12345678};
  for (TColorFormat f : {COLOR_X8R8G8B8, COLOR_A8R8G8B8}) {
    std::vector<uint32_t> out(3), back(3);
    GetLineConverter(f)(src.data(), out.data(), 3);
    EXPECT_EQ(out, src);  // the source alpha stays, even in X8
    ConvertLineToARGB(out.data(), back.data(), 3, f);
    EXPECT_EQ(back, src);
  }
}

TEST(PixelFormatTest, OutOfRangeFormatsDoNothing) {
  const TColorFormat bad = static_cast<TColorFormat>(10);
  EXPECT_EQ(GetLineConverter(bad), nullptr);
  EXPECT_EQ(FormatBytesPerPixel(10), 0);
  EXPECT_EQ(FormatBytesPerPixel(-1), 0);
  EXPECT_EQ(FormatBytesPerPixel(COLOR_A8R3G3B2), 2);
  uint32_t canary = 0xCDCDCDCD;
  WritePixel(0xFFFFFFFF, &canary, bad);
  EXPECT_EQ(canary, 0xCDCDCDCDu);
  EXPECT_EQ(ReadPixel(&canary, bad), 0u);
  uint32_t out = 0xCDCDCDCD;
  ConvertLineToARGB(&canary, &out, 1, bad);
  EXPECT_EQ(out, 0xCDCDCDCDu);
}

}  // namespace
