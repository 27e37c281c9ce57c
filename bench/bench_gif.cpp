// Decoding GIF pictures against giflib decoding the same files into colour indexes: an
// 800x600 256-colour picture and a 12-frame 200x150 animation. The frame strip the viewer
// builds from the animation is timed on its own. Prints the ratios.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

#include "html/Gif.h"
#include "render/Streams.h"

#include "bench/BenchRatio.h"

namespace {

using Bytes = std::vector<uint8_t>;

int Append(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

// Smooth gradients with some texture, like the help pages' pictures.
Bytes Encode(int width, int height, int frames) {
  Bytes out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, Append, &err);
  std::vector<GifColorType> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i), static_cast<GifByteType>(i * 5)};
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  std::vector<GifPixelType> row(static_cast<size_t>(width));
  uint32_t seed = 3;
  for (int f = 0; f < frames; ++f) {
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        seed = seed * 1103515245u + 12345u;
        row[static_cast<size_t>(x)] = static_cast<GifPixelType>((x + y + f * 9) / 4 + ((seed >> 16) & 3));
      }
      EGifPutLine(gif, row.data(), width);
    }
  }
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

const Bytes& File(int which) {
  static const Bytes still = Encode(800, 600, 1), animation = Encode(200, 150, 12);
  return which == 0 ? still : animation;
}

void BM_OursGif(benchmark::State& s) {
  const Bytes& file = File(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    TMemoryStream stream(file.data(), file.size());
    TGif gif;
    gif.LoadFromStream(stream);
    benchmark::DoNotOptimize(gif.Image(0).Pixels.data());
  }
}

struct Input {
  const Bytes* bytes;
  size_t at;
};
int Take(GifFileType* gif, GifByteType* to, int n) {
  auto* in = static_cast<Input*>(gif->UserData);
  const size_t k = std::min(static_cast<size_t>(n), in->bytes->size() - in->at);
  std::memcpy(to, in->bytes->data() + in->at, k);
  in->at += k;
  return static_cast<int>(k);
}

void BM_GiflibGif(benchmark::State& s) {
  const Bytes& file = File(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    Input in{&file, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&in, Take, &err);
    DGifSlurp(gif);
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &err);
  }
}

void BM_OursStrip(benchmark::State& s) {
  TMemoryStream stream(File(1).data(), File(1).size());
  TGif gif;
  gif.LoadFromStream(stream);
  for (auto _ : s) {
    ThvBitmap strip = gif.GetStripBitmap();
    benchmark::DoNotOptimize(strip.Pixels.data());
  }
}

BENCHMARK(BM_OursGif)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GiflibGif)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursStrip)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  std::printf("\nratios (ours / giflib; below 1 is faster):\n");
  reporter.Ratio("800x600 256-colour GIF", "BM_OursGif/0", "BM_GiflibGif/0");
  reporter.Ratio("12-frame 200x150 animation", "BM_OursGif/1", "BM_GiflibGif/1");
  reporter.Ratio("its frame strip, against giflib's decode", "BM_OursStrip", "BM_GiflibGif/1");
  return 0;
}
