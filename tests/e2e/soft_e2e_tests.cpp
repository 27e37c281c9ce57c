// The whole game switched between its three devices while it runs: a player signs up, and
// the lobby and then a video-poker machine are drawn on the GPU device, on the software
// device shown through the window surface and on the one shown through a streaming
// texture, and back on the GPU. Textures and fonts follow every switch; each software
// picture matches the GPU's within a small tolerance (the GPU filters scaled pictures and
// rounds its blends its own way). The pictures are left in the test folder.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "render/GfxDevice3.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXProfileForm.h"
#include "platform/MessagePump.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Input;
using vxe2e::PushClick;
using vxe2e::PushText;

std::string ShotFolder() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  return tmp != nullptr ? tmp : "/tmp";
}

// 8 x 8 blocks whose mean colour differs by more than `tolerance` in a channel: where the
// devices drop different rows or columns of a scaled picture, a block's mean barely moves,
// while a missing, misplaced or discoloured picture changes whole blocks. Blocks touching
// an area that moves by itself are left out.
size_t DifferingBlocks(const vxtest::Shot& gpu, const vxtest::Shot& shot, int tolerance, const std::vector<vxtest::Area>& skip) {
  size_t n = 0;
  constexpr int32_t B = 8;
  for (int32_t by = 0; by + B <= shot.Height; by += B)
    for (int32_t bx = 0; bx + B <= shot.Width; bx += B) {
      bool skipped = false;
      for (const vxtest::Area& s : skip)
        skipped = skipped || (bx + B > s.Left && bx < s.Right && by + B > s.Top && by < s.Bottom);
      if (skipped) continue;
      int sum[2][3] = {};
      for (int32_t y = by; y < by + B; ++y)
        for (int32_t x = bx; x < bx + B; ++x)
          for (int c = 0; c < 3; ++c) {
            sum[0][c] += static_cast<int>((gpu.Pixels[static_cast<size_t>(y * shot.Width + x)] >> (8 * c)) & 0xFF);
            sum[1][c] += static_cast<int>((shot.Pixels[static_cast<size_t>(y * shot.Width + x)] >> (8 * c)) & 0xFF);
          }
      bool apart = false;
      for (int c = 0; c < 3; ++c) apart = apart || std::abs(sum[0][c] - sum[1][c]) > tolerance * B * B;
      n += apart;
    }
  return n;
}

// The screen on each software device against the GPU's, then back on the GPU.
void OnEveryDevice(TfrmMain& f, const std::string& name, const std::vector<vxtest::Area>& skip) {
  TVXEngine& engine = *f.Engine;
  // Scaled pictures: the GPU takes the nearest texel as software does, for the comparison.
  auto* gpuDevice = dynamic_cast<TGfxDevice3*>(engine.Device());
  ASSERT_NE(gpuDevice, nullptr);
  gpuDevice->SetTextureFilter(false);
  f.RenderNow();
  const vxtest::Shot gpu = vxe2e::Screenshot(f);
  ASSERT_EQ(gpu.Width, 800);
  vxtest::WritePng(ShotFolder() + "/soft_" + name + "_gpu.png", gpu);
  for (TRenderingMode mode : {rmSoftGDI, rmSoftware, rmDirect3D}) {
    engine.SetMode(mode);
    ASSERT_TRUE(engine.Started()) << name << " mode " << mode;
    f.RenderNow();
    f.RenderNow();
    const vxtest::Shot shot = vxe2e::Screenshot(f);
    ASSERT_EQ(shot.Width, 800) << name << " mode " << mode;
    vxtest::WritePng(ShotFolder() + "/soft_" + name + "_" + std::to_string(mode) + ".png", shot);
    const size_t apart = DifferingBlocks(gpu, shot, 24, skip);
    std::printf("%s on device %d: %zu of 7500 blocks apart\n", name.c_str(), static_cast<int>(mode), apart);
    EXPECT_LT(apart, 7500u / 100) << name << " mode " << static_cast<int>(mode);
  }
  gpuDevice->SetTextureFilter(true);
}

vxtest::Area AreaOf(const TVXCustomControl* c) {
  return {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
}

}  // namespace

TEST(SoftwareDevicesEndToEnd, TheLobbyAndAPokerMachineLookTheSameOnEveryDevice) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::MainPump().ResetForTests();
  vx::ClearLog();
  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  clock.Drive();
  const uint32_t window = form->Window()->WindowId();
  TfrmMain& f = *form;

  TMainRoom* room = nullptr;
  TNavigationScene* nav = nullptr;
  auto box = [&] { return Input<TframeMessage>(f) != nullptr; };
  auto inLobby = [&] {
    room = vxe2e::LobbyOf(f).MainRoom;
    return room != nullptr && !room->Scene()->Hidden && f.InputScene() == f.MainScene() &&
           vxe2e::LobbyOf(f).CurrentGame == nullptr && !box();
  };
  struct Step {
    std::function<bool()> Ready;
    std::function<void()> Act;
  };
  std::vector<Step> steps;
  steps.push_back({[&] { return f.GetAnim(0) != nullptr; }, [&] { PushClick(window, 400, 300); }});
  steps.push_back({[&] { return Input<TfrmLogin>(f) != nullptr; },
                   [&] { PushClick(window, Input<TfrmLogin>(f)->BtnNewPlayer); }});
  steps.push_back({[&] { return Input<TfrmProfile>(f) != nullptr; },
                   [&] {
                     auto* p = Input<TfrmProfile>(f);
                     PushClick(window, p->EdtUserName);
                     PushText(window, "SOFT");
                     PushClick(window, p->EdtPassword);
                     PushText(window, "PW");
                     PushClick(window, p->EdtPassword2);
                     PushText(window, "PW");
                     PushClick(window, p->BtnClose);
                   }});
  steps.push_back({box, [&] { PushClick(window, Input<TframeMessage>(f)->OkButton); }});
  steps.push_back({[&] { return Input<TfrmLogin>(f) != nullptr && !box(); },
                   [&] { PushClick(window, Input<TfrmLogin>(f)->BtnLogin); }});
  steps.push_back({inLobby, [&] {
                     nav = vxe2e::LobbyOf(f).Navigation->Scene();
                     const vxtest::Area welcome = AreaOf(room->Scene()->LblScrollWelcome), news = AreaOf(room->Scene()->LblScrollNews);
                     OnEveryDevice(f, "lobby", {welcome, news});
                     PushClick(window, room->Scene()->FindGame(10)->Logo);
                   }});
  steps.push_back({[&] { return vxe2e::LobbyOf(f).CurrentGame != nullptr && room->Scene()->Hidden && !box(); },
                   [&] {
                     OnEveryDevice(f, "poker", {});
                     PushClick(window, nav->BtnExitGame);
                   }});
  steps.push_back({box, [&] { PushClick(window, Input<TframeMessage>(f)->YesButton); }});
  steps.push_back({inLobby, [&] { f.Close(); }});

  size_t at = 0;
  uint64_t readyAt = 0;
  // Each step has two minutes: the whole run takes longer than that on a busy machine.
  uint64_t stepStarted = SDL_GetTicks64();
  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] {
    if (at >= steps.size()) return;
    if (SDL_GetTicks64() - stepStarted > 120000) {
      ADD_FAILURE() << "stuck at step " << at;
      at = steps.size();
      f.Close();
      return;
    }
    if (!steps[at].Ready()) {
      readyAt = 0;
      return;
    }
    // A few frames more, so fades and flights settle.
    if (readyAt == 0) readyAt = vxe2e::Frames() + 40;
    if (vxe2e::Frames() < readyAt) return;
    readyAt = 0;
    steps[at++].Act();
    stepStarted = SDL_GetTicks64();
  });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  EXPECT_EQ(at, steps.size());
  form->FormDestroy();
  form.reset();
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}
