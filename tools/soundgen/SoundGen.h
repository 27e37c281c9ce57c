#pragma once
// Makes the game's sound effects (WAV) and music (General MIDI files) from code. Output is
// deterministic: the same bytes on every run.
#include <string>
#include <vector>

namespace vx::soundgen {

// "SND_BET", "SND_DEAL", ... (file name: name + ".wav").
const std::vector<std::string>& EffectNames();
// "music_MAIN_1", "music_ROCK_2", ... (file name: name + ".mid").
const std::vector<std::string>& TuneNames();

// The file's bytes; "" for an unknown name.
std::string MakeEffect(const std::string& name);
std::string MakeTune(const std::string& name);

// Writes every effect and tune into `folder` (created when missing). False with a reason on
// the first failure.
bool WriteSoundFiles(const std::string& folder, std::string* error = nullptr);

}  // namespace vx::soundgen
