#include "html/Gif.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "render/Streams.h"

const char* const GifErrorTexts[26] = {"no error",
                                       "Invalid GIF Signature Code",
                                       "No Local or Global Color Table for Image",
                                       "Unknown Graphics Extension Type",
                                       "Unknown Graphics Operation Code",
                                       "Invalid Extension Block Size",
                                       "[special message]",
                                       "Invalid Extension Block Terminator",
                                       "Invalid Integer Size",
                                       "No GIF Terminator Found",
                                       "Extension Block Out-Of-Order With Image Data",
                                       "Invalid Image Descriptor Index",
                                       "Invalid LZW Code Size",
                                       "Invalid LZW Data Format",
                                       "LZW Code Overflow",
                                       "Value Out Of Range",
                                       "NIL Pointer assigned",
                                       "Invalid Color Table Size",
                                       "No Image Description",
                                       "Invalid Bitmap Image",
                                       "Invalid Color Table Index",
                                       "Invalid Interlace Pass",
                                       "Invalid Bitmap",
                                       "Too Many Colors In Bitmap",
                                       "Unexpected end of file",
                                       "next message"};

namespace {

enum : int32_t {
  kErrSignature = 1,
  kErrNoTable = 2,
  kErrOperation = 4,
  kErrBlockSize = 5,
  kErrSpecial = 6,
  kErrTerminator = 7,
  kErrIntegerSize = 8,
  kErrLzwCodeSize = 12,
  kErrLzwData = 13,
  kErrRange = 15,
  kErrNoImage = 18,
  kErrEndOfFile = 24,
};

constexpr int kMaxCodes = 4096;

}  // namespace

ThvBitmap ThvBitmap::Cell(int32_t left, int32_t width) const {
  ThvBitmap cell;
  cell.Width = width;
  cell.Height = Height;
  cell.Pixels.resize(static_cast<size_t>(width) * Height * 3);
  if (HasMask()) cell.Mask.resize(static_cast<size_t>(width) * Height);
  for (int32_t y = 0; y < Height; ++y) {
    std::memcpy(&cell.Pixels[static_cast<size_t>(y) * width * 3], Pixel(left, y), static_cast<size_t>(width) * 3);
    if (HasMask()) std::memcpy(&cell.Mask[static_cast<size_t>(y) * width], &Mask[static_cast<size_t>(y) * Width + left], static_cast<size_t>(width));
  }
  return cell;
}

void TGif::Fail(int32_t error, const std::string& special) const {
  lastError_ = error;
  throw EGifError("TGif: " + (error == kErrSpecial ? special : std::string(GifErrorTexts[error])));
}

uint8_t TGif::Byte() {
  if (pos_ >= input_.size()) Fail(kErrEndOfFile);
  return input_[pos_++];
}

void TGif::ReadBytes(void* to, size_t count) {
  if (input_.size() - pos_ < count) Fail(kErrEndOfFile);
  std::memcpy(to, input_.data() + pos_, count);
  pos_ += count;
}

int32_t TGif::ReadInteger(int32_t size) {
  if (size == 1) return Byte();
  if (size != 2) Fail(kErrIntegerSize);
  const int32_t low = Byte();
  return low | Byte() << 8;
}

void TGif::ReadTable(TGifColorTable& table, int32_t size) {
  table.Count = size;
  uint8_t rgb[256 * 3];
  ReadBytes(rgb, static_cast<size_t>(size) * 3);
  for (int32_t i = 0; i < size; ++i) {
    table.Entries[i] = rgb[i * 3] | static_cast<uint32_t>(rgb[i * 3 + 1]) << 8 | static_cast<uint32_t>(rgb[i * 3 + 2]) << 16;
  }
}

void TGif::ReadSubBlocks(TGifSubBlocks& into) {
  for (;;) {
    const uint8_t length = Byte();
    if (length == 0) return;
    std::vector<uint8_t> block(length);
    ReadBytes(block.data(), length);
    into.Blocks.push_back(std::move(block));
  }
}

void TGif::LoadFromStream(TStream& stream) {
  *this = TGif();
  stream.SetPosition(0);
  const int64_t size = stream.Size();
  input_.resize(static_cast<size_t>(size < 0 ? 0 : size));
  input_.resize(static_cast<size_t>(stream.Read(input_.data(), static_cast<int64_t>(input_.size()))));

  char signature[6];
  ReadBytes(signature, 6);
  std::string sig(signature, 6);
  for (char& c : sig) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (sig != "GIF87A" && sig != "GIF89A") Fail(kErrSignature);

  screenWidth_ = ReadInteger(2);
  screenHeight_ = ReadInteger(2);
  const uint8_t packed = Byte();
  background_ = Byte();
  aspect_ = Byte();
  globalFlag_ = (packed & 0x80) != 0;
  colorResolution_ = ((packed >> 4) & 7) + 1;
  sortFlag_ = (packed & 0x08) != 0;
  globalSize_ = 2 << (packed & 7);
  if (globalFlag_) {
    tables_.emplace_back();
    ReadTable(tables_.back(), globalSize_);
    globalTable_ = 0;
  }

  for (;;) {
    if (pos_ >= input_.size()) break;
    const uint8_t introducer = input_[pos_++];
    if (introducer == 0x2C) {
      ReadImage();
    } else if (introducer == 0x21) {
      ReadExtension();
    } else if (introducer == 0x3B || introducer == 0) {
      break;
    } else {
      Fail(kErrOperation);
    }
  }
  if (images_.empty()) Fail(kErrNoImage);
  input_ = std::vector<uint8_t>();
  pending_.clear();
}

void TGif::ReadExtension() {
  TGifExtension e;
  e.Label = Byte();
  switch (e.Label) {
    case 0xF9: {
      e.BlockSize = Byte();
      if (e.BlockSize != 4) Fail(kErrBlockSize);
      const uint8_t packed = Byte();
      e.Disposal = (packed >> 2) & 7;
      e.UserInput = (packed & 2) != 0;
      e.TransparentFlag = (packed & 1) != 0;
      e.Delay = static_cast<uint16_t>(ReadInteger(2));
      e.TransparentIndex = Byte();
      if (Byte() != 0) Fail(kErrTerminator);
      break;
    }
    case 0xFE:
      ReadSubBlocks(e.Data);
      break;
    case 0x01:
      e.BlockSize = Byte();
      if (e.BlockSize != 12) Fail(kErrBlockSize);
      e.GridLeft = static_cast<uint16_t>(ReadInteger(2));
      e.GridTop = static_cast<uint16_t>(ReadInteger(2));
      e.GridWidth = static_cast<uint16_t>(ReadInteger(2));
      e.GridHeight = static_cast<uint16_t>(ReadInteger(2));
      e.CellWidth = Byte();
      e.CellHeight = Byte();
      e.Foreground = Byte();
      e.Background = Byte();
      ReadSubBlocks(e.Data);
      break;
    case 0xFF: {
      e.BlockSize = Byte();
      if (e.BlockSize != 11) Fail(kErrBlockSize);
      char id[11];
      ReadBytes(id, 11);
      e.Identifier.assign(id, 8);
      e.Authentication.assign(id + 8, 3);
      ReadSubBlocks(e.Data);
      if (e.Identifier == "NETSCAPE" && !e.Data.Blocks.empty() && e.Data.Blocks[0].size() == 3) {
        loopCount_ = e.Data.Blocks[0][1] + e.Data.Blocks[0][2] * 256;
      }
      break;
    }
    default: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04X", e.Label);
      Fail(kErrSpecial, std::string("unknown extension: ") + hex);
    }
  }
  pending_.push_back(std::move(e));
}

void TGif::ReadImage() {
  TGifImage image;
  image.Extensions = std::move(pending_);
  pending_.clear();
  image.Left = ReadInteger(2);
  image.Top = ReadInteger(2);
  image.Width = ReadInteger(2);
  image.Height = ReadInteger(2);
  const uint8_t packed = Byte();
  image.LocalTable = (packed & 0x80) != 0;
  image.Interlaced = (packed & 0x40) != 0;
  image.Sorted = (packed & 0x20) != 0;
  image.LocalTableSize = 2 << (packed & 7);
  if (image.LocalTable) {
    tables_.emplace_back();
    ReadTable(tables_.back(), image.LocalTableSize);
    image.TableNumber = static_cast<int32_t>(tables_.size()) - 1;
  } else if (globalTable_ >= 0) {
    image.TableNumber = globalTable_;
  } else {
    Fail(kErrNoTable);
  }
  image.CodeSize = Byte();
  std::vector<uint8_t> data;
  for (;;) {
    const uint8_t length = Byte();
    if (length == 0) break;
    if (input_.size() - pos_ < length) Fail(kErrEndOfFile);
    data.insert(data.end(), input_.begin() + static_cast<std::ptrdiff_t>(pos_),
                input_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
    pos_ += length;
  }
  // An image without pixels has nothing to show and no place in the frames.
  if (image.Width == 0 || image.Height == 0) return;
  const int64_t pixels = int64_t{image.Width} * image.Height;
  if (image.Width > MaxSide || image.Height > MaxSide || pixels > MaxStripBytes ||
      totalPixels_ + pixels > MaxTotalPixels) {
    Fail(kErrRange);
  }
  totalPixels_ += pixels;
  image.Index = static_cast<int32_t>(images_.size());
  image.PixelCount = pixels;
  image.Pixels.assign(static_cast<size_t>(pixels), 0);
  DecodeLzw(image, data);
  images_.push_back(std::move(image));
}

void TGif::DecodeLzw(TGifImage& image, const std::vector<uint8_t>& data) {
  std::vector<uint16_t> prefix(kMaxCodes), suffix(kMaxCodes);
  std::vector<uint8_t> stack(kMaxCodes + 1);
  const int32_t minimum = image.CodeSize;
  if (minimum + 1 > 12) Fail(kErrLzwCodeSize);
  const int32_t clear = 1 << minimum, end = clear + 1;
  int32_t codeSize = minimum + 1;
  int32_t nextFree = 0, limit = 0;
  uint32_t bits = 0;
  int32_t bitCount = 0;
  size_t at = 0;
  auto readCode = [&]() {
    while (bitCount < codeSize) {
      bits |= static_cast<uint32_t>(at < data.size() ? data[at] : 0) << bitCount;
      ++at;
      bitCount += 8;
    }
    const int32_t code = static_cast<int32_t>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;
    return code;
  };

  // Placing pixels: rows in order, or the four interlace passes.
  const int32_t width = image.Width, height = image.Height;
  int32_t x = 0, y = 0, pass = 1;
  int64_t placed = 0;
  static constexpr int32_t kStep[5] = {0, 8, 8, 4, 2};
  static constexpr int32_t kStart[5] = {0, 0, 4, 2, 1};
  auto put = [&](uint8_t index) {
    if (y < height) image.Pixels[static_cast<size_t>(y) * width + x] = index;
    ++placed;
    if (++x == width) {
      x = 0;
      if (!image.Interlaced) {
        ++y;
      } else {
        y += kStep[pass];
        // A pass that starts below the picture is passed over in the same way.
        while (y >= height && placed < image.PixelCount) {
          pass = pass == 4 ? 1 : pass + 1;
          y = kStart[pass];
        }
      }
    }
  };
  auto output = [&](int32_t code) {
    int32_t n = 0;
    while (code > end && n < kMaxCodes) {
      stack[static_cast<size_t>(n++)] = static_cast<uint8_t>(suffix[static_cast<size_t>(code)]);
      code = prefix[static_cast<size_t>(code)];
    }
    stack[static_cast<size_t>(n++)] = static_cast<uint8_t>(code);
    if (!image.Interlaced) {
      // Rows in order: the pixel count is the place.
      const int64_t count = std::min<int64_t>(n, image.PixelCount - placed);
      uint8_t* to = image.Pixels.data() + placed;
      for (int64_t i = 0; i < count; ++i) to[i] = stack[static_cast<size_t>(n - 1 - i)];
      placed += count;
      return;
    }
    while (n > 0 && placed < image.PixelCount) put(stack[static_cast<size_t>(--n)]);
  };
  // The first character of every entry's string, kept as entries are made.
  std::vector<uint16_t> first(kMaxCodes);
  auto firstChar = [&](int32_t code) { return code > end ? first[static_cast<size_t>(code)] : code; };
  auto grow = [&]() {
    if (nextFree >= limit && codeSize < 12) {
      limit <<= 1;
      ++codeSize;
    }
  };
  auto reset = [&]() {
    codeSize = minimum + 1;
    nextFree = end + 1;
    limit = 1 << codeSize;
  };

  int32_t code = readCode();
  int32_t previous = code;
  if (code == 0) {
    // Data that starts without its clear code: read it as though the code were there.
    reset();
    output(0);
    if (at >= data.size() && bitCount < codeSize) return;
    code = readCode();
  }
  // Once every pixel is placed the rest of the data can only be dropped.
  while (code != end && placed < image.PixelCount) {
    if (code == clear) {
      reset();
      do {
        code = readCode();
      } while (code == clear);
      if (code == end) Fail(kErrLzwData);
      if (code >= nextFree) code = 0;
      output(code);
    } else if (code < nextFree) {
      output(code);
      if (nextFree < kMaxCodes) {
        prefix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(previous);
        suffix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(firstChar(code));
        first[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(firstChar(previous));
        ++nextFree;
      }
      grow();
    } else if (code == nextFree && nextFree < kMaxCodes) {
      const int32_t c = firstChar(previous);
      prefix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(previous);
      suffix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(c);
      first[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(c);
      ++nextFree;
      grow();
      output(code);
    } else {
      Fail(kErrLzwData);
    }
    previous = code;
    // The data is used up when no whole code is left in it (the last byte's spare bits are
    // padding, but a code that still fits in them is not).
    if (at >= data.size() && bitCount < codeSize) break;
    code = readCode();
  }
}

const TGifImage& TGif::Image(int32_t n) const {
  if (n < 0 || n >= ImageCount()) Fail(kErrRange);
  return images_[static_cast<size_t>(n)];
}

const TGifExtension* TGif::GraphicControl(int32_t n) const {
  for (const TGifExtension& e : Image(n).Extensions) {
    if (e.Label == 0xF9) return &e;
  }
  return nullptr;
}

int32_t TGif::Delay(int32_t n) const {
  const TGifExtension* gc = GraphicControl(n);
  return gc == nullptr ? 1 : std::max<int32_t>(gc->Delay, 1);
}

int32_t TGif::Disposal(int32_t n) const {
  const TGifExtension* gc = GraphicControl(n);
  return gc == nullptr ? 0 : gc->Disposal & 3;
}

int32_t TGif::TransparentIndex(int32_t n) const {
  const TGifExtension* gc = GraphicControl(n);
  return gc != nullptr && gc->TransparentFlag ? gc->TransparentIndex : -1;
}

bool TGif::AnyTransparent() const {
  for (int32_t n = 0; n < ImageCount(); ++n) {
    if (TransparentIndex(n) >= 0) return true;
  }
  return false;
}

ThvBitmap TGif::GetStripBitmap() const {
  const int64_t sw = screenWidth_, sh = screenHeight_, count = ImageCount();
  const int64_t stripWidth = sw * count;
  if (sw > MaxSide || sh > MaxSide || stripWidth * sh * 3 > MaxStripBytes) Fail(kErrRange);
  ThvBitmap strip;
  strip.Width = static_cast<int32_t>(stripWidth);
  strip.Height = static_cast<int32_t>(sh);
  strip.Pixels.assign(static_cast<size_t>(stripWidth * sh * 3), 0);
  const bool masked = AnyTransparent();
  if (masked) strip.Mask.assign(static_cast<size_t>(stripWidth * sh), 0);
  if (stripWidth == 0 || sh == 0) return strip;
  for (int32_t k = 0; k < count; ++k) {
    const int64_t cell = k * sw;
    if (k > 0) {
      for (int64_t y = 0; y < sh; ++y) {
        uint8_t* row = &strip.Pixels[static_cast<size_t>(y * stripWidth * 3)];
        std::memcpy(row + cell * 3, row + (cell - sw) * 3, static_cast<size_t>(sw) * 3);
        if (masked) {
          uint8_t* m = &strip.Mask[static_cast<size_t>(y * stripWidth)];
          std::memcpy(m + cell, m + cell - sw, static_cast<size_t>(sw));
        }
      }
      // The frame before asked for its area to be cleared to the background: that shows as
      // transparent through the mask.
      const TGifImage& before = images_[static_cast<size_t>(k - 1)];
      if (masked && Disposal(k - 1) == 2) {
        for (int64_t y = std::max<int64_t>(before.Top, 0); y < std::min<int64_t>(before.Top + before.Height, sh); ++y) {
          for (int64_t x = std::max<int64_t>(before.Left, 0); x < std::min<int64_t>(before.Left + before.Width, sw); ++x) {
            strip.Mask[static_cast<size_t>(y * stripWidth + cell + x)] = 255;
          }
        }
      }
    }
    const TGifImage& image = images_[static_cast<size_t>(k)];
    const TGifColorTable& table = tables_[static_cast<size_t>(image.TableNumber)];
    const int32_t transparent = TransparentIndex(k);
    for (int64_t j = 0; j < image.Height; ++j) {
      const int64_t sy = image.Top + j;
      if (sy >= sh) break;
      for (int64_t i = 0; i < image.Width; ++i) {
        const int64_t sx = image.Left + i;
        if (sx >= sw) break;
        const uint8_t index = image.Pixels[static_cast<size_t>(j * image.Width + i)];
        uint8_t* p = &strip.Pixels[static_cast<size_t>((sy * stripWidth + cell + sx) * 3)];
        if (index != transparent) {
          const uint32_t c = table.Entries[index];
          p[0] = static_cast<uint8_t>(c >> 16);
          p[1] = static_cast<uint8_t>(c >> 8);
          p[2] = static_cast<uint8_t>(c);
          if (masked) strip.Mask[static_cast<size_t>(sy * stripWidth + cell + sx)] = 0;
        } else if (k == 0) {
          p[0] = p[1] = p[2] = 0;
          strip.Mask[static_cast<size_t>(sy * stripWidth + cell + sx)] = 255;
        }
      }
    }
  }
  return strip;
}
