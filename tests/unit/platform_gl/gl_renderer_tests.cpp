// The GL layer below the device: where a frame lands in a larger window, when presents are
// paced, and the renderer's own guarantees (texel byte order, read-back orientation,
// textures invalidated by a reset, software frames) on a headless context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "platform/gl/GlRenderer.h"
#include "platform/gl/GlSurface.h"
#include "platform/PresentPacer.h"

namespace {

using vx::gl::ComputeLetterbox;
using vx::gl::Letterbox;

TEST(Letterbox, FitsTheFrameCentredKeepingItsShape) {
  EXPECT_EQ(ComputeLetterbox(800, 600, 800, 600), (Letterbox{0, 0, 800, 600}));
  EXPECT_EQ(ComputeLetterbox(1920, 1080, 800, 600), (Letterbox{240, 0, 1440, 1080}));
  EXPECT_EQ(ComputeLetterbox(1024, 768, 800, 600), (Letterbox{0, 0, 1024, 768}));
  EXPECT_EQ(ComputeLetterbox(1280, 1024, 800, 600), (Letterbox{0, 32, 1280, 960}));
  EXPECT_EQ(ComputeLetterbox(600, 1000, 800, 600), (Letterbox{0, 275, 600, 450}));
  EXPECT_EQ(ComputeLetterbox(3, 2, 800, 600), (Letterbox{0, 0, 2, 2}));
  EXPECT_EQ(ComputeLetterbox(0, 600, 800, 600), Letterbox{});
  EXPECT_EQ(ComputeLetterbox(800, 600, 0, 0), Letterbox{});
  EXPECT_EQ(ComputeLetterbox(2000000000, 2000000000, 800, 600).Width, 2000000000);
}

// A virtual clock for the pacer: swaps take `swapTime`, frames `frameTime` before the swap.
struct PacerRig {
  double now = 100.0;
  double slept = 0.0;
  int sleeps = 0;
  double oversleep = 0.0;  // a real sleep runs over
  vx::PresentPacer pacer{[this] { return now; }, [this](double s) {
                               ++sleeps;
                               slept += s;
                               now += s + oversleep;
                             }};
  // Runs n presents; returns the presents per second they achieved.
  double Run(int n, double frameTime, double swapTime) {
    const double start = now;
    for (int i = 0; i < n; ++i) {
      now += frameTime;
      pacer.BeforeSwap();
      now += swapTime;
      pacer.AfterSwap();
    }
    return n / (now - start);
  }
};

TEST(PresentPacer, CapsAtSixtyOnlyWhenVsyncIsAskedForAndNotHonoured) {
  {
    PacerRig rig;  // vsync off: as fast as frames come
    rig.pacer.SetVSync(false, false);
    EXPECT_GT(rig.Run(100, 0.001, 0.0), 900.0);
    EXPECT_EQ(rig.sleeps, 0);
  }
  {
    PacerRig rig;  // the swap interval was refused: capped from the first frame
    rig.pacer.SetVSync(true, false);
    EXPECT_TRUE(rig.pacer.Capping());
    const double rate = rig.Run(120, 0.001, 0.0);
    EXPECT_LE(rate, 60.5);
    EXPECT_GT(rate, 55.0);
    // A swap with time of its own stays inside the period, and so do sleeps that overrun.
    EXPECT_GT(rig.Run(120, 0.001, 0.002), 59.5);
    rig.oversleep = 0.0003;
    EXPECT_GT(rig.Run(120, 0.001, 0.0), 59.9);
  }
  {
    PacerRig rig;  // accepted and honoured: the swap waits, the pacer never does
    rig.pacer.SetVSync(true, true);
    rig.Run(120, 0.002, 1.0 / 60 - 0.002);
    EXPECT_FALSE(rig.pacer.Capping());
    EXPECT_EQ(rig.sleeps, 0);
  }
  {
    PacerRig rig;  // accepted but ignored: found out within a window, then capped
    rig.pacer.SetVSync(true, true);
    rig.Run(vx::PresentPacer::Window, 0.001, 0.0);
    EXPECT_TRUE(rig.pacer.Capping());
    const double rate = rig.Run(120, 0.001, 0.0);
    EXPECT_LE(rate, 60.5);
  }
  {
    PacerRig rig;  // a slow scene is not taken for a driver that ignores vsync
    rig.pacer.SetVSync(true, true);
    rig.Run(90, 0.030, 0.0);
    EXPECT_FALSE(rig.pacer.Capping());
  }
}

class HeadlessRenderer : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    renderer_ = vx::gl::Renderer::Create(vx::gl::CreateHeadlessSurface(error), 64, 48, error);
    ASSERT_NE(renderer_, nullptr) << error;
    renderer_->BeginFrame();
    renderer_->SetScissor(0, 0, 64, 48);
    renderer_->SetBlend(false, vx::gl::BlendFactor::One, vx::gl::BlendFactor::Zero);
  }
  static std::vector<vx::gl::Vertex> Quad(float x, float y, float w, float h, uint32_t colour) {
    return {{x, y, colour, 0, 0}, {x + w, y, colour, 1, 0}, {x + w, y + h, colour, 1, 1},
            {x, y, colour, 0, 0}, {x + w, y + h, colour, 1, 1}, {x, y + h, colour, 0, 1}};
  }
  uint32_t At(const std::vector<uint32_t>& f, int x, int y) const { return f[static_cast<size_t>(y * 64 + x)]; }
  std::unique_ptr<vx::gl::Renderer> renderer_;
};

TEST_F(HeadlessRenderer, TexelsUploadAsBgraAndFramesReadTopRowFirst) {
  ASSERT_TRUE(renderer_->Clear(0xFF000000u));
  const uint32_t texels[4] = {0xFF112233u, 0x80445566u, 0xFF778899u, 0x00AABBCCu};
  const uint32_t id = renderer_->CreateTexture(2, 2);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(renderer_->UploadTexture(id, 2, 2, texels));
  renderer_->SetTexture(id);
  renderer_->SetTextureMode(vx::gl::TextureMode::Replace);
  renderer_->SetLinearFilter(false);
  const auto quad = Quad(0, 0, 2, 2, 0xFFFFFFFFu);
  ASSERT_TRUE(renderer_->Draw(quad.data(), 6));
  renderer_->SetTextureMode(vx::gl::TextureMode::Colour);
  const auto red = Quad(10, 0, 1, 1, 0xFF0000FFu);  // vertex colour bytes R, G, B, A
  ASSERT_TRUE(renderer_->Draw(red.data(), 6));
  std::vector<uint32_t> frame;
  ASSERT_TRUE(renderer_->ReadFrame(frame));
  ASSERT_EQ(frame.size(), 64u * 48u);
  EXPECT_EQ(At(frame, 0, 0), texels[0]);
  EXPECT_EQ(At(frame, 1, 0), texels[1]);
  EXPECT_EQ(At(frame, 0, 1), texels[2]);
  EXPECT_EQ(At(frame, 1, 1), texels[3]);
  EXPECT_EQ(At(frame, 10, 0), 0xFFFF0000u);
  EXPECT_EQ(At(frame, 0, 47), 0xFF000000u);
}

TEST_F(HeadlessRenderer, ScissorUsesTopLeftCoordinates) {
  ASSERT_TRUE(renderer_->Clear(0xFF000000u));
  renderer_->SetScissor(4, 2, 8, 3);
  ASSERT_TRUE(renderer_->Clear(0xFFFFFFFFu));
  renderer_->SetScissor(0, 0, 64, 48);
  std::vector<uint32_t> frame;
  ASSERT_TRUE(renderer_->ReadFrame(frame));
  int lit = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      if (At(frame, x, y) == 0xFFFFFFFFu) {
        ++lit;
        EXPECT_TRUE(x >= 4 && x < 8 && y == 2) << x << "," << y;
      }
  EXPECT_EQ(lit, 4);
}

TEST_F(HeadlessRenderer, AResetInvalidatesTexturesAndLossSwallowsDrawing) {
  const uint32_t id = renderer_->CreateTexture(4, 4);
  ASSERT_NE(id, 0u);
  renderer_->InjectLoss();
  const auto quad = Quad(0, 0, 64, 48, 0xFFFFFFFFu);
  EXPECT_TRUE(renderer_->Draw(quad.data(), 6));
  EXPECT_EQ(renderer_->Present(), vx::gl::PresentResult::Lost);
  EXPECT_EQ(renderer_->Present(), vx::gl::PresentResult::Lost);
  ASSERT_TRUE(renderer_->Reset(32, 16));
  EXPECT_EQ(renderer_->Width(), 32);
  const uint32_t texel = 0xFFFFFFFFu;
  EXPECT_FALSE(renderer_->UploadTexture(id, 1, 1, &texel));  // gone with the reset
  EXPECT_EQ(renderer_->Present(), vx::gl::PresentResult::Ok);
  renderer_->InjectDriverError();
  EXPECT_EQ(renderer_->Present(), vx::gl::PresentResult::DriverError);
  EXPECT_EQ(renderer_->Present(), vx::gl::PresentResult::Ok);
  EXPECT_FALSE(renderer_->Reset(0, 10));
  EXPECT_EQ(renderer_->CreateTexture(0, 4), 0u);
  EXPECT_EQ(renderer_->CreateTexture(1 << 20, 4), 0u);
}

// Textures of one size share pages; more textures start pages of their own rather than move
// the ones in place (no page is reallocated and copied), and freed layers are reused. Through
// all of it each texture keeps its own texels, read back as uploaded.
TEST_F(HeadlessRenderer, TexturesKeepTheirTexelsAndPlacesAsPagesComeAndGo) {
  std::vector<std::pair<uint32_t, std::vector<uint32_t>>> live;
  uint32_t seed = 7;
  const auto make = [&](int side) {
    std::vector<uint32_t> texels(static_cast<size_t>(side * side));
    for (uint32_t& t : texels) t = seed = seed * 1664525u + 1013904223u;
    const uint32_t id = renderer_->CreateTexture(side, side);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(renderer_->UploadTexture(id, side, side, texels.data()));
    live.emplace_back(id, std::move(texels));
  };
  const auto place = [&](uint32_t id) { return std::pair(renderer_->TexturePage(id), renderer_->TextureLayer(id)); };
  for (int round = 0; round < 3; ++round) {
    std::vector<std::pair<uint32_t, std::pair<uint32_t, int>>> before;
    for (const auto& t : live) before.emplace_back(t.first, place(t.first));
    for (int i = 0; i < 11; ++i) make(i % 3 == 0 ? 16 : 8);
    for (const auto& [id, at] : before) ASSERT_EQ(place(id), at) << "texture " << id << " moved";
    for (size_t i = 0; i < live.size(); i += 2) renderer_->DeleteTexture(live[i].first);
    for (size_t i = 0; i < live.size(); ++i)
      if (i % 2 == 0) live[i].first = 0;
    std::erase_if(live, [](const auto& t) { return t.first == 0; });
  }
  std::set<uint32_t> pages;
  for (const auto& [id, texels] : live) {
    const int side = texels.size() == 256 ? 16 : 8;
    std::vector<uint32_t> back(texels.size());
    ASSERT_TRUE(renderer_->ReadTexture(id, side, side, back.data()));
    EXPECT_EQ(back, texels) << "texture " << id;
    pages.insert(renderer_->TexturePage(id));
  }
  EXPECT_LE(pages.size(), 5u);  // a few pages a size
}

// Textures freed here and there leave pages mostly empty: compacting moves the emptiest
// pages' textures into the others' free layers and frees those pages, a whole page at a time
// however small the budget, each texture keeping its texels.
TEST_F(HeadlessRenderer, CompactingGathersScatteredTexturesIntoFewerPages) {
  std::vector<std::pair<uint32_t, std::vector<uint32_t>>> live;
  std::vector<uint32_t> gone;
  uint32_t seed = 11;
  for (int i = 0; i < 40; ++i) {
    std::vector<uint32_t> texels(64);
    for (uint32_t& t : texels) t = seed = seed * 1664525u + 1013904223u;
    const uint32_t id = renderer_->CreateTexture(8, 8);
    ASSERT_TRUE(renderer_->UploadTexture(id, 8, 8, texels.data()));
    if (i % 4 == 0) {
      live.emplace_back(id, std::move(texels));
    } else {
      gone.push_back(id);
    }
  }
  const auto pages = [&] {
    std::set<uint32_t> in;
    for (const auto& t : live) in.insert(renderer_->TexturePage(t.first));
    return in.size();
  };
  EXPECT_EQ(renderer_->CompactPages(1 << 20), 0);  // no holes yet
  for (uint32_t id : gone) renderer_->DeleteTexture(id);
  const size_t before = pages();
  int64_t moved = renderer_->CompactPages(1);
  EXPECT_GT(moved, 0);
  while (int64_t more = renderer_->CompactPages(1)) moved += more;
  EXPECT_LT(pages(), before);
  EXPECT_LE(pages(), 2u);
  EXPECT_LE(moved, 40 * 64 * 4);
  for (const auto& [id, texels] : live) {
    std::vector<uint32_t> back(texels.size());
    ASSERT_TRUE(renderer_->ReadTexture(id, 8, 8, back.data()));
    EXPECT_EQ(back, texels) << "texture " << id;
  }
  // A moved texture draws from where it lies now.
  renderer_->SetTexture(live.back().first);
  renderer_->SetTextureMode(vx::gl::TextureMode::Replace);
  renderer_->SetLinearFilter(false);
  const auto quad = Quad(0, 0, 8, 8, 0xFFFFFFFFu);
  ASSERT_TRUE(renderer_->Draw(quad.data(), 6));
  std::vector<uint32_t> frame;
  ASSERT_TRUE(renderer_->ReadFrame(frame));
  EXPECT_EQ(At(frame, 7, 7), live.back().second[63]);
}

// Textures of distinct sizes lie in distinct pages, each bound on its own unit, and one more
// shares the 2 x 2 one's page; one draw shows them all, before and after a software frame.
TEST_F(HeadlessRenderer, OneDrawSamplesThePagesBoundOnEveryUnit) {
  renderer_->SetLinearFilter(false);
  renderer_->SetTextureMode(vx::gl::TextureMode::PerVertex);
  constexpr int kUnits = vx::gl::kTextureUnits;
  std::vector<vx::gl::Vertex> batch;
  std::vector<uint32_t> shown, texels;
  for (int i = 0; i <= kUnits; ++i) {
    const int side = i < kUnits ? 1 << i : 2, unit = i < kUnits ? kUnits - 1 - i : kUnits - 2;
    texels.resize(static_cast<size_t>(side * side));  // rows and columns differ: no smaller layer
    for (int k = 0; k < side * side; ++k) texels[static_cast<size_t>(k)] = 0xFF000000u + 0x1F0000u * i + k % side + 256 * (k / side);
    const uint32_t id = renderer_->CreateTexture(side, side);
    ASSERT_TRUE(renderer_->UploadTexture(id, side, side, texels.data()));
    if (i < kUnits) renderer_->SetTexture(unit, id);
    shown.push_back(texels[static_cast<size_t>(side * 3 / 8 * (side + 1))]);  // at pixel (1, 1) of 4 x 4
    auto quad = Quad(static_cast<float>(i * 6), 4, 4, 4, 0xFFFFFFFFu);
    for (auto& v : quad) v.Sample = vx::gl::SampleCode(renderer_->TextureLayer(id), true, unit);
    batch.insert(batch.end(), quad.begin(), quad.end());
  }
  const std::vector<uint32_t> software(64 * 48, 0xFF000000u);
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_TRUE(pass == 0 || renderer_->DrawBuffer(software.data(), 64, 48, 64 * 4));
    ASSERT_TRUE(renderer_->Draw(batch.data(), static_cast<int>(batch.size())));
    std::vector<uint32_t> frame;
    ASSERT_TRUE(renderer_->ReadFrame(frame));
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(At(frame, static_cast<int>(i * 6 + 1), 5), shown[i]) << i;
  }
}

// Whether clamping to the corner samples every texel as the whole texture has it.
bool CornerSamplesAsWhole(const std::vector<uint32_t>& t, int w, int h, int cw, int ch) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (t[static_cast<size_t>(y * w + x)] != t[static_cast<size_t>(std::min(y, ch - 1) * w + std::min(x, cw - 1))])
        return false;
  return true;
}

// Textures padded with repeated texels (as pictures are padded out to their texture) take a
// layer only as large as their power-of-two corner, the smallest that samples as the whole;
// drawn scaled and filtered they light exactly the pixels the same texels light from a layer
// of the whole size, and they read back whole.
TEST_F(HeadlessRenderer, PaddedTexturesTakeTheSmallestCornerThatSamplesAsTheWhole) {
  uint32_t seed = 99;
  const auto next = [&](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  renderer_->SetTextureMode(vx::gl::TextureMode::Replace);
  for (int round = 0; round < 40; ++round) {
    const int w = 1 << next(6), h = 1 << next(6);
    const int dw = 1 + static_cast<int>(next(static_cast<uint32_t>(w))), dh = 1 + static_cast<int>(next(static_cast<uint32_t>(h)));
    const bool fixedPad = next(2) == 0;
    const uint32_t pad = next(2) == 0 ? 0u : 0xFF000000u | next(1u << 24);
    std::vector<uint32_t> texels(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t& t = texels[static_cast<size_t>(y * w + x)];
        if (x < dw && y < dh) t = next(3) == 0 ? pad : (0xFF000000u | next(1u << 24));
        else if (fixedPad) t = pad;
        else t = texels[static_cast<size_t>(std::min(y, dh - 1) * w + std::min(x, dw - 1))];
      }
    int cw = 0, ch = 0;
    vx::gl::SamplingCorner(texels.data(), w, h, cw, ch);
    ASSERT_TRUE(CornerSamplesAsWhole(texels, w, h, cw, ch)) << round;
    EXPECT_TRUE(cw == 1 || !CornerSamplesAsWhole(texels, w, h, cw / 2, ch)) << round;
    EXPECT_TRUE(ch == 1 || !CornerSamplesAsWhole(texels, w, h, cw, ch / 2)) << round;

    const uint32_t trimmed = renderer_->CreateTexture(w, h);
    const uint32_t whole = renderer_->CreateTexture(w, h, std::max(w, h));  // a side keeps the layer
    ASSERT_TRUE(renderer_->UploadTexture(trimmed, w, h, texels.data()));
    ASSERT_TRUE(renderer_->UploadTexture(whole, w, h, texels.data()));
    int ew = 0, eh = 0;
    renderer_->TextureExtent(trimmed, ew, eh);
    EXPECT_EQ(ew, cw);
    EXPECT_EQ(eh, ch);
    std::vector<uint32_t> back(texels.size());
    ASSERT_TRUE(renderer_->ReadTexture(trimmed, w, h, back.data()));
    EXPECT_EQ(back, texels) << round;

    std::vector<uint32_t> frames[2];
    const float qw = static_cast<float>(3 + next(61)), qh = static_cast<float>(3 + next(45));
    for (int k = 0; k < 2; ++k) {
      const uint32_t id = k == 0 ? trimmed : whole;
      int lw = 0, lh = 0;
      renderer_->TextureExtent(id, lw, lh);
      const float u = static_cast<float>(w) / static_cast<float>(lw), v = static_cast<float>(h) / static_cast<float>(lh);
      const std::vector<vx::gl::Vertex> quad = {{0, 0, 0xFFFFFFFFu, 0, 0}, {qw, 0, 0xFFFFFFFFu, u, 0},
                                                {qw, qh, 0xFFFFFFFFu, u, v}, {0, 0, 0xFFFFFFFFu, 0, 0},
                                                {qw, qh, 0xFFFFFFFFu, u, v}, {0, qh, 0xFFFFFFFFu, 0, v}};
      ASSERT_TRUE(renderer_->Clear(0xFF000000u));
      renderer_->SetTexture(id);
      ASSERT_TRUE(renderer_->Draw(quad.data(), 6));
      ASSERT_TRUE(renderer_->ReadFrame(frames[k]));
    }
    EXPECT_EQ(frames[0], frames[1]) << "round " << round << ": " << w << "x" << h << " in " << cw << "x" << ch;
    renderer_->DeleteTexture(trimmed);
    renderer_->DeleteTexture(whole);
  }
}

TEST_F(HeadlessRenderer, SoftwareFramesCoverTheFrameOpaque) {
  std::vector<uint32_t> buffer(64 * 48);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = 0x00000000u | static_cast<uint32_t>(i);
  ASSERT_TRUE(renderer_->DrawBuffer(buffer.data(), 64, 48, 64 * 4));
  std::vector<uint32_t> frame;
  ASSERT_TRUE(renderer_->ReadFrame(frame));
  for (size_t i = 0; i < buffer.size(); ++i) ASSERT_EQ(frame[i], buffer[i] | 0xFF000000u) << i;
  EXPECT_FALSE(renderer_->DrawBuffer(buffer.data(), 64, 48, 100));
  EXPECT_FALSE(renderer_->DrawBuffer(nullptr, 64, 48, 256));
}

// Filling one size layer by layer: no page over the cap, few pages (each new one doubles what
// the size holds until the cap), and never much more allocated than used.
TEST(PageChain, DoublesToTheCapAndAllocatesAboutWhatIsUsed) {
  for (int cap : {1, 3, 4, 7, 64, 1000}) {
    std::vector<int> pages;
    int total = 0;
    for (int used = 1; used <= 5000; ++used) {
      if (used > total) {
        pages.push_back(vx::gl::NewPageLayers(total, 4, cap));
        total += pages.back();
      }
      ASSERT_GE(pages.back(), 1);
      ASSERT_LE(pages.back(), cap);
      ASSERT_LT(total, 2 * used + 4) << "cap " << cap << " at " << used;
      if (used <= cap) {
        ASSERT_LE(pages.size(), 2u + static_cast<size_t>(std::log2(std::max(1, used))));
      }
    }
  }
}

}  // namespace
