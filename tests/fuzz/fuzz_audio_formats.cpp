// The WAV and MIDI readers that check every sound file before the mixer gets it.
#include <cstddef>
#include <cstdint>

#include "core/Log.h"
#include "platform/audio/AudioFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  vx::audio::WaveInfo wave;
  if (vx::audio::ReadWaveInfo(data, size, wave)) {
    // What the reader accepts must lie inside the input.
    if (wave.dataOffset > size || wave.dataBytes > size - wave.dataOffset) __builtin_trap();
    (void)wave.Seconds();
  }
  vx::audio::MidiInfo midi;
  (void)vx::audio::ReadMidiInfo(data, size, midi);
  (void)vx::audio::SniffAudioFile(data, size);
  return 0;
}
