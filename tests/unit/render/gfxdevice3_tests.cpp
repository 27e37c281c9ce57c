// The GPU device's batching, state handling and failure paths, against a back end that
// records what would reach the GPU.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "core/Exception.h"
#include "render/BitmapEx.h"
#include "render/GfxDevice3.h"
#include "unit/render/GfxTestSupport.h"

namespace {

using gfxtest::RecordedDevice;

std::unique_ptr<TGfxImage> SolidImage(TGfxDevice& device, int32_t side = 32, uint32_t texel = 0xFF336699u) {
  return gfxtest::MakeImage(device, side, side, side, side, std::vector<uint32_t>(static_cast<size_t>(side * side), texel));
}

size_t VerticesDrawn(const gfxtest::RecordingBackend& b) {
  size_t n = 0;
  for (const auto& d : b.Draws) n += d.size();
  return n;
}

// Pixels covered by axis-aligned one-colour quads in the draws (as the line code emits).
std::map<std::pair<int, int>, int> CoveredPixels(const gfxtest::RecordingBackend& b) {
  std::map<std::pair<int, int>, int> hits;
  for (const auto& draw : b.Draws)
    for (size_t q = 0; q + 6 <= draw.size(); q += 6) {
      float minX = draw[q].X, maxX = draw[q].X, minY = draw[q].Y, maxY = draw[q].Y;
      for (size_t k = q; k < q + 6; ++k) {
        minX = std::min(minX, draw[k].X);
        maxX = std::max(maxX, draw[k].X);
        minY = std::min(minY, draw[k].Y);
        maxY = std::max(maxY, draw[k].Y);
      }
      for (int y = static_cast<int>(minY); y < static_cast<int>(maxY); ++y)
        for (int x = static_cast<int>(minX); x < static_cast<int>(maxX); ++x) ++hits[{x, y}];
    }
  return hits;
}

TEST(GpuBatching, QuadsShareADrawUntilTextureEffectOrRoomRunsOut) {
  RecordedDevice r;
  auto a = SolidImage(*r.Device);
  auto b = SolidImage(*r.Device);
  ASSERT_TRUE(a && b);
  const TPoint4 quad = QuadFromBounds(0, 0, 32, 32);

  ASSERT_EQ(r.Device->BeginScene(), 0);
  ASSERT_EQ(r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 5, 0), 0);
  ASSERT_EQ(r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 5, 0), 0);
  ASSERT_EQ(r.Device->EndScene(), 0);
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  EXPECT_EQ(r.Backend->Draws[0].size(), 12u);  // four triangles

  // Only the blend and the texture's page end a batch: modulating or not, and untextured
  // fills between textured quads, ride along.
  r.Backend->Draws.clear();
  ASSERT_EQ(r.Device->BeginScene(), 0);
  r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 5, 0);
  r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 4, 0);  // the same blend
  r.Device->FillQuad(quad, Color4(0x80FFFFFFu), 4);
  r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 5, 0);
  r.Device->TextureMap(b.get(), quad, Color4(0xFFFFFFFFu), 4, 0);  // texture changes
  r.Device->TextureMap(b.get(), quad, Color4(0xFFFFFFFFu), 6, 0);  // blend changes
  r.Device->EndScene();
  EXPECT_EQ(r.Backend->Draws.size(), 3u);
  // Two textures in one page share the batch, each vertex naming its layer.
  r.Backend->OnePage = true;
  auto c = SolidImage(*r.Device);
  auto d = SolidImage(*r.Device);
  for (int scene = 0; scene < 2; ++scene) {  // the first scene uploads, which ends batches
    r.Backend->Draws.clear();
    r.Device->BeginScene();
    r.Device->TextureMap(c.get(), quad, Color4(0xFFFFFFFFu), 5, 0);
    r.Device->TextureMap(d.get(), quad, Color4(0xFFFFFFFFu), 5, 0);
    r.Device->EndScene();
  }
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  EXPECT_NE(r.Backend->Draws[0][0].Sample, r.Backend->Draws[0][6].Sample);
  r.Backend->OnePage = false;

  // Lines, points and fills with one blend share the untextured batch.
  r.Backend->Draws.clear();
  r.Device->BeginScene();
  r.Device->FillRect(GfxBounds(0, 0, 10, 10), Color4(0xFF0000FFu), 0);
  r.Device->FrameRect(GfxBounds(0, 0, 10, 10), Color4(0xFF0000FFu), 0);
  r.Device->Line({0, 0}, {5, 5}, 0xFF0000FFu, 0xFF0000FFu, 0);
  r.Device->PutPixel(3, 3, 0xFF0000FFu, 0);
  r.Device->EndScene();
  EXPECT_EQ(r.Backend->Draws.size(), 1u);

  // A long run is cut at the batch's capacity, never beyond it.
  r.Backend->Draws.clear();
  r.Device->BeginScene();
  for (int i = 0; i < 400; ++i) ASSERT_EQ(r.Device->TextureMap(a.get(), quad, Color4(0xFFFFFFFFu), 5, 0), 0);
  r.Device->EndScene();
  ASSERT_EQ(r.Backend->Draws.size(), 2u);
  EXPECT_EQ(r.Backend->Draws[0].size(), 2046u);
  EXPECT_EQ(VerticesDrawn(*r.Backend), 2400u);
}

// Pages bound on several units share a batch: it breaks only when every unit holds a page and
// another is needed, and each vertex names the unit holding the texture it was drawn with.
TEST(GpuBatching, PagesOnSeveralUnitsShareABatchEachVertexNamingItsOwn) {
  RecordedDevice r;
  r.Backend->Units = vx::gl::kTextureUnits;
  std::vector<std::unique_ptr<TGfxImage>> images;
  for (uint32_t i = 0; i < 5; ++i) images.push_back(SolidImage(*r.Device, 8, 0xFF000000u + i));
  ASSERT_EQ(r.Backend->Creates, 5);  // image i's texture is i + 1
  const TPoint4 quad = QuadFromBounds(0, 0, 8, 8);
  uint32_t seed = 11;
  for (int round = 0; round < 60; ++round) {
    r.Backend->Draws.clear();
    r.Backend->DrawUnits.clear();
    std::vector<uint32_t> drawn;
    ASSERT_EQ(r.Device->BeginScene(), 0);
    for (int q = 0; q < 30; ++q) {
      seed = seed * 1664525u + 1013904223u;
      drawn.push_back((seed >> 16) % (1 + round % 5));
      ASSERT_EQ(r.Device->TextureMap(images[drawn.back()].get(), quad, Color4(0xFFFFFFFFu), 5, 0), 0);
    }
    ASSERT_EQ(r.Device->EndScene(), 0);
    size_t q = 0;
    for (size_t d = 0; d < r.Backend->Draws.size(); ++d)
      for (size_t v = 0; v < r.Backend->Draws[d].size(); v += 6, ++q) {
        const int unit = ((static_cast<int>(r.Backend->Draws[d][v].Sample) - 1) >> 1) % vx::gl::kTextureUnits;
        ASSERT_EQ(r.Backend->DrawUnits[d].at(static_cast<size_t>(unit)), drawn[q] + 1) << round << " " << q;
      }
    ASSERT_EQ(q, drawn.size());
    const size_t pages = std::set<uint32_t>(drawn.begin(), drawn.end()).size();
    EXPECT_TRUE(round < 5 || (pages <= static_cast<size_t>(vx::gl::kTextureUnits)) == (r.Backend->Draws.size() == 1)) << round;  // after the uploads
  }
  // An image freed while its page is bound leaves no unit holding its texture (a draw fails).
  ASSERT_EQ(r.Device->BeginScene(), 0);
  for (size_t i = 0; i < 3; ++i) r.Device->TextureMap(images[i].get(), quad, Color4(0xFFFFFFFFu), 5, 0);
  images[1].reset();
  EXPECT_EQ(r.Device->TextureMap(images[2].get(), quad, Color4(0xFFFFFFFFu), 5, 0), 0);
  EXPECT_EQ(r.Device->EndScene(), 0);
}

TEST(GpuBatching, UnchangedStatesAreNotSentAgainWithinAScene) {
  RecordedDevice r;
  auto image = SolidImage(*r.Device);
  ASSERT_TRUE(image);
  r.Device->BeginScene();
  r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0);
  const int textures = r.Backend->SetTextureCalls;
  const int blends = r.Backend->SetBlendCalls;
  const int modes = r.Backend->SetModeCalls;
  const int uploads = r.Backend->Uploads;
  for (int i = 0; i < 10; ++i) r.Device->TextureMap(image.get(), QuadFromBounds(i, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0);
  EXPECT_EQ(r.Backend->SetTextureCalls, textures);
  EXPECT_EQ(r.Backend->SetBlendCalls, blends);
  EXPECT_EQ(r.Backend->SetModeCalls, modes);
  EXPECT_EQ(r.Backend->Uploads, uploads);  // uploaded once, not per draw
  r.Device->EndScene();

  // The next scene sends every state again once.
  r.Device->BeginScene();
  r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0);
  EXPECT_EQ(r.Backend->SetTextureCalls, textures + 2);  // EndScene unbinds, then rebinds
  EXPECT_EQ(r.Backend->SetBlendCalls, blends + 1);
  r.Device->EndScene();
}

TEST(GpuBatching, EffectsChooseBlendAndTextureOperation) {
  RecordedDevice r;
  auto image = SolidImage(*r.Device);
  ASSERT_TRUE(image);
  r.Device->BeginScene();
  r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0);
  EXPECT_EQ(r.Backend->Mode, TGfxTextureMode::PerVertex);
  EXPECT_EQ(r.Backend->Blend, (TGpuBlend{true, bfSrcAlpha, bfInvSrcAlpha}));
  r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 4, 0);
  r.Device->EndScene();
  r.Device->BeginScene();
  ASSERT_FALSE(r.Backend->Draws.empty());
  EXPECT_EQ(r.Backend->Draws.back()[0].Sample, vx::gl::SampleCode(0, false));  // modulated
  EXPECT_EQ(r.Backend->Draws.back()[6].Sample, vx::gl::SampleCode(0, true));   // the texel alone
  // Untextured primitives take the vertex colour whatever the effect.
  for (int32_t effect : {0, 1, 4, 5, 16, 33}) {
    r.Device->FillRect(GfxBounds(0, 0, 4, 4), Color4(0x80FFFFFFu), effect);
    r.Device->EndScene();
    r.Device->BeginScene();
    EXPECT_EQ(r.Backend->Draws.back().back().Sample, 0.0f) << effect;
  }
  // A code outside the table keeps the blend but still ends the batch.
  r.Device->FillRect(GfxBounds(0, 0, 4, 4), Color4(0x80FFFFFFu), 2);
  const int blends = r.Backend->SetBlendCalls;
  const size_t draws = r.Backend->Draws.size();
  r.Device->FillRect(GfxBounds(0, 0, 4, 4), Color4(0x80FFFFFFu), 12);
  EXPECT_EQ(r.Backend->SetBlendCalls, blends);
  EXPECT_EQ(r.Backend->Blend, (TGpuBlend{true, bfOne, bfOne}));
  EXPECT_EQ(r.Backend->Draws.size(), draws + 1);
  r.Device->EndScene();
}

TEST(GpuBatching, VerticesCarryIntegerCornersAndColoursAsGiven) {
  RecordedDevice r;
  r.Device->BeginScene();
  r.Device->FillQuad(QuadFromBounds(3, 4, 10, 20), TColor4{0x11223344u, 0x55667788u, 0x99AABBCCu, 0xDDEEFF00u}, 0);
  r.Device->EndScene();
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  const auto& v = r.Backend->Draws[0];
  ASSERT_EQ(v.size(), 6u);
  // Triangles (0,1,2) and (0,2,3) of the quad.
  EXPECT_EQ(v[0].X, 3.0f);
  EXPECT_EQ(v[0].Y, 4.0f);
  EXPECT_EQ(v[1].X, 13.0f);
  EXPECT_EQ(v[2].Y, 24.0f);
  EXPECT_EQ(v[5].X, 3.0f);
  EXPECT_EQ(v[5].Y, 24.0f);
  EXPECT_EQ(v[0].Colour, 0x11223344u);
  EXPECT_EQ(v[2].Colour, 0x99AABBCCu);
  EXPECT_EQ(v[5].Colour, 0xDDEEFF00u);
}

TEST(GpuBatching, FrameRectLightsEachPerimeterPixelOnce) {
  RecordedDevice r;
  r.Device->BeginScene();
  r.Device->FrameRect(GfxBounds(10, 10, 20, 20), Color4(0xFFFFFFFFu), 0);
  r.Device->EndScene();
  const auto hits = CoveredPixels(*r.Backend);
  EXPECT_EQ(hits.size(), 76u);
  for (const auto& [pixel, count] : hits) {
    EXPECT_EQ(count, 1) << pixel.first << "," << pixel.second;
    const auto [x, y] = pixel;
    EXPECT_TRUE(x == 10 || x == 29 || y == 10 || y == 29) << x << "," << y;
  }
  // One-colour edges come as four runs, not 76 quads.
  EXPECT_EQ(VerticesDrawn(*r.Backend), 4u * 6u);
}

TEST(GpuBatching, OffScreenLinesCostOnlyTheirVisiblePart) {
  RecordedDevice r(100, 100);
  r.Device->BeginScene();
  // A line far longer than the surface ends quickly and draws only what shows.
  ASSERT_EQ(r.Device->Line({-2000000000, 50}, {2000000000, 50}, 0xFFFFFFFFu, 0xFFFFFFFFu, 0), 0);
  ASSERT_EQ(r.Device->Line({50, -2000000000}, {51, 2000000000}, 0xFFFFFFFFu, 0xFF000000u, 0), 0);
  r.Device->EndScene();
  for (const auto& [pixel, count] : CoveredPixels(*r.Backend)) {
    EXPECT_GE(pixel.first, 0);
    EXPECT_LT(pixel.first, 100);
    EXPECT_GE(pixel.second, 0);
    EXPECT_LT(pixel.second, 100);
  }
  EXPECT_LE(VerticesDrawn(*r.Backend), 6u * 101u);

  // Extreme corners neither wrap round nor hang.
  r.Backend->Draws.clear();
  r.Device->BeginScene();
  EXPECT_EQ(r.Device->WireQuad(TPoint4{TGfxPoint{INT32_MIN, INT32_MIN}, {INT32_MIN, INT32_MIN}, {INT32_MIN, INT32_MIN},
                                       {INT32_MIN, INT32_MIN}},
                               Color4(0xFFFFFFFFu), 0),
            0);
  EXPECT_EQ(r.Device->WireQuad(QuadFromRect(GfxRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)), Color4(0xFFFFFFFFu), 0),
            0);
  r.Device->EndScene();
  EXPECT_EQ(CoveredPixels(*r.Backend).size(), 0u);  // the frame lies far outside
}

TEST(GpuScene, BeginInsideAnOpenSceneFailsAndKeepsTheBatch) {
  RecordedDevice r;
  ASSERT_EQ(r.Device->BeginScene(), 0);
  r.Device->FillRect(GfxBounds(0, 0, 4, 4), Color4(0xFFFFFFFFu), 0);
  EXPECT_EQ(r.Device->BeginScene(), -88);
  EXPECT_TRUE(r.Device->InScene());
  EXPECT_EQ(r.Device->EndScene(), 0);
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  EXPECT_EQ(r.Backend->Draws[0].size(), 6u);
  EXPECT_EQ(r.Device->EndScene(), -89);  // no scene is open any more
}

TEST(GpuScene, AFailedFlushDropsTheBatchAndReportsIt) {
  RecordedDevice r;
  r.Device->BeginScene();
  r.Device->FillRect(GfxBounds(0, 0, 4, 4), Color4(0xFFFFFFFFu), 0);
  r.Backend->FailDraw = true;
  EXPECT_EQ(r.Device->EndScene(), -96);
  r.Backend->FailDraw = false;
  r.Device->BeginScene();
  r.Device->FillRect(GfxBounds(0, 0, 2, 2), Color4(0xFFFFFFFFu), 0);
  EXPECT_EQ(r.Device->EndScene(), 0);
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  EXPECT_EQ(r.Backend->Draws[0].size(), 6u);  // the dropped quad is not sent again

  // Mid-scene: the primitive that needed the flush reports the failure.
  r.Device->BeginScene();
  r.Device->FillRect(GfxBounds(0, 0, 2, 2), Color4(0xFFFFFFFFu), 0);
  r.Backend->FailDraw = true;
  EXPECT_EQ(r.Device->FillRect(GfxBounds(0, 0, 2, 2), Color4(0xFFFFFFFFu), 4), -96);
  r.Backend->FailDraw = false;
  EXPECT_EQ(r.Device->EndScene(), 0);
}

TEST(GpuScene, ClipIsAScissorClampedToTheSurfaceAndEmptyClipsAddNothing) {
  RecordedDevice r;
  r.Device->SetClipRect(GfxRect(-10, -10, 900, 700));
  EXPECT_EQ(r.Device->GetClipRect(), GfxRect(0, 0, 800, 600));
  r.Device->SetClipRect(GfxRect(10, 20, 30, 40));
  EXPECT_EQ(r.Device->GetClipRect(), GfxRect(10, 20, 30, 40));
  r.Device->BeginScene();
  EXPECT_EQ(r.Device->GetClipRect(), GfxRect(0, 0, 800, 600));  // a scene starts unclipped
  // The scissor follows the clip only when a primitive would cross it.
  r.Device->SetClipRect(GfxRect(10, 20, 30, 40));
  auto pattern = SolidImage(*r.Device);
  ASSERT_TRUE(pattern);
  EXPECT_EQ(r.Device->TextureMap(pattern.get(), QuadFromBounds(0, 0, 40, 40), Color4(0xFFFFFFFFu), 0, 0), 0);
  r.Device->SetClipRect(GfxRect(0, 0, 800, 600));
  EXPECT_EQ(r.Device->FillRect(GfxBounds(12, 22, 4, 4), Color4(0xFFFFFFFFu), 0), 0);  // inside both: no change
  EXPECT_EQ(r.Backend->Scissor, GfxRect(10, 20, 30, 40));
  EXPECT_EQ(r.Device->FillRect(GfxBounds(0, 0, 100, 100), Color4(0xFFFFFFFFu), 0), 0);
  EXPECT_EQ(r.Backend->Scissor, GfxRect(0, 0, 800, 600));
  r.Device->SetClipRect(GfxRect(50, 50, 40, 60));
  auto image = SolidImage(*r.Device);
  ASSERT_TRUE(image);
  EXPECT_EQ(r.Device->FillRect(GfxBounds(0, 0, 100, 100), Color4(0xFFFFFFFFu), 0), 0);
  EXPECT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0), 0);
  EXPECT_EQ(r.Device->FrameRect(GfxBounds(0, 0, 100, 100), Color4(0xFFFFFFFFu), 0), 0);
  EXPECT_EQ(r.Device->PutPixel(45, 55, 0xFFFFFFFFu, 0), 0);
  r.Device->EndScene();
  EXPECT_EQ(VerticesDrawn(*r.Backend), 3u * 6u);  // the three quads above, nothing more
  // Without a surface the rectangle is only remembered (clamped).
  EXPECT_EQ(r.Device->ResetClipRect(), 0);
}

TEST(GpuTextures, TextureCoordinatesAreCheckedAgainstTheImage) {
  RecordedDevice r;
  // Patterns 32x32 showing 24x24, texture 256x256: pattern 9 is column 1, row 1.
  auto image = r.Device->CreateImage();
  image->SetFormat(COLOR_A8R8G8B8);
  image->SetTextureSize({256, 256});
  image->SetPatternSize({32, 32});
  image->SetVisibleSize({24, 24});
  image->SetTextureCount(1);
  image->SetPatternCount(64);
  ASSERT_EQ(image->CreateTextures(), 0);
  r.Device->BeginScene();
  ASSERT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 24, 24), Color4(0xFFFFFFFFu), 5, 9), 0);
  TGfxPattern mirrored(0);
  mirrored.Mirror = true;
  ASSERT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 24, 24), Color4(0xFFFFFFFFu), 5, mirrored), 0);
  ASSERT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 24, 24), Color4(0xFFFFFFFFu), 5, -3), 0);
  r.Device->EndScene();
  ASSERT_EQ(r.Backend->Draws.size(), 1u);
  const auto& v = r.Backend->Draws[0];
  EXPECT_FLOAT_EQ(v[0].U, 36.0f / 256);
  EXPECT_FLOAT_EQ(v[0].V, 36.0f / 256);
  EXPECT_FLOAT_EQ(v[2].U, 60.0f / 256);
  EXPECT_FLOAT_EQ(v[2].V, 60.0f / 256);
  EXPECT_FLOAT_EQ(v[6].U, 28.0f / 256);  // mirrored: left and right exchanged
  EXPECT_FLOAT_EQ(v[7].U, 4.0f / 256);
  EXPECT_FLOAT_EQ(v[12].U, 4.0f / 256);  // -3 is pattern 0

  // A sub-rectangle reaching past the texture, a pattern larger than its texture, an image
  // without textures or of another device: -1, nothing drawn.
  r.Backend->Draws.clear();
  r.Device->BeginScene();
  TGfxPattern tooWide(63);
  tooWide.Width = 100;
  EXPECT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, tooWide), -1);
  TGfxPattern before(0);
  before.X = -10;
  EXPECT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, before), -1);
  auto big = r.Device->CreateImage();
  big->SetFormat(COLOR_A8R8G8B8);
  big->SetTextureSize({16, 16});
  big->SetPatternSize({32, 32});
  big->SetVisibleSize({32, 32});
  big->SetTextureCount(1);
  big->SetPatternCount(1);
  ASSERT_EQ(big->CreateTextures(), 0);
  EXPECT_EQ(r.Device->TextureMap(big.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0), -1);
  auto empty = r.Device->CreateImage();
  EXPECT_EQ(r.Device->TextureMap(empty.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0), -1);
  EXPECT_EQ(r.Device->TextureMap(nullptr, QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0), -1);
  RecordedDevice other;
  auto foreign = SolidImage(*other.Device);
  EXPECT_EQ(r.Device->TextureMap(foreign.get(), QuadFromBounds(0, 0, 8, 8), Color4(0xFFFFFFFFu), 5, 0), -1);
  r.Device->EndScene();
  EXPECT_TRUE(r.Backend->Draws.empty());
}

TEST(GpuTextures, ImagesNeedTheirDeviceAndKeepTheirTexels) {
  TGfxForm form;
  TGfxDevice3 unready(&form, [](TGfxForm*) { return std::make_unique<gfxtest::RecordingBackend>(); });
  auto image = unready.CreateImage();
  image->SetTextureSize({8, 8});
  image->SetPatternSize({8, 8});
  image->SetTextureCount(1);
  EXPECT_EQ(image->CreateTextures(), -15);  // no surface yet
  image->Device = nullptr;
  EXPECT_EQ(image->CreateTextures(), -14);

  RecordedDevice r;
  r.Backend->FailCreateTexture = true;
  EXPECT_EQ(SolidImage(*r.Device), nullptr);  // -98 inside
  r.Backend->FailCreateTexture = false;

  // Rows in and out, pixels with red in the low byte, other formats converted on upload.
  auto img = r.Device->CreateImage();
  img->SetFormat(COLOR_R5G6B5);
  img->SetTextureSize({4, 2});
  img->SetPatternSize({4, 2});
  img->SetTextureCount(1);
  ASSERT_EQ(img->CreateTextures(), 0);
  img->SetPixel(1, 1, 0xFF0000FFu, 0);  // red
  EXPECT_EQ(img->GetPixel(1, 1, 0), 0xFF0000FFu);
  uint16_t row[4] = {};
  int32_t code = 99;
  img->ReadScanline(row, 8, code, 1, 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(row[1], 0xF800u);
  img->ReadScanline(row, 8, code, 2, 0);
  EXPECT_EQ(code, -1);
  img->WriteScanline(row, 1000, code, 0, 5);
  EXPECT_EQ(code, -1);
  EXPECT_EQ(img->GetPixel(4, 0, 0), 0u);
  EXPECT_EQ(img->GetPixel(0, 0, 1), 0u);

  // The device goes first: the image forgets the GPU but keeps its texels.
  r.Device.reset();
  EXPECT_EQ(img->GetPixel(1, 1, 0), 0xFF0000FFu);
  img->Release();
}

// A loaded picture goes to the GPU as soon as its texels are complete, not at its first draw;
// and the first frame without uploads after a load gives the free heap back, once.
TEST(GpuTextures, LoadsUploadAtOnceAndTheFrameAfterALoadReturnsTheHeap) {
  RecordedDevice r;
  TBitmapEx picture;
  picture.SetSize(512, 768);  // three 512x256 textures: more than a load's worth of bytes
  auto image = r.Device->CreateImage();
  ASSERT_EQ(image->LoadFromBitmap(picture, {512, 256}, {512, 256}, {512, 256}, COLOR_A8R8G8B8), 0);
  EXPECT_EQ(r.Backend->Uploads, 3);
  EXPECT_EQ(r.Device->HeapReturns(), 0);
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_EQ(r.Device->BeginScene(), 0);
    ASSERT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 512, 256), Color4(0xFFFFFFFFu), 0, 0), 0);
    ASSERT_EQ(r.Device->EndScene(), 0);
    ASSERT_EQ(r.Device->Present(), 0);
    EXPECT_EQ(r.Device->HeapReturns(), frame == 0 ? 0 : 1) << frame;  // the load's own frame waits
  }
  EXPECT_EQ(r.Backend->Uploads, 3);
}

TEST(GpuLostDevice, PresentResetsALostDeviceAndTexturesComeBackFromTheirCopies) {
  RecordedDevice r;
  auto image = SolidImage(*r.Device, 16, 0xFF102030u);
  ASSERT_TRUE(image);
  const auto frame = [&] {
    r.Device->BeginScene();
    EXPECT_EQ(r.Device->TextureMap(image.get(), QuadFromBounds(0, 0, 16, 16), Color4(0xFFFFFFFFu), 5, 0), 0);
    r.Device->EndScene();
    return r.Device->Present();
  };
  ASSERT_EQ(frame(), 0);
  const int creates = r.Backend->Creates;
  const int uploads = r.Backend->Uploads;

  int lostEvents = 0;
  r.Device->OnDeviceLost = [&](void*) { ++lostEvents; };
  r.Backend->Lost = true;
  r.Backend->FailResets = 1;
  EXPECT_EQ(frame(), -91);  // cannot reset yet: the owner hears of it
  EXPECT_EQ(lostEvents, 1);
  EXPECT_TRUE(r.Device->SurfaceCreated());
  r.Backend->Draws.clear();
  EXPECT_EQ(frame(), 0);  // the next frame resets it
  EXPECT_FALSE(r.Backend->Lost);
  r.Backend->Draws.clear();
  EXPECT_EQ(frame(), 0);
  ASSERT_EQ(r.Backend->Draws.size(), 1u);  // drawn with a live texture
  EXPECT_EQ(r.Backend->Creates, creates + 1);
  EXPECT_EQ(r.Backend->Uploads, uploads + 1);
  EXPECT_EQ(image->GetPixel(3, 3, 0), SwapRedBlue(0xFF102030u));
  EXPECT_EQ(lostEvents, 1);
}

TEST(GpuLostDevice, ADriverErrorResetsOrReleasesTheSurface) {
  RecordedDevice r;
  r.Backend->DriverError = true;
  EXPECT_EQ(r.Device->Present(), 0);
  EXPECT_TRUE(r.Device->SurfaceCreated());
  int done = 0;
  r.Device->OnDoneDevice = [&](void*) { ++done; };
  r.Backend->DriverError = true;
  r.Backend->FailResets = 1;
  EXPECT_EQ(r.Device->Present(), -91);
  EXPECT_FALSE(r.Device->SurfaceCreated());
  EXPECT_EQ(done, 1);
  EXPECT_EQ(r.Device->Present(), -1);
  EXPECT_EQ(r.Device->BeginScene(), -1);
  EXPECT_EQ(r.Device->FillRect(GfxBounds(0, 0, 1, 1), Color4(0), 0), -1);
  EXPECT_EQ(r.Device->InitDevice(), 0);  // and it can be made again
}

TEST(GpuLifecycle, InitialiseCreateAndReleaseInOrder) {
  TGfxDevice3 orphan(nullptr, [](TGfxForm*) { return std::make_unique<gfxtest::RecordingBackend>(); });
  EXPECT_EQ(orphan.Initialize(), -1);  // no owner form

  TGfxForm form;
  std::vector<std::string> events;
  TGfxDevice3 d(&form, [](TGfxForm*) { return std::make_unique<gfxtest::RecordingBackend>(); });
  d.OnInitialize = [&](void*, int32_t&) { events.push_back("init"); };
  d.OnInitDevice = [&](void*, int32_t&) { events.push_back("initdevice"); };
  d.OnDoneDevice = [&](void*) { events.push_back("donedevice"); };
  d.OnFinalize = [&](void*) { events.push_back("finalize"); };
  EXPECT_EQ(d.InitDevice(), -1);
  EXPECT_EQ(d.Present(), -1);
  EXPECT_EQ(d.ResetClipRect(), -1);
  EXPECT_EQ(d.Initialize(), 0);
  EXPECT_EQ(d.Initialize(), -1);
  EXPECT_EQ(d.InitDevice(), 0);
  EXPECT_TRUE(d.SurfaceCreated());
  // 32-bit textures are what the GPU takes: the format lists fall through to them.
  EXPECT_EQ(d.PreferredFormat(0), COLOR_X8R8G8B8);
  EXPECT_EQ(d.PreferredFormat(1), COLOR_A8R8G8B8);
  EXPECT_EQ(d.PreferredFormat(2), COLOR_A8R8G8B8);
  EXPECT_EQ(d.Finalize(), 0);
  EXPECT_FALSE(d.Initialized());
  EXPECT_FALSE(d.SurfaceCreated());
  EXPECT_EQ(events, (std::vector<std::string>{"init", "initdevice", "donedevice", "finalize"}));

  // A handler refusing the start makes it fail and leaves the device finalised.
  d.OnInitialize = [](void*, int32_t& code) { code = -80; };
  EXPECT_EQ(d.Initialize(), -80);
  EXPECT_FALSE(d.Initialized());
  d.OnInitialize = nullptr;
  d.OnInitDevice = [](void*, int32_t& code) { code = -85; };
  EXPECT_EQ(d.Initialize(), 0);
  EXPECT_EQ(d.InitDevice(), -85);
  EXPECT_FALSE(d.SurfaceCreated());

  // A factory that cannot make a back end: -80.
  TGfxDevice3 none(&form, [](TGfxForm*) { return std::unique_ptr<TGfxBackend>(); });
  EXPECT_EQ(none.Initialize(), -80);
}

TEST(GpuLifecycle, ParameterChangesResetTheSurfaceOrRaise) {
  RecordedDevice r;
  r.Device->SetVSync(true);
  EXPECT_TRUE(r.Backend->Params.VSync);
  r.Device->SetWindowed(false);
  EXPECT_FALSE(r.Backend->Params.Windowed);
  r.Device->SetWidth(1024);
  EXPECT_EQ(r.Device->Width(), 1024);
  EXPECT_EQ(r.Backend->Params.Width, 1024);
  EXPECT_EQ(r.Device->GetClipRect(), GfxRect(0, 0, 1024, 600));

  r.Backend->FailResets = 1;
  try {
    r.Device->SetHeight(700);
    ADD_FAILURE() << "a refused size must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Failed to reset the Direct3D device");
  }
  EXPECT_EQ(r.Device->Height(), 600);
  r.Backend->FailResets = 1;
  EXPECT_THROW(r.Device->SetRefreshRate(75), Exception);
}

}  // namespace
