#pragma once
// Sample buffers, the small synthesis kit the effects are made of, and the WAV writer.
#include <cstdint>
#include <string>
#include <vector>

namespace vx::soundgen {

constexpr int kSampleRate = 44100;
using Buffer = std::vector<float>;

// Deterministic noise and choices (splitmix64).
class Noise {
public:
  explicit Noise(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  float Uniform();  // -1..1
  float Unit();     // 0..1

private:
  uint64_t state_;
};

enum class Shape { Sine, Triangle, Square, Saw };

// An attack/decay/sustain/release envelope; the decay is exponential towards `sustain`.
struct Envelope {
  double attack = 0.005;
  double decay = 0.2;  // time constant
  double sustain = 0;
  double hold = 0;     // seconds at the sustain level before release
  double release = 0.05;
  double At(double t, double length) const;
};

// Adds a band-limited tone. `glideTo` > 0 slides the pitch exponentially over the note.
// `bright` (0..1) scales the upper harmonics of the richer shapes.
void AddTone(Buffer& b, double start, double length, double freq, double amp, Shape shape,
             const Envelope& env, double glideTo = 0, double bright = 1, double vibrato = 0);

// A two-operator FM bell: inharmonic partials that decay, the way struck metal sounds.
void AddBell(Buffer& b, double start, double freq, double amp, double decay, double ratio = 3.5,
             double index = 2.0);

// Filtered noise with an envelope; the band-pass centre glides from `f0` to `f1`.
void AddNoise(Buffer& b, Noise& n, double start, double length, double amp, double f0, double f1,
              double q, const Envelope& env);

// A short resonant click (a chip, a card edge).
void AddClick(Buffer& b, Noise& n, double start, double amp, double freq, double decay);

// A small room: a few feedback combs and all-passes, mixed in at `wet`.
void AddReverb(Buffer& b, double wet, double roomSize = 0.6);

// Scales to `peak` (linear), fades the ends to avoid clicks.
void Finish(Buffer& b, double peak);

// 16-bit mono PCM RIFF/WAVE.
std::string WaveBytes(const Buffer& b);

double NoteHz(int midiKey);

}  // namespace vx::soundgen
