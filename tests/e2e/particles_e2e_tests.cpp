// Particle effects in the real program (SDL window on the offscreen driver, the GPU device on
// Mesa's software GL, the generated data), switched on by the test after the settings load,
// since loading always switches them off. A player signs up and in; the lobby shows its star
// field and two fireworks bursts over the logo, and a burst that ends (brought forward by the
// test) starts again with "SND_FIREWORKS" from the generated sounds; then a video-poker machine
// shows its own burst. Screenshots of the lobby and the machine are written to the test folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "app/MainForm.h"
#include "framework/VXAnim.h"
#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXParticles.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "framework/VXWidgets.h"
#include "games/VXGame.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXProfileForm.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"

namespace fs = std::filesystem;
using vxe2e::Input;
using vxe2e::PushClick;

namespace {

TVXParticleSystem* Particles(TVXScene* scene, const std::string& name) {
  return scene != nullptr ? dynamic_cast<TVXParticleSystem*>(scene->FindControl(name)) : nullptr;
}

// Pixels in the colours of a young burst: bright sky blue, little red.
size_t FireworksPixels(const vxtest::Shot& shot, int x0, int y0, int x1, int y1) {
  size_t n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t p = shot.Pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
      const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      n += b > 200 && g > 150 && r < 90;
    }
  return n;
}

// True, with the screen taken, while the burst is young (12 to 30 frames old, its trails
// bright and on screen). A slow machine may poll past that: the burst is then ended so that
// the next frame starts another.
bool CatchBurst(TfrmMain& f, TVXParticleSystem* ps, vxtest::Shot& shot) {
  if (ps == nullptr) return false;
  const uint32_t age = ps->Particles()[0].Age;
  if (age >= 12 * 300 && age < 30 * 300) {
    shot = vxe2e::Screenshot(f);
    return true;
  }
  if (age >= 30 * 300) ps->Particles()[0].Age = ps->Life;
  return false;
}

void Keep(const vxtest::Shot& shot, const std::string& name) {
  const char* tmp = std::getenv("VX_TEST_TMP");
  vx::WriteFileAtomic(std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name,
                      vx::EncodeScreenshotBmp(shot.Width, shot.Height, shot.Pixels));
}

}  // namespace

TEST(ParticlesEndToEnd, TheLobbyAndAPokerMachineShowTheirEffectsAndPlayTheFireworks) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  // The resource manager finds sounds as loose files beside the data archive ("Data\Pak\"):
  // the generated sounds are laid there, the rest of the data linked as it is.
  const fs::path built = fs::path(VX_PROGRAM_DIR) / "Data";
  fs::remove(program / "Data");
  fs::create_directories(program / "Data" / "Pak");
  fs::create_symlink(built / "fonts.vxr", program / "Data" / "fonts.vxr");
  for (const auto& entry : fs::directory_iterator(built / "Pak"))
    fs::create_symlink(entry.path(), program / "Data" / "Pak" / entry.path().filename());
  fs::create_directory_symlink(fs::path(VX_PROGRAM_DIR) / "Sounds", program / "Data" / "Pak" / "Sounds");
  vx::MainPump().ResetForTests();
  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  clock.Drive();
  TfrmMain& f = *form;
  const uint32_t window = f.Window()->WindowId();

  TMainRoomScene* room = nullptr;
  TVXScene* game = nullptr;
  vxtest::Shot lobbyShot, gameShot;
  auto fireworksHeard = [&f] { return f.Sounds() != nullptr && f.Sounds()->FindSound("SND_FIREWORKS") != nullptr; };
  vxe2e::Script s(f);
  // The sign-in steps let each dialog settle; the bursts are timed to the frame.
  const std::vector<vxe2e::Script::Step> steps = {
      {"the intro", [&] { auto* a = f.GetAnim(0); return dynamic_cast<TAnimIntro*>(a) != nullptr && a->StepNo == 2; },
       [&] { PushClick(window, 400, 300); }, 20},
      {"the login dialog", [&] { return Input<TfrmLogin>(f) != nullptr; },
       [&] {
         f.Setting()->optParticleEffects = true;
         f.Setting()->optSoundEnabled = true;
         PushClick(window, Input<TfrmLogin>(f)->BtnNewPlayer);
       }, 20},
      {"the profile dialog", [&] { return Input<TfrmProfile>(f) != nullptr; },
       [&] { vxe2e::PushNewPlayer(window, Input<TfrmProfile>(f), "SPARK", "STAR1"); }, 20},
      {"the player is created", [&] { return Input<TframeMessage>(f) != nullptr; },
       [&] { PushClick(window, Input<TframeMessage>(f)->OkButton); }, 20},
      {"the login dialog, filled in", [&] { return Input<TfrmLogin>(f) != nullptr && Input<TframeMessage>(f) == nullptr; },
       [&] { PushClick(window, Input<TfrmLogin>(f)->BtnLogin); }, 20},
      {"the lobby's first burst",
       [&] {
         room = vxe2e::LobbyOf(f).MainRoom != nullptr ? vxe2e::LobbyOf(f).MainRoom->Scene() : nullptr;
         return room != nullptr && !room->Hidden && f.InputScene() == f.MainScene() &&
                CatchBurst(f, Particles(room, "PS_LOGO2"), lobbyShot);
       },
       [&] {
         // The burst's end brought forward: the next frame starts it again, with its sound.
         TVXParticleSystem* ps = Particles(room, "PS_LOGO2");
         ps->Particles()[0].Age = ps->Life;
       }},
      {"the lobby's second burst and its sound", fireworksHeard,
       [&] { PushClick(window, room->FindGame(1)->Logo); }},
      {"the machine's burst",
       [&] {
         game = vxe2e::LobbyOf(f).CurrentGame != nullptr ? vxe2e::LobbyOf(f).CurrentGame->GetScene() : nullptr;
         return game != nullptr && game->Visible() && !game->Hidden && f.InputScene() == f.MainScene() &&
                CatchBurst(f, Particles(game, "PS_CUSTOM1"), gameShot);
       },
       [&] { f.Close(); }},
  };
  for (const auto& step : steps) s.Add(step.What, step.Ready, step.Act, step.Settle);
  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] { s.Tick(); });
  f.Run();
  vx::MainPump().KillTimer(watcher);
  f.FormDestroy();
  form.reset();

  ASSERT_EQ(s.Done(), s.Count());
  // The lobby: the star field under everything, two bursts over the logo.
  ASSERT_EQ(lobbyShot.Width, 800);
  Keep(lobbyShot, "particles_lobby.bmp");
  EXPECT_GT(FireworksPixels(lobbyShot, 0, 0, 560, 140), 40u);
  ASSERT_EQ(gameShot.Width, 800);
  Keep(gameShot, "particles_poker.bmp");
  EXPECT_GT(FireworksPixels(gameShot, 0, 0, 800, 600), 40u);
}
