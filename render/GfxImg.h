#pragma once
// Device images: a picture cut into equal rectangular patterns (frames, glyphs, tiles) held in
// one or more textures of one size. This base knows the geometry, the pixel format and how
// pixels are loaded; each device derives the class that owns the texture memory.
//
// Destruction: C++ does not dispatch to a derived class from a base destructor, so every
// concrete image releases its own textures in its own destructor.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/GfxDef.h"
#include "render/GfxFormats.h"

class TGfxDevice;
class TStream;
class TBitmapEx;

// An image record whose header makes no sense (format, sizes, counts).
constexpr int32_t errImageFormat = -8;

struct TGfxSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TGfxSize&, const TGfxSize&) = default;
};

class TGfxImage {
public:
  // Limits on what an image record may ask for.
  static constexpr int32_t MaxSide = 8192;
  static constexpr int32_t MaxTextures = 1024;
  static constexpr int64_t MaxTextureBytes = int64_t{256} << 20;  // all textures, 4 bytes a texel

  TGfxImage() = default;
  virtual ~TGfxImage() = default;
  TGfxImage(const TGfxImage&) = delete;
  TGfxImage& operator=(const TGfxImage&) = delete;

  // Carried for the owner; the image's own operations do not interpret them.
  int32_t UserValue = 0;
  int32_t UserValue2 = 5;
  bool UserFlag = false;  // cleared by every load
  TGfxDevice* Device = nullptr;
  std::string Name;
  int32_t Index = -1;

  bool Loaded() const { return loaded_; }
  TGfxSize PatternSize() const { return patternSize_; }
  TGfxSize TextureSize() const { return textureSize_; }
  TGfxSize VisibleSize() const { return visibleSize_; }
  int32_t PatternCount() const { return patternCount_; }
  int32_t TextureCount() const { return textureCount_; }
  int32_t PatternsPerRow() const { return patternsPerRow_; }
  int32_t PatternsPerColumn() const { return patternsPerColumn_; }
  int32_t PatternsPerTexture() const { return patternsPerTexture_; }
  TColorFormat Format() const { return format_; }

  void SetPatternSize(TGfxSize size);
  void SetTextureSize(TGfxSize size);
  void SetVisibleSize(TGfxSize size) { visibleSize_ = size; }
  void SetPatternCount(int32_t count) { patternCount_ = count; }
  void SetTextureCount(int32_t count) { textureCount_ = count; }
  void SetFormat(TColorFormat format) { format_ = format; }

  int32_t BytesPerPixel() const { return FormatBytesPerPixel(format_); }

  // ---- What a device's image supplies.
  // TextureCount textures of TextureSize in Format.
  virtual int32_t CreateTextures() = 0;
  virtual void ReleaseTextures() = 0;
  // A texel as a working colour (0xAARRGGBB on the software image).
  virtual uint32_t GetPixel(int32_t x, int32_t y, int32_t texture) = 0;
  virtual void SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) = 0;
  // One row of pixels already in Format into (or out of) a texture row.
  virtual void WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                             int32_t texture) = 0;
  virtual void ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line,
                            int32_t texture) = 0;
  // A load has written every texel: a device may take them now rather than at the first draw
  // (a picture the screens never draw then holds no copy in memory either).
  virtual void TexelsComplete() {}

  // ReleaseTextures, geometry back to zero, not loaded. Always 0.
  int32_t Release();

  // Reads one image record and loads its pixels in `format`, converting when the stored
  // format differs. A header out of range gives -8, a stream that ends early -5; a failed
  // load holds no textures.
  int32_t LoadFromStream(TStream& stream, TColorFormat format);

  // Cuts a picture into patterns of `patternSize`, centres each in a cell of `visibleSize`
  // and packs the cells into textures of `textureSize`.
  int32_t LoadFromBitmap(const TBitmapEx& bitmap, TGfxSize patternSize, TGfxSize visibleSize,
                         TGfxSize textureSize, TColorFormat format);

  // Textures of `tile` for a picture: one whose sides fit in a tile is a single pattern of
  // its own size at the top-left of one texture; a larger one is cut into tile-sized
  // patterns, one texture each, in rows, the last column and row padded with transparent
  // pixels. The same textures and geometry as LoadFromBitmap of the padded picture, written
  // in one pass from the picture instead of through a repacked copy.
  int32_t LoadTiles(const TBitmapEx& picture, TGfxSize tile, TColorFormat format);

  // Where a pattern lies: its texture and the rectangle (x1, y1, x2, y2) inside it. The index
  // is clamped into 0..PatternCount-1; X/Y offset the rectangle, Width/Height below 1 mean the
  // visible size; Mirror exchanges x1 and x2, Flip y1 and y2. False when there is no pattern.
  bool PatternRect(const TGfxPattern& request, int32_t& texture, TGfxRect& rect) const;

protected:
  void SetLoaded(bool loaded) { loaded_ = loaded; }
  void RecomputeCounts();
  // A load's geometry and its textures (none left on failure); a negative pattern count
  // counts every cell of every texture. Then the load's end: loaded with the texels
  // complete, or released with the code.
  int32_t MakeTexturesOf(TGfxSize pattern, TGfxSize visible, TGfxSize texture, int32_t textureCount,
                         TColorFormat format, int32_t patternCount = -1);
  int32_t FinishLoad(int32_t code);

  bool loaded_ = false;
  TGfxSize patternSize_;
  TGfxSize textureSize_;
  TGfxSize visibleSize_;
  int32_t patternCount_ = 0;
  int32_t textureCount_ = 0;
  int32_t patternsPerRow_ = 0;
  int32_t patternsPerColumn_ = 0;
  int32_t patternsPerTexture_ = 0;
  TColorFormat format_ = COLOR_A4R4G4B4;
};

// Sender, record key, index, accept, name, format.
using TImageNotifyEvent = std::function<void(void* sender, const std::string& key, int32_t index,
                                             bool& accept, std::string& name, TColorFormat& format)>;

// A list of images for one device.
class TGfxImages {
public:
  TGfxImages() = default;
  ~TGfxImages();
  TGfxImages(const TGfxImages&) = delete;
  TGfxImages& operator=(const TGfxImages&) = delete;

  TGfxDevice* Device() const { return device_; }
  // Gives the device to every image of the list.
  void SetDevice(TGfxDevice* device);
  // A device appearing while none is set is adopted; the set device going away leaves none.
  void DeviceInserted(TGfxDevice* device);
  void DeviceRemoved(TGfxDevice* device);

  TImageNotifyEvent OnLoad;  // kept for the owner; the list itself never calls it
  bool ClearOnLoad = true;   // likewise

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // nullptr outside 0..Count-1.
  TGfxImage* Items(int32_t index) const;
  // Appends an image, which gets the list's device; returns it.
  TGfxImage* Add(std::unique_ptr<TGfxImage> image);
  // Puts another image in the place of item `index` (the same pictures made for another
  // device); the old one is freed. Nothing outside 0..Count-1.
  void Replace(int32_t index, std::unique_ptr<TGfxImage> image);
  void Clear();

private:
  TGfxDevice* device_ = nullptr;
  std::vector<std::unique_ptr<TGfxImage>> items_;
};
