#pragma once
// TBitmapEx: the library's picture. It loads TGA, JPEG, PNG and BMP pictures from files,
// streams and archive records, always ends as 32 bits per pixel with an alpha byte
// (0xAARRGGBB, row 0 at the top), and offers the picture operations the library needs:
// pattern rectangles, drawing a pattern, filling, alpha setting and repacking patterns into
// texture-sized sheets.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "render/GfxDef.h"
#include "render/GfxImg.h"

class TStream;
class TRecDb;

// A picture that cannot be decoded (bad header, damaged data, unsupported variant).
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// Picture kinds of the loaders. Any value not listed reads BMP.
constexpr uint8_t pkBmp = 0;
constexpr uint8_t pkTga = 1;
constexpr uint8_t pkJpeg = 2;
constexpr uint8_t pkPng = 3;
constexpr uint8_t pkByExtension = 5;

// 24-bit pictures exist only between a decoder and the conversion that ends every load.
enum TPixelFormat : uint8_t { pf24bit, pf32bit };

class TBitmapEx {
public:
  // Largest picture any loader accepts: 16384 on a side, 2^24 pixels (64 MiB) in all. A
  // format whose own limits allow longer sides (PNG: 65535) may ask for up to MaxWideSide;
  // the pixel budget still holds, so no size, row or offset computed from them can overflow.
  static constexpr int32_t MaxSide = 16384;
  static constexpr int32_t MaxWideSide = 65535;
  static constexpr int64_t MaxPixels = int64_t{1} << 24;

  TBitmapEx() = default;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TPixelFormat PixelFormat() const { return format_; }
  // Converting 24 to 32 bits gives alpha 0 (callers decide about opacity); 32 to 24 drops it.
  void SetPixelFormat(TPixelFormat format);
  // Keeps the top-left part of the picture; new pixels are 0. Sizes outside the limits (or
  // negative) raise EInvalidGraphic; `maxSide` is MaxSide or, for a format that allows
  // them, up to MaxWideSide.
  void SetSize(int32_t width, int32_t height, int32_t maxSide = MaxSide);

  int32_t BytesPerPixel() const { return format_ == pf32bit ? 4 : 3; }
  int32_t LineSize() const { return width_ * BytesPerPixel(); }
  uint8_t* ScanLine(int32_t row) {
    return reinterpret_cast<uint8_t*>(data_.data()) + static_cast<size_t>(row) * static_cast<size_t>(LineSize());
  }
  const uint8_t* ScanLine(int32_t row) const {
    return reinterpret_cast<const uint8_t*>(data_.data()) + static_cast<size_t>(row) * static_cast<size_t>(LineSize());
  }
  // 32-bit pictures only: the pixels, rows one after the other without padding.
  uint32_t* Pixels() { return data_.data(); }
  const uint32_t* Pixels() const { return data_.data(); }
  uint32_t Pixel(int32_t x, int32_t y) const { return Pixels()[static_cast<size_t>(y) * width_ + x]; }

  int32_t PatternWidth = 0;   // 0: the whole width
  int32_t PatternHeight = 0;  // 0: the whole height
  int32_t UserValue = 0;      // carried for the owner
  int32_t UserValue2 = 0;
  // Called every 8 rows while the picture's patterns are repacked.
  std::function<void()> OnProgress;

  // Decodes a picture of the given kind from the stream's position; the result is 32-bit and
  // opaque unless the picture carried alpha. pkByExtension raises "Could not autodetect
  // bitmap type!" (a stream has no name). Failures raise (EInvalidGraphic, EReadError...).
  void LoadFromStream(TStream& stream, uint8_t kind);
  // As LoadFromStream; pkByExtension picks the kind from the name's extension.
  void LoadFromFile(const std::string& fileName, uint8_t kind);
  // Reads the record and decodes it; the archive's code is the result (decoding errors
  // raise; nothing is decoded after a failed read).
  int32_t LoadFromRecDb(TRecDb& archive, const std::string& key, uint8_t kind);

  // ".tga" 1, ".jpg"/".jpeg" 2, ".png" 3, anything else BMP (0); ASCII case ignored.
  static uint8_t KindFromExtension(const std::string& name);

  TGfxSize GetPatternSize() const;
  // The rectangle of pattern `index` (taken modulo the number of patterns).
  TGfxRect GetPatternRect(int32_t index) const;
  // Copies a pattern unchanged to (x, y) of a 32-bit target, clipped to the target.
  void DrawPattern(TBitmapEx& target, int32_t x, int32_t y, int32_t index) const;

  // Every pixel := the colour with red and blue exchanged (the argument is $AABBGGRR).
  void Fill(uint32_t colour);
  // Makes the picture 32-bit, then sets every alpha byte, colours kept.
  void SetAlpha(uint8_t alpha);
  void MakeOpaque();
  void FlipVertical();
  void FlipHorizontal();

  // Arranges the source's patterns (cells of sourceCell) into sheets of textureSize, one
  // sheet below the other in `dest` (32-bit, zero-filled), each pattern centred in a cell of
  // destCell. Mode 0 copies; mode 1 takes alpha from the luminance of `mask` (same place as
  // the source pixel); mode 2 makes colours within `tolerance` of `keyColour` ($AABBGGRR)
  // transparent with a smooth edge. False (dest emptied) when the geometry is impossible or
  // the sheets would pass the size limits.
  static bool Repack(const TBitmapEx& source, TBitmapEx& dest, int32_t mode, uint32_t keyColour,
                     int32_t tolerance, TGfxSize destCell, TGfxSize sourceCell, TGfxSize textureSize,
                     const TBitmapEx* mask = nullptr);

  // Raises EInvalidGraphic unless 1 <= width, height <= maxSide (at most MaxWideSide) and
  // width * height <= MaxPixels.
  static void CheckPictureSize(int64_t width, int64_t height, const char* what, int64_t maxSide = MaxSide);

  // For decoders, which write every pixel: makes the picture 32-bit of the given size
  // (checked as SetSize) without clearing the pixels first.
  void AllocatePixels(int32_t width, int32_t height);
  // Takes the size, format and pixels of `decoded` (left empty); the pattern fields, user
  // values and handler stay. Decoders fill a picture of their own and hand it over at the
  // end, so a failed load leaves the target as it was.
  void TakePixels(TBitmapEx& decoded);

private:
  // Storage whose resize leaves new words unset: zeroing megabytes that a decoder
  // overwrites at once costs as much as the decoding itself.
  template <class T>
  struct UninitAllocator : std::allocator<T> {
    using value_type = T;
    template <class U>
    struct rebind {
      using other = UninitAllocator<U>;
    };
    UninitAllocator() = default;
    template <class U>
    UninitAllocator(const UninitAllocator<U>&) {}
    template <class U>
    void construct(U* p) {
      ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  };
  using Store = std::vector<uint32_t, UninitAllocator<uint32_t>>;

  int32_t width_ = 0;
  int32_t height_ = 0;
  TPixelFormat format_ = pf32bit;
  // Held as 32-bit words so that pixels are words; 24-bit rows are packed bytes inside it.
  Store data_;
};

namespace vx {
// The decoders behind TBitmapEx::LoadFromStream. Each leaves the picture 24- or 32-bit.
void ReadBmpPicture(TBitmapEx& bitmap, TStream& stream);
void ReadTgaPicture(TBitmapEx& bitmap, TStream& stream);
void ReadJpegPicture(TBitmapEx& bitmap, TStream& stream);
void ReadPngPicture(TBitmapEx& bitmap, TStream& stream);
// `count` pixels of blue, green, red bytes as opaque 32-bit pixels.
void WidenBgrPixels(const uint8_t* bgr, uint8_t* out, int32_t count);
}  // namespace vx
