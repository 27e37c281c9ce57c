#include "html/HtmlPictures.h"

#include <algorithm>
#include <cstring>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "html/AnimGif.h"
#include "html/HtmlUrls.h"
#include "platform/Files.h"
#include "render/BitmapEx.h"
#include "render/PngPicture.h"
#include "render/Streams.h"

namespace {

int g_displayBits = 24;

// The first `count` bytes, zero-filled past the end of a short input.
std::vector<uint8_t> Head(const uint8_t* data, size_t size, size_t count) {
  std::vector<uint8_t> h(count, 0);
  if (data) std::memcpy(h.data(), data, std::min(size, count));
  return h;
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

uint32_t RgbToPixel(uint32_t rgb) {  // red | green << 8 | blue << 16 -> 0xFFRRGGBB
  return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

std::shared_ptr<ThtmlPicture> FromBitmap(const TBitmapEx& bitmap) {
  auto p = std::make_shared<ThtmlPicture>();
  p->Width = bitmap.Width();
  p->Height = bitmap.Height();
  p->Pixels.assign(bitmap.Pixels(), bitmap.Pixels() + static_cast<size_t>(p->Width) * static_cast<size_t>(p->Height));
  return p;
}

void CopyCell(ThtmlPicture& p, const ThvBitmap& cell) {
  p.Width = cell.Width;
  p.Height = cell.Height;
  p.Pixels.resize(static_cast<size_t>(cell.Width) * static_cast<size_t>(cell.Height));
  for (size_t i = 0; i < p.Pixels.size(); ++i) {
    const uint8_t* bgr = &cell.Pixels[i * 3];
    p.Pixels[i] = 0xFF000000u | uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
  }
  if (cell.HasMask()) {
    auto m = std::make_unique<vx::PixelMask>();
    m->Width = cell.Width;
    m->Height = cell.Height;
    m->Bits.resize(cell.Mask.size());
    for (size_t i = 0; i < m->Bits.size(); ++i) m->Bits[i] = cell.Mask[i] != 0;
    p.Mask = std::move(m);
  } else {
    p.Mask.reset();
  }
}

// Pictures on a palette display take the shared palette's colours, error diffused.
void AdaptToDisplay(ThtmlPicture& p) {
  if (g_displayBits > 8 || p.Width <= 0 || p.Height <= 0) return;
  TBitmapEx bitmap;
  bitmap.SetSize(p.Width, p.Height);
  std::copy(p.Pixels.begin(), p.Pixels.end(), bitmap.Pixels());
  const TIndexedBitmap reduced = ReduceToPalette(bitmap, HtmlSharedPalette());
  for (size_t i = 0; i < p.Pixels.size(); ++i) {
    const TPaletteEntry& e = reduced.Palette[reduced.Indexes[i]];
    p.Pixels[i] = 0xFF000000u | uint32_t{e.Red} << 16 | uint32_t{e.Green} << 8 | e.Blue;
  }
}

void KeyMask(ThtmlPicture& p, uint32_t pixel) {
  p.Mask = std::make_unique<vx::PixelMask>(vx::ColorKeyMask(p.View(), pixel));
}

// Which transparent colour a load looks for: a file's lower-cased extension decides (".gif",
// ".png"), whatever the bytes hold; bytes from a stream go by their kind.
enum class ColourCheck { None, Gif, Png };

ColourCheck CheckOfExtension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return ColourCheck::None;
  const std::string ext = vx::LowerCase(path.substr(dot, 10));
  return ext == ".gif" ? ColourCheck::Gif : ext == ".png" ? ColourCheck::Png : ColourCheck::None;
}

ColourCheck CheckOfKind(ThtmlPictureKind kind) {
  if (kind == ThtmlPictureKind::Gif87 || kind == ThtmlPictureKind::Gif89) return ColourCheck::Gif;
  return kind == ThtmlPictureKind::Png ? ColourCheck::Png : ColourCheck::None;
}

std::shared_ptr<ThtmlPicture> LoadGif(const std::vector<uint8_t>& bytes, bool ownColor, ColourCheck check) {
  TMemoryStream stream(bytes);
  std::shared_ptr<TGIFImage> gif = TGIFImage::CreateFromStream(stream);
  // A screen without width or height has nothing to show.
  if (gif->Width <= 0 || gif->Height <= 0 || gif->Strip().Width < gif->Width || gif->Strip().Height <= 0) return nullptr;
  auto p = std::make_shared<ThtmlPicture>();
  CopyCell(*p, gif->Strip().Cell(0, gif->Width));
  if (gif->Animated) {
    // Each page animates its own copy; the frame is copied out when it changes.
    gif->SetAnimate(true);
    ThtmlPicture* self = p.get();
    p->Animate = [gif, self](uint32_t) {
      if (!gif->CheckTime()) return false;
      CopyCell(*self, gif->Strip().Cell((gif->CurrentFrame - 1) * gif->Width, gif->Width));
      return true;
    };
    return p;
  }
  // A still picture is transparent only by the colour found ahead of decoding, and then every
  // pixel of that colour is, whichever palette entry it came from. The decoder paints the
  // transparent index black; those pixels count as the colour they stand for.
  const std::optional<uint32_t> colour = check == ColourCheck::Gif ? GifTransparentColor(bytes.data(), bytes.size()) : std::nullopt;
  if (colour) {
    const uint32_t key = RgbToPixel(*colour);
    if (p->Mask)
      for (size_t i = 0; i < p->Pixels.size(); ++i)
        if (p->Mask->Bits[i]) p->Pixels[i] = key;
    KeyMask(*p, key);
  } else if (ownColor) KeyMask(*p, p->Pixels[static_cast<size_t>(p->Height - 1) * p->Width]);
  else p->Mask.reset();
  AdaptToDisplay(*p);
  return p;
}

std::shared_ptr<ThtmlPicture> LoadPicture(const std::vector<uint8_t>& bytes, bool ownColor, std::optional<ColourCheck> fileCheck) {
  const ThtmlPictureKind kind = SniffPicture(bytes.data(), bytes.size());
  if (kind == ThtmlPictureKind::None) return nullptr;
  const ColourCheck check = fileCheck.value_or(CheckOfKind(kind));
  if (kind == ThtmlPictureKind::Gif87 || kind == ThtmlPictureKind::Gif89) return LoadGif(bytes, ownColor, check);
  TBitmapEx bitmap;
  TMemoryStream stream(bytes);
  std::optional<uint32_t> colour;
  if (kind == ThtmlPictureKind::Bmp) {
    vx::ReadBmpPicture(bitmap, stream);
  } else if (kind == ThtmlPictureKind::Jpeg) {
    vx::ReadJpegPicture(bitmap, stream);
  } else {
    vx::ReadPngPicture(bitmap, stream);
  }
  if (check == ColourCheck::Png) colour = PngTransparentColor(bytes.data(), bytes.size());
  bitmap.SetPixelFormat(pf32bit);
  std::shared_ptr<ThtmlPicture> p = FromBitmap(bitmap);
  if (p->Width <= 0 || p->Height <= 0) return nullptr;
  if (colour) {
    KeyMask(*p, RgbToPixel(*colour));
  } else if (ownColor) {
    KeyMask(*p, p->Pixels[static_cast<size_t>(p->Height - 1) * p->Width]);
  } else if (kind == ThtmlPictureKind::Png) {
    // A PNG with an alpha channel shows where it is mostly opaque.
    auto m = std::make_unique<vx::PixelMask>();
    m->Width = p->Width, m->Height = p->Height;
    m->Bits.resize(p->Pixels.size());
    bool any = false;
    for (size_t i = 0; i < p->Pixels.size(); ++i) any |= (m->Bits[i] = (p->Pixels[i] >> 24) < 128) != 0;
    if (any) p->Mask = std::move(m);
  }
  // Pixels are shown opaque; transparency lives in the mask.
  for (uint32_t& px : p->Pixels) px |= 0xFF000000u;
  AdaptToDisplay(*p);
  return p;
}

}  // namespace

ThtmlPictureKind SniffPicture(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> h = Head(data, size, 11);
  if (std::memcmp(h.data(), "GIF8", 4) == 0) return h[4] == '9' ? ThtmlPictureKind::Gif89 : ThtmlPictureKind::Gif87;
  if (h[0] == 'B' && h[1] == 'M') return ThtmlPictureKind::Bmp;
  if (h[0] == 0x89 && std::memcmp(&h[1], "PNG", 3) == 0) return ThtmlPictureKind::Png;
  if (h[0] == 0xFF && h[1] == 0xD8) return ThtmlPictureKind::Jpeg;
  return ThtmlPictureKind::None;
}

ThtmlPictureKind SniffPictureFile(const std::string& path) {
  std::string bytes;
  if (!vx::ReadWholeFile(path, bytes)) return ThtmlPictureKind::None;
  return SniffPicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::optional<uint32_t> GifTransparentColor(const uint8_t* data, size_t size) {
  if (SniffPicture(data, size) != ThtmlPictureKind::Gif89) return std::nullopt;
  constexpr size_t kLook = 790;
  const std::vector<uint8_t> h = Head(data, size, kLook);
  // Without a global table there is no colour to name.
  if (!(h[10] & 0x80)) return std::nullopt;
  const size_t entries = size_t{2} << (h[10] & 7);
  const size_t ext = 13 + entries * 3;
  if (ext + 8 > kLook || h[ext] != 0x21 || h[ext + 1] != 0xF9 || !(h[ext + 3] & 1)) return std::nullopt;
  const size_t index = h[ext + 6];
  if (index >= entries) return std::nullopt;
  const uint8_t* e = &h[13 + index * 3];
  return uint32_t{e[0]} | uint32_t{e[1]} << 8 | uint32_t{e[2]} << 16;
}

std::optional<uint32_t> PngTransparentColor(const uint8_t* data, size_t size) {
  if (SniffPicture(data, size) != ThtmlPictureKind::Png) return std::nullopt;
  uint8_t colourType = 0;
  std::vector<uint32_t> palette;
  size_t pos = 8;
  while (size >= 12 && pos <= size - 12) {
    const uint32_t length = BigEndian32(data + pos);
    const uint8_t* type = data + pos + 4;
    const uint8_t* body = data + pos + 8;
    // A chunk must lie whole inside the file, CRC included.
    if (length > size - pos - 12) return std::nullopt;
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length < 13) return std::nullopt;
      colourType = body[9];
      if (colourType != 2 && colourType != 3) return std::nullopt;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      palette.clear();
      for (uint32_t i = 0; i + 3 <= length && palette.size() < 256; i += 3)
        palette.push_back(uint32_t{body[i]} | uint32_t{body[i + 1]} << 8 | uint32_t{body[i + 2]} << 16);
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      if (colourType != 3 || length < 1 || length > palette.size()) return std::nullopt;
      return palette[length - 1];
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      return std::nullopt;
    }
    pos += size_t{length} + 12;
  }
  return std::nullopt;
}

void SetHtmlDisplayBits(int bits) { g_displayBits = bits < 5 ? 4 : bits > 8 ? 24 : 8; }
int HtmlDisplayBits() { return g_displayBits; }

const TLogPalette& HtmlSharedPalette() {
  static const TLogPalette palette = WebPalette();
  return palette;
}

namespace {

std::shared_ptr<ThtmlPicture> LoadCaught(const std::vector<uint8_t>& bytes, bool ownColor, std::optional<ColourCheck> check) {
  try {
    return LoadPicture(bytes, ownColor, check);
  } catch (const std::exception& e) {
    Log(std::string("ERROR: HTML picture not loaded: ") + e.what());
    return nullptr;
  }
}

}  // namespace

std::shared_ptr<ThtmlPicture> LoadHtmlPicture(const std::vector<uint8_t>& bytes, bool ownColor) {
  return LoadCaught(bytes, ownColor, std::nullopt);
}

std::shared_ptr<ThtmlPicture> LoadHtmlPictureFile(const std::string& path, bool ownColor) {
  std::string bytes;
  if (!vx::ReadWholeFile(path, bytes, nullptr, 64ull << 20)) return nullptr;
  return LoadCaught(std::vector<uint8_t>(bytes.begin(), bytes.end()), ownColor, CheckOfExtension(path));
}

std::shared_ptr<const ThtmlPicture> WithOwnColorMask(const ThtmlPicture& picture) {
  auto p = std::make_shared<ThtmlPicture>();
  p->Width = picture.Width;
  p->Height = picture.Height;
  p->Pixels = picture.Pixels;
  if (p->Width > 0 && p->Height > 0) KeyMask(*p, p->Pixels[static_cast<size_t>(p->Height - 1) * p->Width]);
  return p;
}

void DrawHtmlPicture(vx::Canvas& canvas, const vx::TRect& dst, const ThtmlPicture& picture) {
  canvas.StretchDraw(dst, picture.View(), {0, 0, picture.Width, picture.Height}, picture.Mask.get());
}

void ThtmlPictureCache::SetCapacity(int count) {
  capacity_ = std::clamp(count, 0, kMaxCount);
  while (static_cast<int>(items_.size()) > capacity_) {
    auto least = std::min_element(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.Usage < b.Usage; });
    items_.erase(least);
  }
}

std::shared_ptr<const ThtmlPicture> ThtmlPictureCache::Find(const std::string& name) {
  auto it = std::lower_bound(items_.begin(), items_.end(), name, [](const Item& i, const std::string& n) { return i.Name < n; });
  if (it == items_.end() || it->Name != name) return nullptr;
  ++it->Usage;
  return it->Picture;
}

void ThtmlPictureCache::Add(const std::string& name, std::shared_ptr<const ThtmlPicture> picture) {
  if (capacity_ == 0 || !picture || Find(name)) return;
  if (static_cast<int>(items_.size()) >= capacity_) {
    auto least = std::min_element(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.Usage < b.Usage; });
    items_.erase(least);
  }
  auto it = std::lower_bound(items_.begin(), items_.end(), name, [](const Item& i, const std::string& n) { return i.Name < n; });
  items_.insert(it, {name, std::move(picture), 1});
}

void ThtmlPictureLoader::Attach(TSectionList& doc) {
  doc.GetPicture = [this](const std::string& source) { return Get(source); };
}

std::string ThtmlPictureLoader::FileOf(const std::string& source) const {
  return HtmlFindFile(HtmlAddServerRoot(HtmlUrlToDos(source), ServerRoot), Folder);
}

std::shared_ptr<const ThtmlPicture> ThtmlPictureLoader::Get(const std::string& source) {
  if (source.empty()) return nullptr;
  std::vector<uint8_t> bytes;
  if (OnImageRequest && OnImageRequest(source, bytes)) return LoadHtmlPicture(bytes);
  const std::string file = FileOf(source);
  if (file.empty()) {
    Log("ERROR: HTML picture not found: " + source);
    return nullptr;
  }
  if (auto cached = Cache.Find(file)) return cached;
  std::shared_ptr<const ThtmlPicture> p = LoadHtmlPictureFile(file);
  // Animated pictures keep their own clock per page, so they are not shared.
  if (p && !p->Animate) Cache.Add(file, p);
  return p;
}
