// The GPU device on real OpenGL (Mesa's software GL on a surfaceless EGL display), checked
// pixel by pixel: blends against a CPU model, exact texel and pixel coverage, clipping,
// colour byte order, lost-device recovery and a golden frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "render/GfxDevice3.h"
#include "render/GfxTestPattern.h"
#include "unit/render/GfxTestSupport.h"

namespace {


struct Frame {
  std::vector<uint32_t> Pixels;
  int32_t Width = 0;
  int32_t Height = 0;
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)]; }
};

int Channel(uint32_t c, int i) { return static_cast<int>((c >> (8 * i)) & 0xFF); }

// Largest difference over the four channels.
int MaxChannelDiff(uint32_t a, uint32_t b) {
  int d = 0;
  for (int i = 0; i < 4; ++i) d = std::max(d, std::abs(Channel(a, i) - Channel(b, i)));
  return d;
}

class GpuDeviceTest : public ::testing::Test {
protected:
  void SetUp() override {
    device_ = std::make_unique<TGfxDevice3>(&form_);
    device_->SetWidth(kW);
    device_->SetHeight(kH);
    ASSERT_EQ(device_->Initialize(), 0);
    ASSERT_EQ(device_->InitDevice(), 0) << "no GL 3.3 on a surfaceless EGL display";
  }

  Frame Read() {
    Frame f;
    EXPECT_EQ(device_->ReadFrame(f.Pixels, f.Width, f.Height), 0);
    return f;
  }

  void Begin(uint32_t background = 0xFF000000u) {
    ASSERT_EQ(device_->ResetClipRect(), 0);
    ASSERT_EQ(device_->Clear(background), 0);
    ASSERT_EQ(device_->BeginScene(), 0);
  }

  Frame End() {
    EXPECT_EQ(device_->EndScene(), 0);
    return Read();
  }

  static constexpr int32_t kW = 160;
  static constexpr int32_t kH = 120;
  TGfxForm form_;
  std::unique_ptr<TGfxDevice3> device_;
};

// ---- A CPU model of the blend table ------------------------------------------------------

struct Rgba {
  double C[4];  // r, g, b, a in 0..1
};

Rgba FromColour(uint32_t abgr) {  // $AABBGGRR
  return Rgba{{Channel(abgr, 0) / 255.0, Channel(abgr, 1) / 255.0, Channel(abgr, 2) / 255.0, Channel(abgr, 3) / 255.0}};
}
Rgba FromTexel(uint32_t argb) {  // 0xAARRGGBB
  return Rgba{{Channel(argb, 2) / 255.0, Channel(argb, 1) / 255.0, Channel(argb, 0) / 255.0, Channel(argb, 3) / 255.0}};
}
uint32_t ToPixel(const Rgba& c) {  // 0xAARRGGBB
  const auto q = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
  return (q(c.C[3]) << 24) | (q(c.C[0]) << 16) | (q(c.C[1]) << 8) | q(c.C[2]);
}

double Factor(TBlendFactor f, const Rgba& s, int channel) {
  switch (f) {
    case bfZero: return 0.0;
    case bfOne: return 1.0;
    case bfSrcAlpha: return s.C[3];
    case bfInvSrcAlpha: return 1.0 - s.C[3];
    case bfSrcColor: return s.C[channel];
    case bfInvSrcColor: return 1.0 - s.C[channel];
  }
  return 1.0;
}

// What a primitive with this effect leaves over the destination; `blendBefore` is the blend
// in force before (an effect outside the table keeps it).
uint32_t ModelPixel(int32_t effect, bool textured, uint32_t vertexColour, uint32_t texel, uint32_t dest,
                    TGpuBlend blendBefore) {
  Rgba s = FromColour(vertexColour);
  if (textured) {
    const Rgba t = FromTexel(texel);
    for (int i = 0; i < 4; ++i) s.C[i] = EffectModulates(effect) ? t.C[i] * s.C[i] : t.C[i];
  }
  TGpuBlend blend = blendBefore;
  GpuBlendForEffect(effect, blend);
  if (!blend.Enabled) return ToPixel(s);
  const Rgba d = FromTexel(dest);
  Rgba r{};
  for (int i = 0; i < 4; ++i) r.C[i] = s.C[i] * Factor(blend.Source, s, i) + d.C[i] * Factor(blend.Dest, s, i);
  return ToPixel(r);
}

TEST_F(GpuDeviceTest, EveryEffectCodeBlendsAsTheTableSays) {
  const uint32_t background = 0xC0906030u;  // $AABBGGRR: r 0x30, g 0x60, b 0x90, a 0xC0
  const uint32_t vertex = 0x702850C8u;      // r 0xC8, g 0x50, b 0x28, a 0x70
  const uint32_t texel = 0xA040B070u;       // 0xAARRGGBB: r 0x40, g 0xB0, b 0x70, a 0xA0
  auto image = gfxtest::MakeImage(*device_, 8, 8, 8, 8, std::vector<uint32_t>(64, texel));
  ASSERT_NE(image, nullptr);
  const uint32_t backgroundPixel = ToPixel(FromColour(background));

  for (int textured = 0; textured < 2; ++textured) {
    Begin();
    for (int32_t effect = 0; effect <= 37; ++effect) {
      const int32_t x = (effect % 10) * 12;
      const int32_t y = (effect / 10) * 12;
      // Each cell gets its own background with effect 0, which also turns blending off:
      // an effect outside the table keeps that.
      ASSERT_EQ(device_->FillRect(GfxBounds(x, y, 10, 10), Color4(background), 0), 0);
      if (textured)
        ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(x + 1, y + 1, 8, 8), Color4(vertex), effect, 0), 0);
      else
        ASSERT_EQ(device_->FillRect(GfxBounds(x + 1, y + 1, 8, 8), Color4(vertex), effect), 0);
    }
    const Frame f = End();
    for (int32_t effect = 0; effect <= 37; ++effect) {
      const int32_t x = (effect % 10) * 12;
      const int32_t y = (effect / 10) * 12;
      const uint32_t want = ModelPixel(effect, textured != 0, vertex, texel, backgroundPixel, TGpuBlend{});
      for (int dy = 1; dy <= 8; ++dy)
        for (int dx = 1; dx <= 8; ++dx) {
          const uint32_t got = f.At(x + dx, y + dy);
          ASSERT_LE(MaxChannelDiff(got, want), 1)
              << "effect " << effect << (textured ? " textured" : " untextured") << " got " << std::hex << got
              << " want " << want;
        }
      // The cell's own background ring is untouched.
      EXPECT_EQ(f.At(x, y), backgroundPixel) << "effect " << effect;
    }
  }
}

// Random scenes against the model composed quad by quad: pictures of two sizes sharing
// pages, translucent and opaque, fills large and small, every alpha-weighted blend. Large
// opaque quads are drawn unblended and invisible ones not at all: neither may show.
TEST_F(GpuDeviceTest, RandomScenesOverSharedPagesMatchTheModel) {
  uint32_t seed = 99;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
  const auto pick = [&](int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); };
  struct Picture {
    std::unique_ptr<TGfxImage> Image;
    std::vector<uint32_t> Texels;
    int Side = 0;
  };
  std::vector<Picture> pictures(8);
  for (size_t i = 0; i < pictures.size(); ++i) {
    Picture& p = pictures[i];
    p.Side = i % 2 == 0 ? 32 : 128;
    p.Texels.resize(static_cast<size_t>(p.Side * p.Side));
    for (uint32_t& t : p.Texels) t = (i % 3 != 0 ? 0xFF000000u : next() << 24) | (next() & 0xFFFFFFu);
    p.Image = gfxtest::MakeImage(*device_, p.Side, p.Side, p.Side, p.Side, p.Texels);
    ASSERT_NE(p.Image, nullptr);
  }
  const int32_t effects[] = {0, 4, 5, 6, 7};
  const uint32_t alphas[] = {0x00u, 0xFFu, 0x80u};
  for (int scene = 0; scene < 6; ++scene) {
    std::vector<uint32_t> model(static_cast<size_t>(kW * kH), 0xFF000000u);
    Begin();
    for (int q = 0; q < 40; ++q) {
      const int32_t effect = effects[pick(5)];
      const uint32_t colour = alphas[pick(3)] << 24 | (next() & 0xFFFFFFu);
      const Picture* p = pick(2) == 0 ? &pictures[static_cast<size_t>(pick(8))] : nullptr;
      const int w = p != nullptr ? p->Side : 1 + pick(kW);
      const int h = p != nullptr ? p->Side : 1 + pick(kH);
      const int x = pick(kW) - w / 2, y = pick(kH) - h / 2;
      if (p != nullptr)
        ASSERT_EQ(device_->TextureMap(p->Image.get(), QuadFromBounds(x, y, w, h), Color4(colour), effect, 0), 0);
      else
        ASSERT_EQ(device_->FillRect(GfxBounds(x, y, w, h), Color4(colour), effect), 0);
      for (int py = std::max(0, y); py < std::min(kH, y + h); ++py)
        for (int px = std::max(0, x); px < std::min(kW, x + w); ++px) {
          uint32_t& m = model[static_cast<size_t>(py * kW + px)];
          const uint32_t texel = p != nullptr ? p->Texels[static_cast<size_t>((py - y) * p->Side + (px - x))] : 0;
          m = ModelPixel(effect, p != nullptr, colour, texel, m, TGpuBlend{});
        }
    }
    const Frame f = End();
    int worst = 0;
    for (int i = 0; i < kW * kH; ++i)
      worst = std::max(worst, MaxChannelDiff(f.Pixels[static_cast<size_t>(i)], model[static_cast<size_t>(i)]));
    EXPECT_LE(worst, 3) << "scene " << scene;  // each blend may round a step apart
  }
}

// A large sheet of many patterns lies in a larger shared layer, its coordinates scaled by a
// power of two. Drawn one to one, each pattern gives the very pixels the same rectangle gives
// from a lone texture; scaled, the rasteriser may round a filter weight a step apart.
TEST_F(GpuDeviceTest, SheetsInLargerLayersSampleAsTheirOwnTextures) {
  std::vector<uint32_t> texels(512 * 64);
  uint32_t seed = 5;
  for (uint32_t& t : texels) t = seed = seed * 1664525u + 1013904223u;
  auto sheet = gfxtest::MakeImage(*device_, 512, 64, 16, 16, texels);  // 128 patterns
  auto lone = gfxtest::MakeImage(*device_, 512, 64, 512, 64, texels);
  ASSERT_TRUE(sheet && lone);
  const int sizes[][2] = {{16, 16}, {48, 40}, {7, 9}, {30, 16}};
  for (bool filter : {true, false})
    for (int32_t p : {0, 5, 15, 12, 3}) {
      device_->SetTextureFilter(filter);
      Begin();
      int x = 0;
      for (const auto& size : sizes) {
        TGfxPattern same;
        same.X = p % 32 * 16;
        same.Y = p / 32 * 16;
        same.Width = same.Height = 16;
        ASSERT_EQ(device_->TextureMap(sheet.get(), QuadFromBounds(x, 0, size[0], size[1]), Color4(0xFFFFFFFFu), 0, p), 0);
        ASSERT_EQ(device_->TextureMap(lone.get(), QuadFromBounds(x, 60, size[0], size[1]), Color4(0xFFFFFFFFu), 0, same), 0);
        x += size[0] + 2;
      }
      const Frame f = End();
      int worst = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < kW; ++x) {
          if (x < 16 && y < 16) {
            ASSERT_EQ(f.At(x, y), f.At(x, y + 60)) << "pattern " << p << " filter " << filter;
          }
          worst = std::max(worst, MaxChannelDiff(f.At(x, y), f.At(x, y + 60)));
        }
      if (filter) {
        EXPECT_LE(worst, 1) << "pattern " << p;
      }
    }
}

TEST_F(GpuDeviceTest, TexturesDrawnOneToOneReturnTheirTexelsExactly) {
  // A checkerboard with a different colour in every square, alpha included.
  std::vector<uint32_t> texels(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool dark = ((x / 4) + (y / 4)) % 2 == 0;
      texels[static_cast<size_t>(y * 64 + x)] =
          dark ? 0x80000000u | static_cast<uint32_t>(x * 4) << 16 | static_cast<uint32_t>(y * 4)
               : 0xFF00FF00u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(255 - y);
    }
  auto image = gfxtest::MakeImage(*device_, 64, 64, 64, 64, texels);
  ASSERT_NE(image, nullptr);
  for (bool filter : {true, false}) {
    device_->SetTextureFilter(filter);
    Begin();
    ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(13, 7, 64, 64), Color4(0xFFFFFFFFu), 0, 0), 0);
    const Frame f = End();
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(f.At(13 + x, 7 + y), texels[static_cast<size_t>(y * 64 + x)])
            << "texel " << x << "," << y << " filter " << filter;
    EXPECT_EQ(f.At(12, 7), 0xFF000000u);
    EXPECT_EQ(f.At(13 + 64, 7), 0xFF000000u);
  }
}

TEST_F(GpuDeviceTest, PatternsOfAnAtlasComeOutWhole) {
  // Four 16x16 patterns in a 32x32 texture, each a flat colour; pattern 3 is bottom right.
  std::vector<uint32_t> texels(32 * 32);
  const uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) texels[static_cast<size_t>(y * 32 + x)] = colours[(y / 16) * 2 + x / 16];
  auto image = gfxtest::MakeImage(*device_, 32, 32, 16, 16, texels);
  ASSERT_NE(image, nullptr);
  Begin();
  for (int p = 0; p < 4; ++p)
    ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(p * 20, 0, 16, 16), Color4(0xFFFFFFFFu), 0, p), 0);
  // A mirrored pattern keeps its colour; a scaled one (2x) fills twice the size, no bleed.
  TGfxPattern mirrored(1);
  mirrored.Mirror = true;
  ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(0, 40, 16, 16), Color4(0xFFFFFFFFu), 0, mirrored), 0);
  const Frame f = End();
  for (int p = 0; p < 4; ++p)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(f.At(p * 20 + x, y), colours[p]) << "pattern " << p;
  EXPECT_EQ(f.At(0, 40), colours[1]);
  EXPECT_EQ(f.At(15, 55), colours[1]);
}

TEST_F(GpuDeviceTest, QuadsCoverExactlyTheirPixelsAndFramesTheirPerimeterOnce) {
  struct Size {
    int32_t x, y, w, h;
  };
  for (const Size s : {Size{3, 5, 7, 4}, Size{0, 0, 1, 1}, Size{150, 110, 10, 10}, Size{20, 30, 33, 1}}) {
    Begin();
    ASSERT_EQ(device_->FillRect(GfxBounds(s.x, s.y, s.w, s.h), Color4(0xFFFFFFFFu), 0), 0);
    const Frame f = End();
    int lit = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inside = x >= s.x && x < s.x + s.w && y >= s.y && y < s.y + s.h;
        const bool on = f.At(x, y) == 0xFFFFFFFFu;
        lit += on ? 1 : 0;
        ASSERT_EQ(on, inside) << x << "," << y;
      }
    EXPECT_EQ(lit, s.w * s.h);
  }

  // The frame is drawn additively in a dim red: a pixel drawn twice would come out brighter.
  Begin();
  ASSERT_EQ(device_->FrameRect(GfxBounds(10, 10, 20, 20), Color4(0x00000040u), 2), 0);
  const Frame f = End();
  int lit = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t p = f.At(x, y);
      if ((p & 0x00FFFFFFu) == 0) continue;
      ++lit;
      EXPECT_EQ(p & 0x00FFFFFFu, 0x00400000u) << "pixel drawn more than once at " << x << "," << y;
      const bool onEdge = (x == 10 || x == 29 || y == 10 || y == 29) && x >= 10 && x <= 29 && y >= 10 && y <= 29;
      EXPECT_TRUE(onEdge) << x << "," << y;
    }
  EXPECT_EQ(lit, 76);
}

TEST_F(GpuDeviceTest, LinesAndPointsLightTheRasterisersPixels) {
  Begin();
  ASSERT_EQ(device_->Line({0, 0}, {3, 1}, 0xFFFFFFFFu, 0xFFFFFFFFu, 0), 0);
  ASSERT_EQ(device_->Line({10, 10}, {10, 10}, 0xFF000000u, 0xFFFFFFFFu, 0), 0);  // mid colour
  ASSERT_EQ(device_->PutPixel(50, 60, 0xFF00FF00u, 0), 0);
  ASSERT_EQ(device_->Line({100, 5}, {100, 2}, 0xFFFFFFFFu, 0xFFFFFFFFu, 0), 0);  // upwards
  ASSERT_EQ(device_->Line({20, 40}, {24, 40}, 0xFF000000u, 0xFFFFFFFFu, 0), 0);
  ASSERT_EQ(device_->Line({24, 42}, {20, 42}, 0xFF000000u, 0xFFFFFFFFu, 0), 0);
  const Frame f = End();
  // (0,0)-(3,1): x = 0..3; the 16.16 y position stays below 1 to the end.
  for (int x = 0; x <= 3; ++x) EXPECT_EQ(f.At(x, 0), 0xFFFFFFFFu) << x;
  int lit = 0;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) lit += f.At(x, y) != 0xFF000000u ? 1 : 0;
  EXPECT_EQ(lit, 4);
  EXPECT_EQ(f.At(10, 10), 0xFF808080u);
  // A gradient runs evenly from the first colour to the second, whichever way it is drawn.
  const uint32_t ramp[5] = {0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFBFBFBFu, 0xFFFFFFFFu};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(f.At(20 + i, 40), ramp[i]) << i;
    EXPECT_EQ(f.At(20 + i, 42), ramp[4 - i]) << i;
  }
  EXPECT_EQ(f.At(50, 60), 0xFF00FF00u);
  for (int y = 2; y <= 5; ++y) EXPECT_EQ(f.At(100, y), 0xFFFFFFFFu) << y;
  EXPECT_EQ(f.At(100, 1), 0xFF000000u);
  EXPECT_EQ(f.At(100, 6), 0xFF000000u);
}

TEST_F(GpuDeviceTest, ClipCutsWithoutMovingAndAnEmptyClipDrawsNothing) {
  std::vector<uint32_t> texels(32 * 32);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  auto image = gfxtest::MakeImage(*device_, 32, 32, 32, 32, texels);
  ASSERT_NE(image, nullptr);
  const TPoint4 quad = QuadFromBounds(20, 20, 32, 32);

  Begin();
  ASSERT_EQ(device_->TextureMap(image.get(), quad, Color4(0xFFFFFFFFu), 0, 0), 0);
  const Frame whole = End();

  Begin();
  const TGfxRect clip = GfxRect(25, 30, 40, 33);
  device_->SetClipRect(clip);
  EXPECT_EQ(device_->GetClipRect(), clip);
  ASSERT_EQ(device_->TextureMap(image.get(), quad, Color4(0xFFFFFFFFu), 0, 0), 0);
  const Frame clipped = End();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
      ASSERT_EQ(clipped.At(x, y), inside ? whole.At(x, y) : 0xFF000000u) << x << "," << y;
    }

  for (const TGfxRect empty : {GfxRect(30, 30, 30, 40), GfxRect(50, 50, 40, 60), GfxRect(-20, -20, -5, -5)}) {
    Begin();
    device_->SetClipRect(empty);
    ASSERT_EQ(device_->TextureMap(image.get(), quad, Color4(0xFFFFFFFFu), 0, 0), 0);
    ASSERT_EQ(device_->FillRect(GfxBounds(0, 0, kW, kH), Color4(0xFFFFFFFFu), 0), 0);
    ASSERT_EQ(device_->Line({0, 0}, {kW, kH}, 0xFFFFFFFFu, 0xFFFFFFFFu, 0), 0);
    ASSERT_EQ(device_->Clear(0xFFFFFFFFu), 0);
    const Frame f = End();
    EXPECT_TRUE(std::all_of(f.Pixels.begin(), f.Pixels.end(), [](uint32_t p) { return p == 0xFF000000u; }))
        << "clip " << empty.Left << "," << empty.Top << "," << empty.Right << "," << empty.Bottom;
  }
}

TEST_F(GpuDeviceTest, ColoursAreRedInTheLowByteAndTexelsRedInTheThird) {
  Begin(0xFF00FF00u);  // clear: green
  ASSERT_EQ(device_->FillRect(GfxBounds(0, 0, 10, 10), Color4(0xFF0000FFu), 0), 0);  // red
  ASSERT_EQ(device_->FillRect(GfxBounds(10, 0, 10, 10), Color4(0xFFFF0000u), 0), 0);  // blue
  auto image = gfxtest::MakeImage(*device_, 4, 4, 4, 4, std::vector<uint32_t>(16, 0xFF0000FFu));  // blue texel
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(20, 0, 4, 4), Color4(0xFFFFFFFFu), 0, 0), 0);
  // A corner gradient runs from its corner colours.
  ASSERT_EQ(device_->FillQuad(QuadFromBounds(30, 0, 2, 1), TColor4{0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu}, 0),
            0);
  const Frame f = End();
  EXPECT_EQ(f.At(50, 50), 0xFF00FF00u);
  EXPECT_EQ(f.At(5, 5), 0xFFFF0000u);
  EXPECT_EQ(f.At(15, 5), 0xFF0000FFu);
  EXPECT_EQ(f.At(21, 1), 0xFF0000FFu);
  EXPECT_EQ(f.At(30, 0), 0xFFFF0000u);
  // The image hands back what was set, red in the low byte.
  image->SetPixel(1, 1, 0xFF0000FFu, 0);
  EXPECT_EQ(image->GetPixel(1, 1, 0), 0xFF0000FFu);
  EXPECT_EQ(image->GetPixel(0, 0, 0), 0xFFFF0000u);
}

TEST_F(GpuDeviceTest, ALostDeviceRecoversOnTheNextFrameFromTheTexelCopies) {
  std::vector<uint32_t> texels(16 * 16);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | static_cast<uint32_t>(i * 40503u);
  auto image = gfxtest::MakeImage(*device_, 16, 16, 16, 16, texels);
  ASSERT_NE(image, nullptr);
  const auto draw = [&] {
    Begin();
    EXPECT_EQ(device_->TextureMap(image.get(), QuadFromBounds(5, 5, 16, 16), Color4(0xFFFFFFFFu), 0, 0), 0);
    EXPECT_EQ(device_->EndScene(), 0);
  };
  draw();
  const Frame before = Read();
  EXPECT_EQ(device_->Present(), 0);

  bool lostReported = false;
  device_->OnDeviceLost = [&](void*) { lostReported = true; };
  const uint64_t generation = device_->Generation();
  device_->Backend()->SimulateDeviceLoss();
  draw();
  EXPECT_EQ(device_->Present(), 0);  // the loss is found here and the surface reset at once
  EXPECT_FALSE(lostReported);
  EXPECT_GT(device_->Generation(), generation);

  draw();  // no reload of the picture: the image re-uploads what it read back before the reset
  const Frame after = Read();
  EXPECT_EQ(after.Pixels, before.Pixels);
}

TEST_F(GpuDeviceTest, SoftwareFramesPresentThroughTheSameSurface) {
  std::vector<uint32_t> buffer(static_cast<size_t>(kW + 8) * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      buffer[static_cast<size_t>(y) * (kW + 8) + static_cast<size_t>(x)] = 0x00000000u | static_cast<uint32_t>(x << 16 | y);
  ASSERT_EQ(device_->DrawBuffer(buffer.data(), kW, kH, (kW + 8) * 4), 0);
  const Frame f = Read();
  // Alpha is ignored: the frame is opaque.
  EXPECT_EQ(f.At(0, 0), 0xFF000000u);
  EXPECT_EQ(f.At(17, 23), 0xFF000000u | (17u << 16) | 23u);
  EXPECT_EQ(f.At(kW - 1, kH - 1), 0xFF000000u | static_cast<uint32_t>((kW - 1) << 16 | (kH - 1)));
  EXPECT_NE(device_->DrawBuffer(buffer.data(), kW, kH, kW * 2), 0);  // pitch too small
}

TEST_F(GpuDeviceTest, TheTestPatternShowsItsBarsAndLeavesTheClipOpen) {
  Begin();
  ASSERT_EQ(DrawTestPattern(*device_, 7), 0);
  EXPECT_EQ(device_->GetClipRect(), GfxRect(0, 0, kW, kH));
  const Frame f = End();
  const uint32_t bars[8] = {0xFFFFFFFFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFF00FF00u,
                            0xFFFF00FFu, 0xFFFF0000u, 0xFF0000FFu, 0xFF000000u};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(f.At(kW * i / 8 + kW / 16, kH / 6), bars[i]) << "bar " << i;
  EXPECT_EQ(f.At(0, kH / 2), 0xFFFFFF00u);  // the frame's left edge
}

// ---- Golden frame ------------------------------------------------------------------------

std::string GoldenPath(const std::string& name) { return std::string(VX_SOURCE_DIR) + "/tests/golden/gfx/" + name; }

// Portable arbitrary map, RGB_ALPHA, 8 bits per channel.
bool ReadPam(const std::string& path, Frame& frame) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  int width = 0, height = 0;
  while (std::getline(in, line) && line != "ENDHDR") {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "WIDTH") fields >> width;
    if (key == "HEIGHT") fields >> height;
  }
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
  frame.Width = width;
  frame.Height = height;
  frame.Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& p : frame.Pixels) {
    unsigned char rgba[4];
    if (!in.read(reinterpret_cast<char*>(rgba), 4)) return false;
    p = static_cast<uint32_t>(rgba[3]) << 24 | static_cast<uint32_t>(rgba[0]) << 16 | static_cast<uint32_t>(rgba[1]) << 8 | rgba[2];
  }
  return true;
}

void WritePam(const std::string& path, const Frame& frame) {
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH " << frame.Width << "\nHEIGHT " << frame.Height << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  for (uint32_t p : frame.Pixels) {
    const char rgba[4] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p), static_cast<char>(p >> 24)};
    out.write(rgba, 4);
  }
}

TEST_F(GpuDeviceTest, AMixedSceneMatchesItsGoldenFrame) {
  std::vector<uint32_t> texels(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const auto r = static_cast<uint32_t>(x * 8), g = static_cast<uint32_t>(y * 8);
      const uint32_t a = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 196 ? 0xFFu : 0x40u;
      texels[static_cast<size_t>(y * 32 + x)] = a << 24 | r << 16 | g << 8 | 0x80u;
    }
  auto image = gfxtest::MakeImage(*device_, 32, 32, 32, 32, texels);
  ASSERT_NE(image, nullptr);
  Begin(0xFF203010u);
  device_->FillQuad(QuadFromBounds(0, 0, kW, kH), TColor4{0xFF400000u, 0xFF004000u, 0xFF000040u, 0xFF404040u}, 0);
  device_->FillRect(GfxBounds(8, 8, 60, 40), TColor4{0x80FFFFFFu, 0x800000FFu, 0x8000FF00u, 0x80FF0000u}, 4);
  device_->TextureMap(image.get(), QuadFromBounds(30, 20, 32, 32), Color4(0xFFFFFFFFu), 5, 0);
  device_->TextureMap(image.get(), QuadFromBounds(70, 20, 64, 64), Color4(0xC080FFFFu), 5, 0);
  device_->TextureMap(image.get(), TPoint4{TGfxPoint{100, 90}, {140, 100}, {130, 118}, {95, 112}}, Color4(0xFFFFFFFFu), 2, 0);
  device_->SetClipRect(GfxRect(0, 60, 60, 120));
  device_->FillRect(GfxBounds(10, 50, 80, 30), Color4(0xFF00A0FFu), 6);
  device_->ResetClipRect();
  device_->FrameRect(GfxBounds(4, 70, 40, 40), TColor4{0xFFFFFFFFu, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u}, 0);
  device_->Line({2, 118}, {158, 62}, 0xFF00FFFFu, 0xFFFF00FFu, 0);
  for (int i = 0; i < 20; ++i) device_->PutPixel(140 + i % 5, 4 + i / 5, 0xFFFFFFFFu, 0);
  const Frame f = End();

  const std::string path = GoldenPath("mixed_scene.pam");
  Frame golden;
  if (std::getenv("VX_UPDATE_GOLDEN") != nullptr || !ReadPam(path, golden)) {
    WritePam(path, f);
    ASSERT_TRUE(std::getenv("VX_UPDATE_GOLDEN") != nullptr) << "golden frame missing; written to " << path;
    return;
  }
  ASSERT_EQ(golden.Width, f.Width);
  ASSERT_EQ(golden.Height, f.Height);
  // Interpolation and filtering may differ by one step between GL drivers.
  int worst = 0;
  for (size_t i = 0; i < f.Pixels.size(); ++i) worst = std::max(worst, MaxChannelDiff(f.Pixels[i], golden.Pixels[i]));
  EXPECT_LE(worst, 1);
}

}  // namespace

// Clips change freely inside a batch: one-colour rectangles are cut on the CPU, the rest keep
// the scissor, and every pixel still lands as if each primitive had its clip alone.
TEST_F(GpuDeviceTest, ClipChangesKeepTheBatchAndEveryPixel) {
  std::vector<uint32_t> texels(16 * 16, 0xFF3366CCu);
  auto image = gfxtest::MakeImage(*device_, 16, 16, 16, 16, texels);
  ASSERT_NE(image, nullptr);
  std::vector<uint32_t> varied(32 * 32);
  for (size_t i = 0; i < varied.size(); ++i) varied[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  auto picture = gfxtest::MakeImage(*device_, 32, 32, 32, 32, varied);
  ASSERT_NE(picture, nullptr);
  uint32_t seed = 12345;
  const auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
  };
  for (int round = 0; round < 30; ++round) {
    const bool flatOnly = round % 3 == 0;
    std::vector<uint32_t> model(static_cast<size_t>(kW * kH), 0x000000u);
    Begin();
    const int64_t drawsBefore = device_->DrawCalls();
    for (int i = 0; i < 25; ++i) {
      const TGfxRect clip = GfxBounds(next(kW + 40) - 20, next(kH + 40) - 20, next(kW), next(kH));
      device_->SetClipRect(clip);
      const TGfxRect c = device_->GetClipRect();
      TGfxRect r = GfxBounds(next(kW + 40) - 20, next(kH + 40) - 20, next(kW), next(kH));
      const uint32_t rgb = static_cast<uint32_t>(next(0x1000000));
      // Flat fills and pictures drawn one texel a pixel are cut on the CPU: one draw.
      const int kind = flatOnly ? next(2) * 3 : next(4);
      uint32_t painted = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);  // $BBGGRR -> 0xRRGGBB
      const auto texel = [&](int x, int y) {
        return kind == 3 ? varied[static_cast<size_t>((y - r.Top) * 32 + (x - r.Left))] & 0xFFFFFFu : painted;
      };
      if (kind == 3) {
        ASSERT_EQ(device_->TextureMap(picture.get(), QuadFromBounds(r.Left, r.Top, 32, 32), Color4(0xFFFFFFFFu), 0, 0), 0);
        r.Right = r.Left + 32;
        r.Bottom = r.Top + 32;
      } else if (kind == 0) {
        ASSERT_EQ(device_->FillRect(r, Color4(0xFF000000u | rgb), 0), 0);
      } else if (kind == 1) {  // a gradient in alpha alone: same colour, not one vertex colour
        ASSERT_EQ(device_->FillRect(r, TColor4{0xFF000000u | rgb, 0x80000000u | rgb, 0x40000000u | rgb, 0xFF000000u | rgb}, 0), 0);
      } else {
        ASSERT_EQ(device_->TextureMap(image.get(), QuadFromBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top),
                                      Color4(0xFFFFFFFFu), 0, 0), 0);
        painted = 0x3366CCu;
      }
      for (int y = std::max({0, r.Top, c.Top}); y < std::min({kH, r.Bottom, c.Bottom}); ++y)
        for (int x = std::max({0, r.Left, c.Left}); x < std::min({kW, r.Right, c.Right}); ++x)
          model[static_cast<size_t>(y * kW + x)] = texel(x, y);
    }
    const Frame f = End();
    if (flatOnly) {
      EXPECT_EQ(device_->DrawCalls() - drawsBefore, 1) << "round " << round;
    }
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        ASSERT_EQ(f.At(x, y) & 0xFFFFFFu, model[static_cast<size_t>(y * kW + x)]) << "round " << round << " at " << x << "," << y;
      }
    }
  }
}
