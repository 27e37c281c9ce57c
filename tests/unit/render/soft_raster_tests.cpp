// The software rasteriser against a reference written straight from its blend table and its
// span rules, over every flag word; the corner order of textured quads on an asymmetric
// pattern; the pinned arithmetic of lines, clears and single pixels; and a randomised run
// that must never read outside a texture nor write outside the clip (the sanitizer build
// catches the reads, guard pixels the writes).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "render/SoftRaster.h"

namespace {

int Ch(uint32_t c, int i) { return static_cast<int>((c >> (8 * i)) & 0xFF); }
int Mul(int s, int f) { return (s * f) >> 8; }
int Sat(int v) { return std::min(v, 255); }

// The blend table, row by row: the first row whose flags are all set.
uint32_t RefBlend(uint32_t S, uint32_t D, uint32_t f) {
  const auto has = [f](uint32_t bits) { return (f & bits) == bits; };
  const uint32_t add = srfAdd, rev = srfReverseAlpha, sa = srfSrcAlpha, dia = srfDestInvAlpha, dsc = srfDestSrcColor;
  const int a = Ch(S, 3);
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const int s = Ch(S, i), d = Ch(D, i);
    const bool alpha = i == 3;
    int v;
    if (has(srfCopy)) v = s;
    else if (has(add | rev | sa | dia)) v = alpha ? 0 : Sat(Mul(s, 255 - a) + Mul(d, a));
    else if (has(add | rev | sa)) v = alpha ? d : Sat(Mul(s, 255 - a) + d);
    else if (has(add | rev)) v = alpha ? s : Sat(s + Mul(d, a));
    else if (has(add | sa | dia)) v = alpha ? 0 : Sat(Mul(s, a) + Mul(d, 255 - a));
    else if (has(add | sa)) v = alpha ? d : Sat(Mul(s, a) + d);
    else if (has(add | dia)) v = alpha ? s : Sat(s + Mul(d, 255 - a));
    else if (has(add | dsc)) v = Sat(s + Mul(d, s));
    else if (has(add)) v = Sat(s + d);
    else if (has(rev)) v = alpha ? 0 : Mul(d, a);
    else if (has(dia)) v = alpha ? 0 : Mul(d, 255 - a);
    else if (has(dsc)) v = Mul(d, s);
    else v = d;
    out |= static_cast<uint32_t>(v) << (8 * i);
  }
  return out;
}

// A span pixel from its source after inversion and modulation (or the ramp colour of a fill).
uint32_t RefSpan(uint32_t S, uint32_t D, uint32_t f) {
  if (f & srfFill) return RefBlend(S, D, f & ~srfReverseAlpha);
  if (f & srfCopy) return S;
  const bool lum = (f & srfLumAlpha) != 0, add = (f & srfAdd) != 0;
  if (lum) {
    const uint32_t l = static_cast<uint32_t>((Ch(S, 0) * 3 >> 4) + (Ch(S, 1) * 8 >> 4) + (Ch(S, 2) * 5 >> 4));
    S = (S & 0x00FFFFFFu) | l << 24;
  }
  if (lum && add && !(f & (srfReverseAlpha | srfSrcAlpha))) return RefBlend(S, D, srfAdd | srfDestInvAlpha);
  if (lum && !add) return RefBlend(S, D, (f & srfReverseAlpha) ? srfReverseAlpha : srfDestInvAlpha);
  if ((f & srfInvert) && !lum && !add) return RefBlend(S, D, srfDestSrcColor);
  return RefBlend(S, D, f);
}

constexpr int kSize = 48;

struct Canvas {
  std::vector<uint32_t> Pixels = std::vector<uint32_t>(kSize * kSize);
  TSRSurface Surface() { return {reinterpret_cast<uint8_t*>(Pixels.data()), kSize * 4, kSize, kSize}; }
};

TEST(SoftRaster, EveryFlagWordBlendsAsTheTableSaysOnPixelsAndOnBothQuadPaths) {
  std::mt19937 rng(2024);
  const auto any = [&] { return static_cast<uint32_t>(rng()); };
  const auto below255 = [&] { return any() & 0xFEFEFEFEu; };
  const auto coord = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  // Texels that are neither 0 nor all ones, so an untouched pixel (all ones) tells itself apart.
  std::vector<uint32_t> texels(16 * 16);
  const TGfxRect all{0, 0, kSize, kSize};
  int compared = 0;
  uint32_t k = 0;
  for (uint32_t f = 0; f < 0x800; ++f) {
    if (f & 0x100) continue;  // not a flag
    for (int i = 0; i < 8; ++i) {  // single pixels, exactly the table
      const uint32_t s = any(), d = any();
      Canvas c;
      c.Pixels[5] = d;
      SRPutPixel(c.Surface(), all, 5, 0, s, f);
      ASSERT_EQ(c.Pixels[5], RefBlend(s, d, f)) << std::hex << "flags " << f << " s " << s << " d " << d;
    }
    for (int q = 0; q < 5; ++q) {
      for (uint32_t& t : texels) t = std::clamp(any(), 1u, 0xFFFFFFFEu);
      const TSRSurface tex{reinterpret_cast<uint8_t*>(texels.data()), 16 * 4, 16, 16};
      TColor4 colours{below255(), below255(), below255(), below255()};
      TGfxRect texRect{coord(0, 16), coord(0, 16), coord(0, 16), coord(0, 16)};
      TPoint4 p;
      if (q < 2) {  // texel for texel under one colour: the vector fast paths
        const uint32_t flat = (k++ % 2 && !(f & srfFill)) ? 0xFFFFFFFFu : below255();  // white would be the sentinel
        colours = {flat, flat, flat, flat};
        const int x0 = coord(-4, 20), y0 = coord(0, 20), w = coord(9, 16), h = coord(4, 16);
        texRect = {16 - w, 0, 16, h};
        p = {TGfxPoint{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}};
      } else if (q < 3) {  // a rectangle, corner by corner (either direction)
        const int x0 = coord(-8, 40), y0 = coord(-8, 40), x1 = coord(-8, 56), y1 = coord(-8, 56);
        p = {TGfxPoint{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
      } else {
        for (TGfxPoint& pt : p) pt = {coord(-10, 58), coord(-10, 58)};
      }
      const TGfxRect clip{coord(0, 20), coord(0, 20), coord(24, kSize), coord(24, kSize)};
      Canvas dest, probe;
      for (uint32_t& px : dest.Pixels) px = any();
      std::fill(probe.Pixels.begin(), probe.Pixels.end(), 0xFFFFFFFFu);
      const std::vector<uint32_t> before = dest.Pixels;
      SRQuad(dest.Surface(), tex, clip, p, colours, texRect, f);
      // What reaches each pixel before blending: the same quad stored unblended.
      const uint32_t probeFlags = srfCopy | (f & (srfFill | srfDiffuse | srfInvert));
      SRQuad(probe.Surface(), tex, clip, p, colours, texRect, probeFlags);
      for (size_t i = 0; i < before.size(); ++i) {
        const uint32_t want = probe.Pixels[i] == 0xFFFFFFFFu ? before[i] : RefSpan(probe.Pixels[i], before[i], f);
        ASSERT_EQ(dest.Pixels[i], want) << std::hex << "flags " << f << " quad " << q << " pixel " << std::dec << i;
        compared += probe.Pixels[i] != 0xFFFFFFFFu;
      }
    }
  }
  EXPECT_GT(compared, 100000);
  EXPECT_EQ(SRSpanRoutineCount(), 87);
}

// An 8x8 pattern whose every texel is its own position: (x, y) -> y * 8 + x + 1.
struct Pattern {
  std::vector<uint32_t> Texels = std::vector<uint32_t>(64);
  Pattern() {
    for (uint32_t i = 0; i < 64; ++i) Texels[i] = 0xFF000000u | (i + 1);
  }
  TSRSurface Surface() { return {reinterpret_cast<uint8_t*>(Texels.data()), 32, 8, 8}; }
};

TEST(SoftRaster, CornerOrderAndTextureRectangleDecideMirroringAndFlipping) {
  const TGfxRect all{0, 0, kSize, kSize};
  const TColor4 white{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  struct Case {
    const char* What;
    TPoint4 Points;
    TGfxRect Tex;
    bool Mirror, Flip;
  };
  const TPoint4 tl{TGfxPoint{0, 0}, {8, 0}, {8, 8}, {0, 8}};
  const Case cases[] = {
      {"as given", tl, {0, 0, 8, 8}, false, false},
      {"p0 bottom left", {TGfxPoint{0, 8}, {8, 8}, {8, 0}, {0, 0}}, {0, 0, 8, 8}, false, true},
      {"p0 top right", {TGfxPoint{8, 0}, {0, 0}, {0, 8}, {8, 8}}, {0, 0, 8, 8}, true, false},
      {"pattern mirrored", tl, {8, 0, 0, 8}, true, false},
      {"pattern flipped", tl, {0, 8, 8, 0}, false, true},
      {"two mirrorings cancel", {TGfxPoint{8, 0}, {0, 0}, {0, 8}, {8, 8}}, {8, 0, 0, 8}, false, false},
  };
  for (const Case& c : cases) {
    Pattern pat;
    Canvas out;
    SRQuad(out.Surface(), pat.Surface(), all, c.Points, white, c.Tex, srfCopy);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const uint32_t got = out.Pixels[static_cast<size_t>(y * kSize + x)];
        if (x >= 8 || y >= 8) {
          ASSERT_EQ(got, 0u) << c.What << " at " << x << "," << y;
          continue;
        }
        const int tx = c.Mirror ? 7 - x : x, ty = c.Flip ? 7 - y : y;
        ASSERT_EQ(got, pat.Texels[static_cast<size_t>(ty * 8 + tx)]) << c.What << " at " << x << "," << y;
      }
  }
  // The same square given a quarter turn round in its point order takes the general path:
  // 9 x 9 pixels, the picture turned with it; the edge walk stops one step short of each end.
  Pattern pat;
  Canvas out;
  SRQuad(out.Surface(), pat.Surface(), all, {TGfxPoint{8, 0}, {8, 8}, {0, 8}, {0, 0}}, white, {0, 0, 8, 8}, srfCopy);
  int covered = 0;
  for (uint32_t px : out.Pixels) covered += px != 0;
  EXPECT_EQ(covered, 81);
  EXPECT_EQ(out.Pixels[8], pat.Texels[0]);              // p0 shows (Left, Top)
  EXPECT_EQ(out.Pixels[0], pat.Texels[56]);             // p3 shows (Left, Bottom)
  EXPECT_EQ(out.Pixels[8 * kSize + 8], pat.Texels[6]);  // p1 comes one step short of (Right, Top)
}

TEST(SoftRaster, LinesPixelsClearsAndModulationKeepTheirPinnedArithmetic) {
  const TGfxRect all{0, 0, kSize, kSize};
  const auto lit = [](const Canvas& c) {
    std::vector<std::pair<int, int>> v;
    for (int i = 0; i < kSize * kSize; ++i)
      if (c.Pixels[static_cast<size_t>(i)] != 0) v.emplace_back(i % kSize, i / kSize);
    return v;
  };
  using Px = std::vector<std::pair<int, int>>;
  Canvas a, b, open1, open2, dot;
  SRLine(a.Surface(), all, 0, 0, 3, 1, 0xFF0000FFu, 0xFFFF0000u, srfCopy);
  SRLine(b.Surface(), all, 3, 1, 0, 0, 0xFFFF0000u, 0xFF0000FFu, srfCopy);
  EXPECT_EQ(lit(a), (Px{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));  // short of the minor axis end
  EXPECT_EQ(a.Pixels, b.Pixels);
  EXPECT_EQ(a.Pixels[0], 0xFF0000FFu);
  SRLineOpen(open1.Surface(), all, 0, 0, 3, 0, 0xFFFFFFFFu, 0xFFFFFFFFu, srfCopy);
  SRLineOpen(open2.Surface(), all, 3, 0, 0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu, srfCopy);
  EXPECT_EQ(lit(open1), (Px{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(lit(open2), (Px{{1, 0}, {2, 0}, {3, 0}}));
  SRLine(dot.Surface(), all, 4, 4, 4, 4, 0xFF000000u, 0xFFFEFEFEu, srfCopy);
  EXPECT_EQ(dot.Pixels[4 * kSize + 4], SRBlendColors(0xFF000000u, 0xFFFEFEFEu, 128));
  // The clip's right and bottom are outside it, its left inside.
  Canvas edge;
  const TGfxRect clip{2, 2, 6, 6};
  for (int x : {1, 2, 6}) SRPutPixel(edge.Surface(), clip, x, 3, 0xFFFFFFFFu, srfCopy);
  SRPutPixel(edge.Surface(), clip, 3, 6, 0xFFFFFFFFu, srfCopy);
  EXPECT_EQ(lit(edge), (Px{{2, 3}}));
  // A white texel with white modulation and effect 5 leaves 252; luminance of white is 253;
  // effect 32 over a white texel leaves black with alpha 0.
  std::vector<uint32_t> white(64, 0xFFFFFFFFu);
  const TSRSurface tex{reinterpret_cast<uint8_t*>(white.data()), 32, 8, 8};
  const TPoint4 square{TGfxPoint{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  const TColor4 w4{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  Canvas mod, lum, inv;
  SRQuad(mod.Surface(), tex, all, square, w4, {0, 0, 8, 8}, EffectToSoftwareFlags(5));
  EXPECT_EQ(mod.Pixels[0], 0x00FCFCFCu);
  SRQuad(lum.Surface(), tex, all, square, w4, {0, 0, 8, 8}, srfLumAlpha | srfAdd | srfSrcAlpha | srfDestInvAlpha);
  EXPECT_EQ(lum.Pixels[0], 0x00FCFCFCu);  // S * 253 over black
  std::fill(inv.Pixels.begin(), inv.Pixels.end(), 0xFF808080u);
  SRQuad(inv.Surface(), tex, all, square, w4, {0, 0, 8, 8}, EffectToSoftwareFlags(32));
  EXPECT_EQ(inv.Pixels[0], 0u);
  // Rectangles without area, or narrower than two pixels, draw nothing.
  Canvas none;
  SRQuad(none.Surface(), TSRSurface{}, all, {TGfxPoint{0, 0}, {10, 0}, {10, 0}, {0, 0}}, w4, {}, srfFill | srfCopy);
  SRQuad(none.Surface(), TSRSurface{}, all, {TGfxPoint{0, 0}, {10, 0}, {10, 1}, {0, 1}}, w4, {}, srfFill | srfCopy);
  SRQuad(none.Surface(), TSRSurface{}, {5, 5, 5, 9}, {TGfxPoint{0, 0}, {10, 0}, {10, 9}, {0, 9}}, w4, {}, srfFill | srfCopy);
  EXPECT_TRUE(lit(none).empty());
  // A 10 x 10 rectangle covers 10 x 10 pixels.
  Canvas rect;
  SRQuad(rect.Surface(), TSRSurface{}, all, {TGfxPoint{0, 0}, {10, 0}, {10, 10}, {0, 10}},
         {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu}, {}, srfFill | srfDiffuse | srfCopy);
  EXPECT_EQ(lit(rect).size(), 100u);
}

// Random quads and lines anywhere (far outside the surface too), textures read through
// random rectangles that may lie beyond them, random clips: nothing is written outside the
// clip and, in the sanitizer build, nothing is read outside the texture block.
TEST(SoftRaster, StrayCoordinatesNeverWriteOutsideTheClipNorReadOutsideTheTexture) {
  std::mt19937 rng(77);
  const auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const auto far = [&] { return r(0, 3) == 0 ? r(-32768, 32767) : r(-20, 70); };
  for (int run = 0; run < 4000; ++run) {
    const int tw = r(1, 9), th = r(1, 9);
    std::vector<uint32_t> texels(static_cast<size_t>(tw * th), 0x80FFFFFFu);  // exactly the texture: no slack
    const TSRSurface tex{reinterpret_cast<uint8_t*>(texels.data()), tw * 4, tw, th};
    Canvas c;
    const TGfxRect clip{r(0, 24), r(0, 24), r(0, kSize), r(0, kSize)};
    TPoint4 p;
    if (r(0, 1)) {
      const int x0 = far(), y0 = far(), x1 = far(), y1 = far();
      p = {TGfxPoint{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    } else {
      for (TGfxPoint& pt : p) pt = {far(), far()};
    }
    const uint32_t flags = static_cast<uint32_t>(r(0, 0x7FF)) & ~0x100u;
    SRQuad(c.Surface(), tex, clip, p, {0xFFFFFFFFu, 0xFF00FF00u, 0x800000FFu, 0u},
           {r(-40, 40), r(-40, 40), r(-40, 40), r(-40, 40)}, flags);
    SRLine(c.Surface(), clip, far(), far(), far(), far(), 0xFFFFFFFFu, 0xFF000000u, srfCopy);
    SRLineOpen(c.Surface(), clip, far(), far(), far(), far(), 0xFFFFFFFFu, 0xFF000000u, srfAdd);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom) continue;
        ASSERT_EQ(c.Pixels[static_cast<size_t>(y * kSize + x)], 0u) << "run " << run << " at " << x << "," << y;
      }
  }
}

}  // namespace
