// Sound files are read whole and only from places no other user can write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/audio/AudioFile.h"
#include "platform/audio/AudioMix.h"
#include "support/TempDir.h"

using namespace vx::audio;

TEST(AudioFile, ReadsOwnFilesAndRefusesOthers) {
  vxtest::TempDir dir;
  const std::string path = dir.File("a.wav");
  vxtest::TempDir::WriteFile(path, "RIFF1234");
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(ReadSoundFile(path, bytes, &error)) << error;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "RIFF1234");

  ::chmod(path.c_str(), 0666);
  EXPECT_FALSE(ReadSoundFile(path, bytes, &error));
  EXPECT_EQ(error, "file is writable by other users");
  EXPECT_TRUE(bytes.empty());

  EXPECT_FALSE(ReadSoundFile(dir.Str(), bytes, &error));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_FALSE(ReadSoundFile(dir.File("missing.wav"), bytes, &error));

  // A pipe must be refused, not waited on.
  const std::string fifo = dir.File("pipe.wav");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadSoundFile(fifo, bytes, &error));
}

TEST(AudioMix, DecibelLawAndGains) {
  EXPECT_FLOAT_EQ(GainFromHundredthsDb(0), 1.0f);
  EXPECT_NEAR(GainFromHundredthsDb(-1000), 0.316228f, 1e-5);
  EXPECT_NEAR(GainFromHundredthsDb(-10000), 1e-5f, 1e-9);
  EXPECT_FLOAT_EQ(GainFromHundredthsDb(500), 1.0f);  // never amplifies

  StereoGain g = PathGain(-2000, -1000, 0, 0, 0);  // -20 dB, balance to the left by 10 dB
  EXPECT_NEAR(g.left, 0.1f, 1e-6);
  EXPECT_NEAR(g.right, 0.0316228f, 1e-6);
  g = PathGain(0, 0, 4, 0, 0);  // far to the right
  EXPECT_NEAR(g.right, 0.25f, 1e-6);
  EXPECT_NEAR(g.left, 0.0f, 1e-6);
  g = PathGain(0, 0, 0, 0, 0.5f);  // within one unit: no fall-off
  EXPECT_FLOAT_EQ(g.left, 1.0f);
  g = PathGain(0, 0, std::numeric_limits<float>::infinity(), 0, 0);
  EXPECT_EQ(g.left, 0.0f);
}

TEST(AudioMix, GainStageScalesSaturatesAndDownmixes) {
  int16_t s[6] = {32767, -32768, 1000, -1000, 20000, 0};
  ApplyGainS16Stereo(s, 3, 1.0f, 0.5f, false);
  EXPECT_EQ(s[0], 32767);
  EXPECT_EQ(s[1], -16384);
  EXPECT_EQ(s[2], 1000);
  EXPECT_EQ(s[3], -500);
  int16_t m[2] = {20000, 0};
  ApplyGainS16Stereo(m, 1, 1.0f, 1.0f, true);
  EXPECT_EQ(m[0], 10000);
  EXPECT_EQ(m[1], 10000);
  int16_t z[2] = {-32768, 32767};
  ApplyGainS16Stereo(z, 1, 0.0f, 2.0f, false);  // gains are kept within 0..1
  EXPECT_EQ(z[0], 0);
  EXPECT_EQ(z[1], 32767);
}
