#include "platform/audio/SoundFont.h"

#include <sys/stat.h>

namespace vx::audio {

const std::vector<std::string>& GeneralMidiSoundFontCandidates() {
  // TimGM6mb first: it is the one the project installs, so every machine sounds the same,
  // and it is small enough to load at every change of track without a pause.
  static const std::vector<std::string> list = {
      "/usr/share/sounds/sf2/TimGM6mb.sf2",
      "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
  };
  return list;
}

std::string FindGeneralMidiSoundFont() {
  for (const std::string& path : GeneralMidiSoundFontCandidates()) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return {};
}

}  // namespace vx::audio
