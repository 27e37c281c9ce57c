#include "html/Dither.h"

#include <algorithm>
#include <cstdlib>

#include "render/BitmapEx.h"

TLogPalette WebPalette() {
  TLogPalette p(216);
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        p[static_cast<size_t>(36 * r + 6 * g + b)] = {static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
                                                       static_cast<uint8_t>(51 * b)};
      }
    }
  }
  return p;
}

int32_t TDIBReader::Width() const { return bitmap_.Width(); }
int32_t TDIBReader::Height() const { return bitmap_.Height(); }

void TDIBReader::ReadRow(int32_t y, uint8_t* bgr) const {
  const uint8_t* s = bitmap_.ScanLine(y);
  const int32_t step = bitmap_.BytesPerPixel();
  for (int32_t x = 0; x < bitmap_.Width(); ++x, s += step, bgr += 3) {
    bgr[0] = s[0];
    bgr[1] = s[1];
    bgr[2] = s[2];
  }
}

TDIBWriter::TDIBWriter(int32_t width, int32_t height, TLogPalette palette) {
  bitmap_.Width = width;
  bitmap_.Height = height;
  bitmap_.Indexes.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  bitmap_.Palette = std::move(palette);
}

TFastColorLookup::TFastColorLookup(const TLogPalette& palette) : palette_(palette), cache_(32768, 65535) {
  if (palette_.size() > 256) palette_.resize(256);
  colors_ = static_cast<int32_t>(palette_.size());
  for (size_t i = 0; i < palette_.size(); ++i) {
    uint16_t& slot = cache_[Key(palette_[i].Red, palette_[i].Green, palette_[i].Blue)];
    if (slot == 65535) slot = static_cast<uint16_t>(i);
  }
}

uint8_t TFastColorLookup::Lookup(uint8_t& red, uint8_t& green, uint8_t& blue) {
  if (palette_.empty()) {
    red = green = blue = 0;
    return 0;
  }
  uint16_t& slot = cache_[Key(red, green, blue)];
  if (slot == 65535) {
    int best = 1 << 30;
    for (size_t i = 0; i < palette_.size(); ++i) {
      const int d = std::abs(palette_[i].Red - red) + std::abs(palette_[i].Green - green) + std::abs(palette_[i].Blue - blue);
      if (d < best) {
        best = d;
        slot = static_cast<uint16_t>(i);
      }
    }
  }
  const TPaletteEntry& e = palette_[slot];
  red = e.Red;
  green = e.Green;
  blue = e.Blue;
  return static_cast<uint8_t>(slot);
}

uint8_t TNetscapeColorLookup::Lookup(uint8_t& red, uint8_t& green, uint8_t& blue) {
  const int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
  red = static_cast<uint8_t>(51 * r);
  green = static_cast<uint8_t>(51 * g);
  blue = static_cast<uint8_t>(51 * b);
  return static_cast<uint8_t>(36 * r + 6 * g + b);
}

uint8_t TDitherEngine::Dither(uint8_t red, uint8_t green, uint8_t blue) {
  const uint8_t index = lookup_.Lookup(red, green, blue);
  column_ += direction_;
  return index;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(TColorLookup& lookup, int32_t width) : TDitherEngine(lookup, width) {
  for (int c = 0; c < 3; ++c) {
    current_[c].assign(static_cast<size_t>(width) + 2, 0);
    next_[c].assign(static_cast<size_t>(width) + 2, 0);
  }
}

uint8_t TFloydSteinbergEngine::Dither(uint8_t red, uint8_t green, uint8_t blue) {
  const size_t at = static_cast<size_t>(column_ + 1);
  const uint8_t pixel[3] = {red, green, blue};
  uint8_t value[3];
  for (int c = 0; c < 3; ++c) {
    const int32_t v = (current_[c][at] + carried_[c] + 8) / 16 + pixel[c];
    value[c] = static_cast<uint8_t>(std::clamp(v, 0, 255));
  }
  uint8_t shown[3] = {value[0], value[1], value[2]};
  const uint8_t index = lookup_.Lookup(shown[0], shown[1], shown[2]);
  for (int c = 0; c < 3; ++c) {
    const int32_t e = value[c] - shown[c];
    carried_[c] = 7 * e;
    next_[c][at - static_cast<size_t>(direction_)] += 3 * e;
    next_[c][at] += 5 * e;
    next_[c][at + static_cast<size_t>(direction_)] += e;
  }
  column_ += direction_;
  return index;
}

void TFloydSteinbergEngine::NextLine() {
  for (int c = 0; c < 3; ++c) {
    current_[c].swap(next_[c]);
    std::fill(next_[c].begin(), next_[c].end(), 0);
    carried_[c] = 0;
  }
  direction_ = -direction_;
  column_ = direction_ > 0 ? 0 : width_ - 1;
}

struct TColorQuantizer::Node {
  bool IsLeaf = false;
  uint32_t PixelCount = 0;
  uint64_t Red = 0, Green = 0, Blue = 0;
  Node* Next = nullptr;  // the next reducible node of its level
  std::unique_ptr<Node> Child[8];
};

TColorQuantizer::TColorQuantizer(int32_t maxColors, int32_t colorBits) : maxColors_(maxColors), colorBits_(colorBits) {
  // With fewer than 2 colours merging would have to go past the root.
  if (maxColors < 2 || maxColors > 256) throw EQuantizerError("The colour quantiser needs 2 to 256 colours");
  if (colorBits < 1 || colorBits > 8) throw EQuantizerError("The colour quantiser needs 1 to 8 colour bits");
}

TColorQuantizer::~TColorQuantizer() { delete root_; }

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
  auto make = [this](int level) {
    auto* n = new Node();
    n->IsLeaf = level == colorBits_;
    if (n->IsLeaf) {
      ++leafCount_;
    } else {
      n->Next = reducible_[level];
      reducible_[level] = n;
    }
    return n;
  };
  if (root_ == nullptr) root_ = make(0);
  Node* node = root_;
  for (int level = 0; !node->IsLeaf; ++level) {
    const int shift = 7 - level;
    const int index = ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
    if (!node->Child[index]) node->Child[index].reset(make(level + 1));
    node = node->Child[index].get();
  }
  node->PixelCount += 1;
  node->Red += red;
  node->Green += green;
  node->Blue += blue;
  while (leafCount_ > maxColors_) Reduce();
}

void TColorQuantizer::Reduce() {
  int level = colorBits_ - 1;
  while (level > 0 && reducible_[level] == nullptr) --level;
  Node* node = reducible_[level];
  reducible_[level] = node->Next;
  int children = 0;
  for (auto& child : node->Child) {
    if (!child) continue;
    node->Red += child->Red;
    node->Green += child->Green;
    node->Blue += child->Blue;
    node->PixelCount += child->PixelCount;
    child.reset();
    ++children;
  }
  node->IsLeaf = true;
  leafCount_ -= children - 1;
}

void TColorQuantizer::ProcessImage(const TBitmapEx& bitmap) {
  TDIBReader reader(bitmap);
  std::vector<uint8_t> row(static_cast<size_t>(reader.Width()) * 3);
  for (int32_t y = 0; y < reader.Height(); ++y) {
    reader.ReadRow(y, row.data());
    for (size_t x = 0; x < row.size(); x += 3) AddColor(row[x + 2], row[x + 1], row[x]);
  }
}

TLogPalette TColorQuantizer::Palette(bool systemColors) const {
  TLogPalette colours;
  auto walk = [&colours](const Node* n, auto& self) -> void {
    if (n == nullptr) return;
    if (n->IsLeaf) {
      if (n->PixelCount == 0) {
        colours.push_back({});
      } else {
        colours.push_back({static_cast<uint8_t>(n->Red / n->PixelCount), static_cast<uint8_t>(n->Green / n->PixelCount),
                           static_cast<uint8_t>(n->Blue / n->PixelCount)});
      }
      return;
    }
    for (const auto& c : n->Child) self(c.get(), self);
  };
  walk(root_, walk);
  if (!systemColors) return colours;
  // The display's twenty static colours stay at both ends of a 256-entry palette.
  static const TPaletteEntry first[10] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},
                                          {0, 0, 128},   {128, 0, 128}, {0, 128, 128},   {192, 192, 192},
                                          {192, 220, 192}, {166, 202, 240}};
  static const TPaletteEntry last[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                         {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                         {0, 255, 255},   {255, 255, 255}};
  colours.resize(236);
  TLogPalette full(first, first + 10);
  full.insert(full.end(), colours.begin(), colours.end());
  full.insert(full.end(), last, last + 10);
  return full;
}

TIndexedBitmap ReduceToPalette(const TBitmapEx& source, const TLogPalette& palette) {
  TDIBReader reader(source);
  TDIBWriter writer(reader.Width(), reader.Height(), palette);
  TFastColorLookup lookup(palette);
  TFloydSteinbergEngine engine(lookup, reader.Width());
  std::vector<uint8_t> row(static_cast<size_t>(reader.Width()) * 3);
  for (int32_t y = 0; y < reader.Height(); ++y) {
    reader.ReadRow(y, row.data());
    uint8_t* out = writer.Row(y);
    for (int32_t i = 0; i < reader.Width(); ++i) {
      const int32_t x = engine.Direction() > 0 ? i : reader.Width() - 1 - i;
      const uint8_t* p = &row[static_cast<size_t>(x) * 3];
      out[x] = engine.Dither(p[2], p[1], p[0]);
    }
    engine.NextLine();
  }
  return writer.Finish();
}
