#pragma once
// Sample-level helpers of the mixer back end: decibel gains and the per-channel gain stage
// that runs on the audio thread for every effect that sounds.
#include <cstddef>
#include <cstdint>

namespace vx::audio {

// Linear amplitude of an attenuation in hundredths of a decibel (0 -> 1.0, -2000 -> 0.1).
float GainFromHundredthsDb(int hundredthsDb);

// Left and right gains of a path: its volume, its balance (negative attenuates the right
// side, positive the left, in hundredths of a decibel) and a source position with the
// listener at the origin facing +z (distance attenuation beyond one unit, lateral balance).
struct StereoGain {
  float left = 1;
  float right = 1;
};
StereoGain PathGain(int volumeHundredthsDb, int panHundredthsDb, float x, float y, float z);

// Multiplies interleaved 16-bit stereo frames by the two gains, saturating. With `mono` set
// both sides first take their average.
void ApplyGainS16Stereo(int16_t* samples, size_t frames, float left, float right, bool mono);

}  // namespace vx::audio
