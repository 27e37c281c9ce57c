#pragma once
// TGif: reads a GIF file (logical screen, colour tables, extension blocks, every image with
// its pixels as colour indexes) and renders all frames side by side into one 24-bit strip
// with a matching mask strip, for the animated picture. Every failure raises EGifError with
// "TGif: " and the text of its error number.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"

class TStream;

class EGifError : public Exception {
public:
  using Exception::Exception;
};

// The texts of the error numbers 0..25.
extern const char* const GifErrorTexts[26];

// A 24-bit picture (blue, green, red; rows top-down, no padding) and, when it has one, a
// mask of one byte per pixel: 255 where the picture is transparent, 0 where it shows.
struct ThvBitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;
  std::vector<uint8_t> Mask;

  bool HasMask() const { return !Mask.empty(); }
  const uint8_t* Pixel(int32_t x, int32_t y) const { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
  uint8_t MaskAt(int32_t x, int32_t y) const { return Mask[static_cast<size_t>(y) * Width + x]; }
  // The cell of columns [left, left + width) as a picture of its own (mask included).
  ThvBitmap Cell(int32_t left, int32_t width) const;
};

struct TGifColorTable {
  int32_t Count = 0;
  uint32_t Entries[256] = {};  // red | green << 8 | blue << 16
};

struct TGifSubBlocks {
  std::vector<std::vector<uint8_t>> Blocks;
};

struct TGifExtension {
  uint8_t Label = 0;
  // 0xF9 graphic control
  uint8_t BlockSize = 0;
  uint8_t Disposal = 0;
  bool UserInput = false;
  bool TransparentFlag = false;
  uint16_t Delay = 0;  // hundredths of a second
  uint8_t TransparentIndex = 0;
  // 0x01 plain text
  uint16_t GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0;
  uint8_t CellWidth = 0, CellHeight = 0, Foreground = 0, Background = 0;
  // 0xFF application
  std::string Identifier;       // 8 bytes
  std::string Authentication;   // 3 bytes
  TGifSubBlocks Data;           // comment, plain text and application data
};

struct TGifImage {
  int32_t Index = 0;
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool LocalTable = false;
  bool Interlaced = false;
  bool Sorted = false;
  int32_t LocalTableSize = 0;
  int32_t TableNumber = -1;
  uint8_t CodeSize = 0;
  std::vector<TGifExtension> Extensions;
  std::vector<uint8_t> Pixels;  // Width x Height colour indexes, rows top-down
  int64_t PixelCount = 0;
};

class TGif {
public:
  // Largest image or logical screen side, and the most bytes one image's indexes or one
  // strip may take: past them, error 15.
  static constexpr int64_t MaxSide = 16384;
  static constexpr int64_t MaxStripBytes = int64_t{64} << 20;
  // All images of one file together.
  static constexpr int64_t MaxTotalPixels = int64_t{256} << 20;

  // Clears everything, then reads the whole stream from its start.
  void LoadFromStream(TStream& stream);

  int32_t ScreenWidth() const { return screenWidth_; }
  int32_t ScreenHeight() const { return screenHeight_; }
  bool GlobalTableFlag() const { return globalFlag_; }
  int32_t ColorResolution() const { return colorResolution_; }
  int32_t BackgroundIndex() const { return background_; }
  int32_t ImageCount() const { return static_cast<int32_t>(images_.size()); }
  // Image n (0-based); out of range: error 15.
  const TGifImage& Image(int32_t n) const;
  const TGifColorTable& ColorTable(int32_t number) const { return tables_.at(static_cast<size_t>(number)); }
  // The first graphic control record among the image's extensions, or nullptr.
  const TGifExtension* GraphicControl(int32_t n) const;
  // Hundredths of a second, at least 1 (1 without a graphic control).
  int32_t Delay(int32_t n) const;
  int32_t Disposal(int32_t n) const;
  // The transparent colour index, or -1.
  int32_t TransparentIndex(int32_t n) const;
  bool AnyTransparent() const;
  // The "NETSCAPE" loop count, -1 when the file has none.
  int32_t LoopCount() const { return loopCount_; }
  int32_t LastError() const { return lastError_; }

  // Every frame side by side (frame k at columns k x screen width), each drawn over a copy of
  // the one before; with a mask when any frame is transparent.
  ThvBitmap GetStripBitmap() const;

private:
  [[noreturn]] void Fail(int32_t error, const std::string& special = std::string()) const;
  uint8_t Byte();
  int32_t ReadInteger(int32_t size);
  void ReadBytes(void* to, size_t count);
  void ReadTable(TGifColorTable& table, int32_t size);
  void ReadSubBlocks(TGifSubBlocks& into);
  void ReadExtension();
  void ReadImage();
  void DecodeLzw(TGifImage& image, const std::vector<uint8_t>& data);

  std::vector<uint8_t> input_;
  size_t pos_ = 0;
  std::vector<TGifExtension> pending_;
  int32_t screenWidth_ = 0, screenHeight_ = 0;
  bool globalFlag_ = false;
  int32_t colorResolution_ = 0;
  bool sortFlag_ = false;
  int32_t globalSize_ = 0;
  int32_t background_ = 0;
  uint8_t aspect_ = 0;
  int32_t globalTable_ = -1;
  std::vector<TGifImage> images_;
  std::vector<TGifColorTable> tables_;
  int32_t loopCount_ = -1;
  int64_t totalPixels_ = 0;
  mutable int32_t lastError_ = 0;
};
