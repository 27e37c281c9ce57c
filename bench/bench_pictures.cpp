// Decoding an 800x600 BMP and repacking it into 256x256 texture tiles (what loading a screen
// background costs), and decoding the same pixels as TGA, against a memcpy of its pixels;
// decoding them as JPEG against libjpeg decoding the same bytes on its own. The encoded bytes
// sit in a memory stream made once, as an archive record or a file arrives, so the figures
// are the decoding alone. Prints the ratios.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "render/BitmapEx.h"
#include "render/GfxImg2.h"
#include "render/Streams.h"
#include "tools/common/BmpWriter.h"

#include "bench/BenchRatio.h"

namespace {

constexpr int32_t kW = 800, kH = 600;

const std::vector<uint32_t>& Pixels() {
  static std::vector<uint32_t> p = [] {
    std::vector<uint32_t> v(static_cast<size_t>(kW) * kH);
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) v[static_cast<size_t>(y) * kW + x] = 0xFF000000u | (x * 255 / kW) << 16 | (y * 255 / kH) << 8 | ((x ^ y) & 0xFF);
    }
    return v;
  }();
  return p;
}

const std::vector<uint8_t>& Bmp(int bits) {
  static std::map<int, std::vector<uint8_t>> cache;
  auto& b = cache[bits];
  if (b.empty()) b = vxtools::EncodeBmp(kW, kH, Pixels().data(), bits);
  return b;
}

void BM_BmpDecodeAndRepack(benchmark::State& s) {
  const auto& bytes = Bmp(static_cast<int>(s.range(0)));
  TMemoryStream stream(bytes.data(), bytes.size());
  for (auto _ : s) {
    stream.SetPosition(0);
    TBitmapEx picture;
    picture.LoadFromStream(stream, pkBmp);
    picture.SetSize(1024, 768);  // padded to whole tiles, as the engine does
    TBitmapEx sheets;
    TBitmapEx::Repack(picture, sheets, 0, 0, 0, {256, 256}, {256, 256}, {256, 256});
    benchmark::DoNotOptimize(sheets.Pixels());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

// What the engine does with a screen's picture: decoded, then written row by row into its
// 256x256 tiles (here the software devices' image), the last column and row padded.
void BM_BmpDecodeAndTiles(benchmark::State& s) {
  const auto& bytes = Bmp(static_cast<int>(s.range(0)));
  TMemoryStream stream(bytes.data(), bytes.size());
  for (auto _ : s) {
    stream.SetPosition(0);
    TBitmapEx picture;
    picture.LoadFromStream(stream, pkBmp);
    TGfxImage2 image;
    if (image.LoadTiles(picture, {256, 256}, COLOR_A8R8G8B8) != 0) s.SkipWithError("no tiles");
    benchmark::DoNotOptimize(image.TextureCount());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

// Decoding the bytes as a picture of `kind`, from a memory stream made once.
void DecodeLoop(benchmark::State& s, const std::vector<uint8_t>& bytes, uint8_t kind) {
  TMemoryStream stream(bytes.data(), bytes.size());
  for (auto _ : s) {
    stream.SetPosition(0);
    TBitmapEx picture;
    picture.LoadFromStream(stream, kind);
    benchmark::DoNotOptimize(picture.Pixels());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

void BM_BmpDecode(benchmark::State& s) { DecodeLoop(s, Bmp(static_cast<int>(s.range(0))), pkBmp); }

// The pixels as a bottom-up TGA: raw (type 2) or run-length encoded (type 10; runs of equal
// pixels, the rest in literal packets).
std::vector<uint8_t> EncodeTga(int type, int bits) {
  const size_t bpp = static_cast<size_t>(bits / 8);
  std::vector<uint8_t> out = {0, 0, static_cast<uint8_t>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              kW & 0xFF, kW >> 8, kH & 0xFF, kH >> 8, static_cast<uint8_t>(bits), 0};
  for (int32_t y = kH - 1; y >= 0; --y) {
    const uint32_t* row = Pixels().data() + static_cast<size_t>(y) * kW;
    auto put = [&](uint32_t px) { out.insert(out.end(), reinterpret_cast<uint8_t*>(&px), reinterpret_cast<uint8_t*>(&px) + bpp); };
    for (int32_t x = 0; x < kW;) {
      int32_t n = 1;
      if (type == 2) {
        put(row[x++]);
        continue;
      }
      while (x + n < kW && n < 128 && row[x + n] == row[x]) ++n;
      if (n > 1) {
        out.push_back(static_cast<uint8_t>(0x80 | (n - 1)));
        put(row[x]);
      } else {
        while (x + n < kW && n < 128 && row[x + n] != row[x + n - 1]) ++n;
        out.push_back(static_cast<uint8_t>(n - 1));
        for (int32_t k = 0; k < n; ++k) put(row[x + k]);
      }
      x += n;
    }
  }
  return out;
}

// Arguments: TGA type and bits per pixel.
void BM_TgaDecode(benchmark::State& s) {
  static std::map<int64_t, std::vector<uint8_t>> cache;
  auto& bytes = cache[s.range(0) * 100 + s.range(1)];
  if (bytes.empty()) bytes = EncodeTga(static_cast<int>(s.range(0)), static_cast<int>(s.range(1)));
  DecodeLoop(s, bytes, pkTga);
}

// The pixels as a baseline JPEG of quality 90 with the library's default 2x2 chroma sampling.
const std::vector<uint8_t>& Jpeg() {
  static std::vector<uint8_t> bytes = [] {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = kW;
    c.image_height = kH;
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const uint8_t*>(Pixels().data() + c.next_scanline * kW));
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> v(out, out + size);
    std::free(out);
    return v;
  }();
  return bytes;
}

void BM_JpegDecode(benchmark::State& s) { DecodeLoop(s, Jpeg(), pkJpeg); }

// libjpeg alone: the same bytes into one reused buffer of its default RGB output.
void BM_LibjpegDecode(benchmark::State& s) {
  const auto& bytes = Jpeg();
  std::vector<uint8_t> out(static_cast<size_t>(kW) * kH * 3);
  std::vector<JSAMPROW> rows(kH);
  for (int32_t y = 0; y < kH; ++y) rows[static_cast<size_t>(y)] = out.data() + static_cast<size_t>(y) * kW * 3;
  for (auto _ : s) {
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&c, TRUE);
    jpeg_start_decompress(&c);
    while (c.output_scanline < c.output_height) {
      jpeg_read_scanlines(&c, rows.data() + c.output_scanline, c.output_height - c.output_scanline);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    benchmark::DoNotOptimize(out.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

void BM_MemcpyPixels(benchmark::State& s) {
  const auto& src = Pixels();
  std::vector<uint32_t> dst(src.size());
  for (auto _ : s) {
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

// The same copy into fresh memory each time: shows what first-touch page faults cost on the
// machine at hand, which every load into new pictures pays.
void BM_MemcpyPixelsFresh(benchmark::State& s) {
  const auto& src = Pixels();
  for (auto _ : s) {
    std::vector<uint32_t> dst(src.size());
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kW * kH * 4);
}

BENCHMARK(BM_BmpDecodeAndRepack)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BmpDecodeAndTiles)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BmpDecode)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TgaDecode)->Args({2, 24})->Args({2, 32})->Args({10, 32})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyPixels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyPixelsFresh)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMicroseconds);
  reporter.RunSteady();
  const double copy = reporter.times["BM_MemcpyPixels"], fresh = reporter.times["BM_MemcpyPixelsFresh"];
  if (copy <= 0) return 0;
  std::printf("\nratios against memcpy of the 800x600 pixels (%.1f us; into fresh memory %.1f us, ratio %.2f; %s):\n",
              copy, fresh, fresh / copy, reporter.Note({"BM_MemcpyPixels", "BM_MemcpyPixelsFresh"}).c_str());
  for (int bits : {32, 24}) {
    const std::string arg = "/" + std::to_string(bits);
    const double full = reporter.times["BM_BmpDecodeAndRepack" + arg], dec = reporter.times["BM_BmpDecode" + arg];
    if (full > 0 && dec > 0) {
      std::printf("  %d-bit BMP: decode %.1f us (ratio %.2f), decode + pad + repack into tiles %.1f us (ratio %.2f; %s)\n",
                  bits, dec, dec / copy, full, full / copy,
                  reporter.Note({"BM_BmpDecodeAndRepack" + arg, "BM_BmpDecode" + arg, "BM_MemcpyPixels"}).c_str());
    }
    const double tiles = reporter.times["BM_BmpDecodeAndTiles" + arg];
    if (tiles > 0) std::printf("  %d-bit BMP: decode + tiles as the engine loads it %.1f us (ratio %.2f)\n", bits, tiles, tiles / copy);
  }
  for (const char* tga : {"2/24", "2/32", "10/32"}) {
    const double dec = reporter.Time(std::string("BM_TgaDecode/") + tga);
    if (dec > 0)
      std::printf("  TGA type/bits %s: decode %.1f us (ratio %.2f; %s)\n", tga, dec, dec / copy,
                  reporter.Note({std::string("BM_TgaDecode/") + tga, "BM_MemcpyPixels"}).c_str());
  }
  const double jpeg = reporter.Time("BM_JpegDecode"), libjpeg = reporter.Time("BM_LibjpegDecode");
  if (jpeg > 0 && libjpeg > 0) {
    std::printf("\nJPEG of the same pixels (%zu bytes): decode %.1f us vs libjpeg alone %.1f us, ratio %.2f (%s)\n",
                Jpeg().size(), jpeg, libjpeg, jpeg / libjpeg, reporter.Note({"BM_JpegDecode", "BM_LibjpegDecode"}).c_str());
  }
  return 0;
}
