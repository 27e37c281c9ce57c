// Animated GIF pictures on a virtual clock: frame delays, loop counting, frame selection,
// copies sharing the strip, and drawing through the mask.
#include <gtest/gtest.h>

#include "html/AnimGif.h"
#include "render/BitmapEx.h"
#include "render/Streams.h"
#include "support/VirtualClock.h"
#include "unit/html/GifTestEncoder.h"

namespace {

using giftest::Bytes;
using giftest::Frame;
using giftest::GifWriter;

const std::vector<uint32_t> kTable = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// Frames of 2x2 in one colour each, with the given delays (hundredths).
std::unique_ptr<TGIFImage> Animation(const std::vector<int>& delays, int loops, int transparentInFirst = -1) {
  GifWriter w(2, 2, kTable);
  if (loops >= 0) w.Loop(loops);
  for (size_t k = 0; k < delays.size(); ++k) {
    Frame f;
    f.width = f.height = 2;
    f.pixels = Bytes(4, static_cast<uint8_t>(k % 4));
    if (k == 0 && transparentInFirst >= 0) f.pixels[3] = static_cast<uint8_t>(transparentInFirst);
    f.control = true;
    f.delay = delays[k];
    f.transparent = k == 0 ? transparentInFirst : -1;
    f.lzw.minCodeSize = 2;
    w.Add(f);
  }
  const Bytes file = w.Finish();
  TMemoryStream s(file.data(), file.size());
  return TGIFImage::CreateFromStream(s);
}

TEST(AnimatedGifTest, FramesAdvanceByTheirDelaysAndLoopsAreCounted) {
  vxtest::VirtualClock clock;
  // Delays 0 and 1 hundredth both become 30 ms; 5 becomes 50 ms.
  auto gif = Animation({0, 1, 5}, 2);
  EXPECT_EQ(gif->Animated, 1);
  EXPECT_EQ(gif->NextDisposal, 2);
  EXPECT_EQ(gif->NumIterations, 2);
  ASSERT_EQ(gif->Frames().size(), 3u);
  EXPECT_EQ(gif->Frames()[0].Delay, 30);
  EXPECT_EQ(gif->Frames()[1].Delay, 30);
  EXPECT_EQ(gif->Frames()[2].Delay, 50);
  gif->SetAnimate(true);
  EXPECT_EQ(gif->Loops, 1);

  int invalidated = 0;
  auto tick = [&](int ms) {
    clock.AdvanceMs(static_cast<uint64_t>(ms));
    return gif->CheckTime([&](const TGfxRect&) { ++invalidated; });
  };
  std::vector<int> seen;
  EXPECT_FALSE(tick(29));
  // Two passes over frames 1, 2, 3, then it stops on the last frame.
  for (int t = 0; t < 40 && gif->Animate(); ++t) {
    if (tick(10)) seen.push_back(gif->CurrentFrame);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2, 3}));
  EXPECT_FALSE(gif->Animate());
  EXPECT_EQ(gif->CurrentFrame, 3);
  EXPECT_EQ(invalidated, 5);

  // No loop count: forever. A single frame is not animated and never moves.
  auto forever = Animation({2, 2}, -1);
  EXPECT_EQ(forever->NumIterations, 0);
  forever->SetAnimate(true);
  int changes = 0;
  for (int t = 0; t < 100; ++t) {
    clock.AdvanceMs(30);
    changes += forever->CheckTime() ? 1 : 0;
  }
  EXPECT_EQ(changes, 100);
  EXPECT_GT(forever->Loops, 40);
  auto still = Animation({3}, 0);
  EXPECT_EQ(still->Animated, 0);
  still->SetAnimate(true);
  clock.AdvanceMs(1000);
  EXPECT_FALSE(still->CheckTime());
  EXPECT_EQ(still->CurrentFrame, 1);
}

TEST(AnimatedGifTest, FrameSelectionCopiesAndMaskedDrawing) {
  auto gif = Animation({10, 10, 10}, 0, 3);
  gif->SetCurrentFrame(0);
  EXPECT_EQ(gif->CurrentFrame, 3);
  gif->SetCurrentFrame(4);
  EXPECT_EQ(gif->CurrentFrame, 1);
  EXPECT_TRUE(gif->IsTransparent);

  auto copy = gif->CreateCopy();
  EXPECT_TRUE(copy->SharesStrip());
  EXPECT_EQ(&copy->Strip(), &gif->Strip());
  EXPECT_TRUE(copy->Frames()[2].IsCopy);

  // The first frame drawn twice its size: its transparent corner lets the canvas through.
  TBitmapEx canvas;
  canvas.SetSize(6, 6);
  canvas.Fill(0xFF123456);
  gif->Draw(canvas, 1, 1, 4, 4);
  EXPECT_EQ(canvas.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(4, 4), 0xFF563412u);  // the transparent pixel, stretched
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFF563412u);  // outside the rectangle
  gif->SetCurrentFrame(2);
  gif->Draw(canvas, 1, 1, 4, 4);
  EXPECT_EQ(canvas.Pixel(4, 4), 0xFF00FF00u);
  EXPECT_EQ(gif->Bitmap().Width, 2);
  ASSERT_NE(gif->MaskedBitmap(), nullptr);
  gif->Visible = 0;
  canvas.Fill(0);
  gif->Draw(canvas, 0, 0, 6, 6);
  EXPECT_EQ(canvas.Pixel(3, 3), 0u);
}

}  // namespace
