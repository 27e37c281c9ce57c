// Colour reduction: the lookups against a brute-force nearest colour, Floyd-Steinberg keeping
// the mean colour of an area, and the octree quantiser's palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <tuple>

#include "html/Dither.h"
#include "render/BitmapEx.h"

namespace {

TEST(DitherTest, LookupsFindTheNearestPaletteColour) {
  TNetscapeColorLookup web;
  const TLogPalette cube = WebPalette();
  ASSERT_EQ(cube.size(), 216u);
  uint8_t r = 255, g = 255, b = 255;
  EXPECT_EQ(web.Lookup(r, g, b), 215);
  r = g = b = 0;
  EXPECT_EQ(web.Lookup(r, g, b), 0);

  std::mt19937 rng(132u);
  TLogPalette palette(100);
  for (auto& e : palette) e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
  palette[7] = palette[3];  // a duplicate: the first one is the answer
  for (int i = 0; i < 2000; ++i) {
    const TPaletteEntry c{static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
    // A fresh lookup has nothing cached: it must find the nearest (first of equals).
    TFastColorLookup fast(palette);
    size_t best = 0;
    int bestD = 1 << 30;
    for (size_t k = 0; k < palette.size(); ++k) {
      const int d = std::abs(palette[k].Red - c.Red) + std::abs(palette[k].Green - c.Green) + std::abs(palette[k].Blue - c.Blue);
      if (d < bestD) bestD = d, best = k;
    }
    uint8_t fr = c.Red, fg = c.Green, fb = c.Blue;
    ASSERT_EQ(fast.Lookup(fr, fg, fb), best);
    EXPECT_EQ((TPaletteEntry{fr, fg, fb}), palette[best]);
    // The web cube's arithmetic lands on the cube step at or just below each channel.
    uint8_t wr = c.Red, wg = c.Green, wb = c.Blue;
    const uint8_t wi = web.Lookup(wr, wg, wb);
    EXPECT_EQ(cube[wi], (TPaletteEntry{wr, wg, wb}));
    for (auto [w, v] : {std::pair<int, int>{wr, c.Red}, {wg, c.Green}, {wb, c.Blue}}) {
      EXPECT_TRUE(w - 3 <= v && v < w + 48) << w << " for " << v;
    }
  }
  TFastColorLookup own(palette);
  for (size_t k = 0; k < palette.size(); ++k) {
    uint8_t pr = palette[k].Red, pg = palette[k].Green, pb = palette[k].Blue;
    EXPECT_EQ(own.Lookup(pr, pg, pb), k == 7 ? 3u : k);
  }
}

TEST(DitherTest, FloydSteinbergMatchesAPlainWholePictureDiffusion) {
  const TLogPalette cube = WebPalette();
  std::mt19937 rng(7u);
  // Random pictures and palettes; the reference keeps every row's errors.
  for (int trial = 0; trial < 5; ++trial) {
    const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 20);
    TBitmapEx pic;
    pic.SetSize(w, h);
    for (int i = 0; i < w * h; ++i) pic.Pixels()[i] = 0xFF000000u | (rng() & 0xFFFFFF);
    TLogPalette palette(2 + rng() % 30);
    for (auto& e : palette) e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
    TFastColorLookup lookup(palette);
    std::vector<int> err(static_cast<size_t>((h + 1) * (w + 2) * 3), 0);
    auto at = [&](int y, int x, int ch) -> int& { return err[static_cast<size_t>((y * (w + 2) + x + 1) * 3 + ch)]; };
    const TIndexedBitmap got = ReduceToPalette(pic, palette);
    for (int y = 0; y < h; ++y) {
      const int dir = y % 2 == 0 ? 1 : -1;
      int carried[3] = {};
      for (int i = 0; i < w; ++i) {
        const int x = dir > 0 ? i : w - 1 - i;
        const uint32_t p = pic.Pixel(x, y);
        const int src[3] = {static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255), static_cast<int>(p & 255)};
        uint8_t v[3];
        for (int ch = 0; ch < 3; ++ch) v[ch] = static_cast<uint8_t>(std::clamp((at(y, x, ch) + carried[ch] + 8) / 16 + src[ch], 0, 255));
        uint8_t shown[3] = {v[0], v[1], v[2]};
        const uint8_t index = lookup.Lookup(shown[0], shown[1], shown[2]);
        ASSERT_EQ(got.Indexes[static_cast<size_t>(y * w + x)], index) << trial << " at " << x << "," << y;
        for (int ch = 0; ch < 3; ++ch) {
          const int e = v[ch] - shown[ch];
          carried[ch] = 7 * e;
          at(y + 1, x - dir, ch) += 3 * e;
          at(y + 1, x, ch) += 5 * e;
          at(y + 1, x + dir, ch) += e;
        }
      }
    }
  }
  // A colour of the palette comes out as itself, every pixel.
  TBitmapEx exact;
  exact.SetSize(5, 5);
  exact.Fill(0xFF336699);
  for (uint8_t i : ReduceToPalette(exact, cube).Indexes) EXPECT_EQ(i, 36 * 3 + 6 * 2 + 1);
}

TEST(DitherTest, OctreeQuantiserBuildsAPaletteOfAtMostItsColours) {
  EXPECT_THROW(TColorQuantizer(1, 6), EQuantizerError);
  EXPECT_THROW(TColorQuantizer(16, 0), EQuantizerError);

  // Fewer colours than allowed: every one kept exactly.
  TColorQuantizer few(16, 8);
  const TLogPalette colours = {{10, 20, 30}, {200, 100, 50}, {0, 0, 0}, {255, 255, 255}, {128, 64, 32}};
  for (int rep = 0; rep < 3; ++rep) {
    for (const auto& e : colours) few.AddColor(e.Red, e.Green, e.Blue);
  }
  TLogPalette got = few.Palette(), want = colours;
  auto order = [](const TPaletteEntry& a, const TPaletteEntry& b) {
    return std::tie(a.Red, a.Green, a.Blue) < std::tie(b.Red, b.Green, b.Blue);
  };
  std::sort(got.begin(), got.end(), order);
  std::sort(want.begin(), want.end(), order);
  EXPECT_EQ(got, want);

  // Many colours: merged down to the limit.
  std::mt19937 rng(8u);
  TBitmapEx noise;
  noise.SetSize(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) noise.Pixels()[y * 64 + x] = 0xFF000000u | (rng() & 0xFFFFFF);
  }
  for (int n : {2, 7, 64, 236}) {
    TColorQuantizer q(n, 6);
    q.ProcessImage(noise);
    EXPECT_LE(q.LeafCount(), n);
    EXPECT_EQ(q.Palette().size(), static_cast<size_t>(q.LeafCount()));
    // One merge joins at most eight leaves: the count stays close to the limit, except that
    // below eight colours the merges reach the root.
    EXPECT_GE(q.LeafCount(), n >= 8 ? n - 6 : 1);
  }
  TColorQuantizer sys(236, 5);
  sys.ProcessImage(noise);
  const TLogPalette full = sys.Palette(true);
  ASSERT_EQ(full.size(), 256u);
  EXPECT_EQ(full[0], (TPaletteEntry{0, 0, 0}));
  EXPECT_EQ(full[255], (TPaletteEntry{255, 255, 255}));
}

}  // namespace
