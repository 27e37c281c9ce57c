#include "platform/audio/AudioFormats.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vx::audio {

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

bool Fail(std::string* error, const char* text) {
  if (error) *error = text;
  return false;
}

// Cap on tempo changes kept for the length calculation; files with more are still read,
// the extra changes only stop counting.
constexpr size_t kMaxTempoChanges = 1u << 16;

}  // namespace

AudioFileKind SniffAudioFile(const uint8_t* data, size_t size) {
  if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0) {
    return AudioFileKind::Wave;
  }
  if (size >= 4 && std::memcmp(data, "MThd", 4) == 0) return AudioFileKind::Midi;
  return AudioFileKind::Unknown;
}

double WaveInfo::Seconds() const {
  if (channels <= 0 || sampleRate <= 0 || bitsPerSample <= 0) return 0;
  const double frameBytes = double(channels) * (bitsPerSample / 8);
  return double(dataBytes) / frameBytes / sampleRate;
}

bool ReadWaveInfo(const uint8_t* data, size_t size, WaveInfo& info, std::string* error) {
  info = WaveInfo{};
  if (SniffAudioFile(data, size) != AudioFileKind::Wave) return Fail(error, "not a RIFF/WAVE file");
  // The RIFF size may be short or long in files written by careless tools; the real end is
  // the smaller of it and the data's length.
  size_t end = std::min<size_t>(size, size_t(Le32(data + 4)) + 8);
  size_t pos = 12;
  bool haveFormat = false;
  while (pos + 8 <= end) {
    const uint8_t* chunk = data + pos;
    const size_t length = Le32(chunk + 4);
    const size_t bodyStart = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || length > end - bodyStart) return Fail(error, "bad fmt chunk");
      const uint8_t* f = data + bodyStart;
      info.formatTag = Le16(f);
      info.channels = Le16(f + 2);
      info.sampleRate = int(std::min<uint32_t>(Le32(f + 4), 0x7fffffff));
      info.bitsPerSample = Le16(f + 14);
      if (info.formatTag == 0xFFFE && length >= 40) info.formatTag = Le16(f + 24);  // extensible
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return Fail(error, "data chunk before fmt chunk");
      info.dataOffset = bodyStart;
      info.dataBytes = std::min(length, end - bodyStart);
      break;
    }
    if (length > end - bodyStart) return Fail(error, "chunk runs past the end of the file");
    pos = bodyStart + length + (length & 1);
  }
  if (!haveFormat) return Fail(error, "no fmt chunk");
  if (info.dataOffset == 0) return Fail(error, "no data chunk");
  if (info.formatTag == 1) {
    if (info.bitsPerSample != 8 && info.bitsPerSample != 16 && info.bitsPerSample != 24 &&
        info.bitsPerSample != 32) {
      return Fail(error, "unsupported sample size");
    }
  } else if (info.formatTag == 3) {
    if (info.bitsPerSample != 32) return Fail(error, "unsupported float sample size");
  } else {
    return Fail(error, "unsupported sample encoding");
  }
  if (info.channels < 1 || info.channels > 8) return Fail(error, "unsupported channel count");
  if (info.sampleRate < 1 || info.sampleRate > 384000) return Fail(error, "unsupported sample rate");
  return true;
}

namespace {

struct MidiReader {
  const uint8_t* p;
  const uint8_t* end;
  bool Vlq(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      if (p >= end) return false;
      const uint8_t b = *p++;
      value = (value << 7) | (b & 0x7f);
      if (!(b & 0x80)) return true;
    }
    return false;  // longer than four bytes
  }
  bool Skip(size_t n) {
    if (size_t(end - p) < n) return false;
    p += n;
    return true;
  }
};

struct TempoChange {
  uint64_t tick;
  uint32_t microsPerQuarter;
};

}  // namespace

bool ReadMidiInfo(const uint8_t* data, size_t size, MidiInfo& info, std::string* error) {
  info = MidiInfo{};
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return Fail(error, "not a MIDI file");
  const uint32_t headerLength = Be32(data + 4);
  if (headerLength < 6 || headerLength > size - 8) return Fail(error, "bad MIDI header");
  info.format = Be16(data + 8);
  info.tracks = Be16(data + 10);
  info.division = Be16(data + 12);
  if (info.format > 2) return Fail(error, "unknown MIDI format");
  if (info.tracks == 0) return Fail(error, "MIDI file without tracks");
  if (info.format == 0 && info.tracks != 1) return Fail(error, "format 0 with several tracks");
  if (info.division == 0) return Fail(error, "zero time division");

  std::vector<TempoChange> tempos;
  size_t pos = 8 + headerLength;
  int found = 0;
  while (found < info.tracks) {
    if (size - pos < 8) return Fail(error, "missing MIDI track");
    const uint8_t* chunk = data + pos;
    const size_t length = Be32(chunk + 4);
    if (length > size - pos - 8) return Fail(error, "MIDI chunk runs past the end of the file");
    pos += 8;
    if (std::memcmp(chunk, "MTrk", 4) != 0) {  // unknown chunks are skipped, as the format says
      pos += length;
      continue;
    }
    ++found;
    MidiReader r{data + pos, data + pos + length};
    pos += length;
    uint64_t tick = 0;
    uint8_t status = 0;
    bool ended = false;
    while (r.p < r.end && !ended) {
      uint32_t delta;
      if (!r.Vlq(delta)) return Fail(error, "bad event time");
      tick += delta;
      if (r.p >= r.end) return Fail(error, "truncated MIDI event");
      uint8_t b = *r.p;
      if (b & 0x80) {
        ++r.p;
        if (b < 0xF0) status = b;  // only channel messages set the running status
      } else {
        if (status == 0) return Fail(error, "data byte without a status");
        b = status;
      }
      if (b < 0xF0) {
        const uint8_t kind = b & 0xF0;
        const size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (size_t(r.end - r.p) < dataBytes) return Fail(error, "truncated MIDI event");
        if (kind == 0x90 && r.p[1] != 0) {
          ++info.notes;
          info.channelMask |= 1 << (b & 0x0F);
        }
        r.p += dataBytes;
      } else if (b == 0xF0 || b == 0xF7) {
        status = 0;
        uint32_t length2;
        if (!r.Vlq(length2) || !r.Skip(length2)) return Fail(error, "bad system exclusive event");
      } else if (b == 0xFF) {
        status = 0;
        if (r.p >= r.end) return Fail(error, "truncated meta event");
        const uint8_t type = *r.p++;
        uint32_t length2;
        if (!r.Vlq(length2) || size_t(r.end - r.p) < length2) return Fail(error, "bad meta event");
        if (type == 0x51 && length2 == 3) {
          const uint32_t us = (uint32_t(r.p[0]) << 16) | (r.p[1] << 8) | r.p[2];
          if (us == 0) return Fail(error, "zero tempo");
          if (tempos.size() < kMaxTempoChanges) tempos.push_back({tick, us});
        } else if (type == 0x2F) {
          ended = true;
        }
        r.p += length2;
      } else {
        return Fail(error, "unexpected system message in a MIDI file");
      }
    }
    info.lengthTicks = std::max(info.lengthTicks, tick);
  }

  if (info.division & 0x8000) {  // SMPTE: frames per second and ticks per frame
    const int fps = -int8_t(info.division >> 8);
    const int ticksPerFrame = info.division & 0xFF;
    if (fps <= 0 || ticksPerFrame == 0) return Fail(error, "bad SMPTE time division");
    info.seconds = double(info.lengthTicks) / (double(fps) * ticksPerFrame);
    return true;
  }
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double seconds = 0;
  uint64_t lastTick = 0;
  uint32_t us = 500000;  // 120 beats a minute until the file says otherwise
  for (const TempoChange& t : tempos) {
    if (t.tick >= info.lengthTicks) break;
    seconds += double(t.tick - lastTick) * us / 1e6 / info.division;
    lastTick = t.tick;
    us = t.microsPerQuarter;
  }
  seconds += double(info.lengthTicks - lastTick) * us / 1e6 / info.division;
  info.seconds = seconds;
  return true;
}

}  // namespace vx::audio
