// The sound and music manager with fake resources and options: what gets loaded, which
// track plays, what is logged, and that no sound failure reaches the caller.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <thread>

#include "core/Log.h"
#include "core/Random.h"
#include "framework/VXSounds.h"
#include "support/TempDir.h"
#include "tools/soundgen/SoundGen.h"
#include "unit/sound/RecordingBackend.h"

namespace {

// Files by their "Sounds\..." name; only names in the map resolve.
class FakeFiles : public TVXSoundFiles {
public:
  std::map<std::string, std::string> files;
  std::vector<std::string> asked;
  bool throws = false;
  std::string SoundFileName(const std::string& name) override {
    asked.push_back(name);
    if (throws) throw Exception("archive damaged");
    auto it = files.find(name);
    return it == files.end() ? "" : it->second;
  }
};

class FakeOptions : public TVXSoundOptions {
public:
  bool sound = true, music = true;
  int soundVolume = 100, musicVolume = 80;
  bool optSoundEnabled() const override { return sound; }
  int optSoundVolume() const override { return soundVolume; }
  bool optMusicEnabled() const override { return music; }
  int optMusicVolume() const override { return musicVolume; }
};

// Always picks the same value, so the track choice is known.
class FixedRandom : public vx::RandomGenerator {
public:
  explicit FixedRandom(int v) : value(v) {}
  void Seed(uint64_t) override {}
  int32_t Random(int32_t n) override {
    calls.push_back(n);
    return n > 0 ? value % n : 0;
  }
  double RandomReal() override { return 0; }
  int value;
  std::vector<int> calls;
};

struct Manager {
  vxtest::TempDir dir;
  FakeFiles files;
  FakeOptions options;
  RecordingBackend::State state;
  std::unique_ptr<TVXSounds> sounds;
  FixedRandom* rng = nullptr;

  Manager() {
    for (const char* n : {"SND_BET", "SND_MENU", "SND_DEAL"}) AddFile(std::string(n) + ".wav");
    for (const char* n : {"music_MAIN_1", "music_ROCK_1", "music_ROCK_2", "music_ROCK_3", "music_POP_1"}) {
      AddFile(std::string(n) + ".mid");
    }
    auto r = std::make_unique<FixedRandom>(0);
    rng = r.get();
    vx::SetRng(std::move(r));
    sounds = std::make_unique<TVXSounds>(files, options, std::make_unique<RecordingBackend>(state));
    state.calls.clear();
    vx::ClearLog();
  }
  ~Manager() {
    sounds.reset();
    vx::SetRng(nullptr);
  }
  void AddFile(const std::string& name) {
    files.files["Sounds\\" + name] = dir.File(name);
    vxtest::TempDir::WriteFile(dir.File(name), "x");
  }
};

}  // namespace

TEST(VXSounds, TwoFullVolumePathsAreMadeAtStart) {
  RecordingBackend::State s;
  FakeFiles files;
  FakeOptions options;
  TVXSounds sounds(files, options, std::make_unique<RecordingBackend>(s));
  ASSERT_NE(sounds.Engine, nullptr);
  ASSERT_EQ(sounds.Engine->AudioPathList().Count(), 2);
  EXPECT_TRUE(s.Has("CreatePath 0 16 22050"));
  EXPECT_TRUE(s.Has("Volume 1 0"));
  EXPECT_TRUE(s.Has("Volume 2 0"));
  EXPECT_EQ(sounds.CurrentMusic, nullptr);
}

TEST(VXSounds, EffectsLoadOnceAndFollowTheOptions) {
  Manager m;
  m.options.sound = false;
  m.sounds->PlaySound("SND_BET");
  EXPECT_TRUE(m.files.asked.empty());  // disabled: not even looked up
  EXPECT_EQ(m.sounds->FindSound("SND_BET"), nullptr);

  m.options.sound = true;
  m.options.soundVolume = 90;
  m.sounds->PlaySound("SND_BET");
  ASSERT_EQ(m.files.asked, std::vector<std::string>{"Sounds\\SND_BET.wav"});
  TSoundListItem* bet = m.sounds->FindSound("SND_BET");
  ASSERT_NE(bet, nullptr);
  EXPECT_EQ(bet->FileName, m.dir.File("SND_BET.wav"));
  EXPECT_EQ(bet->AudioPathIndex, 0);
  EXPECT_TRUE(m.state.Has("Volume 1 -1000"));
  EXPECT_TRUE(m.state.Has("Play 1 on 1"));

  // A new volume counts from the next play; the file is not looked up again.
  m.options.soundVolume = 50;
  m.sounds->PlaySound("SND_BET");
  EXPECT_EQ(m.files.asked.size(), 1u);
  EXPECT_EQ(m.state.loads, 1);
  EXPECT_EQ(m.state.calls[m.state.calls.size() - 4], "Volume 1 -5000");
  EXPECT_EQ(m.sounds->LoadSound("SND_BET", TVXSounds::kSound), bet);
  EXPECT_EQ(m.sounds->FindSound("snd_bet"), nullptr);
}

TEST(VXSounds, MissingFilesAreSkippedQuietly) {
  Manager m;
  m.sounds->PlaySound("SND_NOPE");
  m.files.files["Sounds\\SND_GONE.wav"] = m.dir.File("gone.wav");  // resolves, but no file
  m.sounds->PlaySound("SND_GONE");
  EXPECT_EQ(m.sounds->Engine->SoundList().Count(), 0);
  EXPECT_EQ(m.state.loads, 0);
  EXPECT_TRUE(vx::LogLines().empty());
}

TEST(VXSounds, MusicStyleTable) {
  const std::tuple<int, const char*, int> table[] = {
      {0, "", 0}, {1, "MAIN", 1}, {2, "", 0}, {3, "JAZZ", 1}, {4, "ROCK", 3}, {5, "POP", 2}, {6, "", 0}, {-1, "", 0}};
  for (const auto& [style, name, tracks] : table) {
    EXPECT_EQ(TVXSounds::MusicStyleName(style), name) << style;
    EXPECT_EQ(TVXSounds::MusicStyleTracks(style), tracks) << style;
  }
}

TEST(VXSounds, MusicPicksATrackAndKeepsItPlaying) {
  Manager m;
  m.rng->value = 1;
  m.sounds->PlayMusic(4);
  ASSERT_NE(m.sounds->CurrentMusic, nullptr);
  EXPECT_EQ(m.sounds->CurrentMusic->Name, "music_ROCK_2");
  EXPECT_EQ(m.rng->calls, std::vector<int>{3});
  EXPECT_EQ(m.files.asked.back(), "Sounds\\music_ROCK_2.mid");
  EXPECT_EQ(m.sounds->CurrentMusic->AudioPathIndex, 1);
  EXPECT_TRUE(m.sounds->CurrentMusic->Loop());
  EXPECT_TRUE(m.state.Has("Repeats 1 -1"));
  EXPECT_TRUE(m.state.Has("Volume 2 -2000"));
  EXPECT_TRUE(m.state.Has("Play 1 on 2"));
  EXPECT_EQ(vx::LogLines(), std::vector<std::string>{"[MUSIC] Starting music_ROCK_2"});

  // The same pick again: nothing changes, nothing is logged.
  m.state.calls.clear();
  vx::ClearLog();
  m.sounds->PlayMusic(4);
  EXPECT_TRUE(m.state.calls.empty());
  EXPECT_TRUE(vx::LogLines().empty());

  // Styles without tracks keep what plays; so does a disabled music option.
  m.sounds->PlayMusic(0);
  m.sounds->PlayMusic(2);
  m.options.music = false;
  m.sounds->PlayMusic(1);
  EXPECT_EQ(m.sounds->CurrentMusic->Name, "music_ROCK_2");
  EXPECT_EQ(m.rng->calls.size(), 2u);  // the table is consulted before the generator

  // Another track: the old one stops first.
  m.options.music = true;
  m.sounds->PlayMusic(1);
  EXPECT_EQ(m.sounds->CurrentMusic->Name, "music_MAIN_1");
  EXPECT_EQ(vx::LogLines(), (std::vector<std::string>{"[MUSIC] Stopping music_ROCK_2", "[MUSIC] Starting music_MAIN_1"}));
  EXPECT_TRUE(m.state.Has("Stop 1"));

  // A pick without a file changes nothing.
  m.rng->value = 1;
  vx::ClearLog();
  m.sounds->PlayMusic(5);  // music_POP_2 does not exist
  EXPECT_EQ(m.sounds->CurrentMusic->Name, "music_MAIN_1");
  EXPECT_TRUE(vx::LogLines().empty());
}

TEST(VXSounds, OptionsDialogControlsTheCurrentTrack) {
  Manager m;
  m.sounds->StopMusic();  // nothing loaded: nothing happens
  m.sounds->ResumeMusic();
  m.sounds->SetMusicVolume(10);
  EXPECT_TRUE(m.state.calls.empty());
  EXPECT_FALSE(m.sounds->HasMusic());

  m.sounds->PlayMusic(1);
  m.state.calls.clear();
  m.sounds->StopMusic();
  EXPECT_EQ(m.state.calls, std::vector<std::string>{"Stop 1"});
  EXPECT_TRUE(m.sounds->HasMusic());  // still loaded, so it can be played again
  m.options.musicVolume = 30;
  m.sounds->ResumeMusic();
  EXPECT_TRUE(m.state.Has("Volume 2 -7000"));
  EXPECT_TRUE(m.state.Has("Play 1 on 2"));
  m.state.calls.clear();
  m.sounds->SetMusicVolume(60);
  EXPECT_EQ(m.state.calls, std::vector<std::string>{"Volume 2 -4000"});
  m.options.music = false;
  m.state.calls.clear();
  m.sounds->ResumeMusic();
  EXPECT_TRUE(m.state.calls.empty());
}

TEST(VXSounds, SoundFailuresAreLoggedAndTheCallerGoesOn) {
  Manager m;
  m.state.failing = {"Load"};
  EXPECT_NO_THROW(m.sounds->PlaySound("SND_DEAL"));
  EXPECT_TRUE(vx::LogContains("ERROR: Error loading sound: " + m.dir.File("SND_DEAL.wav")));
  m.state.failing = {"Play"};
  EXPECT_NO_THROW(m.sounds->PlayMusic(1));
  EXPECT_TRUE(vx::LogContains("ERROR: Error playing sound"));
  EXPECT_EQ(m.sounds->CurrentMusic, nullptr);  // it never started
  m.state.failing.clear();
  m.sounds->PlayMusic(1);  // tried again at the next scene
  ASSERT_NE(m.sounds->CurrentMusic, nullptr);

  // A back end that throws something of its own, a resource manager that throws.
  m.state.throwOnPlay = true;
  EXPECT_NO_THROW(m.sounds->PlaySound("SND_MENU"));
  EXPECT_TRUE(vx::LogContains("ERROR: device lost"));
  m.state.throwOnPlay = false;
  m.files.throws = true;
  EXPECT_NO_THROW(m.sounds->PlaySound("SND_BET"));
  EXPECT_TRUE(vx::LogContains("ERROR: archive damaged"));

  // A failed stop of the old track still lets the new one start.
  m.files.throws = false;
  m.rng->value = 0;
  m.state.failing = {"Stop"};
  m.sounds->PlayMusic(4);
  EXPECT_TRUE(vx::LogContains("ERROR: Error stopping sound"));
  EXPECT_EQ(m.sounds->CurrentMusic->Name, "music_ROCK_1");
}

TEST(VXSounds, NoAudioSystemMeansNoSoundButNoFailure) {
  RecordingBackend::State s;
  s.init = vx::audio::InitResult::PerformanceFailed;
  FakeFiles files;
  files.files["Sounds\\SND_BET.wav"] = "/nonexistent";
  FakeOptions options;
  vx::ClearLog();
  TVXSounds sounds(files, options, std::make_unique<RecordingBackend>(s));
  EXPECT_EQ(sounds.Engine, nullptr);
  EXPECT_TRUE(vx::LogContains("ERROR: Failed to initialise DirectMusic. DirectX 8 may not be installed"));
  sounds.PlaySound("SND_BET");
  sounds.PlayMusic(4);
  EXPECT_EQ(sounds.CurrentMusic, nullptr);
}

// Through the real mixer on SDL's disk driver: a disabled sound and volume 0 are silent,
// an enabled one is heard.
TEST(VXSounds, DisabledOrZeroVolumeSoundIsSilentOnTheDevice) {
  vxtest::TempDir dir;
  FakeFiles files;
  files.files["Sounds\\SND_WIN.wav"] = dir.File("SND_WIN.wav");
  vxtest::TempDir::WriteFile(dir.File("SND_WIN.wav"), vx::soundgen::MakeEffect("SND_WIN"));
  auto energy = [&](bool enabled, int volume) {
    const std::string out = dir.File("out" + std::to_string(enabled) + std::to_string(volume) + ".raw");
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    {
      FakeOptions options;
      options.sound = enabled;
      options.soundVolume = volume;
      TVXSounds sounds(files, options);
      sounds.PlaySound("SND_WIN");
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string pcm = vxtest::TempDir::ReadFile(out);
    EXPECT_GT(pcm.size(), 0u);
    double e = 0;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
      const int16_t v = int16_t(uint8_t(pcm[i]) | (uint8_t(pcm[i + 1]) << 8));
      e += double(v) * v;
    }
    return e;
  };
  EXPECT_GT(energy(true, 100), 1e9);
  EXPECT_EQ(energy(false, 100), 0.0);
  EXPECT_EQ(energy(true, 0), 0.0);
}
