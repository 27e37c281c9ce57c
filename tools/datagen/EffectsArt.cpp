// The particle stars: a large four-point sparkle, a middle one and a small glint.
#include <algorithm>
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

using namespace look;

namespace {

Picture Star(int size, double spikes, uint32_t core) {
  const double s = size, c0 = s / 2;
  Canvas c(size, size);
  // Soft glow.
  c.SetRadial(c0, c0, 0, c0, {{0.0, Hex(core, 0.75)}, {0.45, Hex(kGoldLight, 0.3)}, {1.0, Hex(kGold, 0.0)}});
  cairo_paint(c.cr());
  // Four thin points.
  if (spikes > 0) {
    const double a = c0 - 0.5, b = std::max(0.9, s * spikes);
    c.Polygon({{c0, c0 - a}, {c0 + b, c0 - b}, {c0 + a, c0}, {c0 + b, c0 + b},
               {c0, c0 + a}, {c0 - b, c0 + b}, {c0 - a, c0}, {c0 - b, c0 - b}});
    c.SetRadial(c0, c0, 0, a, {{0.0, Hex(0xFFFFFF)}, {0.5, Hex(kGoldPale, 0.95)}, {1.0, Hex(kGoldLight, 0.4)}});
    c.Fill();
  }
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), c0, c0, std::max(0.8, s * 0.09), 0, 2 * M_PI);
  c.SetColour(Hex(0xFFFFFF));
  c.Fill();
  return c.ToPicture();
}

}  // namespace

std::vector<ArtEntry> EffectsArt() {
  return {
      {"EFFECTS\\PAR_STAR1.bmp", [](FontLibrary&) { return Star(16, 0.08, kGoldPale); }},
      {"EFFECTS\\PAR_STAR2.bmp", [](FontLibrary&) { return Star(12, 0.08, kGoldLight); }},
      {"EFFECTS\\PAR_STAR3.bmp", [](FontLibrary&) { return Star(8, 0.0, 0xFFFFFF); }},
  };
}

std::vector<ArtEntry> AllArt() {
  std::vector<ArtEntry> all;
  for (auto* part : {&CommonArt, &DialogArt, &LobbyDialogArt, &EffectsArt, &CardArt, &PokerArt, &PlayerArt, &LobbyArt,
                     &SlotsArt, &HelpArt}) {
    auto v = (*part)();
    all.insert(all.end(), v.begin(), v.end());
  }
  std::sort(all.begin(), all.end(), [](const ArtEntry& a, const ArtEntry& b) { return a.key < b.key; });
  return all;
}

}  // namespace vx::datagen
