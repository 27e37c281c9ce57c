// Decoding 800x600 PNG pictures (RGBA, and a 256-colour palette) against libpng decoding the
// same files into the same 32-bit blue-green-red-alpha pixels. Prints the ratios.
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "render/BitmapEx.h"
#include "render/PngPicture.h"
#include "render/Streams.h"

#include "bench/BenchRatio.h"

namespace {

constexpr uint32_t kW = 800, kH = 600;
using Bytes = std::vector<uint8_t>;

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

// A picture like the help pages': smooth gradients with some texture, libpng's default
// adaptive filtering.
Bytes Encode(bool palette) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, kW, kH, 8, palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> pal(256);
  for (int i = 0; i < 256; ++i) pal[i] = {static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 7)};
  if (palette) png_set_PLTE(png, info, pal.data(), 256);
  png_write_info(png, info);
  const int channels = palette ? 1 : 4;
  Bytes row(kW * channels);
  uint32_t seed = 11;
  for (uint32_t y = 0; y < kH; ++y) {
    for (uint32_t x = 0; x < kW * channels; ++x) {
      seed = seed * 1103515245u + 12345u;
      row[x] = static_cast<uint8_t>((x / channels + y) / 3 + ((seed >> 16) & 7) + (x % channels) * 40);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

const Bytes& File(bool palette) {
  static const Bytes rgba = Encode(false), pal = Encode(true);
  return palette ? pal : rgba;
}

void BM_OursPng(benchmark::State& s) {
  const Bytes& file = File(s.range(0) != 0);
  for (auto _ : s) {
    TMemoryStream stream(file.data(), file.size());
    TBitmapEx picture;
    picture.LoadFromStream(stream, pkPng);
    benchmark::DoNotOptimize(picture.Pixels());
  }
}

struct Input {
  const Bytes* bytes;
  size_t at;
};
void Take(png_structp png, png_bytep data, png_size_t n) {
  auto* in = static_cast<Input*>(png_get_io_ptr(png));
  std::memcpy(data, in->bytes->data() + in->at, n);
  in->at += n;
}

void BM_LibpngPng(benchmark::State& s) {
  const Bytes& file = File(s.range(0) != 0);
  for (auto _ : s) {
    Input in{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &in, Take);
    png_read_info(png, info);
    png_set_palette_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH);
    for (uint32_t y = 0; y < kH; ++y) png_read_row(png, reinterpret_cast<png_bytep>(pixels.data() + y * kW), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

BENCHMARK(BM_OursPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  std::printf("\nratios (ours / libpng; below 1 is faster):\n");
  reporter.Ratio("800x600 RGBA PNG", "BM_OursPng/0", "BM_LibpngPng/0");
  reporter.Ratio("800x600 256-colour palette PNG", "BM_OursPng/1", "BM_LibpngPng/1");
  return 0;
}
