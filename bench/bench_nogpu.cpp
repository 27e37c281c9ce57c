// The program on a machine without a GPU (run under xvfb-run: a real X window whose OpenGL
// is Mesa's llvmpipe). The program picks its device itself; the run says which. It signs a
// new player up and, in the lobby, the help dialog, a video-poker machine and a slot machine,
// lets the program run on its own for a while on each device in turn: the GPU device (the
// reference, what such a machine drew with before) and the software device. For each it
// prints the frames a second, the CPU a frame costs the main thread and the whole process
// (llvmpipe's threads included), and the cores the process keeps busy while nothing moves;
// then the software figures as ratios to the GPU's and to the goals (3 ms a frame, 0.15 of a
// core). Last, a slot machine's credit of 28,480 is cashed out on each device, against the
// time its count takes at 60 steps a second.
//
// The transitions (signing in, opening and closing the help, entering and leaving a machine)
// run on each device too: for each the longest time between two frames shown, from the click
// to the settled screen, against the 100 ms goal. The software device goes first and opens
// each screen for the first time; the GPU device finds the pictures read already.
//
// VX_IDLE_SECONDS sets each idle run (10 s by default); VX_QUICK=1 runs 3 s and cashes out
// 2,980 instead.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchRatio.h"
#include "bench/PresentTimes.h"
#include "core/Log.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "games/Slots.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "platform/MessagePump.h"
#include "tests/e2e/E2eDriver.h"

namespace fs = std::filesystem;

namespace {

using vxbench::LongestGapMs;
using vxbench::TShown;

constexpr int32_t kPoker = 15;
constexpr int32_t kSlots = 31;

double Seconds(clockid_t clock) { return vxbench::ClockSeconds(clock); }

struct Run {
  double Fps = 0;
  double MainMsPerFrame = 0;
  double ProcessMsPerFrame = 0;
  double Cores = 0;
};

struct CashOut {
  uint32_t Amount = 0;
  int64_t Steps = 0;
  double Seconds = 0;
  double FramesPerStep = 0;
};

const char* DeviceName(TRenderingMode mode) { return mode == rmDirect3D ? "GPU" : "soft"; }

// The program left to itself on `mode` for `seconds`, after a second to settle.
Run IdleRun(TfrmMain& f, TRenderingMode mode, double seconds) {
  f.Engine->SetMode(mode);
  f.Wait(1000);
  const uint64_t frames = vxe2e::Frames();
  const double wall = Seconds(CLOCK_MONOTONIC), main = Seconds(CLOCK_THREAD_CPUTIME_ID),
               process = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  f.Wait(static_cast<uint64_t>(seconds * 1000));
  Run r;
  const double n = static_cast<double>(std::max<uint64_t>(vxe2e::Frames() - frames, 1));
  const double elapsed = Seconds(CLOCK_MONOTONIC) - wall;
  r.Fps = n / elapsed;
  r.MainMsPerFrame = (Seconds(CLOCK_THREAD_CPUTIME_ID) - main) * 1e3 / n;
  r.ProcessMsPerFrame = (Seconds(CLOCK_PROCESS_CPUTIME_ID) - process) * 1e3 / n;
  r.Cores = (Seconds(CLOCK_PROCESS_CPUTIME_ID) - process) / elapsed;
  return r;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one;
  in >> one;
  return one;
}

// The steps of a cash-out's count as the game takes them: above 100, 10 a step (more for an
// amount that would take over 2,000 steps), then 1 a step.
int64_t CountSteps(int64_t amount) {
  if (amount <= 100) return amount;
  const int64_t big = std::max<int64_t>(10, (amount - 100 + 1999) / 2000);
  return 100 + (amount - 100 + big - 1) / big;
}

CashOut CashOutOn(TfrmMain& f, TSlots& game, TRenderingMode mode, uint32_t amount) {
  f.Engine->SetMode(mode);
  game.GetGameData()->Money.Reset(amount);
  game.UpdateCredit();
  f.Wait(500);
  CashOut c;
  c.Amount = amount;
  c.Steps = CountSteps(amount);
  const uint64_t frames = vxe2e::Frames();
  const double wall = Seconds(CLOCK_MONOTONIC);
  game.CashOut(true);
  c.Seconds = Seconds(CLOCK_MONOTONIC) - wall;
  // Every step renders once at once; idle passes between steps draw frames of their own.
  c.FramesPerStep = static_cast<double>(static_cast<int64_t>(vxe2e::Frames() - frames) + c.Steps) / static_cast<double>(c.Steps);
  return c;
}

}  // namespace

int main() {
  if (!fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) {
    std::printf("the game data is not generated\n");
    return 1;
  }
  const bool quick = std::getenv("VX_QUICK") != nullptr;
  const char* idle = std::getenv("VX_IDLE_SECONDS");
  const double seconds = idle != nullptr ? std::atof(idle) : quick ? 3.0 : 10.0;
  const uint32_t amount = quick ? 2980 : 28480;

  const std::string loadBefore = LoadAverage();
  std::map<std::string, std::map<TRenderingMode, Run>> runs;
  std::vector<std::pair<TRenderingMode, CashOut>> cashOuts;
  // The longest frame of each transition on each device (ms), and the machine's load then.
  std::map<std::string, std::map<TRenderingMode, std::pair<TShown, double>>> transitions;
  std::string chosen, why;
  bool finished = false;
  {
    vxtest::TempDir dir;
    const fs::path program = vxe2e::LayOutProgram(dir);
    auto form = std::make_unique<TfrmMain>(vxe2e::ProgramOptions(program, dir));
    if (!form->FormCreate() || !form->FormShow()) {
      std::printf("the program did not start (run under xvfb-run -a)\n");
      return 1;
    }
    TfrmMain& f = *form;
    chosen = DeviceName(f.Engine->Mode());
    for (const std::string& line : vx::LogLines())
      if (line.find("OpenGL") != std::string::npos || line.find("software") != std::string::npos) why += "  " + line + "\n";
    const uint32_t window = f.Window()->WindowId();
    TVXLobbyState& lobby = vxe2e::LobbyOf(f);
    auto nav = [&] { return lobby.Navigation->Scene(); };
    auto box = [&] { return vxe2e::Input<TframeMessage>(f); };
    auto help = [&] { return vxe2e::Input<TfrmHelp>(f); };
    auto inLobby = [&] {
      return lobby.MainRoom != nullptr && !lobby.MainRoom->Scene()->Hidden && lobby.CurrentGame == nullptr &&
             f.InputScene() == f.MainScene();
    };
    auto inGame = [&] {
      return lobby.CurrentGame != nullptr && lobby.MainRoom->Scene()->Hidden && box() == nullptr &&
             f.InputScene() == f.MainScene();
    };
    auto measure = [&](const std::string& where) {
      for (TRenderingMode mode : {rmDirect3D, rmSoftGDI}) runs[where][mode] = IdleRun(f, mode, seconds);
    };
    auto enter = [&](int32_t id) {
      const TMainRoomScene::TLobbyGame* logo = lobby.MainRoom->Scene()->FindGame(id);
      if (logo != nullptr && logo->Logo != nullptr) vxe2e::PushClick(window, logo->Logo);
    };

    // The transition under way: its name, the device and when it began.
    std::string current;
    TRenderingMode device = rmSoftGDI;
    TShown since;
    auto begin = [&](const std::string& what) {
      current = what;
      device = f.Engine->Mode();
      since = vxbench::ShownNow();
    };
    auto end = [&] {
      if (!current.empty()) transitions[current][device] = {LongestGapMs(since), vxbench::LoadAverage()};
      current.clear();
    };
    // The measurements leave the software device in place.
    auto use = [&](TRenderingMode mode) {
      if (f.Engine->Mode() == mode) return;
      f.Engine->SetMode(mode);
      f.Wait(500);
    };

    vxe2e::SignUpFlow signUp(f, "NOGPU", "SECRET7");
    vxe2e::Script s(f);
    s.Add("signed up", [&] { return signUp.Step(); }, [&] { begin("signing in"); }, 0);
    s.Add("the lobby", inLobby, [&] {
      end();
      measure("lobby");
    }, 40);
    // The help and a machine, in and out, on each device; the software round, the first, also
    // measures them.
    for (TRenderingMode mode : {rmSoftGDI, rmDirect3D}) {
      const bool measured = mode == rmSoftGDI;
      s.Add(std::string("the lobby on ") + DeviceName(mode), inLobby, [&, mode] {
        end();
        use(mode);
        begin("opening the help");
        vxe2e::PushClick(window, lobby.MainRoom->Scene()->BtnHelp);
      }, 40);
      s.Add("the help", [&] { return help() != nullptr; }, [&, mode, measured] {
        end();
        if (measured) measure("help");
        use(mode);
        begin("closing the help");
        vxe2e::PushClick(window, help()->BtnClose);
      }, 40);
      s.Add("the lobby again", inLobby, [&] {
        end();
        begin("entering a machine");
        enter(kPoker);
      }, 40);
      s.Add("a poker machine", inGame, [&, mode, measured] {
        end();
        if (measured) measure("poker");
        use(mode);
        vxe2e::PushClick(window, nav()->BtnExitGame);
      }, 40);
      s.Add("the question", [&] { return box() != nullptr; }, [&] {
        begin("leaving a machine");
        vxe2e::PushClick(window, box()->YesButton);
      }, 10);
    }
    s.Add("the lobby once more", inLobby, [&] {
      end();
      enter(kSlots);
    }, 40);
    s.Add("a slot machine", inGame, [&] {
      measure("slots");
      auto* game = dynamic_cast<TSlots*>(lobby.CurrentGame);
      for (TRenderingMode mode : {rmDirect3D, rmSoftGDI})
        if (game != nullptr) cashOuts.emplace_back(mode, CashOutOn(f, *game, mode, amount));
      finished = true;
      vxe2e::PushQuit();
    }, 40);

    bool busy = false;  // the measurements run the pump, which fires this timer again
    const vx::TimerId timer = vx::MainPump().SetTimer(10, [&] {
      if (busy) return;
      busy = true;
      s.Tick();
      busy = false;
    });
    f.Run();
    vx::MainPump().KillTimer(timer);
    form->FormDestroy();
  }
  std::printf("\ndevice the program chose: %s\n%s", chosen.c_str(), why.c_str());
  if (!finished) std::printf("the tour did not finish\n");
  std::printf("\nthe program left to itself, %.0f s on each device (load average %s at the start, %s at the end):\n",
              seconds, loadBefore.c_str(), LoadAverage().c_str());
  for (const auto& [where, byMode] : runs)
    for (const auto& [mode, r] : byMode)
      std::printf("  %-6s %-5s %5.1f frames/s, main thread %6.2f ms a frame, process %6.2f ms a frame, %.2f cores\n",
                  where.c_str(), DeviceName(mode), r.Fps, r.MainMsPerFrame, r.ProcessMsPerFrame, r.Cores);
  std::printf("\nratios:\n");
  for (const auto& [where, byMode] : runs) {
    const Run& gpu = byMode.at(rmDirect3D);
    const Run& soft = byMode.at(rmSoftGDI);
    const auto line = [](const std::string& what, double ratio) { std::printf("  %-52s ratio %.3f\n", what.c_str(), ratio); };
    line(where + " frame, process CPU: soft / GPU", soft.ProcessMsPerFrame / gpu.ProcessMsPerFrame);
    line(where + " frame, process CPU: soft / 3 ms goal", soft.ProcessMsPerFrame / 3.0);
    line(where + " idle cores: soft / GPU", soft.Cores / gpu.Cores);
    line(where + " idle cores: soft / 0.15 goal", soft.Cores / 0.15);
  }
  for (const auto& [what, byMode] : transitions)
    for (const auto& [mode, longest] : byMode)
      std::printf("  %-20s on %-4s longest frame %7.1f ms / 100 ms goal, ratio %.3f; main thread CPU %6.1f ms, ratio %.3f (load %.1f on %u cores)\n",
                  what.c_str(), DeviceName(mode), longest.first.Wall, longest.first.Wall / 100.0, longest.first.Cpu,
                  longest.first.Cpu / 100.0, longest.second, std::thread::hardware_concurrency());
  for (const auto& [mode, c] : cashOuts) {
    const double ideal = static_cast<double>(c.Steps) / 60.0;
    std::printf("  cash-out of %u (%lld steps) on %-4s %6.1f s, %.2f frames a step: / %.1f s at 60 steps a second, ratio %.3f\n",
                c.Amount, static_cast<long long>(c.Steps), DeviceName(mode), c.Seconds, c.FramesPerStep, ideal, c.Seconds / ideal);
  }
  return finished ? 0 : 1;
}
