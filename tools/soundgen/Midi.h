#pragma once
// Standard MIDI File writer (format 1): a conductor track with tempo and metre, then one
// track per instrument with its set-up controllers and notes.
#include <cstdint>
#include <string>
#include <vector>

namespace vx::soundgen {

struct MidiNote {
  uint32_t tick = 0;
  uint32_t length = 0;
  int key = 60;
  int velocity = 90;
};

struct MidiTrack {
  std::string name;
  int channel = 0;  // 0..15; 9 is the drum kit
  int program = 0;  // General MIDI program, 0-based; ignored on channel 9
  int volume = 100;
  int pan = 64;
  int reverb = 40;
  int chorus = 0;
  std::vector<MidiNote> notes;
};

struct MidiSong {
  std::string name;
  int ticksPerQuarter = 480;
  double bpm = 120;
  int beatsPerBar = 4;
  uint32_t lengthTicks = 0;  // every track ends here, so the loop point is exact
  std::vector<MidiTrack> tracks;
};

std::string MidiBytes(const MidiSong& song);

}  // namespace vx::soundgen
