#pragma once
// Drawing over a caller-owned 32-bit buffer (0xAARRGGBB, row 0 at the top): what the HTML
// viewer paints with. Colours passed in are Windows-order ($00BBGGRR) values that may carry
// the system-colour marker or the palette-relative flag; both are resolved at use.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

using TColor = uint32_t;

// Colours with the top byte $FF name an entry of the system-colour table.
constexpr TColor clSystemColor = 0xFF000000u;
// Colours read from pages carry this flag so that 8-bit screens match them in a palette;
// our surfaces are 32-bit, so it is only stripped.
constexpr TColor kPaletteRelative = 0x02000000u;

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;

constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clSilver = 0xC0C0C0, clBlue = 0xFF0000,
                 clRed = 0x0000FF, clNavy = 0x800000, clMaroon = 0x000080, clPurple = 0x800080;

// The fixed system-colour table (the classic desktop scheme); unknown indexes read black.
TColor SysColor(int index);
// A plain $00BBGGRR colour: system colours looked up, the palette-relative flag dropped.
TColor ColorToRGB(TColor c);
// The buffer's pixel for a colour (opaque).
inline uint32_t ColorToPixel(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

struct TPoint {
  int X = 0, Y = 0;
};

// Left and top inside, right and bottom outside.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  TRect Intersect(const TRect& o) const;
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

// A read-only picture: 0xAARRGGBB pixels, stride in pixels.
struct PixelView {
  const uint32_t* Pixels = nullptr;
  int Width = 0, Height = 0, Stride = 0;
  uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Stride) + static_cast<std::size_t>(x)]; }
};

// One byte per picture pixel: nonzero where the picture is transparent.
struct PixelMask {
  std::vector<uint8_t> Bits;
  int Width = 0, Height = 0;
  bool Transparent(int x, int y) const { return Bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)] != 0; }
};

// The mask of the pixels whose colour (alpha ignored) equals the key.
PixelMask ColorKeyMask(const PixelView& src, uint32_t keyPixel);

class Canvas {
public:
  Canvas(uint32_t* pixels, int width, int height, int stride);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Logical point (x, y) lands on buffer pixel (0, 0).
  void SetOrigin(int x, int y) { orgX_ = x, orgY_ = y; }
  TPoint Origin() const { return {orgX_, orgY_}; }

  // Clipping: each push narrows the current clip (logical coordinates); pop restores it.
  void PushClip(const TRect& r);
  void PopClip();
  // The current clip in logical coordinates.
  TRect ClipBox() const;

  uint32_t GetPixel(int x, int y) const;  // 0 outside the buffer
  void SetPixel(int x, int y, TColor c);
  void FillRect(const TRect& r, TColor c);
  // A one-pixel outline just inside the rectangle.
  void FrameRect(const TRect& r, TColor c);
  // Left and top edges in one colour, right and bottom in the other (raised or sunken).
  void Frame3D(const TRect& r, TColor topLeft, TColor bottomRight);
  // Pen lines leave out their end pixel.
  void Line(int x0, int y0, int x1, int y1, TColor c);
  // An ellipse in its bounding box: filled with `fill` when given, outlined in `pen`.
  void Ellipse(const TRect& r, TColor pen, const TColor* fill);
  // Copies or stretches (nearest neighbour) a part of a picture; with a mask only its opaque
  // pixels are drawn.
  void StretchDraw(const TRect& dst, const PixelView& src, const TRect& srcRect, const PixelMask* mask = nullptr);
  void Draw(int x, int y, const PixelView& src, const PixelMask* mask = nullptr);
  // Tiles the picture over the area, tile (0, 0) placed at (originX, originY).
  void TileDraw(const TRect& area, const PixelView& src, int originX, int originY);
  // Blends one pixel of colour with coverage 0..255 (text).
  void BlendPixel(int x, int y, uint32_t pixel, unsigned coverage);

private:
  // Device rectangle of a logical one, cut to the clip.
  TRect ToDevice(const TRect& r) const;
  uint32_t* Row(int y) { return pixels_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_); }

  uint32_t* pixels_;
  int width_, height_, stride_;
  int orgX_ = 0, orgY_ = 0;
  std::vector<TRect> clips_;  // device coordinates; the back is the current clip
};

}  // namespace vx
