// The shipped "settings.xml": a fresh settings object has everything off, so this file is
// where the game's own choice lives: sound and music on at full volume.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tools/datagen/Generator.h"

namespace vx::datagen {

namespace {

// The persistence layer writes properties sorted by name, comparing bytes with bit 5
// cleared (so letters ignore case, digits sort first, "_" after letters), shorter first.
bool PropertyLess(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned ca = static_cast<unsigned char>(a[i]) & 0xDF, cb = static_cast<unsigned char>(b[i]) & 0xDF;
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

}  // namespace

std::string DefaultSettingsXml() {
  // Everything off or 0 as on a fresh object, except what every load forces (smoothing and
  // vertical sync on), and sound and music on at full volume so a new player hears the game.
  std::vector<std::pair<std::string, std::string>> props = {
      {"optFullScreen", "False"},        {"optMouseTrail", "False"},
      {"optSoundEnabled", "True"},       {"optMusicEnabled", "True"},
      {"optSoundVolume", "100"},         {"optMusicVolume", "100"},
      {"optAntialias", "True"},          {"optVSync", "True"},
      {"optParticleEffects", "False"},   {"optCardEffects", "False"},
      {"optSceneEffects", "False"},      {"optAutoLoginPlayerName", ""},
      {"optAutoLoginPlayerPassword", ""},
  };
  std::sort(props.begin(), props.end(), [](const auto& x, const auto& y) { return PropertyLess(x.first, y.first); });
  std::string xml = "<VXSetting>";
  for (const auto& [name, value] : props) xml += "<" + name + ">" + value + "</" + name + ">\r\n";
  xml += "</VXSetting>";
  return xml;
}

}  // namespace vx::datagen
