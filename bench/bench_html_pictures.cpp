// A page picture with a transparency mask stretched into the page (the viewer's draw of a
// transparent GIF), against pixman compositing the same picture through an a8 mask with the
// same nearest-pixel scaling.
#include <pixman.h>

#include <cstdio>
#include <random>

#include "bench/BenchRatio.h"
#include "html/HtmlPictures.h"

namespace {

constexpr int kSrcW = 320, kSrcH = 240, kDstW = 800, kDstH = 600;

struct Scene {
  ThtmlPicture picture;
  std::vector<uint8_t> alpha;  // pixman's mask: 0 transparent, 255 opaque
  std::vector<uint32_t> target = std::vector<uint32_t>(static_cast<size_t>(kDstW) * kDstH, 0xFF808080u);
  Scene() {
    std::mt19937 rng(7);
    picture.Width = kSrcW, picture.Height = kSrcH;
    picture.Pixels.resize(static_cast<size_t>(kSrcW) * kSrcH);
    auto mask = std::make_unique<vx::PixelMask>();
    mask->Width = kSrcW, mask->Height = kSrcH;
    for (int y = 0; y < kSrcH; ++y)
      for (int x = 0; x < kSrcW; ++x) {
        // A round shape on a see-through background, as icons are drawn.
        const bool clear = (x - 160) * (x - 160) + (y - 120) * (y - 120) > 110 * 110;
        picture.Pixels[static_cast<size_t>(y) * kSrcW + x] = 0xFF000000u | (rng() & 0xFFFFFF);
        mask->Bits.push_back(clear);
        alpha.push_back(clear ? 0 : 255);
      }
    picture.Mask = std::move(mask);
  }
};

Scene& TheScene() {
  static Scene s;
  return s;
}

void BM_OursMaskedStretch(benchmark::State& state) {
  Scene& s = TheScene();
  vx::Canvas canvas(s.target.data(), kDstW, kDstH, kDstW);
  for (auto _ : state) {
    DrawHtmlPicture(canvas, {0, 0, kDstW, kDstH}, s.picture);
    benchmark::DoNotOptimize(s.target.data());
  }
  state.SetItemsProcessed(state.iterations() * kDstW * kDstH);
}

void BM_PixmanMaskedStretch(benchmark::State& state) {
  Scene& s = TheScene();
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kSrcW, kSrcH, s.picture.Pixels.data(), kSrcW * 4);
  pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kSrcW, kSrcH, reinterpret_cast<uint32_t*>(s.alpha.data()), kSrcW);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kDstW, kDstH, s.target.data(), kDstW * 4);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(static_cast<double>(kSrcW) / kDstW),
                              pixman_double_to_fixed(static_cast<double>(kSrcH) / kDstH));
  for (pixman_image_t* im : {src, mask}) {
    pixman_image_set_transform(im, &t);
    pixman_image_set_filter(im, PIXMAN_FILTER_NEAREST, nullptr, 0);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kDstW, kDstH);
    benchmark::DoNotOptimize(s.target.data());
  }
  state.SetItemsProcessed(state.iterations() * kDstW * kDstH);
  pixman_image_unref(src);
  pixman_image_unref(mask);
  pixman_image_unref(dst);
}

BENCHMARK(BM_OursMaskedStretch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanMaskedStretch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  std::printf("\nratios (ours / pixman; below 1 is faster):\n");
  reporter.Ratio("320x240 masked picture stretched to 800x600", "BM_OursMaskedStretch", "BM_PixmanMaskedStretch");
  return 0;
}
