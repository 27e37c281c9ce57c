// The GIF decoder against giflib on a generated corpus (every code size, interlace, the
// full-table and clear-code habits of encoders, KwKwK runs, odd sub-blocks), its errors in
// one table, and the frame strip with its mask.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "html/Gif.h"
#include "render/Streams.h"
#include "support/ErrorText.h"
#include "unit/html/GifTestEncoder.h"

namespace {

using vxtest::ErrorOf;
using giftest::Bytes;
using giftest::Frame;
using giftest::GifWriter;

TGif Load(const Bytes& b) {
  TMemoryStream s(b.data(), b.size());
  TGif gif;
  gif.LoadFromStream(s);
  return gif;
}

struct Reader {
  const Bytes* bytes;
  size_t at;
};
int ReadGif(GifFileType* gif, GifByteType* to, int n) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const size_t k = std::min(static_cast<size_t>(n), r->bytes->size() - r->at);
  std::memcpy(to, r->bytes->data() + r->at, k);
  r->at += k;
  return static_cast<int>(k);
}

std::vector<uint32_t> RandomTable(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> t(n);
  for (auto& c : t) c = rng() & 0xFFFFFF;
  return t;
}

// Pictures that code in different ways: noise fills the table fast, runs give KwKwK codes,
// stripes repeat strings.
Bytes Picture(std::mt19937& rng, int w, int h, int colours, int kind) {
  Bytes p(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < p.size(); ++i) {
    switch (kind) {
      case 0: p[i] = static_cast<uint8_t>(rng() % colours); break;
      case 1: p[i] = static_cast<uint8_t>((i / 37) % colours); break;
      default: p[i] = static_cast<uint8_t>(rng() % 8 == 0 ? rng() % colours : (i % w) * colours / w); break;
    }
  }
  return p;
}

TEST(GifDecoderTest, MatchesGiflibOnAGeneratedCorpus) {
  std::mt19937 rng(4096u);
  for (int n = 0; n < 60; ++n) {
    // Files of large noise fill the code table (n even: the encoder clears, odd: it goes on).
    const bool big = n % 10 == 3 || n % 10 == 8;
    const int sw = big ? 200 : 1 + static_cast<int>(rng() % 90), sh = big ? 120 : 1 + static_cast<int>(rng() % 70);
    const int minCode = 2 + n % 7;  // 2..8
    const int colours = 1 << minCode;
    const bool global = n % 3 != 0;
    GifWriter writer(sw, sh, global ? RandomTable(rng, static_cast<size_t>(colours)) : std::vector<uint32_t>{});
    if (n % 4 == 0) writer.Loop(n % 5);
    const int frames = 1 + static_cast<int>(rng() % 3);
    std::vector<Frame> made;
    for (int k = 0; k < frames; ++k) {
      Frame f;
      f.width = 1 + static_cast<int>(rng() % sw);
      f.height = 1 + static_cast<int>(rng() % sh);
      if (n % 10 == 9) f.height = 1 + static_cast<int>(rng() % 4);  // interlace passes that are empty
      f.left = static_cast<int>(rng() % (sw - f.width + 1));
      f.top = static_cast<int>(rng() % (sh - f.height + 1));
      if (big) f.width = sw, f.height = sh, f.left = f.top = 0;
      f.pixels = Picture(rng, f.width, f.height, colours, big ? 0 : static_cast<int>(rng() % 3));
      if (!global || rng() % 4 == 0) f.localTable = RandomTable(rng, static_cast<size_t>(colours));
      f.interlaced = rng() % 2 == 0;
      f.control = rng() % 3 != 0;
      f.disposal = static_cast<int>(rng() % 2);
      f.delay = static_cast<int>(rng() % 50);
      f.transparent = rng() % 2 == 0 ? static_cast<int>(rng() % colours) : -1;
      f.lzw.minCodeSize = minCode;
      f.lzw.full = n % 2 == 0 ? giftest::FullTable::Clear : giftest::FullTable::KeepCoding;
      f.lzw.clearEvery = n % 5 == 0 ? 1 + static_cast<int>(rng() % 300) : 0;
      f.lzw.clearRun = 1 + n % 3;
      f.maxSubBlock = n % 6 == 0 ? 7 : 255;
      writer.Add(f, &rng);
      made.push_back(f);
    }
    const Bytes file = writer.Finish();

    Reader r{&file, 0};
    int err = 0;
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> owner(DGifOpen(&r, ReadGif, &err), [](GifFileType* g) {
      int e = 0;
      DGifCloseFile(g, &e);
    });
    GifFileType* ref = owner.get();
    ASSERT_NE(ref, nullptr);
    ASSERT_EQ(DGifSlurp(ref), GIF_OK) << n << " giflib error " << ref->Error;
    const TGif gif = Load(file);
    ASSERT_EQ(gif.ImageCount(), ref->ImageCount) << n;
    EXPECT_EQ(gif.ScreenWidth(), ref->SWidth);
    EXPECT_EQ(gif.ScreenHeight(), ref->SHeight);
    EXPECT_EQ(gif.LoopCount(), n % 4 == 0 ? n % 5 : -1);
    for (int k = 0; k < ref->ImageCount; ++k) {
      const SavedImage& s = ref->SavedImages[k];
      const TGifImage& im = gif.Image(k);
      EXPECT_EQ(im.Left, s.ImageDesc.Left);
      EXPECT_EQ(im.Top, s.ImageDesc.Top);
      ASSERT_EQ(im.Width, s.ImageDesc.Width);
      ASSERT_EQ(im.Height, s.ImageDesc.Height);
      ASSERT_EQ(0, std::memcmp(im.Pixels.data(), s.RasterBits, im.Pixels.size()))
          << "file " << n << " frame " << k << " interlaced " << made[k].interlaced;
      GraphicsControlBlock gcb{};
      if (DGifSavedExtensionToGCB(ref, k, &gcb) == GIF_OK) {
        EXPECT_EQ(gif.Disposal(k), gcb.DisposalMode);
        EXPECT_EQ(gif.Delay(k), std::max(gcb.DelayTime, 1));
        EXPECT_EQ(gif.TransparentIndex(k), gcb.TransparentColor);
      } else {
        EXPECT_EQ(gif.GraphicControl(k), nullptr);
        EXPECT_EQ(gif.Delay(k), 1);
      }
      const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : ref->SColorMap;
      const TGifColorTable& table = gif.ColorTable(im.TableNumber);
      ASSERT_EQ(table.Count, map->ColorCount);
      for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        EXPECT_EQ(table.Entries[i], c.Red | c.Green << 8 | c.Blue << 16);
      }
    }
    // The strip: in frame k every screen pixel shows the last frame up to k that painted it
    // with a colour that is not its transparent one (disposals here keep what was drawn),
    // else black; the mask marks what nothing painted but a transparent first frame.
    const ThvBitmap strip = gif.GetStripBitmap();
    ASSERT_EQ(strip.Width, sw * ref->ImageCount);
    ASSERT_EQ(strip.HasMask(), gif.AnyTransparent());
    for (int k = 0; k < ref->ImageCount; ++k) {
      for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
          uint32_t want = 0;
          bool clear = false;
          for (int j = 0; j <= k; ++j) {
            const TGifImage& im = gif.Image(j);
            if (x < im.Left || y < im.Top || x >= im.Left + im.Width || y >= im.Top + im.Height) continue;
            const uint8_t index = im.Pixels[static_cast<size_t>((y - im.Top) * im.Width + x - im.Left)];
            if (index == gif.TransparentIndex(j)) {
              if (j == 0) clear = true;
              continue;
            }
            want = gif.ColorTable(im.TableNumber).Entries[index];
            clear = false;
          }
          const uint8_t* p = strip.Pixel(k * sw + x, y);
          ASSERT_EQ(p[2] | p[1] << 8 | p[0] << 16, static_cast<int>(want)) << n << " frame " << k << " at " << x << "," << y;
          if (strip.HasMask()) {
            ASSERT_EQ(strip.MaskAt(k * sw + x, y), clear ? 255 : 0);
          }
        }
      }
    }
  }
}

TEST(GifDecoderTest, ErrorsAndEdgeCases) {
  const std::vector<uint32_t> grey = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
  auto ok = [&] { return GifWriter(4, 4, grey); };
  giftest::BitWriter five;  // codes of 3 bits: 3 is neither clear (4) nor 0
  five.Put(3, 3);
  giftest::BitWriter clearEnd;
  clearEnd.Put(4, 3);
  clearEnd.Put(5, 3);
  giftest::BitWriter tooHigh;  // after clear the next free code is 6: 7 is past it
  tooHigh.Put(4, 3);
  tooHigh.Put(1, 3);
  tooHigh.Put(7, 3);
  Bytes badGc = ok().out;
  badGc.insert(badGc.end(), {0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0});
  Bytes badTerm = ok().out;
  badTerm.insert(badTerm.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 9});
  Bytes unknown = ok().out;
  unknown.insert(unknown.end(), {0x21, 0xF8, 0});
  Bytes badIntro = ok().out;
  badIntro.push_back(0x2D);
  Bytes cutBlock = ok().RawImage(2, 2, 2, {0x8C, 0x2D}).out;
  cutBlock.erase(cutBlock.end() - 2, cutBlock.end());
  Bytes wide = ok().out;
  wide.insert(wide.end(), {0x2C, 0, 0, 0, 0, 0x01, 0x40, 1, 0, 0, 2, 0});  // 16385 x 1
  const Bytes bigScreen = GifWriter(16385, 1, grey).RawImage(1, 1, 2, {0x44, 0x01}).Finish();
  const std::string pre = "TGif: ";
  const struct {
    Bytes file;
    std::string text;
  } rows[] = {
      {Bytes{'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, pre + "Invalid GIF Signature Code"},
      {Bytes{'G', 'I', 'F'}, pre + "Unexpected end of file"},
      {Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0}, pre + "Unexpected end of file"},
      {ok().Finish(), pre + "No Image Description"},
      {GifWriter(2, 2).RawImage(2, 2, 2, {0x44, 0x01}).Finish(), pre + "No Local or Global Color Table for Image"},
      {badGc, pre + "Invalid Extension Block Size"},
      {badTerm, pre + "Invalid Extension Block Terminator"},
      {unknown, pre + "unknown extension: 00F8"},
      {badIntro, pre + "Unknown Graphics Operation Code"},
      {ok().RawImage(2, 2, 2, five.Finish()).Finish(), pre + "Invalid LZW Data Format"},
      {ok().RawImage(2, 2, 2, clearEnd.Finish()).Finish(), pre + "Invalid LZW Data Format"},
      {ok().RawImage(2, 2, 2, tooHigh.Finish()).Finish(), pre + "Invalid LZW Data Format"},
      {ok().RawImage(2, 2, 12, {0, 0}).Finish(), pre + "Invalid LZW Code Size"},
      {cutBlock, pre + "Unexpected end of file"},
      {wide, pre + "Value Out Of Range"},
  };
  for (const auto& r : rows) EXPECT_EQ(ErrorOf([&] { Load(r.file); }), r.text) << &r - rows;
  EXPECT_EQ(ErrorOf([&] { Load(bigScreen).GetStripBitmap(); }), pre + "Value Out Of Range");
  const Bytes one = ok().RawImage(2, 1, 2, {0x44, 0x01}).Finish();
  EXPECT_EQ(ErrorOf([&] { Load(one).Image(1); }), pre + "Value Out Of Range");

  // "gif89a" in lower case is read; a stream starting with code 0 instead of a clear code
  // reads as though the clear were there; an image of no pixels is passed over (with its
  // graphic control); pixels past the image are dropped.
  Bytes lower = one;
  std::memcpy(lower.data(), "gif89a", 6);
  EXPECT_EQ(Load(lower).ImageCount(), 1);
  giftest::BitWriter zeroFirst;
  for (int c : {0, 3, 6}) zeroFirst.Put(static_cast<uint32_t>(c), 3);  // 0, 3, (0 3)
  zeroFirst.Put(5, 3);
  const TGif z = Load(ok().RawImage(4, 1, 2, zeroFirst.Finish()).Finish());
  EXPECT_EQ(z.Image(0).Pixels, (Bytes{0, 3, 0, 3}));
  Frame empty;
  empty.width = 0;
  empty.control = true;
  empty.transparent = 1;
  Frame tiny;
  tiny.width = 2;
  tiny.pixels = {1, 2, 3, 3, 3, 3, 3};  // five more than the picture holds
  tiny.lzw.minCodeSize = 2;
  const TGif skipped = Load(ok().Add(empty).Add(tiny).Finish());
  ASSERT_EQ(skipped.ImageCount(), 1);
  EXPECT_EQ(skipped.TransparentIndex(0), -1);
  EXPECT_EQ(skipped.Image(0).Pixels, (Bytes{1, 2}));
}

TEST(GifDecoderTest, DisposalToBackgroundClearsTheNextMaskCellButKeepsItsColours) {
  const std::vector<uint32_t> t = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};
  Frame a;
  a.width = a.height = 2;
  a.pixels = {0, 0, 0, 3};
  a.control = true;
  a.disposal = 2;
  a.transparent = 3;
  a.lzw.minCodeSize = 2;
  Frame b;
  b.left = 1;
  b.width = 1;
  b.height = 1;
  b.pixels = {1};
  b.lzw.minCodeSize = 2;
  const ThvBitmap strip = Load(GifWriter(2, 2, t).Add(a).Add(b).Finish()).GetStripBitmap();
  ASSERT_TRUE(strip.HasMask());
  EXPECT_EQ(strip.MaskAt(1, 1), 255);  // transparent in the first frame
  EXPECT_EQ(strip.Pixel(2, 0)[2], 255);  // the second cell keeps the first frame's red...
  EXPECT_EQ(strip.MaskAt(2, 0), 255);    // ...under a mask the disposal cleared
  EXPECT_EQ(strip.MaskAt(3, 0), 0);      // where the second frame painted green
  EXPECT_EQ(strip.Pixel(3, 0)[1], 255);
}

}  // namespace
