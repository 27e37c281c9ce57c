#include "tools/soundgen/Midi.h"

#include <algorithm>
#include <cmath>

namespace vx::soundgen {

namespace {

struct Event {
  uint32_t tick;
  int order;  // at one tick: set-up first, then note-offs, then note-ons
  std::string bytes;
};

void Vlq(std::string& s, uint32_t v) {
  char buf[5];
  int n = 0;
  buf[n++] = char(v & 0x7F);
  while (v >>= 7) buf[n++] = char(0x80 | (v & 0x7F));
  while (n) s.push_back(buf[--n]);
}

void Be(std::string& s, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

std::string Meta(int type, const std::string& data) {
  std::string s;
  s.push_back(char(0xFF));
  s.push_back(char(type));
  Vlq(s, uint32_t(data.size()));
  return s + data;
}

std::string Msg(int status, int a, int b = -1) {
  std::string s;
  s.push_back(char(status));
  s.push_back(char(a & 0x7F));
  if (b >= 0) s.push_back(char(b & 0x7F));
  return s;
}

std::string Chunk(const char* id, const std::string& body) {
  std::string s(id, 4);
  Be(s, uint32_t(body.size()), 4);
  return s + body;
}

std::string TrackBody(std::vector<Event>& events, uint32_t end) {
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::string body;
  uint32_t now = 0;
  for (const Event& e : events) {
    Vlq(body, e.tick - now);
    now = e.tick;
    body += e.bytes;
  }
  Vlq(body, end - now);
  body += Meta(0x2F, "");
  return body;
}

}  // namespace

std::string MidiBytes(const MidiSong& song) {
  std::string out;
  std::string header;
  Be(header, 1, 2);
  Be(header, uint32_t(song.tracks.size() + 1), 2);
  Be(header, uint32_t(song.ticksPerQuarter), 2);
  out += Chunk("MThd", header);

  std::vector<Event> conductor;
  conductor.push_back({0, 0, Meta(0x03, song.name)});
  std::string tempo;
  Be(tempo, uint32_t(std::lround(60000000.0 / song.bpm)), 3);
  conductor.push_back({0, 0, Meta(0x51, tempo)});
  conductor.push_back({0, 0, Meta(0x58, std::string{char(song.beatsPerBar), 2, 24, 8})});
  out += Chunk("MTrk", TrackBody(conductor, song.lengthTicks));

  for (const MidiTrack& t : song.tracks) {
    std::vector<Event> ev;
    const int ch = t.channel & 0x0F;
    ev.push_back({0, 0, Meta(0x03, t.name)});
    ev.push_back({0, 0, Msg(0xB0 | ch, 121, 0)});  // reset controllers: the loop starts clean
    if (ch != 9) ev.push_back({0, 0, Msg(0xC0 | ch, t.program)});
    ev.push_back({0, 0, Msg(0xB0 | ch, 7, t.volume)});
    ev.push_back({0, 0, Msg(0xB0 | ch, 10, t.pan)});
    ev.push_back({0, 0, Msg(0xB0 | ch, 91, t.reverb)});
    ev.push_back({0, 0, Msg(0xB0 | ch, 93, t.chorus)});
    for (const MidiNote& n : t.notes) {
      if (n.tick >= song.lengthTicks || n.length == 0) continue;
      const uint32_t off = std::min(song.lengthTicks, n.tick + n.length);
      const int key = std::clamp(n.key, 0, 127);
      ev.push_back({n.tick, 2, Msg(0x90 | ch, key, std::clamp(n.velocity, 1, 127))});
      ev.push_back({off, 1, Msg(0x80 | ch, key, 64)});
    }
    out += Chunk("MTrk", TrackBody(ev, song.lengthTicks));
  }
  return out;
}

}  // namespace vx::soundgen
