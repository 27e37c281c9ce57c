#include "support/Golden.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace vxtest {

bool WritePng(const std::string& path, const Shot& shot) {
  if (shot.Width <= 0 || shot.Height <= 0 ||
      shot.Pixels.size() != static_cast<size_t>(shot.Width) * static_cast<size_t>(shot.Height))
    return false;
  std::vector<uint8_t> rgb(shot.Pixels.size() * 3);
  for (size_t i = 0; i < shot.Pixels.size(); ++i) {
    rgb[i * 3] = static_cast<uint8_t>(shot.Pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(shot.Pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(shot.Pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(shot.Width);
  image.height = static_cast<png_uint_32>(shot.Height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool ReadPng(const std::string& path, Shot& shot) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) return false;
  shot.Width = static_cast<int32_t>(image.width);
  shot.Height = static_cast<int32_t>(image.height);
  shot.Pixels.resize(static_cast<size_t>(shot.Width) * static_cast<size_t>(shot.Height));
  for (size_t i = 0; i < shot.Pixels.size(); ++i)
    shot.Pixels[i] = (uint32_t{rgb[i * 3]} << 16) | (uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
  return true;
}

std::string GoldenFile(const std::string& name) { return std::string(VX_SOURCE_DIR) + "/tests/golden/" + name + ".png"; }

namespace {

// Measured over the screens' golden pictures: the rasteriser's truncated products darken a
// picture drawn over layers of others by up to 9 levels a channel, evenly; scaled pictures
// (the lobby's logos) take other texels than the GPU's filtered ones, which moves the mean of
// an 8x8 square by up to 31 levels in 0.7% of the lobby's squares, and a few glyph edges land
// a pixel apart. A picture missing, misplaced or discoloured changes whole squares.
constexpr int kSoftBlock = 8;
constexpr int kSoftTolerance = 16;
constexpr double kSoftShare = 0.008;

std::string KeepFolder() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  const fs::path folder = fs::path(tmp != nullptr ? tmp : fs::temp_directory_path().string()) / "golden";
  std::error_code ec;
  fs::create_directories(folder, ec);
  return folder.string();
}

}  // namespace

bool SoftDeviceRun() {
  const char* device = std::getenv("VX_RENDER_DEVICE");
  return device != nullptr && std::string(device) == "soft";
}

GoldenRules SoftRules(GoldenRules rules) {
  rules.Block = std::max(rules.Block, kSoftBlock);
  rules.Tolerance = std::max(rules.Tolerance, kSoftTolerance);
  rules.AllowedShare = std::max(rules.AllowedShare, kSoftShare);
  rules.OwnsGolden = false;
  return rules;
}

std::string CompareWithGolden(const std::string& name, const Shot& shot, const GoldenRules& asked) {
  const GoldenRules rules = SoftDeviceRun() ? SoftRules(asked) : asked;
  std::string flat = name + (SoftDeviceRun() ? "_soft" : "");
  std::replace(flat.begin(), flat.end(), '/', '_');
  const std::string keep = KeepFolder() + "/" + flat + ".png";
  if (!WritePng(keep, shot)) return "the screenshot of " + name + " could not be written to " + keep;
  const std::string golden = GoldenFile(name);
  const char* update = std::getenv("VX_UPDATE_GOLDEN");
  if (rules.OwnsGolden && update != nullptr && std::string(update) == "1") {
    fs::create_directories(fs::path(golden).parent_path());
    return WritePng(golden, shot) ? "" : "could not rewrite " + golden;
  }
  Shot expected;
  if (!ReadPng(golden, expected)) return "no golden picture " + golden + " (VX_UPDATE_GOLDEN=1 makes it)";
  if (expected.Width != shot.Width || expected.Height != shot.Height)
    return name + " is " + std::to_string(shot.Width) + "x" + std::to_string(shot.Height) + ", its golden picture " +
           std::to_string(expected.Width) + "x" + std::to_string(expected.Height);

  // Differing pixels (or squares) are shown red over a dimmed copy of the golden picture.
  Shot diff = expected;
  for (uint32_t& p : diff.Pixels) p = (p >> 2) & 0x3F3F3Fu;
  size_t compared = 0, wrong = 0;
  std::string first;
  const int32_t b = std::max(rules.Block, 1);
  const auto at = [&](int32_t x, int32_t y) { return static_cast<size_t>(y) * static_cast<size_t>(shot.Width) + static_cast<size_t>(x); };
  for (int32_t by = 0; by < shot.Height; by += b)
    for (int32_t bx = 0; bx < shot.Width; bx += b) {
      const int32_t ex = std::min(bx + b, shot.Width), ey = std::min(by + b, shot.Height);
      if (std::any_of(rules.Skip.begin(), rules.Skip.end(),
                      [&](const Area& a) { return ex > a.Left && bx < a.Right && ey > a.Top && by < a.Bottom; }))
        continue;
      ++compared;
      int sum[2][3] = {};
      for (int32_t y = by; y < ey; ++y)
        for (int32_t x = bx; x < ex; ++x)
          for (int c = 0; c < 3; ++c) {
            sum[0][c] += static_cast<int>((shot.Pixels[at(x, y)] >> (8 * c)) & 0xFF);
            sum[1][c] += static_cast<int>((expected.Pixels[at(x, y)] >> (8 * c)) & 0xFF);
          }
      const int n = (ex - bx) * (ey - by);
      int worst = 0;
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(sum[0][c] - sum[1][c]));
      if (worst <= rules.Tolerance * n) continue;
      for (int32_t y = by; y < ey; ++y)
        for (int32_t x = bx; x < ex; ++x) diff.Pixels[at(x, y)] = 0xFF0000u;
      if (++wrong <= 5) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "\n  (%d,%d) is %06X, golden %06X", bx, by, shot.Pixels[at(bx, by)] & 0xFFFFFFu,
                      expected.Pixels[at(bx, by)]);
        first += buf;
      }
    }
  if (static_cast<double>(wrong) <= rules.AllowedShare * static_cast<double>(compared)) return "";
  const std::string diffFile = KeepFolder() + "/" + flat + "_diff.png";
  WritePng(diffFile, diff);
  return std::to_string(wrong) + " of " + std::to_string(compared) + (b > 1 ? " squares of " : " pixels of ") + name +
         " differ by more than " +
         std::to_string(rules.Tolerance) + " from " + golden + "; this run: " + keep + ", difference: " + diffFile + first;
}

}  // namespace vxtest
