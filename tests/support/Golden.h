// Screenshots compared with stored golden pictures (PNG under tests/golden/). Every comparison
// keeps what it saw in $VX_TEST_TMP so a failure can be looked at, together with a picture of
// the differing pixels. VX_UPDATE_GOLDEN=1 rewrites the golden picture instead of comparing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vxtest {

struct Shot {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB (the top byte is ignored), top row first
};

bool WritePng(const std::string& path, const Shot& shot);
bool ReadPng(const std::string& path, Shot& shot);

// A rectangle left out of a comparison (right and bottom exclusive): a ticker, a caret.
struct Area {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

struct GoldenRules {
  // Largest difference of one channel still taken as equal: GL drivers round differently.
  int Tolerance = 1;
  // Compares the mean colours of Block x Block squares instead of single pixels (1); the
  // share and the skipped areas then count squares.
  int Block = 1;
  // Share of the compared pixels allowed to differ beyond the tolerance (0.001 = 0.1%): room for
  // antialiased edges of moving things caught a frame apart on a busy machine.
  double AllowedShare = 0.0;
  std::vector<Area> Skip;
  // False for a second look at a shared golden picture (another text over the same box), so
  // VX_UPDATE_GOLDEN leaves the picture to the comparison that owns it.
  bool OwnsGolden = true;
};

// Whether this run draws on the software device (VX_RENDER_DEVICE=soft): the screens' golden
// pictures were made on the GPU device, which blends with exact rounding and filters scaled
// pictures, where the software rasteriser truncates each product and takes the nearest
// texel. A comparison there allows SoftRules' differences on top of the caller's, and never
// rewrites the GPU's picture.
bool SoftDeviceRun();
GoldenRules SoftRules(GoldenRules rules);

// The path of golden picture `name` ("poker/VP01" -> <source>/tests/golden/poker/VP01.png).
std::string GoldenFile(const std::string& name);

// Compares `shot` with golden picture `name`; "" when it matches, otherwise what differs and
// where the run's own picture and the difference picture were left.
std::string CompareWithGolden(const std::string& name, const Shot& shot, const GoldenRules& rules = {});

}  // namespace vxtest
