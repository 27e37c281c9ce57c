#include "tools/soundgen/Wave.h"

#include <algorithm>
#include <cmath>

namespace vx::soundgen {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

size_t SampleAt(double seconds) { return seconds <= 0 ? 0 : size_t(std::llround(seconds * kSampleRate)); }

void EnsureLength(Buffer& b, size_t n) {
  if (b.size() < n) b.resize(n, 0.0f);
}

void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

// Band-pass biquad (constant skirt gain, peak gain Q), coefficients per the usual analogue
// prototype with the bilinear transform.
struct BandPass {
  double b0 = 0, b2 = 0, a1 = 0, a2 = 0, a0 = 1;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  void Set(double freq, double q) {
    freq = std::clamp(freq, 20.0, kSampleRate * 0.45);
    const double w = kTwoPi * freq / kSampleRate;
    const double alpha = std::sin(w) / (2 * q);
    a0 = 1 + alpha;
    b0 = alpha;
    b2 = -alpha;
    a1 = -2 * std::cos(w);
    a2 = 1 - alpha;
  }
  double Run(double x) {
    const double y = (b0 * x + b2 * x2 - a1 * y1 - a2 * y2) / a0;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};
}  // namespace

uint64_t Noise::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
float Noise::Unit() { return float(Next() >> 40) / float(1 << 24); }
float Noise::Uniform() { return Unit() * 2.0f - 1.0f; }

double NoteHz(int midiKey) { return 440.0 * std::pow(2.0, (midiKey - 69) / 12.0); }

double Envelope::At(double t, double length) const {
  if (t < 0 || t >= length) return 0;
  double v;
  if (t < attack) {
    v = t / attack;
  } else {
    const double d = t - attack;
    v = sustain + (1 - sustain) * (decay > 0 ? std::exp(-d / decay) : 0.0);
  }
  const double untilEnd = length - t;
  if (release > 0 && untilEnd < release) v *= untilEnd / release;
  return v;
}

void AddTone(Buffer& b, double start, double length, double freq, double amp, Shape shape,
             const Envelope& env, double glideTo, double bright, double vibrato) {
  const size_t s0 = SampleAt(start);
  const size_t n = SampleAt(length);
  EnsureLength(b, s0 + n);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    double f = freq;
    if (glideTo > 0) f = freq * std::pow(glideTo / freq, t / length);
    if (vibrato > 0) f *= 1 + vibrato * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 4);
    phase += f / kSampleRate;
    if (phase >= 1) phase -= std::floor(phase);
    double v = 0;
    const int harmonics = std::max(1, std::min(40, int(kSampleRate * 0.45 / f)));
    switch (shape) {
      case Shape::Sine: v = std::sin(kTwoPi * phase); break;
      case Shape::Triangle:
        for (int k = 1; k <= harmonics; k += 2) {
          v += ((k / 2) % 2 ? -1.0 : 1.0) * std::sin(kTwoPi * phase * k) / (double(k) * k);
        }
        v *= 8 / (kPi * kPi);
        break;
      case Shape::Square: {
        double w = 1;
        for (int k = 1; k <= harmonics; k += 2, w *= bright * bright) v += w * std::sin(kTwoPi * phase * k) / k;
        v *= 4 / kPi;
        break;
      }
      case Shape::Saw: {
        double w = 1;
        for (int k = 1; k <= harmonics; ++k, w *= bright) v += w * std::sin(kTwoPi * phase * k) / k;
        v *= 2 / kPi;
        break;
      }
    }
    b[s0 + i] += float(amp * env.At(t, length) * v);
  }
}

void AddBell(Buffer& b, double start, double freq, double amp, double decay, double ratio, double index) {
  const double length = std::min(decay * 6, 4.0);
  const size_t s0 = SampleAt(start);
  const size_t n = SampleAt(length);
  EnsureLength(b, s0 + n);
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double mod = index * std::exp(-t / (decay * 0.4)) * std::sin(kTwoPi * freq * ratio * t);
    const double attack = std::min(1.0, t / 0.002);
    const double v = std::sin(kTwoPi * freq * t + mod) + 0.25 * std::sin(kTwoPi * freq * 2.01 * t) * std::exp(-t / (decay * 0.5));
    const double fade = std::min(1.0, (length - t) / 0.05);
    b[s0 + i] += float(amp * attack * fade * std::exp(-t / decay) * v);
  }
}

void AddNoise(Buffer& b, Noise& noise, double start, double length, double amp, double f0, double f1,
              double q, const Envelope& env) {
  const size_t s0 = SampleAt(start);
  const size_t n = SampleAt(length);
  EnsureLength(b, s0 + n);
  BandPass bp;
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    if (i % 32 == 0) bp.Set(f0 * std::pow(f1 / f0, t / length), q);
    b[s0 + i] += float(amp * env.At(t, length) * bp.Run(noise.Uniform()));
  }
}

void AddClick(Buffer& b, Noise& noise, double start, double amp, double freq, double decay) {
  const double length = decay * 8;
  const size_t s0 = SampleAt(start);
  const size_t n = SampleAt(length);
  EnsureLength(b, s0 + n);
  BandPass bp;
  bp.Set(freq, 6);
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double excite = t < 0.0015 ? noise.Uniform() : 0.0;
    b[s0 + i] += float(amp * 4 * bp.Run(excite) * std::exp(-t / decay) + amp * 0.3 * excite);
  }
}

void AddReverb(Buffer& b, double wet, double roomSize) {
  const size_t tail = SampleAt(0.3 + 1.2 * roomSize);
  b.resize(b.size() + tail, 0.0f);
  const double combMs[4] = {29.7, 37.1, 41.1, 43.7};
  const double feedback = 0.70 + 0.14 * std::clamp(roomSize, 0.0, 1.0);
  Buffer out(b.size(), 0.0f);
  for (double ms : combMs) {
    const size_t d = SampleAt(ms / 1000.0);
    std::vector<double> line(d, 0.0);
    double damp = 0;
    size_t pos = 0;
    for (size_t i = 0; i < b.size(); ++i) {
      const double y = line[pos];
      damp = y * 0.6 + damp * 0.4;  // high frequencies die first, as in a real room
      line[pos] = b[i] + damp * feedback;
      pos = (pos + 1) % d;
      out[i] += float(y * 0.25);
    }
  }
  for (double ms : {5.0, 1.7}) {
    const size_t d = SampleAt(ms / 1000.0);
    std::vector<double> line(d, 0.0);
    size_t pos = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const double buf = line[pos];
      const double x = out[i];
      const double y = -0.7 * x + buf;
      line[pos] = x + 0.7 * y;
      pos = (pos + 1) % d;
      out[i] = float(y);
    }
  }
  for (size_t i = 0; i < b.size(); ++i) b[i] = float(b[i] * (1 - wet * 0.5) + out[i] * wet);
}

void Finish(Buffer& b, double peak) {
  float maxAbs = 0;
  for (float v : b) maxAbs = std::max(maxAbs, std::fabs(v));
  if (maxAbs <= 0) return;
  // Drop the inaudible end of the tail.
  const float floor = maxAbs * 0.002f;  // -54 dB
  size_t end = b.size();
  while (end > 0 && std::fabs(b[end - 1]) < floor) --end;
  b.resize(end);
  const float scale = float(peak) / maxAbs;
  for (float& v : b) v *= scale;
  const size_t fadeIn = std::min(b.size(), SampleAt(0.001));
  for (size_t i = 0; i < fadeIn; ++i) b[i] *= float(i) / float(fadeIn);
  const size_t fadeOut = std::min(b.size(), SampleAt(0.015));
  for (size_t i = 0; i < fadeOut; ++i) b[b.size() - 1 - i] *= float(i) / float(fadeOut);
}

std::string WaveBytes(const Buffer& b) {
  std::string s;
  const uint32_t dataBytes = uint32_t(b.size() * 2);
  s.reserve(44 + dataBytes);
  s += "RIFF";
  PutLe(s, 36 + dataBytes, 4);
  s += "WAVEfmt ";
  PutLe(s, 16, 4);
  PutLe(s, 1, 2);  // PCM
  PutLe(s, 1, 2);  // mono
  PutLe(s, kSampleRate, 4);
  PutLe(s, kSampleRate * 2, 4);
  PutLe(s, 2, 2);
  PutLe(s, 16, 2);
  s += "data";
  PutLe(s, dataBytes, 4);
  for (float v : b) {
    const long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    PutLe(s, uint32_t(int16_t(q)) & 0xFFFF, 2);
  }
  return s;
}

}  // namespace vx::soundgen
