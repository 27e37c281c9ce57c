// The sound library over a recording back end: start-up, paths, lazy loading, path choice,
// stop, and the exact error texts.
#include <gtest/gtest.h>

#include <memory>

#include "sound/Sound3D.h"
#include "unit/sound/RecordingBackend.h"

using vx::audio::InitResult;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ESoundError& e) {
    return e.Message;
  }
  return "";
}

struct Fixture {
  RecordingBackend::State state;
  std::unique_ptr<TSound3D> sound;

  // Paths as the sound manager makes them: `n` 3-D paths at full volume.
  explicit Fixture(int n = 2) {
    sound = std::make_unique<TSound3D>(std::make_unique<RecordingBackend>(state));
    for (int i = 0; i < n; ++i) sound->AudioPathList().Add().SetVolume(100);
    sound->CreateAudioPaths();
    state.calls.clear();
  }
  TSoundListItem& Item(const std::string& name, int path = 0) {
    TSoundListItem& item = sound->SoundList().Add();
    item.Name = name;
    item.FileName = "/snd/" + name + ".wav";
    item.AudioPathIndex = path;
    item.Volume = 100;
    return item;
  }
};

}  // namespace

TEST(Sound3D, StartUpFailuresCarryTheirTexts) {
  const std::pair<InitResult, const char*> cases[] = {
      {InitResult::PlatformFailed, "Failed to initialise COM"},
      {InitResult::LoaderFailed, "Failed to initialise DirectX Audio. DirectX 8 may not be installed"},
      {InitResult::PerformanceFailed, "Failed to initialise DirectMusic. DirectX 8 may not be installed"},
      {InitResult::AudioFailed, "Failed to initialise DirectX Audio. DirectX 8 may not be installed"},
  };
  for (const auto& [result, text] : cases) {
    RecordingBackend::State s;
    s.init = result;
    EXPECT_EQ(ErrorOf([&] { TSound3D snd(std::make_unique<RecordingBackend>(s)); }), text);
  }
  EXPECT_EQ(ErrorOf([] { TSoundListCollection list(nullptr); }),
            "TSoundListCollection may only be created with TSound3D as owner");
}

TEST(Sound3D, CreatingPathsAsksForTheirObjects) {
  RecordingBackend::State s;
  TSound3D snd(std::make_unique<RecordingBackend>(s));
  TAudioPathListItem& spatial = snd.AudioPathList().Add();
  TAudioPathListItem& stereo = snd.AudioPathList().Add();
  stereo.AudioPathType = aptStereo;
  stereo.Channels = 4;
  spatial.SetVolume(100);
  EXPECT_FALSE(s.Has("Volume 1 0"));  // nothing reaches the platform before the path exists
  snd.CreateAudioPaths();
  EXPECT_TRUE(s.Has("CreatePath 0 16 22050"));
  EXPECT_TRUE(s.Has("CreatePath 2 4 22050"));
  EXPECT_EQ(s.Count("Query 1"), 3);  // buffer, 3-D buffer, listener
  EXPECT_EQ(s.Count("Query 2"), 2);  // no 3-D buffer on a stereo path
  EXPECT_TRUE(s.Has("Volume 1 0"));

  RecordingBackend::State f1;
  f1.failing = {"CreatePath"};
  TSound3D a(std::make_unique<RecordingBackend>(f1));
  a.AudioPathList().Add();
  EXPECT_EQ(ErrorOf([&] { a.CreateAudioPaths(); }), "Failed to create standard audio path. DirectX 8 may not be installed");
  for (const char* op : {"Query0", "Query1", "Query2"}) {
    RecordingBackend::State f;
    f.failing = {op};
    TSound3D b(std::make_unique<RecordingBackend>(f));
    b.AudioPathList().Add();
    EXPECT_EQ(ErrorOf([&] { b.CreateAudioPaths(); }), "Failed GetObjectInPath. DirectX 8 may not be installed") << op;
  }
}

TEST(Sound3D, VolumeAndPanAreClampedHundredthsOfDecibels) {
  Fixture f(1);
  TAudioPathListItem& p = f.sound->AudioPathList()[0];
  const std::pair<int, int> volumes[] = {{100, 0}, {90, -1000}, {0, -10000}, {-5, -10000}, {250, 0}, {37, -6300}};
  for (const auto& [in, out] : volumes) {
    p.SetVolume(in);
    EXPECT_EQ(p.Volume(), out) << in;
  }
  EXPECT_TRUE(f.state.Has("Volume 1 -6300"));
  const std::pair<int, int> pans[] = {{0, 0}, {-100, -10000}, {100, 10000}, {-300, -10000}, {42, 4200}};
  for (const auto& [in, out] : pans) {
    p.SetPan(in);
    EXPECT_EQ(p.Pan(), out) << in;
  }
  f.state.failing = {"Volume", "Pan"};
  EXPECT_EQ(ErrorOf([&] { p.SetVolume(50); }), "Error setting volume");
  EXPECT_EQ(ErrorOf([&] { p.SetPan(5); }), "Error setting pan");
}

TEST(Sound3D, ItemsLoadOnFirstPlayOnlyAndKeepTheirRepeats) {
  Fixture f;
  TSoundListItem& item = f.Item("SND_BET");
  item.SetRepeatCount(2);
  EXPECT_FALSE(item.Loaded());
  EXPECT_EQ(f.state.loads, 0);
  item.Play();
  EXPECT_TRUE(item.Loaded());
  EXPECT_EQ(f.state.calls[0], "Load /snd/SND_BET.wav");
  EXPECT_EQ(f.state.calls[1], "Download 1");
  EXPECT_EQ(f.state.calls[2], "Repeats 1 2");
  EXPECT_EQ(f.state.calls.back(), "Play 1 on 1");
  item.Play();
  EXPECT_EQ(f.state.loads, 1);
  EXPECT_EQ(f.state.Count("Download"), 1);

  // Loop and repeat count reach a loaded sound at once; looping wins over the count.
  item.SetLoop(true);
  EXPECT_EQ(f.state.calls.back(), "Repeats 1 -1");
  item.SetRepeatCount(5);
  EXPECT_EQ(f.state.calls.back(), "Repeats 1 -1");
  item.SetLoop(false);
  EXPECT_EQ(f.state.calls.back(), "Repeats 1 5");

  // The item's volume and pan are set on its path before it plays.
  item.Volume = 90;
  item.Pan = -10;
  f.state.calls.clear();
  item.Play();
  EXPECT_EQ(f.state.calls, (std::vector<std::string>{"Volume 1 -1000", "Pan 1 -1000", "Position 1", "Play 1 on 1"}));
  EXPECT_EQ(f.sound->AudioPathList()[0].CurrentItem(), &item);
  EXPECT_EQ(item.AudioPath(), &f.sound->AudioPathList()[0]);
}

TEST(Sound3D, FailuresHaveTheirTextsAndAPartlyLoadedItemIsNotReadAgain) {
  Fixture f;
  TSoundListItem& item = f.Item("SND_WIN");
  f.state.failing = {"Load"};
  EXPECT_EQ(ErrorOf([&] { item.Play(); }), "Error loading sound: /snd/SND_WIN.wav");
  EXPECT_FALSE(item.Loaded());

  f.state.failing = {"Download"};
  EXPECT_EQ(ErrorOf([&] { item.Play(); }), "Error downloading sound");
  EXPECT_TRUE(item.Loaded());
  EXPECT_EQ(f.state.loads, 2);
  // The file is not read again; the failed step is tried again and then the sound plays.
  f.state.failing = {"Repeats"};
  EXPECT_EQ(ErrorOf([&] { item.Play(); }), "Error setting number of repeat counts");
  EXPECT_EQ(ErrorOf([&] { item.SetLoop(true); }), "Error looping sound");
  f.state.failing.clear();
  item.Play();
  EXPECT_EQ(f.state.loads, 2);
  EXPECT_TRUE(f.state.Has("Repeats 1 -1"));
  EXPECT_TRUE(f.state.Has("Play 1 on 1"));
  item.SetLoop(false);

  // A failure while setting up the path stops the play before the sound starts.
  for (const auto& [op, text] : std::vector<std::pair<std::string, std::string>>{
           {"Volume", "Error setting volume"},
           {"Pan", "Error setting pan"},
           {"Position", "Error setting sound position"},
           {"Play", "Error playing sound"},
           {"Stop", "Error stopping sound"}}) {
    f.state.failing = {op};
    f.state.calls.clear();
    EXPECT_EQ(ErrorOf([&] {
                if (op == "Stop") {
                  item.Stop();
                } else {
                  item.Play();
                }
              }),
              text);
    if (op != "Play" && op != "Stop") {
      EXPECT_EQ(f.state.Count("Play"), 0) << op;
    }
  }
  f.state.failing.clear();

  // A negative repeat count is refused, never handed on.
  TSoundListItem& odd = f.Item("SND_ODD");
  odd.SetRepeatCount(-3);
  EXPECT_EQ(ErrorOf([&] { odd.Play(); }), "Error setting number of repeat counts");

  // An index without a path is a clear error, not a crash.
  TSoundListItem& lost = f.Item("SND_LOST", 7);
  EXPECT_EQ(ErrorOf([&] { lost.Play(); }), "No audio path 7 for sound SND_LOST");
}

TEST(Sound3D, PoolPathsRotateAndPreferIdleOnes) {
  RecordingBackend::State s;
  TSound3D snd(std::make_unique<RecordingBackend>(s));
  for (int i = 0; i < 5; ++i) {
    TAudioPathListItem& p = snd.AudioPathList().Add();
    p.AudioPathType = i == 2 ? aptMono : aptStereo;
    p.Pool = i != 4;  // path 4 is stereo but not in the pool
  }
  snd.CreateAudioPaths();
  TSoundListItem& item = snd.SoundList().Add();
  item.Name = "SND_DEAL";
  item.AudioPathPool = appStereo;
  auto playedOn = [&] {
    item.Play();
    return item.AudioPath()->Index();
  };
  // Stereo pool paths are 0, 1 and 3; the rotation starts after the last one given out.
  // (Back-end path ids are indexes + 1.)
  EXPECT_EQ(playedOn(), 0);
  s.busyPaths = {1};
  EXPECT_EQ(playedOn(), 1);
  EXPECT_EQ(playedOn(), 3);
  s.busyPaths = {};
  EXPECT_EQ(playedOn(), 0);
  // A busy path is passed over for the next idle one.
  s.busyPaths = {2};
  EXPECT_EQ(playedOn(), 3);
  // All busy: the last matching one seen in the rotation.
  s.busyPaths = {1, 2, 4};
  EXPECT_EQ(playedOn(), 3);
  EXPECT_EQ(playedOn(), 3);

  item.AudioPathPool = appMono;
  EXPECT_EQ(playedOn(), 2);
  item.AudioPathPool = app3D;
  EXPECT_EQ(ErrorOf([&] { item.Play(); }), "No audio path in the pool for sound SND_DEAL");
}

TEST(Sound3D, StopClearsTheItemOnEveryPath) {
  RecordingBackend::State s;
  TSound3D snd(std::make_unique<RecordingBackend>(s));
  for (int i = 0; i < 3; ++i) {
    TAudioPathListItem& p = snd.AudioPathList().Add();
    p.AudioPathType = aptStereo;
    p.Pool = true;
  }
  snd.CreateAudioPaths();
  TSoundListItem& a = snd.SoundList().Add();
  TSoundListItem& b = snd.SoundList().Add();
  a.AudioPathPool = b.AudioPathPool = appStereo;
  a.Stop();  // not loaded: nothing to do
  EXPECT_EQ(s.Count("Stop"), 0);
  a.Play();
  a.Play();
  b.Play();
  auto& paths = snd.AudioPathList();
  EXPECT_EQ(paths[0].CurrentItem(), &a);
  EXPECT_EQ(paths[1].CurrentItem(), &a);
  EXPECT_EQ(paths[2].CurrentItem(), &b);
  a.Stop();
  EXPECT_EQ(paths[0].CurrentItem(), nullptr);
  EXPECT_EQ(paths[1].CurrentItem(), nullptr);
  EXPECT_EQ(paths[2].CurrentItem(), &b);
  EXPECT_TRUE(s.Has("Stop 1"));
}

TEST(Sound3D, CollectionsFindCopyAndFree) {
  RecordingBackend::State s;
  {
    TSound3D snd(std::make_unique<RecordingBackend>(s));
    snd.AudioPathList().Add().SetVolume(100);
    snd.CreateAudioPaths();
    TSoundListItem& x = snd.SoundList().Add();
    x.Name = "SND_MENU";
    x.SetRepeatCount(3);
    x.Volume = 80;
    EXPECT_EQ(snd.SoundList().FindByName("SND_MENU"), &x);
    EXPECT_EQ(snd.SoundList().FindByName("snd_menu"), nullptr);  // names match exactly
    x.Play();

    TSound3D other(std::make_unique<RecordingBackend>(s));
    other.SetSoundList(snd.SoundList());
    ASSERT_EQ(other.SoundList().Count(), 1);
    EXPECT_EQ(other.SoundList()[0].RepeatCount(), 3);
    EXPECT_FALSE(other.SoundList()[0].Loaded());  // copies the settings, not the sound
    other.SetAudioPathList(snd.AudioPathList());
    EXPECT_EQ(other.AudioPathList()[0].Volume(), -2000);  // as the last play left it
    EXPECT_EQ(ErrorOf([&] { other.SoundList().Items(1); }), "Sound index out of range (1)");

    // Replacing the paths leaves no item pointing at a freed one.
    snd.AudioPathList().Clear();
    EXPECT_EQ(x.AudioPath(), nullptr);
  }
  EXPECT_EQ(s.released, 1);  // freeing the component releases what was loaded
}
