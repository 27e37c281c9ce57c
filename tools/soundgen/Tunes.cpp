// The seven tunes, composed by rule: a chord chart per tune, accompaniment patterns per
// style, and melodies made of motifs that repeat and answer each other over the chords.
// Every tune ends on a bar line after a turnaround that leads back to its first bar, so it
// loops without a seam.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>

#include "tools/soundgen/Midi.h"
#include "tools/soundgen/SoundGen.h"
#include "tools/soundgen/Wave.h"

namespace vx::soundgen {

namespace {

constexpr uint32_t Q = 480;  // ticks per quarter note
constexpr uint32_t E = Q / 2;
constexpr uint32_t S = Q / 4;
constexpr uint32_t BAR = 4 * Q;

// ---------------------------------------------------------------------------------------
// Chords

struct Chord {
  int root = 0;            // pitch class
  std::vector<int> tones;  // intervals above the root
};

Chord ParseChord(const std::string& name) {
  static const std::map<char, int> letters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
  Chord c;
  size_t i = 0;
  c.root = letters.at(name[i++]);
  if (i < name.size() && (name[i] == 'b' || name[i] == '#')) c.root = (c.root + (name[i++] == 'b' ? 11 : 1)) % 12;
  const std::string q = name.substr(i);
  static const std::map<std::string, std::vector<int>> qualities = {
      {"", {0, 4, 7}},         {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},     {"maj7", {0, 4, 7, 11}},
      {"m7", {0, 3, 7, 10}},   {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},     {"9", {0, 4, 7, 10, 14}},
      {"sus4", {0, 5, 7}},     {"m7b5", {0, 3, 6, 10}},  {"dim", {0, 3, 6, 9}},    {"5", {0, 7}},
      {"add9", {0, 4, 7, 14}}, {"m9", {0, 3, 7, 10, 14}}, {"maj9", {0, 4, 7, 11, 14}},
  };
  c.tones = qualities.at(q);
  return c;
}

// A chart: one entry per bar; an entry may hold several chords ("Cm7 F7"), which share the bar.
struct Chart {
  std::vector<std::vector<Chord>> bars;
  void Add(const std::string& line) {
    std::istringstream in(line);
    std::string bar;
    while (std::getline(in, bar, '|')) {
      std::istringstream words(bar);
      std::vector<Chord> chords;
      std::string w;
      while (words >> w) chords.push_back(ParseChord(w));
      if (!chords.empty()) bars.push_back(chords);
    }
  }
  int Bars() const { return int(bars.size()); }
  const Chord& At(uint32_t tick) const {
    const auto& bar = bars[std::min<size_t>(tick / BAR, bars.size() - 1)];
    const size_t part = size_t(tick % BAR) * bar.size() / BAR;
    return bar[part];
  }
};

bool InSet(int key, int root, const std::vector<int>& intervals) {
  for (int i : intervals) {
    if (((key - root - i) % 12 + 12) % 12 == 0) return true;
  }
  return false;
}

// The key of `set` (pitch classes as root + intervals) nearest to `target` in [low, high].
int Nearest(int target, int root, const std::vector<int>& intervals, int low, int high) {
  target = std::clamp(target, low, high);
  for (int d = 0; d < 12; ++d) {
    for (int k : {target - d, target + d}) {
      if (k >= low && k <= high && InSet(k, root, intervals)) return k;
    }
  }
  return target;
}

// ---------------------------------------------------------------------------------------
// Building blocks

struct Tune {
  MidiSong song;
  Chart chart;
  Noise rng{1};
  int keyRoot = 0;
  // Scales every track's volume: the mix peaks about 4 dB under full scale, leaving room
  // for the effects that play over it.
  double master = 0.78;
  std::vector<int> scale = {0, 2, 4, 5, 7, 9, 11};

  // Tracks are handed out by reference: room for all of them is made at once.
  Tune() { song.tracks.reserve(16); }

  MidiTrack& Track(const std::string& name, int channel, int program, int volume, int pan, int reverb, int chorus = 0) {
    if (song.tracks.size() == song.tracks.capacity()) throw std::logic_error("too many tracks");
    MidiTrack t;
    t.name = name;
    t.channel = channel;
    t.program = program;
    t.volume = int(std::lround(volume * master));
    t.pan = pan;
    t.reverb = reverb;
    t.chorus = chorus;
    song.tracks.push_back(t);
    return song.tracks.back();
  }

  // A touch of human timing and dynamics keeps repeated patterns from sounding stamped.
  int Humanise(int velocity, int spread = 6) { return velocity + int(rng.Uniform() * spread); }

  void Note(MidiTrack& t, uint32_t tick, uint32_t length, int key, int velocity) {
    t.notes.push_back({tick, length, key, std::clamp(Humanise(velocity), 1, 127)});
  }

  // A drum line over one bar: one character per step, 'X' accent, 'x' normal, 'g' ghost.
  void Drums(MidiTrack& t, uint32_t barTick, int key, const std::string& steps, uint32_t step, int velocity = 90) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const char c = steps[i];
      if (c == '.' || c == ' ') continue;
      const int v = c == 'X' ? velocity + 20 : c == 'g' ? velocity / 2 : velocity;
      Note(t, barTick + uint32_t(i) * step, step, key, v);
    }
  }

  // A chord voiced close above `low`, tones sorted, at most `count` of them.
  std::vector<int> Voicing(const Chord& c, int low, int count) {
    std::vector<int> keys;
    for (int i : c.tones) {
      int k = low + ((c.root + i - low) % 12 + 12) % 12;
      keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    if (int(keys.size()) > count) keys.resize(size_t(count));
    return keys;
  }

  void Strike(MidiTrack& t, uint32_t tick, uint32_t length, const std::vector<int>& keys, int velocity,
              uint32_t strum = 0) {
    for (size_t i = 0; i < keys.size(); ++i) Note(t, tick + uint32_t(i) * strum, length, keys[i], velocity);
  }

  int RootIn(const Chord& c, int low) { return low + ((c.root - low) % 12 + 12) % 12; }

  // Melody ----------------------------------------------------------------------------
  struct Onset {
    uint32_t at;      // from the motif's start
    uint32_t length;
  };
  struct Motif {
    std::vector<Onset> rhythm;
    std::vector<int> contour;  // semitones from the first note
  };

  // Makes a motif over the chords at `start`: strong beats take chord tones, the rest move
  // by scale steps, the line turns at the edges of its range.
  Motif MakeMotif(const std::vector<Onset>& rhythm, uint32_t start, int startKey, int low, int high) {
    Motif m;
    m.rhythm = rhythm;
    int prev = startKey;
    int dir = rng.Unit() < 0.5 ? -1 : 1;
    int first = 0;
    for (size_t i = 0; i < rhythm.size(); ++i) {
      const uint32_t t = start + rhythm[i].at;
      const Chord& c = chart.At(t);
      int k;
      if (i == 0) {
        k = Nearest(prev, c.root, c.tones, low, high);
        first = k;
      } else {
        const bool strong = (t % (2 * Q)) == 0 || rhythm[i].length >= Q;
        if (rng.Unit() < 0.3) dir = -dir;
        if (prev >= high - 2) dir = -1;
        if (prev <= low + 2) dir = 1;
        const int leap = strong ? 1 + int(rng.Unit() * 4) : 1 + int(rng.Unit() * 2);
        if (strong) {
          k = Nearest(prev + dir * leap, c.root, c.tones, low, high);
        } else {
          k = Nearest(prev + dir * leap, keyRoot, scale, low, high);
        }
      }
      m.contour.push_back(k - first);
      prev = k;
    }
    return m;
  }

  // Plays a motif from `start`, its first note fitted to the chord there and the rest
  // following the contour, fitted to chord or scale.
  int PlayMotif(MidiTrack& t, const Motif& m, uint32_t start, int startKey, int low, int high, int velocity,
                double legato = 0.9) {
    const Chord& c0 = chart.At(start + m.rhythm[0].at);
    const int first = Nearest(startKey, c0.root, c0.tones, low, high);
    int last = first;
    for (size_t i = 0; i < m.rhythm.size(); ++i) {
      const uint32_t at = start + m.rhythm[i].at;
      const Chord& c = chart.At(at);
      const bool strong = (at % (2 * Q)) == 0 || m.rhythm[i].length >= Q;
      const int target = first + m.contour[i];
      const int k = strong ? Nearest(target, c.root, c.tones, low, high) : Nearest(target, keyRoot, scale, low, high);
      const int accent = (at % BAR) == 0 ? 8 : (at % Q) == 0 ? 3 : 0;
      Note(t, at, uint32_t(m.rhythm[i].length * legato), k, velocity + accent);
      last = k;
    }
    return last;
  }

  // An eight-bar tune in the pattern a a' b cadence, made of two-bar motifs.
  void Phrase8(MidiTrack& t, uint32_t start, const std::vector<Onset>& rhythmA, const std::vector<Onset>& rhythmB,
               const std::vector<Onset>& cadence, int center, int low, int high, int velocity, Motif* keepA = nullptr) {
    Motif a = keepA && !keepA->rhythm.empty() ? *keepA : MakeMotif(rhythmA, start, center, low, high);
    if (keepA) *keepA = a;
    int k = PlayMotif(t, a, start, center, low, high, velocity);
    k = PlayMotif(t, a, start + 2 * BAR, k + 2, low, high, velocity);
    Motif b = MakeMotif(rhythmB, start + 4 * BAR, k, low, high);
    k = PlayMotif(t, b, start + 4 * BAR, k, low, high, velocity);
    Motif c = MakeMotif(cadence, start + 6 * BAR, k, low, high);
    // The phrase comes to rest on the chord's root.
    c.contour.back() = 0;
    const Chord& end = chart.At(start + 6 * BAR + cadence.back().at);
    const int firstKey = Nearest(k, chart.At(start + 6 * BAR + cadence[0].at).root,
                                 chart.At(start + 6 * BAR + cadence[0].at).tones, low, high);
    c.contour.back() = Nearest(firstKey, end.root, {0}, low, high) - firstKey;
    PlayMotif(t, c, start + 6 * BAR, k, low, high, velocity);
  }
};

std::vector<Tune::Onset> Rhythm(const std::string& grid, uint32_t step) {
  // 'x' starts a note, '-' holds it, '.' rests.
  std::vector<Tune::Onset> r;
  for (size_t i = 0; i < grid.size(); ++i) {
    if (grid[i] == 'x') r.push_back({uint32_t(i) * step, step});
    if (grid[i] == '-' && !r.empty()) r.back().length += step;
  }
  return r;
}

void Finish(Tune& t) { t.song.lengthTicks = uint32_t(t.chart.Bars()) * BAR; }

// ---------------------------------------------------------------------------------------
// The lobby: a relaxed bossa with Rhodes, vibraphone, soft bass and brushes.

MidiSong MainTheme() {
  Tune t;
  t.song.name = "Lobby";
  t.song.bpm = 104;
  t.rng = Noise(101);
  t.keyRoot = 5;  // F major
  const std::string a = "Fmaj7|Dm7|Gm7|C7|Fmaj7|Bbmaj7|Gm7|C7|";
  const std::string b = "Bbmaj7|Bbm6|Am7|D7|Gm7|C7|Fmaj7|Gm7 C7|";
  t.chart.Add(a + a + b + a);
  auto& piano = t.Track("Rhodes", 0, 4, 82, 50, 50, 20);
  auto& vibes = t.Track("Vibraphone", 1, 11, 100, 78, 60);
  auto& bass = t.Track("Bass", 2, 35, 100, 64, 20);
  auto& pad = t.Track("Strings", 3, 49, 55, 64, 70);
  auto& drums = t.Track("Drums", 9, 0, 80, 64, 40);
  for (int bar = 0; bar < t.chart.Bars(); ++bar) {
    const uint32_t b0 = uint32_t(bar) * BAR;
    const auto& chords = t.chart.bars[size_t(bar)];
    for (size_t ci = 0; ci < chords.size(); ++ci) {
      const Chord& c = chords[ci];
      const uint32_t c0 = b0 + uint32_t(ci) * BAR / uint32_t(chords.size());
      const uint32_t span = BAR / uint32_t(chords.size());
      auto keys = t.Voicing(c, 53, 4);
      // Bossa comping: a syncopated two-bar figure.
      if (chords.size() == 1) {
        t.Strike(piano, c0, Q, keys, 62);
        t.Strike(piano, c0 + Q + E, Q, keys, 56);
        t.Strike(piano, c0 + 3 * Q, E + S, keys, 58);
      } else {
        t.Strike(piano, c0, Q, keys, 62);
        t.Strike(piano, c0 + Q + E, E, keys, 56);
      }
      const int root = t.RootIn(c, 36);
      const int fifth = root + 7 <= 52 ? root + 7 : root - 5;
      t.Note(bass, c0, Q + E, root, 92);
      t.Note(bass, c0 + Q + E, E, fifth, 78);
      if (span == BAR) {
        t.Note(bass, c0 + 2 * Q, Q + E, fifth, 86);
        t.Note(bass, c0 + 3 * Q + E, E, root, 76);
      }
      t.Strike(pad, c0, span, t.Voicing(c, 60, 3), 44);
    }
    t.Drums(drums, b0, 37, "x..x..x...x..x..", S, 70);   // side stick clave
    t.Drums(drums, b0, 42, "xgxgxgxgxgxgxgxg", S, 52);   // hats
    t.Drums(drums, b0, 36, "x..xx..xx..xx..x", S, 70);   // the bossa kick
    if (bar % 8 == 0) t.Drums(drums, b0, 49, "x...............", S, 60);
  }
  // Melody: the theme in the A sections, an answer in the bridge.
  const auto rA = Rhythm("x--.x-x-x---x-.x" "x-------....x-x-", E);
  const auto rB = Rhythm("x-x-x-x-x---.-x-" "x---x-------....", E);
  const auto rC = Rhythm("x-x-x---x-x-x---" "x---------------", E);
  Tune::Motif theme;
  t.Phrase8(vibes, 0, rA, rB, rC, 72, 65, 84, 88, &theme);
  t.Phrase8(vibes, 8 * BAR, rA, rB, rC, 74, 65, 84, 88, &theme);
  const auto rBridge = Rhythm("x---x-x-x-------" "x-x-x-x-x-------", E);
  t.Phrase8(vibes, 16 * BAR, rBridge, rB, rC, 70, 62, 81, 84);
  t.Phrase8(vibes, 24 * BAR, rA, rB, rC, 72, 65, 84, 90, &theme);
  Finish(t);
  return t.song;
}

// ---------------------------------------------------------------------------------------
// Jazz: a medium swing in B flat, walking bass, comping piano, ride cymbal and tenor sax.

MidiSong JazzTheme() {
  Tune t;
  t.song.name = "Swing";
  t.song.bpm = 144;
  t.rng = Noise(202);
  t.keyRoot = 10;  // B flat
  const std::string a = "Bbmaj7 G7|Cm7 F7|Dm7 G7|Cm7 F7|Fm7 Bb7|Ebmaj7 Ab7|Dm7 G7|Cm7 F7|";
  const std::string b = "D7|D7|G7|G7|C7|C7|Cm7|F7|";
  t.chart.Add(a + a + b + a + a + a + b + a);
  auto& sax = t.Track("Tenor sax", 0, 66, 96, 72, 50);
  auto& piano = t.Track("Piano", 1, 0, 78, 44, 45);
  auto& bass = t.Track("Bass", 2, 32, 108, 64, 25);
  auto& drums = t.Track("Drums", 9, 0, 82, 64, 35);
  const uint32_t swing = Q * 2 / 3;  // the swung off-beat
  int walk = 41;
  for (int bar = 0; bar < t.chart.Bars(); ++bar) {
    const uint32_t b0 = uint32_t(bar) * BAR;
    // Ride: ding, ding-da ding, ding-da; hi-hat foot on two and four.
    for (int beat = 0; beat < 4; ++beat) {
      t.Note(drums, b0 + uint32_t(beat) * Q, E, 51, beat % 2 ? 78 : 70);
      if (beat % 2) t.Note(drums, b0 + uint32_t(beat) * Q + swing, S, 51, 56);
      if (beat % 2) t.Note(drums, b0 + uint32_t(beat) * Q, E, 44, 70);
    }
    t.Note(drums, b0 + 3 * Q + swing, S, 38, 30);  // a ghosted snare comment
    if (bar % 8 == 7) t.Drums(drums, b0, 38, "......x..x.x.x.X", S, 60);
    if (bar % 8 == 0) t.Note(drums, b0, Q, 49, 70);
    // Walking bass: chord tones on the beats, a chromatic step into the next chord.
    for (int beat = 0; beat < 4; ++beat) {
      const uint32_t at = b0 + uint32_t(beat) * Q;
      const Chord& c = t.chart.At(at);
      const Chord& next = t.chart.At(at + Q < t.chart.Bars() * BAR ? at + Q : 0);
      int k;
      const bool chordStart = (at % (BAR / t.chart.bars[size_t(bar)].size())) == 0;
      if (chordStart) {
        k = Nearest(walk, c.root, {0}, 33, 52);
      } else if (beat == 3 || (t.chart.bars[size_t(bar)].size() == 2 && beat == 1)) {
        const int target = Nearest(walk, next.root, {0}, 33, 52);
        k = target + (t.rng.Unit() < 0.5 ? 1 : -1);
      } else {
        k = Nearest(walk + (t.rng.Unit() < 0.5 ? 3 : -3), c.root, c.tones, 33, 52);
      }
      t.Note(bass, at, Q - 20, k, beat == 0 ? 96 : 86);
      walk = k;
    }
    // Comping: short shells on the Charleston rhythm, now and then pushed.
    const auto& chords = t.chart.bars[size_t(bar)];
    for (size_t ci = 0; ci < chords.size(); ++ci) {
      const uint32_t c0 = b0 + uint32_t(ci) * BAR / uint32_t(chords.size());
      auto keys = t.Voicing(chords[ci], 55, 4);
      if (t.rng.Unit() < 0.6) t.Strike(piano, c0, E + 40, keys, 60);
      t.Strike(piano, c0 + Q + swing, E, keys, 54);
    }
  }
  // Head in swung eighths, then a chorus of blowing with busier lines.
  auto swung = [&](const std::string& grid) {
    auto r = Rhythm(grid, E);
    for (auto& o : r) {
      if ((o.at / E) % 2) o.at = o.at - E + swing;
    }
    return r;
  };
  const auto rA = swung("x-.xx-x-x---.-.." "x-x-x-.xx-------");
  const auto rB = swung(".xx-x-xxx---x-.." "x-.xx---x-------");
  const auto rC = swung("x-x-xxx-x---x---" "x-------........");
  const auto solo1 = swung("xxxxx-xxx-xx.xxx" "x-xxxx-xx---....");
  const auto solo2 = swung(".xxxxxxxx-x-xxx-" "xxx-x-x-x-------");
  Tune::Motif head;
  for (int section = 0; section < 4; ++section) {
    const uint32_t s0 = uint32_t(section) * 8 * BAR;
    if (section == 2) {
      t.Phrase8(sax, s0, rB, rA, rC, 65, 58, 77, 84);
    } else {
      t.Phrase8(sax, s0, rA, rB, rC, 67, 58, 77, 86, &head);
    }
  }
  for (int section = 4; section < 8; ++section) {
    const uint32_t s0 = uint32_t(section) * 8 * BAR;
    if (section == 7) {
      t.Phrase8(sax, s0, rA, rB, rC, 67, 58, 77, 88, &head);  // the head returns to close
    } else {
      t.Phrase8(sax, s0, solo1, solo2, rC, 66 + section, 56, 80, 82);
    }
  }
  Finish(t);
  return t.song;
}

// ---------------------------------------------------------------------------------------
// Rock: three songs on one band, distorted rhythm guitar, picked bass, a lead and a kit.

struct RockStyle {
  const char* name;
  double bpm;
  uint64_t seed;
  int keyRoot;
  std::vector<int> scale;
  std::string verse, chorus, bridge;
  bool shuffle;
  int leadProgram;
};

MidiSong Rock(const RockStyle& st) {
  Tune t;
  t.song.name = st.name;
  t.song.bpm = st.bpm;
  t.rng = Noise(st.seed);
  t.keyRoot = st.keyRoot;
  t.scale = st.scale;
  // intro (the verse's first half), verse, chorus, verse, chorus, bridge, chorus
  // The intro is the verse's first half.
  std::string intro;
  {
    std::istringstream in(st.verse);
    std::string bar;
    for (int i = 0; i < 4 && std::getline(in, bar, '|'); ++i) intro += bar + "|";
  }
  t.chart.Add(intro + st.verse + st.chorus + st.verse + st.chorus + st.bridge + st.chorus);
  const int introBars = 4, verseBars = 8, chorusBars = 8, bridgeBars = 8;
  auto& rhythm = t.Track("Rhythm guitar", 0, 30, 84, 40, 30);
  auto& rhythm2 = t.Track("Second guitar", 1, 29, 70, 88, 30);
  auto& bass = t.Track("Bass", 2, 34, 104, 64, 15);
  auto& lead = t.Track("Lead", 3, st.leadProgram, 92, 64, 55);
  auto& drums = t.Track("Drums", 9, 0, 96, 64, 30);
  const uint32_t swing = st.shuffle ? Q * 2 / 3 : E;
  const int bars = t.chart.Bars();
  const int chorusStarts[] = {introBars + verseBars, introBars + 2 * verseBars + chorusBars,
                              introBars + 2 * verseBars + 2 * chorusBars + bridgeBars};
  auto inChorus = [&](int bar) {
    for (int c : chorusStarts) {
      if (bar >= c && bar < c + chorusBars) return true;
    }
    return false;
  };
  for (int bar = 0; bar < bars; ++bar) {
    const uint32_t b0 = uint32_t(bar) * BAR;
    const bool chorus = inChorus(bar);
    const bool intro = bar < introBars;
    const auto& chords = t.chart.bars[size_t(bar)];
    for (size_t ci = 0; ci < chords.size(); ++ci) {
      const Chord& c = chords[ci];
      const uint32_t c0 = b0 + uint32_t(ci) * BAR / uint32_t(chords.size());
      const uint32_t span = BAR / uint32_t(chords.size());
      const int root = t.RootIn(c, 40);
      const std::vector<int> power = {root, root + 7, root + 12};
      for (uint32_t at = 0; at < span; at += Q) {
        const uint32_t off = st.shuffle ? swing : E;
        if (st.shuffle) {
          // Boogie: root-fifth then root-sixth, shuffled.
          const int upper = ((at / Q) % 2) ? root + 9 : root + 7;
          t.Strike(rhythm, c0 + at, off - 20, {root, upper}, 88);
          t.Strike(rhythm, c0 + at + off, Q - off - 10, {root, upper}, 74);
        } else {
          t.Strike(rhythm, c0 + at, E - 30, power, chorus ? 96 : 84);
          t.Strike(rhythm, c0 + at + off, E - 30, power, chorus ? 88 : 76);
        }
        t.Note(bass, c0 + at, off - 20, root - 12, 98);
        t.Note(bass, c0 + at + off, Q - off - 20, root - 12 + ((st.shuffle && (at / Q) % 2) ? 12 : 0), 86);
      }
      if (chorus || intro) {
        t.Strike(rhythm2, c0, span - 60, t.Voicing(c, 52, 4), 78, 14);  // ringing chords
      } else if (!st.shuffle) {
        t.Strike(rhythm2, c0 + Q + E, E, {t.RootIn(c, 64), t.RootIn(c, 64) + 7}, 66);
      }
    }
    // The kit: backbeat, eighth hats (ride in the chorus), a fill before each new section.
    const bool fill = bar == introBars - 1 || bar == bars - 1 ||
                      std::find(std::begin(chorusStarts), std::end(chorusStarts), bar + 1) != std::end(chorusStarts);
    if (st.shuffle) {
      for (int beat = 0; beat < 4; ++beat) {
        t.Note(drums, b0 + uint32_t(beat) * Q, E, chorus ? 51 : 42, 80);
        t.Note(drums, b0 + uint32_t(beat) * Q + swing, S, chorus ? 51 : 42, 60);
      }
      t.Drums(drums, b0, 36, "x.....x.x.......", S, 96);
    } else {
      t.Drums(drums, b0, chorus ? 46 : 42, chorus ? "x.x.x.x.x.x.x.x." : "x.xgx.xgx.xgx.xg", S, 78);
      t.Drums(drums, b0, 36, chorus ? "x.....x.x.x....." : "x.....x.x.......", S, 100);
    }
    if (fill) {
      t.Drums(drums, b0, 38, "....x.......xxxX", S, 96);
      t.Drums(drums, b0, 45, "............x...", S, 90);
      t.Drums(drums, b0, 43, "..............x.", S, 90);
    } else {
      t.Drums(drums, b0, 38, "....x.......x...", S, 104);
    }
    const bool sectionStart = bar == 0 || bar == introBars || inChorus(bar) != inChorus(bar - 1);
    if (sectionStart) t.Note(drums, b0, 2 * Q, 49, 100);
  }
  // The lead sings over the choruses and plays a second theme in the bridge.
  const auto rA = Rhythm("x-x-x---x-x-x-.." "x-----x-x-------", E);
  const auto rB = Rhythm("x-x-x-x-x---x---" "x-x-x---x-------", E);
  const auto rC = Rhythm("x---x---x-x-x---" "x---------------", E);
  Tune::Motif hook;
  for (int c : chorusStarts) t.Phrase8(lead, uint32_t(c) * BAR, rA, rB, rC, 71, 62, 86, 96, &hook);
  const int bridgeStart = introBars + 2 * verseBars + 2 * chorusBars;
  const auto rBr = st.shuffle ? Rhythm("x.xxx-x.x-x-x---" "xxx-x---x-------", E) : Rhythm("x-------x---x---" "x-x-x-----------", E);
  t.Phrase8(lead, uint32_t(bridgeStart) * BAR, rBr, rB, rC, 74, 62, 88, 92);
  Finish(t);
  return t.song;
}

MidiSong Rock1() {
  return Rock({"Rock 1", 138, 301, 4, {0, 2, 3, 5, 7, 8, 10},
               "Em|Em|C|D|Em|Em|C|D|", "C|D|Em|Em|C|D|G|B7|", "Am|Am|Em|Em|Am|C|D|D|", false, 29});
}
MidiSong Rock2() {
  return Rock({"Rock 2", 112, 302, 9, {0, 2, 4, 5, 7, 9, 10},
               "A7|A7|D7|A7|E7|D7|A7|E7|", "D7|D7|A7|A7|E7|D7|A7|E7|", "D7|D7|A7|A7|D7|D7|E7|E7|", true, 30});
}
MidiSong Rock3() {
  return Rock({"Rock 3", 150, 303, 2, {0, 2, 4, 5, 7, 9, 11},
               "D|A|Bm|G|D|A|G|A|", "G|A|D|Bm|G|A|Bm|A|", "Bm|G|D|A|Bm|G|Em|A|", false, 30});
}

// ---------------------------------------------------------------------------------------
// Pop: two songs in the four-chord manner, one on synthesisers, one on piano and strings.

MidiSong Pop1() {
  Tune t;
  t.song.name = "Pop 1";
  t.song.bpm = 120;
  t.master = 0.66;  // four-on-the-floor and a saw lead stack up
  t.rng = Noise(501);
  t.keyRoot = 0;  // C major
  const std::string verse = "Am|F|C|G|Am|F|C|G|";
  const std::string pre = "F|G|Em|Am|F|G|Dm|G|";
  const std::string chorus = "C|G|Am|F|C|G|F|G|";
  t.chart.Add(verse + pre + chorus + verse + chorus + chorus);
  auto& lead = t.Track("Lead synth", 0, 81, 84, 64, 50, 30);
  auto& arp = t.Track("Arpeggio", 1, 80, 62, 40, 60);
  auto& pad = t.Track("Pad", 2, 89, 62, 88, 70, 40);
  auto& bass = t.Track("Synth bass", 3, 38, 100, 64, 10);
  auto& drums = t.Track("Drums", 9, 0, 100, 64, 25);
  const int bars = t.chart.Bars();
  for (int bar = 0; bar < bars; ++bar) {
    const uint32_t b0 = uint32_t(bar) * BAR;
    const Chord& c = t.chart.bars[size_t(bar)][0];
    const int section = bar / 8;  // 0 verse, 1 pre, 2 chorus, 3 verse, 4-5 chorus
    const bool big = section == 2 || section >= 4;
    t.Strike(pad, b0, BAR - 20, t.Voicing(c, 60, 4), big ? 56 : 46);
    // Arpeggio in sixteenths over the chord, up and down.
    auto keys = t.Voicing(c, 67, 4);
    const int pattern[] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int i = 0; i < 16; ++i) {
      const int k = keys[size_t(pattern[i % 8]) % keys.size()];
      t.Note(arp, b0 + uint32_t(i) * S, S - 10, k, i % 4 == 0 ? 70 : 56);
    }
    const int root = t.RootIn(c, 36);
    for (int i = 0; i < 8; ++i) t.Note(bass, b0 + uint32_t(i) * E, E - 30, i % 4 == 3 ? root + 12 : root, i % 2 ? 82 : 96);
    t.Drums(drums, b0, 36, "x...x...x...x...", S, 100);
    t.Drums(drums, b0, 39, "....x.......x...", S, 92);
    t.Drums(drums, b0, 42, big ? "xxXxxxXxxxXxxxXx" : "..x...x...x...x.", S, 62);
    if (big) t.Drums(drums, b0, 38, "....x.......x...", S, 70);
    if (bar % 8 == 7) t.Drums(drums, b0, 38, "........x.x.xxxx", S, 84);
    if (bar % 8 == 0) t.Note(drums, b0, 2 * Q, 49, 96);
  }
  const auto vA = Rhythm("..x-x-x-x-x-x---" "..x-x-x-x-------", E);
  const auto vB = Rhythm("..x-x-x-x---x---" "x-x-x-x---------", E);
  const auto pA = Rhythm("x---x---x-x-x---" "x-x-x---x-------", E);
  const auto cA = Rhythm("x-x---x-x-x---x-" "x-----x-x-------", E);
  const auto cB = Rhythm("x-x-x-x-x---x---" "x---x---x-------", E);
  const auto end = Rhythm("x-x-x---x---x---" "x---------------", E);
  Tune::Motif verseHook, chorusHook;
  t.Phrase8(lead, 0, vA, vB, end, 69, 60, 79, 84, &verseHook);
  t.Phrase8(lead, 8 * BAR, pA, vB, end, 72, 62, 81, 86);
  t.Phrase8(lead, 16 * BAR, cA, cB, end, 76, 64, 86, 94, &chorusHook);
  t.Phrase8(lead, 24 * BAR, vA, vB, end, 69, 60, 79, 84, &verseHook);
  t.Phrase8(lead, 32 * BAR, cA, cB, end, 76, 64, 86, 94, &chorusHook);
  t.Phrase8(lead, 40 * BAR, cA, cB, end, 79, 64, 88, 96, &chorusHook);
  Finish(t);
  return t.song;
}

MidiSong Pop2() {
  Tune t;
  t.song.name = "Pop 2";
  t.song.bpm = 96;
  t.master = 0.74;
  t.rng = Noise(502);
  t.keyRoot = 7;  // G major
  const std::string verse = "G|D|Em|C|G|D|C|D|";
  const std::string chorus = "Em|C|G|D|Em|C|Am|D|";
  t.chart.Add(verse + chorus + verse + chorus + "C|D|Bm|Em|C|D|Am|D|" + chorus);
  auto& piano = t.Track("Piano", 0, 1, 86, 56, 45);
  auto& strings = t.Track("Strings", 1, 48, 64, 80, 70);
  auto& melody = t.Track("Flute", 2, 73, 96, 70, 60);
  auto& bass = t.Track("Bass", 3, 33, 100, 64, 15);
  auto& drums = t.Track("Drums", 9, 0, 92, 64, 35);
  const int bars = t.chart.Bars();
  for (int bar = 0; bar < bars; ++bar) {
    const uint32_t b0 = uint32_t(bar) * BAR;
    const Chord& c = t.chart.bars[size_t(bar)][0];
    const int section = bar / 8;
    const bool chorus = section % 2 == 1;
    // Piano in driving eighths: bass note on the beat, chord on every eighth.
    auto keys = t.Voicing(c, 60, 3);
    for (int i = 0; i < 8; ++i) t.Strike(piano, b0 + uint32_t(i) * E, E - 40, keys, i % 2 ? 58 : 68);
    t.Note(piano, b0, 2 * Q, t.RootIn(c, 43), 70);
    t.Note(piano, b0 + 2 * Q, 2 * Q, t.RootIn(c, 43) + 7, 62);
    if (chorus) t.Strike(strings, b0, BAR - 20, t.Voicing(c, 67, 3), 62);
    const int root = t.RootIn(c, 36);
    t.Note(bass, b0, Q + E, root, 96);
    t.Note(bass, b0 + Q + E, E, root, 80);
    t.Note(bass, b0 + 2 * Q, Q, root + 7, 88);
    t.Note(bass, b0 + 3 * Q, Q - 20, root + 12, 84);
    t.Drums(drums, b0, 36, "x.....x.x.......", S, 96);
    t.Drums(drums, b0, 38, "....x.......x...", S, 96);
    t.Drums(drums, b0, chorus ? 46 : 42, "x.x.x.x.x.x.x.x.", S, chorus ? 56 : 64);
    if (chorus) t.Drums(drums, b0, 54, "....x.......x...", S, 60);
    if (bar % 8 == 7) t.Drums(drums, b0, 38, "........x..xx.xx", S, 80);
    if (bar % 8 == 0) t.Note(drums, b0, 2 * Q, 49, 88);
  }
  const auto vA = Rhythm("x-x-x---x-x-x---" "x-x-x-------....", E);
  const auto vB = Rhythm("..x-x-x-x---x-x-" "x-----x-x-------", E);
  const auto cA = Rhythm("x-----x-x---x---" "x-----x-x-------", E);
  const auto cB = Rhythm("x-x-x---x-x-x---" "x---x-----------", E);
  const auto end = Rhythm("x-x-x---x---x---" "x---------------", E);
  Tune::Motif verseHook, chorusHook;
  for (int section = 0; section < 6; ++section) {
    const uint32_t s0 = uint32_t(section) * 8 * BAR;
    if (section == 4) {
      t.Phrase8(melody, s0, cB, vB, end, 76, 64, 86, 88);  // the bridge
    } else if (section % 2 == 0) {
      t.Phrase8(melody, s0, vA, vB, end, 71, 62, 81, 86, &verseHook);
    } else {
      t.Phrase8(melody, s0, cA, cB, end, 74, 64, 86, 94, &chorusHook);
    }
  }
  Finish(t);
  return t.song;
}

const std::map<std::string, std::function<MidiSong()>>& Scores() {
  static const std::map<std::string, std::function<MidiSong()>> scores = {
      {"music_MAIN_1", MainTheme}, {"music_JAZZ_1", JazzTheme}, {"music_ROCK_1", Rock1},
      {"music_ROCK_2", Rock2},     {"music_ROCK_3", Rock3},     {"music_POP_1", Pop1},
      {"music_POP_2", Pop2},
  };
  return scores;
}

}  // namespace

const std::vector<std::string>& TuneNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const auto& [name, make] : Scores()) v.push_back(name);
    return v;
  }();
  return names;
}

std::string MakeTune(const std::string& name) {
  auto it = Scores().find(name);
  if (it == Scores().end()) return {};
  return MidiBytes(it->second());
}

}  // namespace vx::soundgen
