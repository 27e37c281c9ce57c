#include "html/AnimGif.h"

#include <algorithm>

#include "platform/Clock.h"
#include "render/BitmapEx.h"
#include "render/Streams.h"

namespace {
// The multimedia timer the clock stood for counts milliseconds in 32 bits and wraps.
uint32_t Now() { return static_cast<uint32_t>(vx::Clock().TickCount()); }
}  // namespace

std::unique_ptr<TGIFImage> TGIFImage::CreateFromStream(TStream& stream) {
  TGif gif;
  gif.LoadFromStream(stream);
  std::unique_ptr<TGIFImage> image(new TGIFImage());
  image->Load(gif);
  return image;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  return CreateFromStream(file);
}

void TGIFImage::Load(const TGif& gif) {
  NumFrames = gif.ImageCount();
  Animated = NumFrames >= 2 ? 1 : 0;
  Width = gif.ScreenWidth();
  Height = gif.ScreenHeight();
  NumIterations = std::max(gif.LoopCount(), 0);
  IsTransparent = gif.AnyTransparent();
  strip_ = std::make_shared<const ThvBitmap>(gif.GetStripBitmap());
  for (int32_t n = 0; n < NumFrames; ++n) {
    const TGifImage& im = gif.Image(n);
    TgfFrame f;
    f.Left = im.Left;
    f.Top = im.Top;
    f.Width = im.Width;
    f.Height = im.Height;
    f.Disposal = static_cast<uint8_t>(gif.Disposal(n));
    f.Delay = std::max(30, gif.Delay(n) * 10);
    frames_.push_back(f);
  }
  if (Animated) NextDisposal = 2;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy() const {
  std::unique_ptr<TGIFImage> copy(new TGIFImage());
  copy->Animated = Animated;
  copy->Width = Width;
  copy->Height = Height;
  copy->NumFrames = NumFrames;
  copy->NumIterations = NumIterations;
  copy->IsTransparent = IsTransparent;
  copy->NextDisposal = NextDisposal;
  copy->strip_ = strip_;
  copy->shared_ = true;
  copy->frames_ = frames_;
  for (TgfFrame& f : copy->frames_) f.IsCopy = true;
  return copy;
}

void TGIFImage::SetAnimate(bool on) {
  const uint8_t value = on ? 1 : 0;
  if (value == animate_) return;
  animate_ = value;
  Loops = 1;
  if (on && NumFrames > 1) {
    currentDelay_ = frames_[static_cast<size_t>(CurrentFrame - 1)].Delay;
    lastTime_ = Now();
  }
}

void TGIFImage::SetCurrentFrame(int32_t n) {
  if (n == CurrentFrame || NumFrames == 0) return;
  NextDisposal = frames_[static_cast<size_t>(CurrentFrame - 1)].Disposal;
  if (n > NumFrames) n = 1;
  if (n < 1) n = NumFrames;
  CurrentFrame = n;
  if (Animated) NextDisposal = 2;
}

bool TGIFImage::CheckTime(const std::function<void(const TGfxRect&)>& invalidate) {
  // A single frame has nowhere to go.
  if (!animate_ || !Animated) return false;
  const uint32_t now = Now();
  if (static_cast<int64_t>(now - lastTime_) < currentDelay_) return false;
  lastTime_ = now;
  if (CurrentFrame == NumFrames) {
    if (NumIterations >= 1 && NumIterations <= Loops) {
      SetAnimate(false);
      return false;
    }
    ++Loops;
  }
  NextDisposal = frames_[static_cast<size_t>(CurrentFrame - 1)].Disposal;
  CurrentFrame = CurrentFrame >= NumFrames ? 1 : CurrentFrame + 1;
  if (invalidate) invalidate(lastRect_);
  currentDelay_ = std::max(frames_[static_cast<size_t>(CurrentFrame - 1)].Delay, 1);
  return true;
}

void TGIFImage::Draw(TBitmapEx& canvas, int32_t x, int32_t y, int32_t width, int32_t height) {
  lastRect_ = TGfxRect{x, y, x + width, y + height};
  if (!Visible || NumFrames == 0) return;
  StretchDrawMasked(*strip_, (CurrentFrame - 1) * Width, Width, canvas, x, y, width, height);
}

const ThvBitmap& TGIFImage::Bitmap() {
  if (!frameBitmap_) frameBitmap_ = std::make_unique<ThvBitmap>(strip_->Cell((CurrentFrame - 1) * Width, Width));
  return *frameBitmap_;
}

const ThvBitmap* TGIFImage::MaskedBitmap() {
  return IsTransparent && Bitmap().HasMask() ? &Bitmap() : nullptr;
}

void StretchDrawMasked(const ThvBitmap& source, int32_t srcLeft, int32_t srcWidth, TBitmapEx& canvas, int32_t x,
                       int32_t y, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || srcWidth <= 0 || source.Height <= 0) return;
  if (canvas.PixelFormat() != pf32bit) return;
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = std::min<int64_t>(int64_t{x} + width, canvas.Width()), y1 = std::min<int64_t>(int64_t{y} + height, canvas.Height());
  for (int32_t ty = y0; ty < y1; ++ty) {
    const int32_t sy = static_cast<int32_t>(int64_t{ty - y} * source.Height / height);
    uint32_t* row = canvas.Pixels() + static_cast<size_t>(ty) * canvas.Width();
    for (int32_t tx = x0; tx < x1; ++tx) {
      const int32_t sx = srcLeft + static_cast<int32_t>(int64_t{tx - x} * srcWidth / width);
      if (source.HasMask() && source.MaskAt(sx, sy) != 0) continue;
      const uint8_t* p = source.Pixel(sx, sy);
      row[tx] = 0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    }
  }
}
