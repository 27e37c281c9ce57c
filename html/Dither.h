#pragma once
// Colour reduction for palette displays: colour lookups that map a colour to a palette index,
// Floyd-Steinberg error diffusion in serpentine order, and an octree quantiser that builds an
// optimised palette. Pictures are read row by row as blue-green-red triplets and written as
// 8-bit indexes that carry their palette.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Exception.h"

class TBitmapEx;

struct TPaletteEntry {
  uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const TPaletteEntry&) const = default;
};
using TLogPalette = std::vector<TPaletteEntry>;

// The 216-colour cube: entry 36 r + 6 g + b = (51 r, 51 g, 51 b).
TLogPalette WebPalette();

// An 8-bit picture: one palette index per pixel, rows top-down.
struct TIndexedBitmap {
  int32_t Width = 0, Height = 0;
  std::vector<uint8_t> Indexes;
  TLogPalette Palette;
};

// Row access to a 32-bit picture as blue-green-red triplets.
class TDIBReader {
public:
  explicit TDIBReader(const TBitmapEx& bitmap) : bitmap_(bitmap) {}
  int32_t Width() const;
  int32_t Height() const;
  // Row y (top-down): Width() triplets.
  void ReadRow(int32_t y, uint8_t* bgr) const;

private:
  const TBitmapEx& bitmap_;
};

// Row access to a new 8-bit picture of the target palette.
class TDIBWriter {
public:
  TDIBWriter(int32_t width, int32_t height, TLogPalette palette);
  uint8_t* Row(int32_t y) { return &bitmap_.Indexes[static_cast<size_t>(y) * bitmap_.Width]; }
  TIndexedBitmap Finish() { return std::move(bitmap_); }

private:
  TIndexedBitmap bitmap_;
};

class TColorLookup {
public:
  virtual ~TColorLookup() = default;
  int32_t Colors() const { return colors_; }
  // The palette index for the colour; the palette's own colour comes back in the arguments.
  virtual uint8_t Lookup(uint8_t& red, uint8_t& green, uint8_t& blue) = 0;

protected:
  int32_t colors_ = 0;
};

// Nearest palette colour (sum of channel differences, first of equals), cached by the five
// high bits of each channel.
class TFastColorLookup : public TColorLookup {
public:
  explicit TFastColorLookup(const TLogPalette& palette);
  uint8_t Lookup(uint8_t& red, uint8_t& green, uint8_t& blue) override;

private:
  static uint32_t Key(uint8_t r, uint8_t g, uint8_t b) { return (r >> 3) | (g >> 3) << 5 | (b >> 3) << 10; }
  TLogPalette palette_;
  std::vector<uint16_t> cache_;  // 65535: empty
};

// The web palette's cube, computed rather than searched.
class TNetscapeColorLookup : public TColorLookup {
public:
  TNetscapeColorLookup() { colors_ = 216; }
  uint8_t Lookup(uint8_t& red, uint8_t& green, uint8_t& blue) override;
};

// Maps the pixels of one row after another; the column moves by the direction.
class TDitherEngine {
public:
  TDitherEngine(TColorLookup& lookup, int32_t width) : lookup_(lookup), width_(width) {}
  virtual ~TDitherEngine() = default;
  virtual uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue);
  // At the end of a row.
  virtual void NextLine() {}
  int32_t Direction() const { return direction_; }
  int32_t Column() const { return column_; }

protected:
  TColorLookup& lookup_;
  int32_t width_;
  int32_t direction_ = 1;
  int32_t column_ = 0;
};

// Error diffusion: 7/16 ahead, 3/16, 5/16 and 1/16 to the row below (behind, under, ahead),
// errors kept in sixteenths; rows alternate direction.
class TFloydSteinbergEngine : public TDitherEngine {
public:
  TFloydSteinbergEngine(TColorLookup& lookup, int32_t width);
  uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
  void NextLine() override;

private:
  std::vector<int32_t> current_[3], next_[3];
  int32_t carried_[3] = {};
};

class EQuantizerError : public Exception {
public:
  using Exception::Exception;
};

class TColorQuantizer {
public:
  // At least 2 colours (fewer cannot be reached by merging), at most 256; colour bits 1..8.
  TColorQuantizer(int32_t maxColors, int32_t colorBits);
  ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;

  void AddColor(uint8_t red, uint8_t green, uint8_t blue);
  // Every pixel of the picture, row by row.
  void ProcessImage(const TBitmapEx& bitmap);
  int32_t LeafCount() const { return leafCount_; }
  // One entry per leaf; with system colours, the 20 static colours around them (256 in all,
  // which needs at most 236 quantised colours).
  TLogPalette Palette(bool systemColors = false) const;

private:
  struct Node;
  void Reduce();
  Node* root_ = nullptr;
  int32_t leafCount_ = 0;
  int32_t maxColors_;
  int32_t colorBits_;
  Node* reducible_[9] = {};
};

// Reduces a 32-bit picture to the palette with Floyd-Steinberg dithering.
TIndexedBitmap ReduceToPalette(const TBitmapEx& source, const TLogPalette& palette);
