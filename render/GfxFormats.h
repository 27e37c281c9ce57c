#pragma once
// Pixel formats of images, textures and surfaces, and the converters between them and the
// working colour (a u32 with alpha 24-31, red 16-23, green 8-15, blue 0-7). Narrowing keeps
// the top bits of each component; widening scales by integer arithmetic (no dithering, no
// rounding). Colours handed to devices ($AABBGGRR) are swapped by the devices, never here.
#include <cstdint>

// The value is what image records store in their format byte: keep the order.
enum TColorFormat : uint8_t {
  COLOR_R3G3B2 = 0,
  COLOR_R5G6B5 = 1,
  COLOR_X8R8G8B8 = 2,
  COLOR_X1R5G5B5 = 3,
  COLOR_X4R4G4B4 = 4,
  COLOR_A8R8G8B8 = 5,
  COLOR_A1R5G5B5 = 6,
  COLOR_A4R4G4B4 = 7,
  COLOR_A8R3G3B2 = 8,
  COLOR_A2R2G2B2 = 9,
};

constexpr int ColorFormatCount = 10;

// Bytes per pixel of each format.
inline constexpr uint8_t ColorFormatBytes[ColorFormatCount] = {1, 2, 4, 2, 2, 4, 2, 2, 2, 1};
// Component widths in bits, per format in the order blue, green, red, alpha (0 = no alpha).
// Note that the two formats named R3G3B2 give red 2 bits and blue 3: stored data relies on it.
inline constexpr uint8_t ColorFormatBits[ColorFormatCount][4] = {
    {3, 3, 2, 0}, {5, 6, 5, 0}, {8, 8, 8, 0}, {5, 5, 5, 0}, {4, 4, 4, 0},
    {8, 8, 8, 8}, {5, 5, 5, 1}, {4, 4, 4, 4}, {3, 3, 2, 8}, {2, 2, 2, 2},
};

constexpr bool IsValidColorFormat(int format) { return format >= 0 && format < ColorFormatCount; }
// Bytes per pixel of a format; 0 for a value outside the ten formats.
int32_t FormatBytesPerPixel(int format);

// Stores one working colour in the format's bytes. COLOR_X8R8G8B8 stores the colour with its
// top byte 0xFF. An out-of-range format writes nothing.
void WritePixel(uint32_t colour, void* dest, TColorFormat format);
// Reads the format's bytes (little-endian into a zeroed u32) and widens them; formats without
// alpha give alpha 255, X8R8G8B8 included. An out-of-range format gives 0.
uint32_t ReadPixel(const void* src, TColorFormat format);

// Converts a run of working colours into a format. For X8R8G8B8 and A8R8G8B8 the pixels are
// copied unchanged (the source alpha stays in the top byte).
using TLineConverter = void (*)(const uint32_t* src, void* dest, int32_t count);
// The converter for a format; nullptr for an out-of-range format.
TLineConverter GetLineConverter(TColorFormat format);

// Widens a run of pixels in a format into working colours. X8R8G8B8 and A8R8G8B8 are copied
// unchanged (an X8R8G8B8 source keeps its top byte). An out-of-range format does nothing.
void ConvertLineToARGB(const void* src, uint32_t* dest, int32_t count, TColorFormat format);

namespace vx {
// The same conversions computed from the two tables, one component at a time. Slow; they
// are the reference the per-format routines are checked and measured against.
void ConvertLineGeneric(const uint32_t* src, void* dest, int32_t count, TColorFormat format);
void ConvertLineToARGBGeneric(const void* src, uint32_t* dest, int32_t count, TColorFormat format);
}  // namespace vx
