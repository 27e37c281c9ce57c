#pragma once
// The shared vocabulary of the rendering library: modes, bit depths, the blending effect
// codes and what each one means to the GPU and to the software rasteriser, the result codes
// with their texts, and the small colour and rectangle helpers every device uses.
//
// Colours handed to devices are $AABBGGRR (red in the low byte); pixels and texels are
// 0xAARRGGBB. A device swaps red and blue of every colour it is given.
#include <array>
#include <cstdint>
#include <string>

#include "render/GfxFormats.h"

enum TRenderingMode : uint8_t { rmDirect3D, rmSoftware, rmSoftGDI };

enum TBitDepth : uint8_t { bdDefault, bdLow, bdHigh, bd16bit, bd32bit, bd32hq };

// True for the depths that ask for 32-bit surfaces and textures first.
constexpr bool IsHighBitDepth(TBitDepth depth) {
  return depth == bdHigh || depth == bd32bit || depth == bd32hq;
}

struct TGfxPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TGfxPoint&, const TGfxPoint&) = default;
};

// Right and Bottom are exclusive.
struct TGfxRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  // Nothing can be drawn inside an empty or inverted rectangle.
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TGfxRect&, const TGfxRect&) = default;
};

// A quad: top-left, top-right, bottom-right, bottom-left. Colours follow the same order.
using TPoint4 = std::array<TGfxPoint, 4>;
using TColor4 = std::array<uint32_t, 4>;

// Which part of an image a textured quad shows: a pattern number and, optionally, a
// sub-rectangle of the pattern's visible picture (Width/Height below 1 mean the whole visible
// size) and mirror (swap left/right) and flip (swap top/bottom). Callers normally give only
// the number.
struct TGfxPattern {
  int32_t Pattern = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Mirror = false;
  bool Flip = false;
  TGfxPattern() = default;
  TGfxPattern(int32_t pattern) : Pattern(pattern) {}  // NOLINT: a bare number is the usual form
};

// ---- Effect codes -----------------------------------------------------------------------
// Bit value 1 multiplies the texture by the vertex colours; 64 and 128 mark line and point
// primitives and never change the blend. The even rest selects the blend.
constexpr int32_t fxModulate = 1;
constexpr int32_t fxLineFlag = 64;
constexpr int32_t fxPointFlag = 128;

// Blend factors of the GPU blend equation result = source * S + destination * D.
enum TBlendFactor : uint8_t {
  bfZero,
  bfOne,
  bfSrcAlpha,
  bfInvSrcAlpha,
  bfSrcColor,
  bfInvSrcColor,
};

struct TGpuBlend {
  bool Enabled = false;
  TBlendFactor Source = bfOne;
  TBlendFactor Dest = bfZero;
  friend bool operator==(const TGpuBlend&, const TGpuBlend&) = default;
};

// The GPU blend of an effect: bits 1, 64 and 128 are removed and the rest picks the row.
// False when the rest is not in the table (negative, above 36 or a gap): the caller then
// keeps the blend it had.
bool GpuBlendForEffect(int32_t effect, TGpuBlend& blend);

// Whether a textured primitive multiplies its texels by the vertex colours.
constexpr bool EffectModulates(int32_t effect) { return (effect & fxModulate) != 0; }

// Draw flags of the software rasteriser.
constexpr uint32_t srfDiffuse = 0x001;
constexpr uint32_t srfInvert = 0x002;
constexpr uint32_t srfReverseAlpha = 0x004;
constexpr uint32_t srfSrcAlpha = 0x008;
constexpr uint32_t srfDestInvAlpha = 0x010;
constexpr uint32_t srfDestSrcColor = 0x020;
constexpr uint32_t srfCopy = 0x040;
constexpr uint32_t srfAdd = 0x080;
constexpr uint32_t srfFill = 0x200;
constexpr uint32_t srfLumAlpha = 0x400;

// The rasteriser's flag word of an effect: only bit 1 is removed first (it becomes
// srfDiffuse); a rest not in the table gives srfCopy alone.
uint32_t EffectToSoftwareFlags(int32_t effect);

// ---- Result codes -----------------------------------------------------------------------
// Device codes. Archive, image and font codes are named beside their loaders; every code
// has its text in ErrorString.
constexpr int32_t errNone = 0;
constexpr int32_t errInvalidCall = -1;
constexpr int32_t errNotGfxDevice = -14;
constexpr int32_t errDeviceInactive = -15;
constexpr int32_t errDeviceCreate = -80;
constexpr int32_t errAdapterCount = -81;
constexpr int32_t errEnumModes = -82;
constexpr int32_t errDeviceFailure = -83;
constexpr int32_t errDeviceCaps = -84;
constexpr int32_t errVertexBuffer = -85;
constexpr int32_t errVertexIndex = -87;
constexpr int32_t errBeginScene = -88;
constexpr int32_t errEndScene = -89;
constexpr int32_t errPresent = -90;
constexpr int32_t errDeviceReset = -91;
constexpr int32_t errClear = -92;
constexpr int32_t errSetTexture = -93;
constexpr int32_t errStreamSource = -94;
constexpr int32_t errVertexShader = -95;
constexpr int32_t errDrawPrimitive = -96;
constexpr int32_t errLockVertexBuffer = -97;
constexpr int32_t errCreateTexture = -98;
constexpr int32_t errDDCreate = -100;
constexpr int32_t errDDCooperativeLevel = -101;
constexpr int32_t errDDVideoMode = -102;
constexpr int32_t errDDPrimarySurface = -103;
constexpr int32_t errDDSurfaceDesc = -104;
constexpr int32_t errDDAttachBackBuffers = -105;
constexpr int32_t errDDBackSurface = -106;
constexpr int32_t errDDFlip = -107;
constexpr int32_t errDDLock = -108;

// The text of a result code; a code without one gives "Error #" followed by the number.
std::string ErrorString(int32_t code);

// ---- Colour helpers ---------------------------------------------------------------------
// Exchanges bytes 0 and 2 (red and blue), keeping green and alpha.
constexpr uint32_t SwapRedBlue(uint32_t colour) {
  return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}

// A colour as four values 0..1, byte 0 first.
struct TColorChannels {
  std::array<double, 4> C{};
};
TColorChannels ColorToChannels(uint32_t colour);
// Back to a colour: every value times 255, rounded, kept inside 0..255.
uint32_t ChannelsToColor(const TColorChannels& channels);

// Eases 0..1 into 0..1: (sin(pi*x - pi/2) + 1) / 2.
double SmoothStep(double x);

// Four equal corner colours.
constexpr TColor4 Color4(uint32_t colour) { return {colour, colour, colour, colour}; }

// ---- Rectangle helpers ------------------------------------------------------------------
constexpr TGfxRect GfxRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return TGfxRect{left, top, right, bottom};
}
constexpr TGfxRect GfxBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
  return TGfxRect{x, y, x + w, y + h};
}
// (left, top), (right, top), (right, bottom), (left, bottom).
TPoint4 QuadFromRect(const TGfxRect& rect);
// (x, y), (x + w, y), (x + w, y + h), (x, y + h).
TPoint4 QuadFromBounds(int32_t x, int32_t y, int32_t w, int32_t h);
// As QuadFromBounds with w and h multiplied by scale and rounded.
TPoint4 QuadFromBoundsScaled(int32_t x, int32_t y, int32_t w, int32_t h, double scale);
