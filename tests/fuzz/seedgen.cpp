// Writes the generated part of the PNG and GIF seed corpora: libpng writes a PNG of every
// colour type, depth and interlace, with palettes, transparency, gamma, texts, time and
// foreign chunks, every filter and image data split over many chunks, and one damaged file
// for each way the decoder refuses one; the GIF test encoder
// writes still and animated GIFs with every disposal, transparency, local tables, interlace,
// every code size, the encoders' full-table habits and every extension kind. The output is
// fixed for a given libpng and zlib, so the committed seeds can be made again:
//   fuzz_seedgen tests/fuzz/corpus
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/unit/html/GifTestEncoder.h"

namespace {

using giftest::Bytes;
namespace fs = std::filesystem;

bool Save(const fs::path& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

void WriteToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

struct PngSeed {
  int type, depth, interlace, filters;
  uint32_t w, h;
  bool trns, gama, extras;
  int idatBuffer;  // libpng's compression buffer: small values split the data over IDATs
};

// Rows of smooth gradients with some noise, so that every filter finds something to do.
std::vector<Bytes> Rows(const PngSeed& s, std::mt19937& rng) {
  const int samples = s.type == 2 ? 3 : s.type == 4 ? 2 : s.type == 6 ? 4 : 1;
  const size_t rowBytes = (static_cast<size_t>(s.w) * samples * s.depth + 7) / 8;
  std::vector<Bytes> rows(s.h, Bytes(rowBytes));
  for (uint32_t y = 0; y < s.h; ++y) {
    for (size_t i = 0; i < rowBytes; ++i) {
      rows[y][i] = static_cast<uint8_t>(i * 5 + y * 9 + (rng() % 4 == 0 ? rng() : 0));
    }
  }
  return rows;
}

// Empty when libpng refuses the seed.
Bytes WritePng(const PngSeed& s, std::mt19937& rng) {
  // Everything with a destructor is made before libpng may jump out.
  const std::vector<Bytes> rows = Rows(s, rng);
  std::vector<png_bytep> pointers;
  for (const Bytes& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
  const int entries = s.type == 3 ? 1 << std::min(8, s.depth) : 0;
  std::vector<png_color> palette;
  for (int i = 0; i < entries; ++i) {
    palette.push_back({static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i * 11), static_cast<png_byte>(i * 3)});
  }
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    out.clear();
    return out;
  }
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  png_set_compression_buffer_size(png, static_cast<size_t>(s.idatBuffer));
  png_set_IHDR(png, info, s.w, s.h, s.depth, s.type, s.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (s.type == 3) png_set_PLTE(png, info, palette.data(), entries);
  png_byte alphas[6] = {255, 0, 128, 255, 17, 255};
  png_color_16 key{0, 200, 100, 50, 1};
  if (s.trns && s.type != 4 && s.type != 6) png_set_tRNS(png, info, alphas, s.type == 3 ? std::min(6, entries) : 0, &key);
  if (s.gama) png_set_gAMA_fixed(png, info, 45455 + static_cast<int>(s.w) * 1000);
  if (s.extras) {
    png_text texts[2] = {};
    texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
    texts[0].key = const_cast<char*>("Title");
    texts[0].text = const_cast<char*>("Royal flush");
    texts[1].compression = PNG_TEXT_COMPRESSION_zTXt;
    texts[1].key = const_cast<char*>("Comment");
    texts[1].text = const_cast<char*>("A pair of jacks or better pays, a pair of jacks or better pays.");
    png_set_text(png, info, texts, 2);
    png_time when{2024, 12, 9, 21, 30, 5};
    png_set_tIME(png, info, &when);
    png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
    png_set_pHYs(png, info, 2835, 2835, PNG_RESOLUTION_METER);
    if (!s.gama) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  }
  png_set_filter(png, 0, s.filters);
  png_write_info(png, info);
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

int WritePngSeeds(const fs::path& dir) {
  const std::pair<int, int> combos[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                        {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH, PNG_ALL_FILTERS};
  std::mt19937 rng(20241209u);
  int n = 0;
  for (auto [type, depth] : combos) {
    for (int interlace = 0; interlace < 2; ++interlace) {
      // Odd sizes, some so narrow that Adam7 passes are empty; every combination once with
      // transparency (where it can carry it), gamma and the ancillary chunks.
      const uint32_t w = n % 5 == 0 ? 1 + n % 3 : 5 + static_cast<uint32_t>(n * 7 % 23);
      const uint32_t h = 3 + static_cast<uint32_t>(n * 5 % 13);
      const PngSeed s{type, depth, interlace, filters[n % 6], w, h, interlace == 0, interlace == 1, n % 3 == 0, 64 + n * 13 % 150};
      char name[64];
      std::snprintf(name, sizeof name, "gen_t%d_d%d_%s.png", type, depth, interlace ? "adam7" : "plain");
      const Bytes png = WritePng(s, rng);
      if (png.empty() || !Save(dir / name, png)) return 1;
      ++n;
    }
  }
  // Each filter alone over a wider picture with many bytes a pixel.
  for (int f = 0; f < 5; ++f) {
    const PngSeed s{6, 8, 0, filters[f], 24, 6, false, false, false, 8192};
    const Bytes png = WritePng(s, rng);
    if (png.empty() || !Save(dir / ("gen_rgba_filter" + std::to_string(f) + ".png"), png)) return 1;
  }
  return 0;
}

// A PNG put together chunk by chunk, for the damaged seeds.
struct Chunks {
  Bytes bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  static void Be32(Bytes& b, uint32_t v) {
    for (int sh = 24; sh >= 0; sh -= 8) b.push_back(static_cast<uint8_t>(v >> sh));
  }
  Chunks& Add(const char* name, const Bytes& data, bool badCrc = false) {
    Be32(bytes, static_cast<uint32_t>(data.size()));
    const size_t start = bytes.size();
    bytes.insert(bytes.end(), name, name + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    const uLong crc = crc32(0, bytes.data() + start, static_cast<uInt>(bytes.size() - start));
    Be32(bytes, static_cast<uint32_t>(crc) ^ (badCrc ? 1u : 0u));
    return *this;
  }
  Chunks& Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t interlace = 0, uint8_t method = 0) {
    Bytes d;
    Be32(d, w);
    Be32(d, h);
    d.insert(d.end(), {depth, type, method, 0, interlace});
    return Add("IHDR", d);
  }
  Chunks& Idat(const Bytes& raw, size_t keep = SIZE_MAX) {
    Bytes z(compressBound(raw.size()));
    uLongf n = z.size();
    compress(z.data(), &n, raw.data(), raw.size());
    z.resize(std::min<size_t>(n, keep));
    return Add("IDAT", z);
  }
  Chunks& End() { return Add("IEND", {}); }
};

int WriteDamagedPngSeeds(const fs::path& dir) {
  const Bytes grey{0, 10, 20, 2, 30, 40};  // 2 x 2 grey, rows filtered None and Up
  auto ok = [] { return Chunks().Ihdr(2, 2, 8, 0); };
  Bytes badSignature = ok().Idat(grey).End().bytes;
  badSignature[3] = 'g';
  const std::pair<const char*, Bytes> seeds[] = {
      {"signature", badSignature},
      {"ihdr_not_first", Chunks().Add("tEXt", {'a', 0, 'b'}).Ihdr(2, 2, 8, 0).Idat(grey).End().bytes},
      {"crc", ok().Add("gAMA", {0, 0, 0xB1, 0x8F}, true).Idat(grey).End().bytes},
      {"critical_chunk", ok().Add("ABCD", {1}).Idat(grey).End().bytes},
      {"no_idat", ok().End().bytes},
      {"no_iend", ok().Idat(grey).bytes},
      {"idat_cut", ok().Idat(Bytes(64, 0), 9).End().bytes},
      {"zlib", ok().Add("IDAT", {1, 2, 3, 4}).End().bytes},
      {"filter", ok().Idat({0, 1, 2, 7, 3, 4}).End().bytes},
      {"ihdr_short", Chunks().Add("IHDR", Bytes(12)).Idat(grey).End().bytes},
      {"second_ihdr", ok().Ihdr(2, 2, 8, 0).Idat(grey).End().bytes},
      {"too_wide", Chunks().Ihdr(65536, 1, 8, 0).Idat(grey).End().bytes},
      {"too_many_pixels", Chunks().Ihdr(4097, 4097, 1, 0).Idat(grey).End().bytes},
      {"zero_height", Chunks().Ihdr(2, 0, 8, 0).Idat(grey).End().bytes},
      {"compression", Chunks().Ihdr(2, 2, 8, 0, 0, 1).Idat(grey).End().bytes},
      {"interlace", Chunks().Ihdr(2, 2, 8, 0, 2).Idat(grey).End().bytes},
      {"depth", Chunks().Ihdr(2, 2, 3, 0).Idat(grey).End().bytes},
      {"palette_size", Chunks().Ihdr(2, 2, 8, 3).Add("PLTE", Bytes(20, 1)).Idat(grey).End().bytes},
      {"palette_missing_entry", Chunks().Ihdr(2, 2, 8, 3).Add("PLTE", Bytes(12, 9)).Add("tRNS", {255, 255, 255, 255, 255, 0})
                                    .Idat({0, 0, 5, 0, 1, 2}).End().bytes},
      {"trns_long", ok().Add("tRNS", Bytes(257, 1)).Idat(grey).End().bytes},
      {"trns_short", Chunks().Ihdr(1, 1, 8, 2).Add("tRNS", {0, 1}).Idat({0, 1, 2, 3}).End().bytes},
      {"gama_short_zero", ok().Add("gAMA", {0, 0, 0, 0}).Add("gAMA", {0, 1}).Idat(grey).End().bytes},
      {"time_text_odd", ok().Add("tIME", {7, 0xE8, 1}).Add("tEXt", {'k', 'e', 'y'}).Add("zTXt", {'k', 0, 0, 9, 9, 9})
                            .Add("zTXt", {'k', 0, 1}).Idat(grey).End().bytes},
      {"idat_before_ihdr_data", ok().Idat(grey).Add("IDAT", {9, 9}).Add("cHRM", Bytes(32)).End().bytes},
  };
  for (const auto& [name, bytes] : seeds) {
    if (!Save(dir / (std::string("gen_bad_") + name + ".png"), bytes)) return 1;
  }
  return 0;
}

std::vector<uint32_t> Table(int entries, uint32_t seed) {
  std::vector<uint32_t> t;
  for (int i = 0; i < entries; ++i) t.push_back((static_cast<uint32_t>(i) * 0x3B2F17u + seed) & 0xFFFFFFu);
  return t;
}

Bytes Pixels(int w, int h, int colours, std::mt19937& rng, bool noisy) {
  Bytes p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int v = noisy ? static_cast<int>(rng() % static_cast<unsigned>(colours)) : (x / 3 + y / 2) % colours;
      p[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(v);
    }
  return p;
}

giftest::Frame MakeFrame(int left, int top, int w, int h, int colours, std::mt19937& rng, bool noisy = false) {
  giftest::Frame f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.pixels = Pixels(w, h, colours, rng, noisy);
  int bits = 1;
  while ((1 << bits) < colours) ++bits;
  f.lzw.minCodeSize = std::max(2, bits);
  return f;
}

// An extension block of any label with the given sub-blocks.
void Extension(Bytes& out, uint8_t label, const Bytes& head, const std::vector<std::string>& blocks) {
  out.insert(out.end(), {0x21, label});
  if (!head.empty()) {
    out.push_back(static_cast<uint8_t>(head.size()));
    out.insert(out.end(), head.begin(), head.end());
  }
  for (const std::string& b : blocks) {
    out.push_back(static_cast<uint8_t>(b.size()));
    out.insert(out.end(), b.begin(), b.end());
  }
  out.push_back(0);
}

int WriteGifSeeds(const fs::path& dir) {
  std::mt19937 rng(20241210u);
  std::vector<std::pair<std::string, Bytes>> seeds;

  // Still pictures: the old signature, every minimum code size, interlace, local tables.
  {
    giftest::GifWriter w(9, 7, Table(2, 0x102030), "GIF87a");
    w.Add(MakeFrame(0, 0, 9, 7, 2, rng));
    seeds.emplace_back("gen_still87_2col.gif", w.Finish());
  }
  for (int bits : {3, 4, 5, 6, 7, 8}) {
    giftest::GifWriter w(20, 13, Table(1 << bits, static_cast<uint32_t>(bits)));
    giftest::Frame f = MakeFrame(0, 0, 20, 13, 1 << bits, rng, bits % 2 == 0);
    f.interlaced = bits >= 6;
    f.maxSubBlock = bits == 5 ? 17 : 255;
    w.Add(f, bits == 5 ? &rng : nullptr);
    seeds.emplace_back("gen_still_code" + std::to_string(bits) + (f.interlaced ? "_interlaced" : "") + ".gif", w.Finish());
  }
  {
    giftest::GifWriter w(12, 9);  // no global table: every frame brings its own
    giftest::Frame f = MakeFrame(0, 0, 12, 9, 16, rng);
    f.localTable = Table(16, 0x405060);
    f.interlaced = true;
    w.Add(f);
    seeds.emplace_back("gen_local_interlaced.gif", w.Finish());
  }

  // Animations: each disposal, with and without transparency, frames moved about and some
  // partly off the screen, a loop count, delays.
  for (int transparent = 0; transparent < 2; ++transparent) {
    giftest::GifWriter w(16, 12, Table(8, 0x0A0B0C));
    w.Loop(transparent ? 0 : 3);
    for (int k = 0; k < 6; ++k) {
      giftest::Frame f = MakeFrame(k * 2, k, 10 - k, 8, 8, rng, k % 2 == 1);
      if (k == 5) f.left = 12;  // runs past the right edge
      f.control = true;
      f.disposal = k % 4;
      f.delay = k * 7;
      f.transparent = transparent ? k % 8 : -1;
      if (k == 3) f.localTable = Table(4, 0x777777);
      if (k == 3) f.lzw.minCodeSize = 2;
      w.Add(f);
    }
    seeds.emplace_back(std::string("gen_anim_disposals") + (transparent ? "_transparent" : "") + ".gif", w.Finish());
  }
  {
    // Every extension kind between frames: comment, plain text, a foreign application block,
    // a graphic control without transparency and one asking for user input.
    giftest::GifWriter w(10, 10, Table(4, 0x112233));
    Extension(w.out, 0xFE, {}, {"dealt by the house", "second block"});
    Extension(w.out, 0x01, {0, 0, 0, 0, 10, 0, 10, 0, 8, 8, 1, 0}, {"JACKS OR BETTER"});
    Extension(w.out, 0xFF, {'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P'}, {"<x/>"});
    giftest::Frame f = MakeFrame(0, 0, 10, 10, 4, rng);
    f.control = true;
    f.disposal = 2;
    f.delay = 1;
    w.Add(f);
    Extension(w.out, 0xF9, {0x07, 10, 0, 3}, {});  // user input, disposal 1, transparent index 3
    w.Add(MakeFrame(2, 2, 6, 6, 4, rng, true));
    seeds.emplace_back("gen_extensions.gif", w.Finish());
  }
  {
    // Encoders' habits: a full table kept at 12 bits, runs of clear codes, no end code.
    giftest::GifWriter w(64, 40, Table(256, 0x010203));
    giftest::Frame full = MakeFrame(0, 0, 64, 40, 256, rng, true);
    full.lzw.full = giftest::FullTable::KeepCoding;
    w.Add(full);
    giftest::Frame runs = MakeFrame(0, 0, 30, 10, 5, rng);
    runs.lzw.clearEvery = 11;
    runs.lzw.clearRun = 3;
    runs.lzw.emitEnd = false;
    runs.control = true;
    runs.disposal = 1;
    w.Add(runs);
    seeds.emplace_back("gen_keep_coding_clear_runs.gif", w.Finish());
  }
  // One damaged file for each way the decoder refuses one.
  const std::vector<uint32_t> grey = Table(4, 0x808080);
  auto still = [&] { return giftest::GifWriter(4, 4, grey); };
  const giftest::Frame small = MakeFrame(0, 0, 4, 4, 4, rng);
  auto damaged = [&](const std::string& name, Bytes bytes) { seeds.emplace_back("gen_bad_" + name + ".gif", std::move(bytes)); };
  Bytes signature = still().Add(small).Finish();
  signature[4] = '8';
  damaged("signature", signature);
  damaged("trailer_only", still().Finish());
  damaged("no_table", giftest::GifWriter(4, 4).Add(small).Finish());
  {
    giftest::GifWriter w = still();
    Extension(w.out, 0xF9, {0, 0, 0, 0, 0}, {});
    damaged("control_size", w.Add(small).Finish());
  }
  {
    giftest::GifWriter w = still();
    w.out.insert(w.out.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 7});
    damaged("control_terminator", w.Add(small).Finish());
  }
  {
    giftest::GifWriter w = still();
    Extension(w.out, 0xF8, {}, {"x"});
    damaged("label", w.Add(small).Finish());
  }
  damaged("code_size", still().RawImage(4, 4, 12, {0xFF, 0xFF, 0xFF}).Finish());
  damaged("first_code", still().RawImage(4, 4, 2, {0x07, 0x00}).Finish());
  damaged("clear_then_end", still().RawImage(4, 4, 2, {0x2C}).Finish());
  damaged("code_past_table", still().RawImage(4, 4, 2, {0x3C, 0x3F}).Finish());
  damaged("operation", Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x99});
  Bytes cut = still().Add(small).Finish();
  cut.resize(cut.size() - 4);
  damaged("cut", cut);

  for (const auto& [name, bytes] : seeds) {
    if (!Save(dir / name, bytes)) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const fs::path root(argv[1]);
  std::error_code ec;
  fs::create_directories(root / "fuzz_png", ec);
  fs::create_directories(root / "fuzz_gif", ec);
  if (WritePngSeeds(root / "fuzz_png") != 0 || WriteDamagedPngSeeds(root / "fuzz_png") != 0 ||
      WriteGifSeeds(root / "fuzz_gif") != 0) {
    std::fprintf(stderr, "cannot write the seeds under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
