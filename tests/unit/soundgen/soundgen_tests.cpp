// The generated sounds and tunes: the same bytes every run, well-formed files, lengths that
// fit their moment, and levels that neither clip nor vanish.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "platform/audio/AudioFormats.h"
#include "support/TempDir.h"
#include "tools/soundgen/SoundGen.h"

using namespace vx::audio;
namespace sg = vx::soundgen;

namespace {
const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
}  // namespace

TEST(SoundGen, TheGameFindsEveryNameItAsksFor) {
  const std::set<std::string> effects(sg::EffectNames().begin(), sg::EffectNames().end());
  const std::set<std::string> wanted = {
      "SND_AUTOHOLD", "SND_BET", "SND_DEAL", "SND_DRAW", "SND_DUPLOSE", "SND_DUPWIN", "SND_DUPWINEND",
      "SND_DUPWINSPECIAL", "SND_FIREWORKS", "SND_HOLD", "SND_JACKPOTADD", "SND_MENU", "SND_WIN", "SND_WINBIG",
      "SND_WINJACKPOT", "SND_WINPRE"};
  EXPECT_EQ(effects, wanted);
  const std::set<std::string> tunes(sg::TuneNames().begin(), sg::TuneNames().end());
  EXPECT_EQ(tunes, (std::set<std::string>{"music_MAIN_1", "music_JAZZ_1", "music_ROCK_1", "music_ROCK_2",
                                          "music_ROCK_3", "music_POP_1", "music_POP_2"}));
  EXPECT_EQ(sg::MakeEffect("SND_NOPE"), "");
  EXPECT_EQ(sg::MakeTune("music_NOPE_1"), "");
}

TEST(SoundGen, EffectsAreShortCleanMonoWaves) {
  for (const std::string& name : sg::EffectNames()) {
    const std::string w = sg::MakeEffect(name);
    EXPECT_EQ(w, sg::MakeEffect(name)) << name << " differs between runs";
    WaveInfo info;
    std::string error;
    ASSERT_TRUE(ReadWaveInfo(U(w), w.size(), info, &error)) << name << ": " << error;
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.dataOffset + info.dataBytes, w.size()) << name;
    // Clicks and card sounds are over in a blink; fanfares and the jackpot take longer.
    const double s = info.Seconds();
    const bool quick = name == "SND_DEAL" || name == "SND_DRAW" || name == "SND_HOLD" || name == "SND_MENU" ||
                       name == "SND_BET";
    if (quick) {
      EXPECT_GT(s, 0.04) << name;
      EXPECT_LT(s, 0.5) << name;
    } else {
      EXPECT_GT(s, 0.3) << name;
      EXPECT_LT(s, 5.0) << name;
    }
    // Peak a little under full scale, never clipped, and not a whisper either.
    int peak = 0;
    double energy = 0;
    size_t atLimit = 0;
    const size_t n = info.dataBytes / 2;
    for (size_t i = 0; i < n; ++i) {
      const int16_t v = int16_t(uint8_t(w[info.dataOffset + 2 * i]) | (uint8_t(w[info.dataOffset + 2 * i + 1]) << 8));
      peak = std::max(peak, std::abs(int(v)));
      energy += double(v) * v;
      atLimit += std::abs(int(v)) >= 32767;
    }
    EXPECT_EQ(atLimit, 0u) << name;
    EXPECT_GT(peak, 13000) << name;  // above -8 dBFS
    EXPECT_LT(peak, 24000) << name;  // below -2.7 dBFS
    const double rmsDb = 20 * std::log10(std::sqrt(energy / n) / 32768);
    EXPECT_GT(rmsDb, -35) << name;
    // Starts and ends at rest: no click at either end.
    const auto sample = [&](size_t i) {
      return int16_t(uint8_t(w[info.dataOffset + 2 * i]) | (uint8_t(w[info.dataOffset + 2 * i + 1]) << 8));
    };
    EXPECT_LT(std::abs(int(sample(0))), 200) << name;
    EXPECT_LT(std::abs(int(sample(n - 1))), 200) << name;
  }
}

TEST(SoundGen, TunesAreLongLoopableGeneralMidi) {
  for (const std::string& name : sg::TuneNames()) {
    const std::string m = sg::MakeTune(name);
    EXPECT_EQ(m, sg::MakeTune(name)) << name << " differs between runs";
    MidiInfo info;
    std::string error;
    ASSERT_TRUE(ReadMidiInfo(U(m), m.size(), info, &error)) << name << ": " << error;
    EXPECT_EQ(info.format, 1);
    EXPECT_EQ(info.division, 480);
    EXPECT_GE(info.seconds, 60.0) << name;
    EXPECT_LE(info.seconds, 180.0) << name;
    // Whole bars only, so the loop lands on the beat.
    EXPECT_EQ(info.lengthTicks % (4 * 480), 0u) << name;
    EXPECT_GT(info.notes, 500) << name;
    EXPECT_TRUE(info.channelMask & (1 << 9)) << name << " has no drums";
    EXPECT_GE(__builtin_popcount(unsigned(info.channelMask)), 4) << name;
  }
}

TEST(SoundGen, WritesEveryFileIntoTheFolder) {
  vxtest::TempDir dir;
  const std::string out = dir.File("Sounds");
  std::string error;
  ASSERT_TRUE(sg::WriteSoundFiles(out, &error)) << error;
  for (const std::string& n : sg::EffectNames()) {
    EXPECT_EQ(vxtest::TempDir::ReadFile(out + "/" + n + ".wav"), sg::MakeEffect(n));
  }
  for (const std::string& n : sg::TuneNames()) EXPECT_TRUE(std::filesystem::exists(out + "/" + n + ".mid"));
  // A folder that cannot be made is reported, not thrown.
  vxtest::TempDir::WriteFile(dir.File("file"), "x");
  EXPECT_FALSE(sg::WriteSoundFiles(dir.File("file") + "/sub", &error));
  EXPECT_FALSE(error.empty());
}
