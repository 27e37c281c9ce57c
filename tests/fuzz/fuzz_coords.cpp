// Any COORDS text and shape: at most 301 bounded numbers, and a region that answers every
// point without reaching outside its bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "html/HtmlMaps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kShapes[] = {"rect", "circle", "poly", ""};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<int> n = ParseCoords(text);
  if (n.size() > 301) __builtin_trap();
  for (int v : n)
    if (v < -100000 || v > 100000) __builtin_trap();
  const vx::Region region = AreaRegion(kShapes[size % 4], n);
  const vx::TRect b = region.Bounds();
  for (size_t i = 0; i + 1 < n.size() && i < 40; i += 2) {
    const bool in = region.Contains(n[i], n[i + 1]);
    if (in && !b.Contains(n[i], n[i + 1])) __builtin_trap();
  }
  return 0;
}
