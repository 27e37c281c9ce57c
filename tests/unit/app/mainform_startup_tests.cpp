// The main window's start-up, start sequence and shutdown on the headless harness: the fixed
// orders, the paths taken when the engine or the sound system cannot start, sign-in
// outcomes, and the files left behind.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <stdexcept>

#include "ShellHarness.h"
#include "core/Random.h"
#include "framework/VXContext.h"
#include "framework/VXDebug.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "platform/Files.h"
#include "platform/Signals.h"
#include "tools/common/ArchiveWriter.h"

using shelltest::Harness;
using shelltest::HarnessOptions;

namespace {

std::vector<std::string> Without(const std::vector<std::string>& calls, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.rfind(prefix, 0) != 0) out.push_back(c);
  return out;
}

}  // namespace

TEST(MainWindowStartUp, BuildsTheSingletonsInOrderAndDrawsFramesOnceStarted) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TfrmMain& f = *h.form;
  EXPECT_EQ(h.calls, (std::vector<std::string>{"CreateCasinoManager", "CreatePlayers", "CreateCityAndMenuBar"}));
  ASSERT_NE(f.Setting(), nullptr);
  EXPECT_EQ(f.Context().MainWindow, &f);
  EXPECT_EQ(f.AppInfo()->Version, "1.0.2");
  EXPECT_EQ(f.AppInfo()->Title, "Orvanta Cards Casino");
  EXPECT_NE(f.GameManager(), nullptr);
  ASSERT_NE(f.MainScene(), nullptr);
  EXPECT_EQ(f.MainScene()->Name(), "MAINSCENE");
  EXPECT_EQ(f.InputScene(), f.MainScene());
  EXPECT_TRUE(f.MainScene()->Visible());
  EXPECT_EQ(f.AnimCount(), 0);
  EXPECT_TRUE(f.StartTimerEnabled());
  EXPECT_EQ(f.Setting()->CasinoName, "MakeDefault");
  // The fonts are loaded while the device starts: before anything of the lobby that needs it.
  const auto lines = vx::LogLines();
  const auto fonts = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.find("FONTS LOADED") != std::string::npos; });
  const auto players = std::find(lines.begin(), lines.end(), std::string("INFO: ACTIVECONTROL IS: NONE"));
  EXPECT_NE(fonts, lines.end());
  (void)players;

  // Idle passes draw frames: clear to black, one scene, present.
  h.PumpFor(5);
  ASSERT_GE(h.Presents(), 2u);
  std::vector<std::string> ops;
  for (const auto& c : h.device->Calls)
    if (c.Op == "Clear" || c.Op == "BeginScene" || c.Op == "EndScene" || c.Op == "Present") ops.push_back(c.Op);
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(ops.begin(), ops.begin() + 4),
            (std::vector<std::string>{"Clear", "BeginScene", "EndScene", "Present"}));
  EXPECT_EQ(h.device->CallsOf("Clear").front().Colour, 0u);
}

TEST(MainWindowStartUp, WithoutAnEngineOnlyTheEngineResourcesAndInformationAreFreed) {
  HarnessOptions o;
  o.DeviceInitializeResult = -1;
  Harness h(o);
  EXPECT_FALSE(h.form->FormCreate());
  EXPECT_FALSE(h.form->FormShow());  // the system message, then the window closes
  EXPECT_TRUE(h.form->Closing());
  EXPECT_EQ(h.form->MainScene(), nullptr);
  EXPECT_EQ(h.form->Sounds(), nullptr);
  EXPECT_FALSE(h.form->StartTimerEnabled());
  EXPECT_EQ(h.calls, std::vector<std::string>{"CreateCasinoManager"});
  h.RunToEnd();
  // No lobby shutdown step ran for things that were never built.
  EXPECT_EQ(h.calls, std::vector<std::string>{"CreateCasinoManager"});
  EXPECT_TRUE(vx::FileExists(h.ProgramFile("settings.xml")));
  EXPECT_EQ(h.form->Context().Engine, nullptr);
  EXPECT_EQ(h.form->Context().Setting, nullptr);
}

TEST(MainWindowStartUp, ASoundSystemThatCannotStartIsLoggedAndTheGameRunsSilent) {
  HarnessOptions o;
  o.MakeAudio = []() -> std::unique_ptr<vx::audio::AudioBackend> { throw std::runtime_error("no audio device"); };
  Harness h(o);
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(vx::LogContains("ERROR: no audio device"));
  EXPECT_EQ(h.form->Sounds(), nullptr);
  h.form->PlaySound("SND_MENU");  // nothing to play through, nothing breaks
  h.form->Close();
  h.RunToEnd();
  EXPECT_TRUE(h.form->Destroyed());
}

TEST(MainWindowStartUp, SeedsTheGeneratorOnce) {
  vx::Rng().Seed(1);
  const int32_t first = vx::Rng().Random(1000000);
  vx::Rng().Seed(1);
  Harness h;
  ASSERT_TRUE(h.Start());
  int same = 0;
  vx::Rng().Seed(1);
  for (int i = 0; i < 3; ++i) same += vx::Rng().Random(1000000) == first ? 1 : 0;
  EXPECT_GE(same, 1);  // seeding from 1 again replays: start-up seeds once, not per use
}

TEST(MainWindowStartUp, OnlyWhatIsUnderTheWindowFindsItsServices) {
  Harness h;
  ASSERT_TRUE(h.Start());
  // Outside any tree nothing stands in for the window's services, even while it runs.
  TVXScene orphan(nullptr);
  EXPECT_EQ(orphan.Context(), nullptr);
  EXPECT_EQ(orphan.Parent(), nullptr);
  EXPECT_EQ(orphan.NoImageFile, "Editor\\noimage.bmp");
  const TVXContext* none = orphan.Context();
  EXPECT_EQ(vx::MainWindowIn(none), nullptr);
  EXPECT_EQ(vx::SettingIn(none), nullptr);
  EXPECT_EQ(vx::ResourcesIn(none), nullptr);
  EXPECT_EQ(vx::AppInfoIn(none), nullptr);
  EXPECT_EQ(vx::CasinoNameIn(none), "MakeDefault");
  EXPECT_FALSE(vx::DeveloperModeIn(none));
  // Given the window's context, a scene goes under its root and reads its settings.
  TVXScene scene(nullptr, &h.form->Context());
  EXPECT_EQ(scene.Parent(), h.form->MainScene());
  EXPECT_EQ(scene.NoImageFile, h.form->Setting()->ProgramFolder + "Editor\\noimage.bmp");
  EXPECT_EQ(vx::CasinoNameIn(scene.Context()), h.form->Setting()->CasinoName);
}

// ---------------------------------------------------------------------------------------

TEST(StartSequence, OutsideDeveloperModeIntroThenLoginDialogThenMainRoom) {
  Harness h;
  h.lobby = nullptr;
  ASSERT_TRUE(h.Start());
  h.lobby->OnLogin = [] { return 1; };
  h.lobby->OnMainRoom = [&] { h.form->Close(); };
  h.RunToEnd();
  EXPECT_EQ(Without(h.calls, "  "),
            (std::vector<std::string>{"CreateCasinoManager", "CreatePlayers", "CreateCityAndMenuBar", "PlayIntro",
                                      "ShowLoginDialog", "PlayerChanged", "EnterMainRoom", "FreeMainRoom", "FreeCity",
                                      "FreeMenuBar", "FreePlayers", "FreeCasinoManager"}));
}

TEST(StartSequence, FiresOnceAfterTwoHundredMilliseconds) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.PumpFor(150);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "PlayIntro"), 0);
  h.PumpFor(100);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "PlayIntro"), 1);
  EXPECT_FALSE(h.form->StartTimerEnabled());
  // The cancelled login (the fake's default) closed the window.
  EXPECT_TRUE(h.form->Closing());
  h.RunToEnd();
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "PlayIntro"), 1);
}

TEST(StartSequence, DeveloperModeSkipsTheIntro) {
  HarnessOptions o;
  o.DeveloperMode = true;
  Harness h(o);
  ASSERT_TRUE(h.Start());
  h.RunToEnd();  // the cancelled login closes
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "PlayIntro"), 0);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "ShowLoginDialog"), 1);
}

TEST(StartSequence, AutomaticLoginFromTheSettingsAndItsFallbackToTheDialog) {
  const std::string xml =
      "<VXSetting><optAutoLoginPlayerName>ann</optAutoLoginPlayerName>"
      "<optAutoLoginPlayerPassword>pw</optAutoLoginPlayerPassword></VXSetting>";
  {
    HarnessOptions o;
    o.SettingsXml = xml;
    Harness h(o);
    ASSERT_TRUE(h.Start());
    h.lobby->OnSignIn = [](const std::string&, const std::string&) { return 1; };
    h.lobby->OnMainRoom = [&] { h.form->Close(); };
    h.RunToEnd();
    EXPECT_NE(std::find(h.calls.begin(), h.calls.end(), "SignIn(ann,pw)"), h.calls.end());
    EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "ShowLoginDialog"), 0);
    EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "EnterMainRoom"), 1);
  }
  {
    HarnessOptions o;
    o.SettingsXml = xml;
    Harness h(o);
    ASSERT_TRUE(h.Start());
    h.lobby->OnSignIn = [](const std::string&, const std::string&) { return 0; };  // wrong password
    h.lobby->OnLogin = [] { return 1; };
    h.lobby->OnMainRoom = [&] { h.form->Close(); };
    h.RunToEnd();
    const auto signIn = std::find(h.calls.begin(), h.calls.end(), "SignIn(ann,pw)");
    const auto dialog = std::find(h.calls.begin(), h.calls.end(), "ShowLoginDialog");
    ASSERT_NE(signIn, h.calls.end());
    ASSERT_NE(dialog, h.calls.end());
    EXPECT_LT(signIn, dialog);
    EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "EnterMainRoom"), 1);
  }
}

TEST(StartSequence, ACancelledLoginClosesTheWindowWithoutEnteringTheCasino) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.RunToEnd();
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "EnterMainRoom"), 0);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "PlayerChanged"), 0);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreePlayers"), 1);
}

// ---------------------------------------------------------------------------------------

TEST(Shutdown, RunsOnceInOrderAndSavesTheSettingsLast) {
  HarnessOptions o;
  o.DeveloperMode = true;
  Harness h(o);
  ASSERT_TRUE(h.Start());
  h.form->Setting()->optMusicVolume = 42;
  h.form->Close();
  h.RunToEnd();
  h.form->FormDestroy();
  h.form->Finalize();
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreeMainRoom"), 1);
  EXPECT_EQ(Without(h.calls, "Create"),
            (std::vector<std::string>{"FreeMainRoom", "FreeCity", "FreeMenuBar", "FreePlayers", "FreeCasinoManager",
                                      "  root scene alive"}));
  const std::string xml = vxtest::TempDir::ReadFile(h.ProgramFile("settings.xml"));
  EXPECT_NE(xml.find("<optMusicVolume>42</optMusicVolume>"), std::string::npos) << xml;
  EXPECT_EQ(h.form->Context().MainWindow, h.form.get());
  EXPECT_EQ(h.form->MainScene(), nullptr);
  // Developer mode: the log was saved beside the program at the end.
  EXPECT_TRUE(vx::FileExists(h.dir.File("debug.log")));
}

TEST(Shutdown, IsRefusedFromInsideALoopAndHappensAfterTheOutermostOne) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.lobby->OnIntro = [&] {
    h.form->FormDestroy();  // a handler asking for shutdown in the middle of the start sequence
    EXPECT_FALSE(h.form->Destroyed());
  };
  h.form->Run();
  EXPECT_TRUE(vx::LogContains("ERROR: shutdown refused inside a message loop"));
  EXPECT_FALSE(h.form->Destroyed());
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreeMainRoom"), 0);
  h.form->FormDestroy();
  EXPECT_TRUE(h.form->Destroyed());
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreeMainRoom"), 1);
}

TEST(Shutdown, AFrameRequestedDuringShutdownDrawsNothing) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.form->Close();
  h.form->Run();
  h.form->Finalize();
  // The lobby's shutdown steps, or anything else, asking for a frame now get none.
  h.form->RenderNow();
  h.form->FormDestroy();
  EXPECT_TRUE(h.form->Destroyed());
}

// What goes wrong in the saves of shutdown is told once the folder is free, and a stop
// request may then end the box.
TEST(Shutdown, BoxesAfterTheLastSaveComeOnceTheFolderIsFreeAndAStopRequestEndsThem) {
  Harness h;
  ASSERT_TRUE(h.Start());
  vx::ResetXMLFileSafetyForTests();
  vx::CatchCloseSignals();
  bool folderFree = false;
  struct sigaction onStop {};
  h.OnSystemMessage = [&](const std::string&) {
    folderFree = vx::FolderLock().Acquire(h.ProgramFile(""));
    ::sigaction(SIGTERM, nullptr, &onStop);
  };
  h.form->Close();
  vx::StopFilesAfterStepsForTests(0);  // "settings.xml" cannot be saved
  h.RunToEnd();
  vx::StopFilesAfterStepsForTests(-1);
  vx::ResetXMLFileSafetyForTests();
  ASSERT_EQ(h.systemMessages.size(), 1u);
  EXPECT_NE(h.systemMessages[0].find("cannot be saved"), std::string::npos) << h.systemMessages[0];
  EXPECT_TRUE(folderFree);
  EXPECT_EQ(onStop.sa_handler, SIG_DFL);
}

// What the start refuses and what it tidies: a second copy on the same folder and missing or
// damaged game data stop it with a system message, shown once the folder is free; an
// interrupted save is finished or cleared.
TEST(StartUpChecks, SecondCopyAndDamagedDataStopTheStartAndInterruptedSavesAreTidied) {
  {
    Harness h;
    vx::FolderLock first;
    ASSERT_TRUE(first.Acquire(h.ProgramFile("")));
    EXPECT_FALSE(h.Start());
    EXPECT_NE(h.form->StartError().find("already running from this folder"), std::string::npos);
    EXPECT_NE(h.form->StartError().find("process " + std::to_string(::getpid())), std::string::npos);
    EXPECT_EQ(h.form->Setting(), nullptr) << "nothing of the folder is read or saved";
    h.form->FormDestroy();
    EXPECT_FALSE(vx::FileExists(h.ProgramFile("settings.xml")));
  }
  const std::string fonts = "Data/fonts.vxr", data = "Data/Pak/default.vxr";
  vxtools::TArchiveLayout at;
  const std::vector<uint8_t> archive = vxtools::BuildArchive(
      {{"L\\A.bmp", 0, std::vector<uint8_t>(300, 'a'), 0}, {"L\\B.bmp", 0, std::vector<uint8_t>(300, 'b'), 0}}, 9, &at);
  // The file and byte to flip (none: the file goes; past the end: it is left whole), and what the player reads.
  const std::tuple<std::string, size_t, std::string> cases[] = {
      {data, SIZE_MAX - 1, ""},
      {fonts, SIZE_MAX, "fonts.vxr is missing. Please install the game again."},
      {data, SIZE_MAX, "default.vxr is missing"},
      {data, 9, "default.vxr is damaged"},  // the table offset
      {data, at.RecordOffsets[1] + 24, ", in L\\B.bmp). Please install the game again."},
      {fonts, at.RecordOffsets[0] + 24, "fonts.vxr is damaged"},
      {"temp", 0, "cannot write its temporary files"},
  };
  for (const auto& [file, flip, says] : cases) {
    HarnessOptions o;
    o.DataArchivesRequired = true;
    Harness h(o);
    for (const std::string& f : {fonts, data}) {
      std::string bytes(archive.begin(), archive.end());
      if (f == file && flip < bytes.size()) bytes[flip] = static_cast<char>(~bytes[flip]);
      if (f != file || flip != SIZE_MAX) vxtest::TempDir::WriteFile(h.ProgramFile(f), bytes);
    }
    if (file == "temp") vx::InjectFileFaultForTests(vx::FileFault::Write);
    bool folderFree = false;
    h.OnSystemMessage = [&](const std::string&) { folderFree = vx::FolderLock().Acquire(h.ProgramFile("")); };
    EXPECT_EQ(h.Start(), says.empty()) << says;
    EXPECT_NE(h.form->StartError().find(says), std::string::npos) << h.form->StartError();
    h.form->Close();
    h.RunToEnd();
    EXPECT_EQ(h.systemMessages.size(), says.empty() ? 0u : 1u) << says;
    EXPECT_EQ(folderFree, !says.empty()) << says;
  }
  Harness h;
  std::filesystem::create_directories(h.ProgramFile("Players"));
  std::filesystem::create_directories(h.ProgramFile("Casinos/Main"));
  for (const char* stale : {".settings.xml.tmp12_0", "Players/.players.xml.tmp9_3", "Casinos/Main/.casino.xml.tmp4_1"})
    vxtest::TempDir::WriteFile(h.ProgramFile(stale), "half");
  // A save decided before the interruption: its journal names a temporary still to be renamed.
  ASSERT_TRUE(vx::WriteFilesAtomic(h.ProgramFile("Players/saves.journal"), {{h.ProgramFile("Players/players.xml"), "new"}}));
  // Killed after the temporary and the journal were flushed and the journal renamed in.
  vx::StopFilesAfterStepsForTests(4);
  EXPECT_FALSE(vx::WriteFilesAtomic(h.ProgramFile("Players/saves.journal"), {{h.ProgramFile("Players/players.xml"), "newer"}}));
  vx::StopFilesAfterStepsForTests(-1);
  EXPECT_EQ(vxtest::TempDir::ReadFile(h.ProgramFile("Players/players.xml")), "new");
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(vxtest::TempDir::ReadFile(h.ProgramFile("Players/players.xml")), "newer");
  for (const std::string dir : {"", "Players", "Casinos/Main"})
    for (const auto& e : std::filesystem::directory_iterator(h.ProgramFile(dir)))
      EXPECT_FALSE(vx::IsSaveTemporaryName(e.path().filename().string())) << e.path();
  EXPECT_FALSE(vx::FileExists(h.ProgramFile("Players/saves.journal")));
}

// The record of a round played before a crash goes into the players file, and is cleared.
TEST(StartUpChecks, ARoundLeftByACrashIsReplayedIntoThePlayers) {
  Harness after;
  std::filesystem::create_directories(after.ProgramFile("Players"));
  vxtest::TempDir::WriteFile(after.ProgramFile("Players/players.xml"),
                             "<VXPlayers><VXPlayer><PlayerName>Ann</PlayerName><Bank>900</Bank></VXPlayer></VXPlayers>");
  vxtest::TempDir::WriteFile(after.ProgramFile("Players/lastround.xml"),
                             "<VXRoundRecord><PlayerName>Ann</PlayerName><Bank>1040</Bank></VXRoundRecord>");
  ASSERT_TRUE(after.Start());
  EXPECT_NE(vxtest::TempDir::ReadFile(after.ProgramFile("Players/players.xml")).find("<Bank>1040</Bank>"), std::string::npos);
  EXPECT_EQ(vx::FileSize(after.ProgramFile("Players/lastround.xml")), 0);
}
