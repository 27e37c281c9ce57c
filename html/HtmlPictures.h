#pragma once
// Pictures of HTML pages: what kind a file holds (from its first bytes), the transparent
// colour of GIF and palette PNG files found without decoding them, loading into the
// document's pictures with their masks, the shared picture cache, and the loader the viewer
// plugs into a document.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "html/Dither.h"
#include "html/HtmlDocument.h"

enum class ThtmlPictureKind : uint8_t { None = 0, Bmp = 1, Gif87 = 2, Gif89 = 3, Png = 4, Jpeg = 5 };

// From the first 11 bytes; a shorter input reads as if zero-filled.
ThtmlPictureKind SniffPicture(const uint8_t* data, size_t size);
ThtmlPictureKind SniffPictureFile(const std::string& path);
// The transparent colour (red | green << 8 | blue << 16) of a GIF89 whose first block after
// the global colour table is a graphic control extension with the transparent flag set;
// only the first 790 bytes are looked at.
std::optional<uint32_t> GifTransparentColor(const uint8_t* data, size_t size);
// The transparent colour of a palette PNG: the palette entry at (tRNS length - 1), found by
// walking the chunks up to the image data.
std::optional<uint32_t> PngTransparentColor(const uint8_t* data, size_t size);

// The display's colour depth as the pictures are adapted to it: 24 (what every surface here
// is), or 8 and less, when pictures are reduced to the shared palette with error diffusion.
void SetHtmlDisplayBits(int bits);
int HtmlDisplayBits();
const TLogPalette& HtmlSharedPalette();

// Loads a picture from its bytes. `ownColor` asks for the picture's bottom-left colour to be
// transparent. A GIF89 or palette PNG whose transparent colour is found ahead of decoding gets
// every pixel of that colour masked instead; a file is looked at for it only when its
// lower-cased extension is ".gif" or ".png" (bytes by their kind). Damaged or unknown pictures
// give null (and a log line).
std::shared_ptr<ThtmlPicture> LoadHtmlPicture(const std::vector<uint8_t>& bytes, bool ownColor = false);
std::shared_ptr<ThtmlPicture> LoadHtmlPictureFile(const std::string& path, bool ownColor = false);
// A copy of the picture whose pixels of its bottom-left colour are transparent.
std::shared_ptr<const ThtmlPicture> WithOwnColorMask(const ThtmlPicture& picture);
// Draws the picture stretched into the rectangle, only its opaque pixels when it has a mask.
void DrawHtmlPicture(vx::Canvas& canvas, const vx::TRect& dst, const ThtmlPicture& picture);

// The shared cache of loaded pictures, by file name; when full the least used one goes.
class ThtmlPictureCache {
public:
  static constexpr int kMaxCount = 20;
  void SetCapacity(int count);
  int Capacity() const { return capacity_; }
  std::shared_ptr<const ThtmlPicture> Find(const std::string& name);
  void Add(const std::string& name, std::shared_ptr<const ThtmlPicture> picture);
  size_t Count() const { return items_.size(); }
  void Clear() { items_.clear(); }

private:
  struct Item {
    std::string Name;
    std::shared_ptr<const ThtmlPicture> Picture;
    int Usage = 0;
  };
  std::vector<Item> items_;  // sorted by name
  int capacity_ = 5;
};

// What the viewer hands a document: pictures named by IMG tags are asked from the request
// hook first, then read from disk (the name as a URL, below the server root, relative to
// the page's folder, letter case ignored).
class ThtmlPictureLoader {
public:
  std::string Folder, ServerRoot;
  // Fills the bytes of a picture the caller serves itself; false: read the file.
  std::function<bool(const std::string& source, std::vector<uint8_t>& bytes)> OnImageRequest;
  ThtmlPictureCache Cache;

  // Points the document's picture hook at this loader (which must outlive the document's
  // use of it).
  void Attach(TSectionList& doc);
  std::shared_ptr<const ThtmlPicture> Get(const std::string& source);
  // The file a picture name resolves to ("" when none).
  std::string FileOf(const std::string& source) const;
};
