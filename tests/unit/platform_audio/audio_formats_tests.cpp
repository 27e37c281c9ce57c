// The WAV and MIDI readers that check every sound before the mixer sees it.
#include <gtest/gtest.h>

#include <string>

#include "platform/audio/AudioFormats.h"

using namespace vx::audio;

namespace {

const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

void Le(std::string& s, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
void Be(std::string& s, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

std::string Wave(int channels, int rate, int bits, uint32_t dataBytes, uint32_t claimedData = 0xFFFFFFFF) {
  std::string s = "RIFF";
  Le(s, 36 + dataBytes, 4);
  s += "WAVEfmt ";
  Le(s, 16, 4);
  Le(s, 1, 2);
  Le(s, uint32_t(channels), 2);
  Le(s, uint32_t(rate), 4);
  Le(s, uint32_t(rate * channels * bits / 8), 4);
  Le(s, uint32_t(channels * bits / 8), 2);
  Le(s, uint32_t(bits), 2);
  s += "data";
  Le(s, claimedData == 0xFFFFFFFF ? dataBytes : claimedData, 4);
  s.append(dataBytes, '\0');
  return s;
}

std::string Midi(const std::string& track, int division = 96, int format = 0, int tracks = 1) {
  std::string s = "MThd";
  Be(s, 6, 4);
  Be(s, uint32_t(format), 2);
  Be(s, uint32_t(tracks), 2);
  Be(s, uint32_t(division), 2);
  for (int i = 0; i < tracks; ++i) {
    s += "MTrk";
    Be(s, uint32_t(track.size()), 4);
    s += track;
  }
  return s;
}

}  // namespace

TEST(AudioFormats, SniffsByMagicOnly) {
  EXPECT_EQ(SniffAudioFile(U(Wave(1, 8000, 16, 4)), 48), AudioFileKind::Wave);
  EXPECT_EQ(SniffAudioFile(U(std::string("MThd")), 4), AudioFileKind::Midi);
  EXPECT_EQ(SniffAudioFile(U(std::string("RIFFxxxxAVI ")), 12), AudioFileKind::Unknown);
  EXPECT_EQ(SniffAudioFile(nullptr, 0), AudioFileKind::Unknown);
}

TEST(AudioFormats, WaveHeaderGivesFormatAndLength) {
  const std::string w = Wave(2, 44100, 16, 44100 * 4);
  WaveInfo info;
  ASSERT_TRUE(ReadWaveInfo(U(w), w.size(), info));
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.sampleRate, 44100);
  EXPECT_EQ(info.bitsPerSample, 16);
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_DOUBLE_EQ(info.Seconds(), 1.0);

  // A data chunk that claims more than the file holds is cut to what is there.
  std::string cut = Wave(1, 8000, 16, 100, 100000);
  ASSERT_TRUE(ReadWaveInfo(U(cut), cut.size(), info));
  EXPECT_EQ(info.dataBytes, 100u);

  // Odd-sized chunks are padded; a list chunk before the data is skipped.
  std::string withList = w.substr(0, 36) + "LIST" + std::string("\x03\0\0\0abc\0", 8) + w.substr(36);
  ASSERT_TRUE(ReadWaveInfo(U(withList), withList.size(), info));
  EXPECT_EQ(info.dataOffset, 56u);
}

TEST(AudioFormats, BrokenWavesAreRefused) {
  WaveInfo info;
  std::string error;
  const std::string good = Wave(1, 22050, 16, 64);
  // Truncated inside the fmt chunk.
  EXPECT_FALSE(ReadWaveInfo(U(good), 30, info, &error));
  // No data chunk.
  EXPECT_FALSE(ReadWaveInfo(U(good), 36, info, &error));
  EXPECT_EQ(error, "no data chunk");
  // Data before format.
  std::string swapped = "RIFF" + good.substr(4, 8) + good.substr(36, 8) + good.substr(12, 24);
  EXPECT_FALSE(ReadWaveInfo(U(swapped), swapped.size(), info, &error));
  // Impossible values.
  for (const std::string& bad : {Wave(0, 22050, 16, 4), Wave(1, 0, 16, 4), Wave(1, 22050, 12, 4), Wave(9, 8000, 8, 9)}) {
    EXPECT_FALSE(ReadWaveInfo(U(bad), bad.size(), info));
  }
  // A chunk length near 4 GiB must not wrap around.
  std::string huge = good;
  huge[16] = huge[17] = huge[18] = huge[19] = char(0xFF);
  EXPECT_FALSE(ReadWaveInfo(U(huge), huge.size(), info));
}

TEST(AudioFormats, MidiLengthFollowsTempoChanges) {
  // One quarter at 120 bpm (0.5 s), then a tempo of 1 s per quarter for two quarters.
  std::string t;
  t += std::string("\x00\x90\x3C\x40", 4);          // note on
  t += std::string("\x60\x3C\x00", 3);              // running status: note off after 96 ticks
  t += std::string("\x00\xFF\x51\x03\x0F\x42\x40", 7);  // tempo 1 000 000 us
  t += std::string("\x81\x40\x80\x3C\x40", 5);      // 192 ticks later
  t += std::string("\x00\xFF\x2F\x00", 4);
  const std::string m = Midi(t);
  MidiInfo info;
  std::string error;
  ASSERT_TRUE(ReadMidiInfo(U(m), m.size(), info, &error)) << error;
  EXPECT_EQ(info.lengthTicks, 288u);
  EXPECT_NEAR(info.seconds, 2.5, 1e-9);
  EXPECT_EQ(info.notes, 1);
  EXPECT_EQ(info.channelMask, 1);
}

TEST(AudioFormats, MidiWithSmpteTimingAndSysex) {
  std::string t;
  t += std::string("\x00\xF0\x03\x7E\x7F\xF7", 6);  // sysex
  t += std::string("\x83\x60\x99\x24\x64", 5);      // 480 ticks, drum note on channel 10
  t += std::string("\x00\xFF\x2F\x00", 4);
  const std::string m = Midi(t, 0xE728);  // 25 frames a second, 40 ticks a frame
  MidiInfo info;
  ASSERT_TRUE(ReadMidiInfo(U(m), m.size(), info));
  EXPECT_NEAR(info.seconds, 480.0 / 1000.0, 1e-9);
  EXPECT_EQ(info.channelMask, 1 << 9);
}

TEST(AudioFormats, BrokenMidiIsRefused) {
  const std::string ok = std::string("\x00\x90\x3C\x40\x10\x80\x3C\x40\x00\xFF\x2F\x00", 12);
  MidiInfo info;
  std::string error;
  // Declares two tracks, holds one.
  std::string one = Midi(ok);
  one[11] = 2;
  EXPECT_FALSE(ReadMidiInfo(U(one), one.size(), info, &error));
  EXPECT_EQ(error, "format 0 with several tracks");
  std::string f1 = Midi(ok, 96, 1, 1);
  f1[11] = 2;
  EXPECT_FALSE(ReadMidiInfo(U(f1), f1.size(), info, &error));
  EXPECT_EQ(error, "missing MIDI track");
  // A running-status data byte with no status before it.
  const std::string noStatus = Midi(std::string("\x00\x3C\x40", 3));
  EXPECT_FALSE(ReadMidiInfo(U(noStatus), noStatus.size(), info, &error));
  // A time of five bytes.
  const std::string longVlq = Midi(std::string("\x81\x81\x81\x81\x01\x90\x3C\x40", 8));
  EXPECT_FALSE(ReadMidiInfo(U(longVlq), longVlq.size(), info, &error));
  // A meta event longer than its track.
  const std::string meta = Midi(std::string("\x00\xFF\x01\x7F" "abc", 7));
  EXPECT_FALSE(ReadMidiInfo(U(meta), meta.size(), info, &error));
  // A track chunk longer than the file.
  std::string cut = Midi(ok);
  cut.resize(cut.size() - 3);
  EXPECT_FALSE(ReadMidiInfo(U(cut), cut.size(), info, &error));
  // Zero division, unknown format, zero tempo.
  const std::string zeroDiv = Midi(ok, 0);
  EXPECT_FALSE(ReadMidiInfo(U(zeroDiv), zeroDiv.size(), info));
  const std::string fmt3 = Midi(ok, 96, 3);
  EXPECT_FALSE(ReadMidiInfo(U(fmt3), fmt3.size(), info));
  const std::string zeroTempo = Midi(std::string("\x00\xFF\x51\x03\x00\x00\x00\x00\xFF\x2F\x00", 11));
  EXPECT_FALSE(ReadMidiInfo(U(zeroTempo), zeroTempo.size(), info));
}

TEST(AudioFormats, UnknownChunksBetweenTracksAreSkipped) {
  const std::string ok = std::string("\x00\x90\x3C\x40\x10\x80\x3C\x40\x00\xFF\x2F\x00", 12);
  std::string m = Midi(ok);
  m.insert(14, std::string("XFIH\0\0\0\x02zz", 10));
  MidiInfo info;
  EXPECT_TRUE(ReadMidiInfo(U(m), m.size(), info));
  EXPECT_EQ(info.lengthTicks, 16u);
}
