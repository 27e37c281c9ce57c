// The sixteen effects. Each is a short sketch in the synthesis kit of Wave.h; levels are
// set by Finish so that every effect peaks at the same height.
#include <cmath>
#include <functional>
#include <map>

#include "tools/soundgen/SoundGen.h"
#include "tools/soundgen/Wave.h"

namespace vx::soundgen {

namespace {

// Keys of the notes used (MIDI numbers): C4 = 60.
constexpr int C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79, A5 = 81, B5 = 83;
constexpr int C6 = 84, D6 = 86, E6 = 88, G6 = 91, A6 = 93, C7 = 96;

constexpr double kPeak = 0.70;  // about -3 dB below full scale

// A card leaving the deck and landing: a bright swish, then a soft tap.
Buffer Deal() {
  Buffer b;
  Noise n(11);
  AddNoise(b, n, 0.0, 0.07, 1.0, 2500, 6000, 1.2, {0.004, 0.025, 0, 0, 0.02});
  AddTone(b, 0.055, 0.05, 180, 0.35, Shape::Sine, {0.001, 0.012, 0, 0, 0.01}, 120);
  AddClick(b, n, 0.058, 0.25, 3200, 0.006);
  return b;
}

// A card flipped over: a longer swish with a snap at its end.
Buffer Draw() {
  Buffer b;
  Noise n(12);
  AddNoise(b, n, 0.0, 0.11, 0.9, 1800, 7000, 0.9, {0.02, 0.06, 0, 0, 0.03});
  AddClick(b, n, 0.095, 0.5, 2400, 0.008);
  AddTone(b, 0.095, 0.04, 220, 0.25, Shape::Sine, {0.001, 0.01, 0, 0, 0.01}, 150);
  return b;
}

// Holding a card: a short wooden tock.
Buffer Hold() {
  Buffer b;
  Noise n(13);
  AddTone(b, 0.0, 0.09, 1500, 0.8, Shape::Sine, {0.001, 0.022, 0, 0, 0.02}, 1100);
  AddTone(b, 0.0, 0.05, 3000, 0.2, Shape::Sine, {0.001, 0.01, 0, 0, 0.01}, 2300);
  AddClick(b, n, 0.0, 0.2, 2000, 0.004);
  return b;
}

// The machine holding cards by itself: two quick rising blips.
Buffer AutoHold() {
  Buffer b;
  const Envelope blip{0.003, 0.05, 0, 0, 0.02};
  AddTone(b, 0.0, 0.08, NoteHz(B5), 0.7, Shape::Triangle, blip);
  AddTone(b, 0.07, 0.14, NoteHz(E6), 0.7, Shape::Triangle, {0.003, 0.07, 0, 0, 0.04});
  AddReverb(b, 0.15, 0.2);
  return b;
}

// A chip put down on another: two ceramic clicks.
Buffer Bet() {
  Buffer b;
  Noise n(14);
  for (int i = 0; i < 2; ++i) {
    const double t = i * 0.065;
    const double a = i == 0 ? 1.0 : 0.7;
    AddClick(b, n, t, 0.5 * a, 5200, 0.01);
    for (double f : {3100.0, 4700.0, 6900.0}) {
      AddTone(b, t, 0.06, f * (1 - 0.03 * i), 0.16 * a, Shape::Sine, {0.0005, 0.012, 0, 0, 0.01});
    }
  }
  AddReverb(b, 0.08, 0.1);
  return b;
}

// A menu choice: a soft rising pop.
Buffer Menu() {
  Buffer b;
  AddTone(b, 0.0, 0.07, 900, 0.8, Shape::Sine, {0.002, 0.02, 0, 0, 0.02}, 1300);
  AddTone(b, 0.0, 0.05, 1800, 0.12, Shape::Sine, {0.002, 0.012, 0, 0, 0.01}, 2600);
  return b;
}

// A win: a bright arpeggio of C major, ringing.
Buffer Win() {
  Buffer b;
  const int notes[] = {C5, E5, G5, C6};
  for (int i = 0; i < 4; ++i) {
    const double t = i * 0.085;
    AddTone(b, t, 0.45, NoteHz(notes[i]), 0.35, Shape::Triangle, {0.003, 0.16, 0, 0, 0.1});
    AddBell(b, t, NoteHz(notes[i] + 12), 0.07, 0.18, 3.0, 1.0);
  }
  AddReverb(b, 0.25, 0.4);
  return b;
}

// A brass section answering a big win: a triplet pickup into a held major chord.
Buffer WinBig() {
  Buffer b;
  const Envelope brass{0.03, 0.4, 0.6, 0, 0.12};
  const double beat = 0.11;
  const int pickup[] = {G5 - 12, G5 - 12, G5 - 12, C5};
  for (int i = 0; i < 4; ++i) {
    const double len = i < 3 ? beat * 0.9 : beat * 2.6;
    AddTone(b, i * beat, len, NoteHz(pickup[i]), 0.3, Shape::Saw, brass, 0, 0.62, 0.002);
  }
  const double t = 4 * beat + 0.18;
  for (int k : {C5, E5, G5, C6}) {
    AddTone(b, t, 1.0, NoteHz(k), 0.22, Shape::Saw, {0.04, 0.6, 0.55, 0, 0.3}, 0, 0.6, 0.004);
  }
  AddTone(b, t, 1.0, NoteHz(C5 - 24), 0.3, Shape::Triangle, {0.02, 0.5, 0.5, 0, 0.3});
  Noise n(15);
  AddNoise(b, n, t, 0.9, 0.12, 5000, 8000, 1.2, {0.002, 0.3, 0, 0, 0.2});  // cymbal
  AddReverb(b, 0.3, 0.6);
  return b;
}

// The jackpot: a fast run of bells up two octaves, a held bell chord and falling coins.
Buffer WinJackpot() {
  Buffer b;
  const int scale[] = {C5, D5, E5, G5, A5, C6, D6, E6, G6, A6, C7};
  for (int i = 0; i < 11; ++i) AddBell(b, i * 0.06, NoteHz(scale[i]), 0.25, 0.35, 3.5, 1.8);
  const double t = 11 * 0.06 + 0.05;
  for (int k : {C6, E6, G6}) AddBell(b, t, NoteHz(k), 0.3, 0.9, 3.5, 1.5);
  for (int k : {C5, G5}) AddTone(b, t, 1.6, NoteHz(k), 0.18, Shape::Triangle, {0.01, 0.8, 0.3, 0, 0.5});
  Noise n(16);
  for (int i = 0; i < 18; ++i) {
    const double ct = t + 0.1 + i * 0.07 + n.Unit() * 0.03;
    AddBell(b, ct, 2600 + 1400 * n.Unit(), 0.06, 0.05, 2.3, 1.0);
  }
  AddReverb(b, 0.3, 0.7);
  return b;
}

// Something is about to be won: a rising, trembling sweep that swells.
Buffer WinPre() {
  Buffer b;
  const size_t start = b.size();
  AddTone(b, 0.0, 0.6, 330, 0.5, Shape::Triangle, {0.25, 10, 1, 0, 0.06}, 1320);
  AddTone(b, 0.0, 0.6, 495, 0.25, Shape::Triangle, {0.3, 10, 1, 0, 0.06}, 1980);
  for (size_t i = start; i < b.size(); ++i) {  // tremolo
    const double t = double(i) / kSampleRate;
    b[i] *= float(0.75 + 0.25 * std::sin(2 * 3.14159265358979 * 14 * t));
  }
  AddReverb(b, 0.2, 0.3);
  return b;
}

// The jackpot meter grows: a coin's double ding.
Buffer JackpotAdd() {
  Buffer b;
  AddBell(b, 0.0, NoteHz(B5), 0.5, 0.12, 2.0, 1.2);
  AddBell(b, 0.08, NoteHz(E6), 0.5, 0.22, 2.0, 1.2);
  AddReverb(b, 0.15, 0.3);
  return b;
}

// A double-up won: two cheerful rising notes.
Buffer DupWin() {
  Buffer b;
  const Envelope pluck{0.003, 0.12, 0.2, 0, 0.06};
  AddTone(b, 0.0, 0.12, NoteHz(G5), 0.4, Shape::Square, pluck, 0, 0.55);
  AddTone(b, 0.11, 0.3, NoteHz(C6), 0.4, Shape::Square, pluck, 0, 0.55);
  AddBell(b, 0.11, NoteHz(C6 + 12), 0.1, 0.15, 3.0, 1.0);
  AddReverb(b, 0.2, 0.35);
  return b;
}

// A double-up lost: a falling, sighing pair of muted brass notes.
Buffer DupLose() {
  Buffer b;
  const Envelope wah{0.04, 0.5, 0.7, 0, 0.12};
  AddTone(b, 0.0, 0.28, NoteHz(64 - 12), 0.45, Shape::Saw, wah, NoteHz(63 - 12), 0.5, 0.006);
  AddTone(b, 0.3, 0.55, NoteHz(60 - 12), 0.45, Shape::Saw, wah, NoteHz(59 - 12), 0.45, 0.012);
  AddReverb(b, 0.15, 0.35);
  return b;
}

// Leaving the double-up with the winnings: a short cadence that lands on the tonic.
Buffer DupWinEnd() {
  Buffer b;
  const int notes[] = {F5, G5, C6};
  for (int i = 0; i < 3; ++i) {
    const double len = i < 2 ? 0.14 : 0.7;
    AddTone(b, i * 0.13, len, NoteHz(notes[i]), 0.35, Shape::Triangle, {0.004, 0.25, 0.3, 0, 0.15});
  }
  for (int k : {C5, E5, G5}) AddTone(b, 0.26, 0.7, NoteHz(k), 0.18, Shape::Triangle, {0.01, 0.3, 0.3, 0, 0.2});
  AddBell(b, 0.26, NoteHz(C6 + 12), 0.12, 0.3, 3.5, 1.2);
  AddReverb(b, 0.25, 0.45);
  return b;
}

// A special double-up win: a sparkling pentatonic glissando and a bell chord.
Buffer DupWinSpecial() {
  Buffer b;
  const int scale[] = {C5, D5, E5, G5, A5, C6, D6, E6, G6, A6, C7, E6, G6, C7};
  for (int i = 0; i < 14; ++i) {
    AddTone(b, i * 0.045, 0.25, NoteHz(scale[i]), 0.22, Shape::Triangle, {0.002, 0.08, 0, 0, 0.05});
  }
  const double t = 14 * 0.045;
  for (int k : {C6, E6, G6, C7}) AddBell(b, t, NoteHz(k), 0.2, 0.45, 3.5, 1.4);
  AddReverb(b, 0.3, 0.6);
  return b;
}

// A rocket whistles up and bursts; embers crackle as they fall.
Buffer Fireworks() {
  Buffer b;
  Noise n(17);
  AddTone(b, 0.0, 0.55, 700, 0.3, Shape::Sine, {0.05, 10, 1, 0, 0.05}, 2300);
  AddNoise(b, n, 0.0, 0.55, 0.3, 1500, 4000, 2.0, {0.1, 10, 1, 0, 0.05});
  const double t = 0.58;
  AddNoise(b, n, t, 0.7, 1.3, 180, 90, 0.7, {0.002, 0.12, 0, 0, 0.2});    // the thump
  AddNoise(b, n, t, 0.5, 0.5, 2500, 1200, 0.6, {0.002, 0.08, 0, 0, 0.1}); // the bang's edge
  for (int i = 0; i < 40; ++i) {
    const double ct = t + 0.05 + n.Unit() * 0.9;
    AddClick(b, n, ct, 0.12 * (1.0 - (ct - t) / 1.1), 2000 + 5000 * n.Unit(), 0.003);
  }
  AddReverb(b, 0.3, 0.8);
  return b;
}

const std::map<std::string, std::function<Buffer()>>& Recipes() {
  static const std::map<std::string, std::function<Buffer()>> recipes = {
      {"SND_AUTOHOLD", AutoHold}, {"SND_BET", Bet},
      {"SND_DEAL", Deal},         {"SND_DRAW", Draw},
      {"SND_DUPLOSE", DupLose},   {"SND_DUPWIN", DupWin},
      {"SND_DUPWINEND", DupWinEnd}, {"SND_DUPWINSPECIAL", DupWinSpecial},
      {"SND_FIREWORKS", Fireworks}, {"SND_HOLD", Hold},
      {"SND_JACKPOTADD", JackpotAdd}, {"SND_MENU", Menu},
      {"SND_WIN", Win},           {"SND_WINBIG", WinBig},
      {"SND_WINJACKPOT", WinJackpot}, {"SND_WINPRE", WinPre},
  };
  return recipes;
}

}  // namespace

const std::vector<std::string>& EffectNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const auto& [name, make] : Recipes()) v.push_back(name);
    return v;
  }();
  return names;
}

std::string MakeEffect(const std::string& name) {
  auto it = Recipes().find(name);
  if (it == Recipes().end()) return {};
  Buffer b = it->second();
  Finish(b, kPeak);
  return WaveBytes(b);
}

}  // namespace vx::soundgen
