// The game's sounds as the program finds and plays them: every sound and tune the code names,
// looked up through the resource manager over the generated program folder; and the real main
// window, headless on SDL's disk audio driver, heard in the lobby and in a video-poker machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "E2eDriver.h"
#include "core/Log.h"
#include "framework/VXResources.h"
#include "framework/VXSounds.h"
#include "framework/VXWidgets.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "platform/MessagePump.h"
#include "platform/audio/AudioBackend.h"

namespace fs = std::filesystem;

namespace {

struct AllOn : TVXSoundOptions {
  bool optSoundEnabled() const override { return true; }
  int optSoundVolume() const override { return 100; }
  bool optMusicEnabled() const override { return true; }
  int optMusicVolume() const override { return 100; }
};

// Every "SND_..." literal of the product code, so a sound added later is checked too.
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

// Share of the 16-bit samples in [from, to) louder than a whisper.
double Loud(const std::string& pcm, size_t from, size_t to) {
  size_t loud = 0, n = 0;
  for (size_t i = from & ~size_t{1}; i + 1 < std::min(to, pcm.size()); i += 2, ++n) {
    const int16_t s = static_cast<int16_t>(uint8_t(pcm[i]) | (uint8_t(pcm[i + 1]) << 8));
    loud += s > 200 || s < -200;
  }
  return n == 0 ? 0 : double(loud) / double(n);
}

}  // namespace

TEST(GameSounds, EverySoundAndTuneTheGamePlaysIsFoundInTheProgramFolder) {
  vxtest::TempDir temp;
  const std::string program = std::string(VX_PROGRAM_DIR) + "/";
  TVXResourceManager resources(program + "Data\\", program + "Data\\Pak\\", temp.Str() + "/");
  TVXResourceSoundFiles files(resources);
  AllOn options;
  TVXSounds sounds(files, options, vx::audio::CreateSilentAudioBackend());
  std::set<std::string> effects = SoundNamesInTheCode();
  EXPECT_GE(effects.size(), 15u);
  effects.insert("SND_FIREWORKS");  // the fireworks' sound, named by the particle effects
  std::vector<std::pair<std::string, int>> all;
  for (const std::string& name : effects) all.emplace_back(name, TVXSounds::kSound);
  for (int style = 0; style < 8; ++style)
    for (int k = 1; k <= TVXSounds::MusicStyleTracks(style); ++k)
      all.emplace_back("music_" + TVXSounds::MusicStyleName(style) + "_" + std::to_string(k), TVXSounds::kMusic);
  for (const auto& [name, kind] : all) {
    TSoundListItem* item = sounds.LoadSound(name, kind);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_NO_THROW(item->Play()) << name;  // the back end reads and checks the file
  }
}

TEST(GameSounds, MusicIsHeardInTheLobbyAndInAMachine) {
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  // The settings as shipped, signing one player in on their own.
  std::string settings = vxtest::TempDir::ReadFile(std::string(VX_PROGRAM_DIR) + "/settings.xml");
  for (const auto& [key, value] : {std::pair{"optAutoLoginPlayerName", "EAR"}, {"optAutoLoginPlayerPassword", "PW"}}) {
    const std::string empty = "<" + std::string(key) + "></" + key + ">";
    ASSERT_NE(settings.find(empty), std::string::npos) << settings;
    settings.replace(settings.find(empty), empty.size(), "<" + std::string(key) + ">" + value + "</" + key + ">");
  }
  vxtest::TempDir::WriteFile((program / "settings.xml").string(), settings);
  fs::create_directories(program / "Players");
  vxtest::TempDir::WriteFile((program / "Players" / "players.xml").string(),
                             "<?xml version = \"1.0\"?><VXPlayers><VXPlayer><Bank>1000</Bank><Password>PW</Password>"
                             "<PlayerName>EAR</PlayerName></VXPlayer></VXPlayers>");
  const std::string capture = dir.File("mix.pcm");
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
  vx::MainPump().ResetForTests();
  vx::ClearLog();
  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir, true);  // no intro
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  TfrmMain& f = *form;

  // About a second and a half of output in each place: [lobby from, to), [machine from, to).
  const size_t listen = 44100 * 4 * 3 / 2;
  size_t marks[4] = {};
  int stage = 0;
  auto captured = [&] {
    std::error_code ec;
    const auto size = fs::file_size(capture, ec);
    return ec ? size_t{0} : size_t(size);
  };
  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] {
    TMainRoom* room = vxe2e::LobbyOf(f).MainRoom;
    const bool inLobby = room != nullptr && !room->Scene()->Hidden && f.InputScene() == f.MainScene();
    const bool inGame = vxe2e::LobbyOf(f).CurrentGame != nullptr && room != nullptr && room->Scene()->Hidden;
    if ((stage == 0 && inLobby) || (stage == 2 && inGame)) marks[stage++] = captured();
    if ((stage == 1 || stage == 3) && captured() >= marks[stage - 1] + listen) {
      marks[stage++] = captured();
      if (stage == 2) vxe2e::PushClick(f.Window()->WindowId(), room->Scene()->FindGame(10)->Logo);
      if (stage == 4) f.Close();
    }
  });
  const vx::TimerId deadline = vx::MainPump().SetTimer(60000, [&] { f.Close(); });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  vx::MainPump().KillTimer(deadline);
  form->FormDestroy();
  form.reset();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);

  ASSERT_EQ(stage, 4) << "the run ended before it had listened to the machine";
  const std::string pcm = vxtest::TempDir::ReadFile(capture);
  EXPECT_GT(Loud(pcm, marks[0], marks[1]), 0.05) << "the lobby is silent";
  EXPECT_GT(Loud(pcm, marks[2], marks[3]), 0.05) << "the machine is silent";
  const auto lines = vx::LogLines();
  for (const char* track : {"[MUSIC] Starting music_MAIN_1", "[MUSIC] Starting music_JAZZ_1"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), track), lines.end()) << track;
  for (const std::string& line : lines) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}
