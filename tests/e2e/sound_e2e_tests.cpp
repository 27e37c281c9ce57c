// The game's sounds as the program finds and plays them. First every sound and tune the code
// names is looked up through the resource manager over the generated program folder, exactly as
// the sound manager does at run time. Then the real main window runs headless with SDL's disk
// audio driver, signs a player in, sits in the lobby and then in a video-poker machine; the mixed
// output it wrote must sound in both places (the lobby's and the machine's music).
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXLists.h"
#include "framework/VXResources.h"
#include "framework/VXSounds.h"
#include "framework/VXWidgets.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "platform/MessagePump.h"
#include "platform/audio/AudioBackend.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct AllOn : TVXSoundOptions {
  bool optSoundEnabled() const override { return true; }
  int optSoundVolume() const override { return 100; }
  bool optMusicEnabled() const override { return true; }
  int optMusicVolume() const override { return 100; }
};

// Every "SND_..." the product code plays, read from its sources so a new sound is checked too.
std::set<std::string> SoundNamesInTheCode() {
  std::set<std::string> names;
  for (const char* folder : {"app", "lobby", "games", "framework"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(VX_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".cpp") continue;
      std::ifstream in(entry.path());
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      for (size_t at = text.find("\"SND_"); at != std::string::npos; at = text.find("\"SND_", at + 1)) {
        const size_t end = text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_", at + 5);
        if (end != std::string::npos && text[end] == '"') names.insert(text.substr(at + 1, end - at - 1));
      }
    }
  }
  return names;
}

// Share of 16-bit samples in [from, to) of the capture louder than a whisper.
double Loud(const std::string& pcm, size_t from, size_t to) {
  from &= ~size_t{1};
  to = std::min(to, pcm.size()) & ~size_t{1};
  if (to <= from) return 0;
  size_t loud = 0;
  for (size_t i = from; i < to; i += 2) {
    const int16_t s = static_cast<int16_t>(uint8_t(pcm[i]) | (uint8_t(pcm[i + 1]) << 8));
    loud += s > 200 || s < -200;
  }
  return double(loud) / double((to - from) / 2);
}

}  // namespace

TEST(GameSounds, EverySoundAndTuneTheGamePlaysIsFoundInTheProgramFolder) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "Pak" / "default.vxr")) << "the game data is not generated";
  vxtest::TempDir temp;
  const std::string program = std::string(VX_PROGRAM_DIR) + "/";
  TVXResourceManager resources(program + "Data\\", program + "Data\\Pak\\", temp.Path().string() + "/");
  TVXResourceSoundFiles files(resources);
  AllOn options;
  TVXSounds sounds(files, options, vx::audio::CreateSilentAudioBackend());
  ASSERT_NE(sounds.Engine, nullptr);

  std::set<std::string> effects = SoundNamesInTheCode();
  EXPECT_GE(effects.size(), 15u);
  effects.insert("SND_FIREWORKS");  // the particle fireworks' sound
  for (const std::string& name : effects) {
    TSoundListItem* item = sounds.LoadSound(name, TVXSounds::kSound);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_NO_THROW(item->Play()) << name;  // the back end reads and checks the WAV file
  }
  for (int style = 0; style < 8; ++style) {
    for (int k = 1; k <= TVXSounds::MusicStyleTracks(style); ++k) {
      const std::string name = "music_" + TVXSounds::MusicStyleName(style) + "_" + std::to_string(k);
      TSoundListItem* item = sounds.LoadSound(name, TVXSounds::kMusic);
      ASSERT_NE(item, nullptr) << name;
      EXPECT_NO_THROW(item->Play()) << name;
    }
  }
}

TEST(GameSounds, MusicIsHeardInTheLobbyAndInAMachine) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "settings.xml")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  // The settings as shipped, and one player to sign in.
  fs::copy_file(fs::path(VX_PROGRAM_DIR) / "settings.xml", program / "settings.xml");
  fs::create_directories(program / "Players");
  vxtest::TempDir::WriteFile((program / "Players" / "players.xml").string(),
                             "<?xml version = \"1.0\"?><VXPlayers><VXPlayer><Bank>1000</Bank>\r\n"
                             "<Password>PW</Password>\r\n<PlayerName>EAR</PlayerName>\r\n</VXPlayer>\r\n</VXPlayers>");
  const std::string capture = dir.File("mix.pcm");
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
  vx::MainPump().ResetForTests();
  vx::ClearLog();

  TfrmMainOptions options;
  options.ProgramFolder = program.string() + "/";
  options.DeveloperMode = true;  // no intro
  options.DebugLogFile = dir.File("debug.log");
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  const uint32_t window = form->Window()->WindowId();
  TfrmMain& f = *form;

  auto captured = [&] {
    std::error_code ec;
    const auto size = fs::file_size(capture, ec);
    return ec ? size_t{0} : size_t(size);
  };
  // About a second and a half of output in each place.
  constexpr size_t kListen = 44100 * 4 * 3 / 2;
  size_t lobbyFrom = 0, lobbyTo = 0, gameFrom = 0, gameTo = 0;
  int stage = 0;
  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] {
    TMainRoom* room = vx::Lobby().MainRoom;
    const bool inLobby = room != nullptr && !room->Scene()->Hidden && f.InputScene() == f.MainScene();
    switch (stage) {
      case 0:
        if (auto* login = vxe2e::Input<TfrmLogin>(f)) {
          vxe2e::PushClick(window, login->CboPlayerName->Left() + 8,
                           login->CboPlayerName->Top() + login->CboPlayerName->Height() / 2);
          vxe2e::PushText(window, "EAR");
          vxe2e::PushClick(window, login->EdtPassword);
          vxe2e::PushText(window, "PW");
          vxe2e::PushClick(window, login->BtnLogin);
          stage = 1;
        }
        break;
      case 1:
        if (inLobby) lobbyFrom = captured(), stage = 2;
        break;
      case 2:
        if (captured() >= lobbyFrom + kListen) {
          lobbyTo = captured();
          vxe2e::PushClick(window, room->Scene()->FindGame(10)->Logo);
          stage = 3;
        }
        break;
      case 3:
        if (vx::Lobby().CurrentGame != nullptr && room->Scene()->Hidden) gameFrom = captured(), stage = 4;
        break;
      case 4:
        if (captured() >= gameFrom + kListen) {
          gameTo = captured();
          stage = 5;
          f.Close();
        }
        break;
      default:
        break;
    }
  });
  const vx::TimerId deadline = vx::MainPump().SetTimer(60000, [&] { f.Close(); });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  vx::MainPump().KillTimer(deadline);
  form->FormDestroy();
  form.reset();
  ::unsetenv("SDL_AUDIODRIVER");
  ::unsetenv("SDL_DISKAUDIOFILE");

  ASSERT_EQ(stage, 5) << "the run stopped before it had listened to the machine";
  const std::string pcm = vxtest::TempDir::ReadFile(capture);
  EXPECT_GT(Loud(pcm, lobbyFrom, lobbyTo), 0.05) << "the lobby is silent";
  EXPECT_GT(Loud(pcm, gameFrom, gameTo), 0.05) << "the machine is silent";
  bool lobbyMusic = false, gameMusic = false;
  for (const std::string& line : vx::LogLines()) {
    lobbyMusic |= line == "[MUSIC] Starting music_MAIN_1";
    gameMusic |= line == "[MUSIC] Starting music_JAZZ_1";
    EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  }
  EXPECT_TRUE(lobbyMusic);
  EXPECT_TRUE(gameMusic);
  vx::MainPump().ResetForTests();
}
