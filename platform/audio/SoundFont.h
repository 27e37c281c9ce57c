#pragma once
// The General MIDI soundfont the music is rendered with, chosen explicitly among the
// system's own (never the mixer's default search, which points nowhere on Debian).
#include <string>
#include <vector>

namespace vx::audio {

// In order of preference.
const std::vector<std::string>& GeneralMidiSoundFontCandidates();
// The first candidate that exists as a regular file, or "".
std::string FindGeneralMidiSoundFont();

}  // namespace vx::audio
