#pragma once
// TGIFImage: the viewer's picture object for a GIF. It keeps one strip holding every frame
// side by side (with its mask when a frame is transparent), the frame list, and the clock
// that advances the frame while the picture animates. The clock is the program's tick
// count, so tests drive it with a virtual clock.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/Gif.h"
#include "render/GfxDef.h"

class TStream;
class TBitmapEx;

struct TgfFrame {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t Delay = 0;  // milliseconds
  uint8_t Disposal = 0;
  bool IsCopy = false;
};

class TGIFImage {
public:
  // Reads the GIF (raising EGifError as the decoder does).
  static std::unique_ptr<TGIFImage> CreateFromStream(TStream& stream);
  static std::unique_ptr<TGIFImage> CreateFromFile(const std::string& fileName);
  // A new picture sharing this one's strip, with copies of its frames; frame 1, visible.
  std::unique_ptr<TGIFImage> CreateCopy() const;

  uint8_t Animated = 0;  // 1 with two frames or more
  int32_t CurrentFrame = 1;
  int32_t Width = 0, Height = 0;
  int32_t NumFrames = 0;
  int32_t NumIterations = 0;  // 0: forever
  bool IsTransparent = false;
  uint8_t Visible = 1;
  uint8_t NextDisposal = 0;
  int32_t Loops = 0;

  bool Animate() const { return animate_ != 0; }
  void SetAnimate(bool on);
  void SetCurrentFrame(int32_t n);
  const std::vector<TgfFrame>& Frames() const { return frames_; }
  const ThvBitmap& Strip() const { return *strip_; }
  bool SharesStrip() const { return shared_; }

  // Draws the current frame stretched into the rectangle of the canvas, through the mask.
  void Draw(TBitmapEx& canvas, int32_t x, int32_t y, int32_t width, int32_t height);
  // Moves to the next frame when the current one's delay has passed; true when it did. The
  // last drawing rectangle is handed to `invalidate` to be painted again.
  bool CheckTime(const std::function<void(const TGfxRect&)>& invalidate = {});

  // The current frame as a picture of its own (made on first use), and its mask (nullptr
  // when the picture has no transparency).
  const ThvBitmap& Bitmap();
  const ThvBitmap* MaskedBitmap();

private:
  TGIFImage() = default;
  void Load(const TGif& gif);

  std::shared_ptr<const ThvBitmap> strip_;
  std::vector<TgfFrame> frames_;
  uint8_t animate_ = 0;
  TGfxRect lastRect_;
  uint32_t lastTime_ = 0;
  int32_t currentDelay_ = 0;
  std::unique_ptr<ThvBitmap> frameBitmap_;
  bool shared_ = false;
};

// Draws `source` (its columns [srcLeft, srcLeft + srcWidth)) stretched into the rectangle of
// a 32-bit canvas, nearest pixel, skipping pixels its mask marks transparent. Drawn pixels
// are opaque.
void StretchDrawMasked(const ThvBitmap& source, int32_t srcLeft, int32_t srcWidth, TBitmapEx& canvas, int32_t x,
                       int32_t y, int32_t width, int32_t height);
