#include "platform/audio/AudioMix.h"

#include <algorithm>
#include <cmath>

namespace vx::audio {

float GainFromHundredthsDb(int hundredthsDb) {
  if (hundredthsDb >= 0) return 1.0f;
  return float(std::pow(10.0, double(hundredthsDb) / 2000.0));
}

StereoGain PathGain(int volumeHundredthsDb, int panHundredthsDb, float x, float y, float z) {
  const float g = GainFromHundredthsDb(volumeHundredthsDb);
  StereoGain s{g, g};
  if (panHundredthsDb > 0) s.left *= GainFromHundredthsDb(-panHundredthsDb);
  if (panHundredthsDb < 0) s.right *= GainFromHundredthsDb(panHundredthsDb);
  const double d = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  if (std::isfinite(d) && d > 1.0) {
    const float falloff = float(1.0 / d);
    // Lateral position: -1 fully left .. +1 fully right; the far side fades out.
    const float lateral = float(std::clamp(double(x) / d, -1.0, 1.0));
    s.left *= falloff * std::min(1.0f, 1.0f - lateral);
    s.right *= falloff * std::min(1.0f, 1.0f + lateral);
  } else if (!std::isfinite(d)) {
    s.left = s.right = 0;
  }
  return s;
}

void ApplyGainS16Stereo(int16_t* samples, size_t frames, float left, float right, bool mono) {
  // Fixed point with 15 fractional bits keeps the loop integer-only and vectorisable.
  const int32_t gl = int32_t(std::lround(std::clamp(left, 0.0f, 1.0f) * 32768.0f));
  const int32_t gr = int32_t(std::lround(std::clamp(right, 0.0f, 1.0f) * 32768.0f));
  for (size_t i = 0; i < frames; ++i) {
    int32_t l = samples[2 * i];
    int32_t r = samples[2 * i + 1];
    if (mono) l = r = (l + r) >> 1;
    l = (l * gl) >> 15;
    r = (r * gr) >> 15;
    samples[2 * i] = int16_t(std::clamp(l, -32768, 32767));
    samples[2 * i + 1] = int16_t(std::clamp(r, -32768, 32767));
  }
}

}  // namespace vx::audio
