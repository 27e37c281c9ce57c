// The SDL2_mixer back end on SDL's disk driver (the mixed output lands in a file as 16-bit
// stereo) and on the dummy driver (real timing, no output).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/Log.h"
#include "platform/audio/AudioBackend.h"
#include "platform/audio/SoundFont.h"
#include "support/TempDir.h"
#include "tools/soundgen/SoundGen.h"
#include "tools/soundgen/Wave.h"

using namespace vx::audio;
namespace sg = vx::soundgen;

namespace {

// Routes the next opened device to a file, and back to the dummy driver afterwards.
class DiskCapture {
public:
  explicit DiskCapture(std::string file) : file_(std::move(file)) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
  }
  ~DiskCapture() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::unsetenv("SDL_DISKAUDIOFILE");
  }
  // Sum of squares of every sample written.
  double Energy() const {
    const std::string pcm = vxtest::TempDir::ReadFile(file_);
    double e = 0;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
      const int16_t v = int16_t(uint8_t(pcm[i]) | (uint8_t(pcm[i + 1]) << 8));
      e += double(v) * v;
    }
    return e;
  }
  size_t Bytes() const { return vxtest::TempDir::ReadFile(file_).size(); }

private:
  std::string file_;
};

std::string ToneFile(const vxtest::TempDir& dir, double seconds = 0.3, double amp = 0.5) {
  sg::Buffer b;
  sg::AddTone(b, 0, seconds, 1000, amp, sg::Shape::Sine, {0.005, 100, 1, 0, 0.005});
  const std::string path = dir.File("tone.wav");
  vxtest::TempDir::WriteFile(path, sg::WaveBytes(b));
  return path;
}

void WaitIdle(AudioBackend& b, PathId p, double maxSeconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(maxSeconds);
  while (b.PathBusy(p) && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // let the last buffers out
}

// Plays the 1 kHz tone once at a volume of 0..100 and returns the energy captured.
double CaptureTone(int volume) {
  vxtest::TempDir dir;
  const std::string tone = ToneFile(dir);
  DiskCapture capture(dir.File("out.raw"));
  {
    auto backend = OpenAudioBackend();
    EXPECT_NE(backend->Describe().find("disk"), std::string::npos) << backend->Describe();
    const PathId path = backend->CreatePath(PathKind::Stereo, 4, 22050);
    const SegmentId seg = backend->LoadSegment(tone, nullptr);
    EXPECT_TRUE(seg && backend->DownloadSegment(seg) && backend->SetSegmentRepeats(seg, 0));
    EXPECT_TRUE(backend->SetPathVolume(path, volume * 100 - 10000));
    EXPECT_TRUE(backend->PlaySegment(seg, path));
    WaitIdle(*backend, path, 3);
  }
  EXPECT_GT(capture.Bytes(), 0u);
  return capture.Energy();
}

double Db(double energyA, double energyB) { return 10 * std::log10(energyA / energyB); }

}  // namespace

TEST(AudioDevice, VolumeFollowsTheDecibelLaw) {
  const double full = CaptureTone(100);
  const double ninety = CaptureTone(90);
  const double fifty = CaptureTone(50);
  ASSERT_GT(full, 0);
  std::printf("100 vs 90: %.2f dB, 100 vs 50: %.2f dB\n", Db(full, ninety), Db(full, fifty));
  EXPECT_NEAR(Db(full, ninety), 10.0, 1.0);
  EXPECT_NEAR(Db(full, fifty), 50.0, 1.0);
  // 0 is -100 dB: below what 16-bit output can carry.
  EXPECT_EQ(CaptureTone(0), 0.0);
}

TEST(AudioDevice, MidiTunePlaysThroughTheSoundFont) {
  if (FindGeneralMidiSoundFont().empty()) {
    GTEST_SKIP() << "no General MIDI soundfont installed (looked for TimGM6mb.sf2, default-GM.sf2, FluidR3_GM.sf2)";
  }
  vxtest::TempDir dir;
  const std::string file = dir.File("music_MAIN_1.mid");
  vxtest::TempDir::WriteFile(file, sg::MakeTune("music_MAIN_1"));
  DiskCapture capture(dir.File("out.raw"));
  {
    auto backend = OpenAudioBackend();
    EXPECT_TRUE(vx::LogContains("INFO: MIDI soundfont: " + FindGeneralMidiSoundFont()));
    const PathId effects = backend->CreatePath(PathKind::Spatial, 16, 22050);
    const PathId music = backend->CreatePath(PathKind::Spatial, 16, 22050);
    ASSERT_TRUE(effects && music);
    const SegmentId seg = backend->LoadSegment(file, nullptr);
    ASSERT_TRUE(seg && backend->DownloadSegment(seg) && backend->SetSegmentRepeats(seg, kRepeatForever));
    ASSERT_TRUE(backend->SetPathVolume(music, 0));
    ASSERT_TRUE(backend->PlaySegment(seg, music));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(backend->PathBusy(music));
    EXPECT_FALSE(backend->PathBusy(effects));
    EXPECT_TRUE(backend->StopSegment(seg));
    EXPECT_FALSE(backend->PathBusy(music));
  }
  // Over a second of music: well above silence (an RMS of at least ~1% of full scale).
  const double frames = double(capture.Bytes()) / 4;
  ASSERT_GT(frames, 0);
  std::printf("music RMS %.0f over %.2f s\n", std::sqrt(capture.Energy() / (2 * frames)), frames / 44100);
  EXPECT_GT(std::sqrt(capture.Energy() / (2 * frames)), 300.0);
}

TEST(AudioDevice, BusyGroupGivesWayOldestFirst) {
  vxtest::TempDir dir;
  const std::string tone = ToneFile(dir, 0.1);
  auto backend = OpenAudioBackend();
  const PathId path = backend->CreatePath(PathKind::Stereo, 2, 22050);
  SegmentId seg[3];
  for (SegmentId& s : seg) {
    s = backend->LoadSegment(tone, nullptr);
    ASSERT_TRUE(s && backend->DownloadSegment(s));
  }
  ASSERT_TRUE(backend->SetSegmentRepeats(seg[0], kRepeatForever));
  ASSERT_TRUE(backend->SetSegmentRepeats(seg[1], kRepeatForever));
  ASSERT_TRUE(backend->PlaySegment(seg[0], path));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(backend->PlaySegment(seg[1], path));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(backend->PlaySegment(seg[2], path));  // both channels busy: the oldest yields
  ASSERT_TRUE(backend->StopSegment(seg[1]));
  WaitIdle(*backend, path, 2);
  EXPECT_FALSE(backend->PathBusy(path)) << "the first looping sound should have been replaced";
}

TEST(AudioDevice, RefusedFilesAndUnknownIdsFailCleanly) {
  vxtest::TempDir dir;
  auto backend = OpenAudioBackend();
  std::string error;
  vxtest::TempDir::WriteFile(dir.File("junk.wav"), "not a sound at all");
  EXPECT_EQ(backend->LoadSegment(dir.File("junk.wav"), &error), 0);
  EXPECT_EQ(error, "neither a WAV nor a MIDI file");
  EXPECT_EQ(backend->LoadSegment(dir.File("none.wav"), &error), 0);
  EXPECT_FALSE(backend->PlaySegment(12345, 1));
  EXPECT_FALSE(backend->SetPathVolume(99, 0));
  EXPECT_FALSE(backend->CreatePath(PathKind::Stereo, 100000, 22050));
  backend->ReleaseSegment(777);  // unknown: ignored

  // A WAV whose header passes but whose samples the mixer cannot decode fails at download.
  const std::string tone = ToneFile(dir);
  std::string bytes = vxtest::TempDir::ReadFile(tone);
  bytes[20] = 0x55;  // an encoding nobody knows
  bytes[21] = 0x55;
  vxtest::TempDir::WriteFile(dir.File("odd.wav"), bytes);
  EXPECT_EQ(backend->LoadSegment(dir.File("odd.wav"), &error), 0);
  EXPECT_EQ(error, "unsupported sample encoding");
}

TEST(AudioDevice, SilentBackendKeepsTheBookkeeping) {
  vxtest::TempDir dir;
  auto backend = CreateSilentAudioBackend();
  EXPECT_EQ(backend->Describe(), "silent");
  const PathId path = backend->CreatePath(PathKind::Mono, 16, 22050);
  const SegmentId seg = backend->LoadSegment(ToneFile(dir), nullptr);
  ASSERT_TRUE(path && seg);
  EXPECT_TRUE(backend->PlaySegment(seg, path));
  EXPECT_FALSE(backend->PathBusy(path));
  backend->ReleaseSegment(seg);
  EXPECT_FALSE(backend->PlaySegment(seg, path));
}

TEST(AudioDevice, NoDeviceMeansASilentBackEndAndALoggedError) {
  vx::ClearLog();
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  auto backend = OpenAudioBackend();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_NE(backend, nullptr);
  EXPECT_EQ(backend->Describe(), "silent");
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot open the audio device ("));

  // The mixer is one per process: a second back end while one is open is silent too.
  auto first = OpenAudioBackend();
  EXPECT_NE(first->Describe(), "silent");
  auto second = OpenAudioBackend();
  EXPECT_EQ(second->Describe(), "silent");
  EXPECT_TRUE(vx::LogContains("the mixer is already in use"));
  first.reset();
  auto third = OpenAudioBackend();  // free again once the first is closed
  EXPECT_NE(third->Describe(), "silent");
}
