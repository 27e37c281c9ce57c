#pragma once
// Readers for the headers and structure of the two sound file kinds the game plays:
// RIFF/WAVE effects and Standard MIDI Files. They check a file before it is handed to the
// mixer and tell its length. Pure functions over bytes in memory; every size read from the
// data is checked against the data's length.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vx::audio {

enum class AudioFileKind { Unknown, Wave, Midi };

// Looks at the first bytes only.
AudioFileKind SniffAudioFile(const uint8_t* data, size_t size);

struct WaveInfo {
  uint16_t formatTag = 0;  // 1 = integer PCM, 3 = float
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  size_t dataOffset = 0;  // of the first sample byte
  size_t dataBytes = 0;
  double Seconds() const;
};

// PCM (8, 16, 24, 32-bit) or float (32-bit), 1..8 channels, 1 Hz..384 kHz.
bool ReadWaveInfo(const uint8_t* data, size_t size, WaveInfo& info, std::string* error = nullptr);

struct MidiInfo {
  int format = 0;
  int tracks = 0;
  int division = 0;         // ticks per quarter note, or the raw SMPTE word
  uint64_t lengthTicks = 0; // of the longest track
  double seconds = 0;       // with the file's tempo changes applied
  int notes = 0;            // note-on events with a velocity above 0
  int channelMask = 0;      // bit n set when channel n (0..15) carries notes
};

// Walks every event of every track; running status, sysex and meta events included.
bool ReadMidiInfo(const uint8_t* data, size_t size, MidiInfo& info, std::string* error = nullptr);

}  // namespace vx::audio
