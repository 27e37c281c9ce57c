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

std::string KeepFolder() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  const fs::path folder = fs::path(tmp != nullptr ? tmp : fs::temp_directory_path().string()) / "golden";
  std::error_code ec;
  fs::create_directories(folder, ec);
  return folder.string();
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16})
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return worst;
}

}  // namespace

std::string CompareWithGolden(const std::string& name, const Shot& shot, const GoldenRules& rules) {
  std::string flat = name;
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

  // Differing pixels are shown red over a dimmed copy of the golden picture.
  Shot diff = expected;
  size_t compared = 0, wrong = 0;
  std::string first;
  for (int32_t y = 0; y < shot.Height; ++y)
    for (int32_t x = 0; x < shot.Width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(shot.Width) + static_cast<size_t>(x);
      const uint32_t g = expected.Pixels[i];
      diff.Pixels[i] = ((g >> 2) & 0x3F3F3Fu);
      if (std::any_of(rules.Skip.begin(), rules.Skip.end(),
                      [&](const Area& a) { return x >= a.Left && x < a.Right && y >= a.Top && y < a.Bottom; }))
        continue;
      ++compared;
      if (ChannelDistance(shot.Pixels[i], g) <= rules.Tolerance) continue;
      diff.Pixels[i] = 0xFF0000u;
      if (++wrong <= 5) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "\n  (%d,%d) is %06X, golden %06X", x, y, shot.Pixels[i] & 0xFFFFFFu, g);
        first += buf;
      }
    }
  if (static_cast<double>(wrong) <= rules.AllowedShare * static_cast<double>(compared)) return "";
  const std::string diffFile = KeepFolder() + "/" + flat + "_diff.png";
  WritePng(diffFile, diff);
  return std::to_string(wrong) + " of " + std::to_string(compared) + " pixels of " + name + " differ by more than " +
         std::to_string(rules.Tolerance) + " from " + golden + "; this run: " + keep + ", difference: " + diffFile + first;
}

}  // namespace vxtest
