// Whole frames and loads of the real program on the GPU device, as a player without a GPU
// driver gets them (run under xvfb-run: Mesa's software GL). The program signs a new player
// up, reaches the lobby and enters a video-poker machine through window events, as the
// end-to-end runs do; the wall time of those two loads is measured with their fades and
// progress frames (the machine's from the release of the click on its logo), against half a
// second. Entering a machine shows 30 frames whatever its load costs (the release, one frame
// before the fade, 26 fade frames, the loader, its last progress step), 0.5 s at 60 a second:
// the load's own work is what it takes beyond that. In the lobby and in the machine, a frame
// (the animations stepped, the tree drawn, the frame read back so the GPU's work is inside the
// time) is set against the same quads, with textures of the same sizes, drawn in a minimal
// GL loop in the same process (one draw per run of texture and blend, no clipping). The
// resident memory is read from /proc at both places. VX_TAPE=1 lists each frame's runs of
// one texture and effect (what may end a batch).
#include <benchmark/benchmark.h>
#include <SDL.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRatio.h"
#include "bench/MinimalGl.h"
#include "bench/PresentTimes.h"
#include "framework/VXAnim.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/GameManager.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXStatisticsForm.h"
#include "lobby/VXMainRoom.h"
#include "platform/MessagePump.h"
#include "platform/gl/GlRenderer.h"
#include "platform/gl/GlSurface.h"
#include "render/GfxDevice3.h"
#include "tests/e2e/E2eDriver.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kMachine = 15;  // a video-poker machine the lobby shows

// One textured or plain quad of a frame, as the tree drew it.
struct Op {
  TPoint4 Points{};
  TColor4 Colours{};
  int32_t Effect = 0;
  TGfxImage* Image = nullptr;  // null: untextured
  TGfxRect Source;             // the pattern's rectangle in its texture
};

// The GPU device, which can tape a frame's quads and, while frames are timed, read each
// frame back instead of presenting it (no swap, no pacing to the display).
class BenchDevice : public TGfxDevice3 {
public:
  using TGfxDevice3::TGfxDevice3;
  std::vector<Op>* Tape = nullptr;
  bool Timing = false;
  std::vector<uint32_t> Frame;

  int32_t FillQuad(const TPoint4& p, const TColor4& c, int32_t effect) override {
    if (Tape != nullptr) Tape->push_back(Op{p, c, effect, nullptr, {}});
    return TGfxDevice3::FillQuad(p, c, effect);
  }
  int32_t TextureMap(TGfxImage* image, const TPoint4& p, const TColor4& c, int32_t effect,
                     const TGfxPattern& pattern) override {
    if (Tape != nullptr && image != nullptr) {
      Op op{p, c, effect, image, {}};
      int32_t texture = 0;
      if (image->PatternRect(pattern, texture, op.Source)) Tape->push_back(op);
    }
    return TGfxDevice3::TextureMap(image, p, c, effect, pattern);
  }
  int32_t Present() override {
    if (!Timing) return TGfxDevice3::Present();
    int32_t w = 0, h = 0;
    return ReadFrame(Frame, w, h);
  }
};

int64_t ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6));
  return 0;
}

// Where the resident memory lies: anonymous pages (heap, driver buffers, stacks) and file
// pages (code), and of the anonymous ones what the allocator holds in use and idle.
struct ResidentSplit {
  int64_t AnonKb = 0, FileKb = 0, HeapUsedKb = 0, HeapIdleKb = 0;
};
ResidentSplit SplitResident() {
  ResidentSplit r;
  std::ifstream rollup("/proc/self/smaps_rollup");
  std::string line;
  int64_t rss = 0;
  while (std::getline(rollup, line)) {
    if (line.rfind("Rss:", 0) == 0) rss = std::stoll(line.substr(4));
    if (line.rfind("Anonymous:", 0) == 0) r.AnonKb = std::stoll(line.substr(10));
  }
  r.FileKb = rss - r.AnonKb;
#if defined(__GLIBC__)
  const struct mallinfo2 m = mallinfo2();
  r.HeapUsedKb = static_cast<int64_t>(m.uordblks + m.hblkhd) / 1024;
  r.HeapIdleKb = static_cast<int64_t>(m.fordblks) / 1024;
#endif
  return r;
}

// VX_SMAPS=1: the largest resident mappings, by name, at the end of the tour.
void PrintLargestMappings() {
  std::ifstream smaps("/proc/self/smaps");
  std::map<std::string, int64_t> byName;
  std::string line, name;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string range, perms, offset, dev, inode;
    fields >> range >> perms;
    if (perms.size() == 4 && range.find('-') != std::string::npos) {
      fields >> offset >> dev >> inode;
      std::getline(fields >> std::ws, name);
      if (name.empty()) name = "[anon]";
    } else if (range == "Rss:") {
      byName[name] += std::stoll(perms);
    }
  }
  std::vector<std::pair<int64_t, std::string>> sorted;
  for (const auto& [n, kb] : byName) sorted.push_back({kb, n});
  std::sort(sorted.rbegin(), sorted.rend());
  for (size_t i = 0; i < sorted.size() && i < 15; ++i)
    std::printf("    %8.1f MB %s\n", sorted[i].first / 1024.0, sorted[i].second.c_str());
}

// Every thread's, llvmpipe's rasterisers included: the frame's work whatever else runs.
double ProcessCpuSeconds() { return vxbench::ClockSeconds(CLOCK_PROCESS_CPUTIME_ID); }

struct Figures {
  double SignInSeconds = 0;
  double EnterSeconds = 0;
  double EnterFadeSeconds = 0;  // of which the fade-out ran
  int64_t LobbyKb = 0;
  int64_t MachineKb = 0;
  // The screen tour after the measured machine: resident memory and the longest gap between
  // two frames at each stop, twice round.
  struct Stop {
    std::string Where;
    int64_t Kb = 0;
    double LongestFrameMs = 0;
    int64_t TextureKb = 0;
    int64_t Reloads = 0;  // pictures loaded again since the stop before
    ResidentSplit Split;
    int64_t UsedTextureKb = 0;  // of the textures drawn since the stop before
  };
  std::vector<Stop> Stops;
  int64_t PeakKb = 0;
  size_t PeakBefore = 0;  // the stop the peak came before
};

TfrmMain* theForm = nullptr;
BenchDevice* theDevice = nullptr;

BenchDevice& Device() { return *theDevice; }

// A frame of the program as it stands.
void BM_ProgramFrame(benchmark::State& s) {
  BenchDevice& device = Device();
  device.Timing = true;
  const int64_t before = device.DrawCalls();
  int64_t frames = 0;
  const double cpu = ProcessCpuSeconds();
  for (auto _ : s) {
    theForm->RenderFrame();
    ++frames;
  }
  device.Timing = false;
  s.counters["draw calls per frame"] =
      static_cast<double>(device.DrawCalls() - before) / static_cast<double>(frames == 0 ? 1 : frames);
  s.counters["all threads' CPU ms"] = (ProcessCpuSeconds() - cpu) * 1e3 / static_cast<double>(frames == 0 ? 1 : frames);
}

std::vector<Op> TapeFrame() {
  std::vector<Op> tape;
  Device().Timing = true;
  Device().Tape = &tape;
  theForm->RenderFrame();
  Device().Tape = nullptr;
  Device().Timing = false;
  return tape;
}

std::vector<uint32_t> Texels(int32_t w, int32_t h, size_t salt) {
  std::vector<uint32_t> texels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint32_t>((i + salt) * 2654435761u) | 0x80000000u;
  return texels;
}

// The reference: the taped quads straight into GL on a context of its own.
void MinimalGlLoop(benchmark::State& s, const std::vector<Op>& tape) {
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  SDL_GLContext context = SDL_GL_GetCurrentContext();
  {
    std::string error;
    // A second context on the program's window (a surfaceless one cannot be current
    // beside a GLX context); it draws into its own frame buffer and never swaps.
    std::unique_ptr<vx::gl::Surface> surface = vx::gl::CreateWindowSurface(window, error);
    auto renderer = surface ? vx::gl::Renderer::Create(std::move(surface), 800, 600, error) : nullptr;
    if (!renderer) {
      s.SkipWithError(error.c_str());
    } else {
      // Textures of the same sizes, other texels: sampling costs the same.
      std::map<TGfxImage*, uint32_t> textures;
      std::vector<vxbench::GlQuad> quads;
      for (const Op& op : tape) {
        vxbench::GlQuad q{op.Points, op.Colours, op.Effect, 0};
        if (op.Image != nullptr) {
          const TGfxSize size = op.Image->TextureSize();
          if (textures.count(op.Image) == 0) {
            const uint32_t id = renderer->CreateTexture(size.Width, size.Height);
            renderer->UploadTexture(id, size.Width, size.Height, Texels(size.Width, size.Height, textures.size()).data());
            textures[op.Image] = id;
          }
          q.Texture = textures[op.Image];
          const float w = static_cast<float>(size.Width), h = static_cast<float>(size.Height);
          const TGfxRect& r = op.Source;
          const float u[4] = {r.Left / w, r.Right / w, r.Right / w, r.Left / w};
          const float v[4] = {r.Top / h, r.Top / h, r.Bottom / h, r.Bottom / h};
          std::copy(u, u + 4, q.U);
          std::copy(v, v + 4, q.V);
        }
        quads.push_back(q);
      }
      std::vector<uint32_t> pixels;
      std::vector<vx::gl::Vertex> run;
      int64_t draws = 0, frames = 0;
      const double cpu = ProcessCpuSeconds();
      for (auto _ : s) {
        ++frames;
        draws += vxbench::DrawMinimalFrame(*renderer, quads, run, pixels);
      }
      s.counters["draw calls per frame"] = static_cast<double>(draws) / static_cast<double>(frames == 0 ? 1 : frames);
      s.counters["all threads' CPU ms"] = (ProcessCpuSeconds() - cpu) * 1e3 / static_cast<double>(frames == 0 ? 1 : frames);
    }
  }
  SDL_GL_MakeCurrent(window, context);
}

// Runs the frame and its reference under one name and prints their ratio.
void MeasureHere(const std::string& where, vxbench::RatioReporter& reporter) {
  const std::vector<Op> tape = TapeFrame();
  benchmark::ClearRegisteredBenchmarks();
  benchmark::RegisterBenchmark((where + "Frame").c_str(), BM_ProgramFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
  benchmark::RegisterBenchmark((where + "MinimalGl").c_str(), [&tape](benchmark::State& s) { MinimalGlLoop(s, tape); })
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  reporter.RunSteady();
  std::vector<uint32_t>().swap(Device().Frame);  // the benchmark's own, not the program's
  std::printf("  %s: %zu quads taped\n", where.c_str(), tape.size());
  if (std::getenv("VX_TAPE") != nullptr) {
    TGfxImage* last = reinterpret_cast<TGfxImage*>(1);
    int32_t eff = -1;
    for (const Op& op : tape) {
      if (op.Image != last || op.Effect != eff) {
        std::printf("    run img=%p tex=%dx%d pat=%dx%d cnt=%d fmt=%d name=%s effect=%x col=%08x src=%d,%d,%d,%d at %d,%d\n", (void*)op.Image,
                    op.Image ? op.Image->TextureSize().Width : 0, op.Image ? op.Image->TextureSize().Height : 0,
                    op.Image ? op.Image->PatternSize().Width : 0, op.Image ? op.Image->PatternSize().Height : 0,
                    op.Image ? op.Image->TextureCount() : 0, op.Image ? (int)op.Image->Format() : 0,
                    op.Image ? op.Image->Name.c_str() : "", op.Effect, op.Colours[0], op.Source.Left, op.Source.Top,
                    op.Source.Right, op.Source.Bottom, op.Points[0].X, op.Points[0].Y);
        last = op.Image;
        eff = op.Effect;
      }
    }
  }
}

// The program's flow, stepped from a timer on its own pump.
class Tour {
public:
  enum Phase { SigningUp, ToLobby, InLobby, Pressed, Entering, InMachine, Touring, Done };
  // About a tenth of a second at 60 frames a second.
  static constexpr uint64_t kHeldFrames = 6;
  Tour(TfrmMain& form, vxbench::RatioReporter& reporter)
      : f_(form), window_(form.Window()->WindowId()), signUp_(form, "BENCH", "SECRET7"), reporter_(reporter) {}

  void Tick() {
    if (phase_ == Done || vxe2e::Frames() < quietUntil_) return;
    if (SDL_GetTicks64() - progress_ > 60000) {
      auto* game = dynamic_cast<TPoker*>(vxe2e::LobbyOf(f_).CurrentGame);
      std::printf("stuck in phase %d (anims %d, input on main %d, game %d)\n", static_cast<int>(phase_), f_.AnimCount(),
                  f_.InputScene() == f_.MainScene(), game != nullptr);
      Finish();
      return;
    }
    switch (phase_) {
      case SigningUp:
        if (!signUp_.Step()) return;
        Next(ToLobby);
        started_ = Now();
        return;
      case ToLobby:
        if (!Settled() || Room() == nullptr || Room()->Scene()->Hidden || vxe2e::LobbyOf(f_).CurrentGame != nullptr) return;
        figures.SignInSeconds = Now() - started_;
        Next(InLobby);
        return;
      case InLobby: {
        // One frame of the settled screen first: the heap its load freed goes back then.
        theForm->RenderFrame();
        figures.LobbyKb = ResidentKb();
        // VX_TOUR_ONLY=1: no frame benchmarks, whose reference GL context would weigh on the
        // tour's memory figures.
        if (std::getenv("VX_TOUR_ONLY") == nullptr) MeasureHere("Lobby", reporter_);
        const TMainRoomScene::TLobbyGame* logo = Room()->Scene()->FindGame(kMachine);
        if (logo == nullptr || logo->Logo == nullptr) {
          std::printf("the lobby shows no machine %d\n", kMachine);
          Finish();
          return;
        }
        // A player's click: the press, held as a hand holds it, then the release, which
        // enters the machine; the entry is timed from the release.
        vxe2e::PushPress(window_, logo->Logo);
        logo_ = logo->Logo;
        quietUntil_ = vxe2e::Frames() + kHeldFrames;
        Next(Pressed);
        return;
      }
      case Pressed:
        vxe2e::PushRelease(window_, logo_);
        started_ = Now();
        Next(Entering);
        return;
      case Entering: {
        if (Fading()) {
          if (fadeFrom_ == 0) fadeFrom_ = Now();
          fadeTo_ = Now();
        }
        auto* game = dynamic_cast<TPoker*>(vxe2e::LobbyOf(f_).CurrentGame);
        if (!Settled() || game == nullptr || !Room()->Scene()->Hidden || !game->PokerScene->Visible()) return;
        figures.EnterSeconds = Now() - started_;
        figures.EnterFadeSeconds = fadeTo_ - fadeFrom_;
        Next(InMachine);
        return;
      }
      case InMachine:
        theForm->RenderFrame();
        figures.MachineKb = ResidentKb();
        if (std::getenv("VX_TOUR_ONLY") == nullptr) MeasureHere("Machine", reporter_);
        PlanScreenTour();
        Next(Touring);
        return;
      case Touring:
        progress_ = SDL_GetTicks64();  // the script watches its own steps
        script_->Tick();
        if (script_->Done() >= script_->Count()) Finish();
        return;
      case Done:
        return;
    }
  }

  Figures figures;

private:
  TMainRoom* Room() const { return vxe2e::LobbyOf(f_).MainRoom; }
  TNavigationScene* Nav() const { return vxe2e::LobbyOf(f_).Navigation->Scene(); }
  bool AtLobby() const {
    return Settled() && vxe2e::LobbyOf(f_).CurrentGame == nullptr && Room() != nullptr && !Room()->Scene()->Hidden;
  }
  bool InGame() const {
    TVXGame* g = vxe2e::LobbyOf(f_).CurrentGame;
    return Settled() && g != nullptr && Room()->Scene()->Hidden && g->GetScene()->Visible();
  }
  template <class T>
  T* Dialog() const {
    return vxe2e::Input<T>(f_);
  }
  void Click(const TVXCustomControl* c) { vxe2e::PushClick(window_, c); }

  // The resident peak, read at every frame shown during the tour (those inside loads too).
  void WatchPeak() {
    const int64_t kb = ResidentKb();
    if (kb > figures.PeakKb) {
      figures.PeakKb = kb;
      figures.PeakBefore = figures.Stops.size();
    }
  }
  void Record(const std::string& where) {
    TVXTextureList* textures = f_.TVXEngineHost::Textures();
    const int64_t reloads = textures != nullptr ? textures->Reloads() : 0;
    // The screen's own pictures: those drawn or asked for since the stop before.
    int64_t usedBytes = 0;
    uint64_t lastUse = lastUse_;
    for (int32_t i = 0; textures != nullptr && i < textures->Count(); ++i) {
      const TVXGfxTexture* t = textures->GetItem(i);
      if (t->LastUse > lastUse_) usedBytes += t->Bytes();
      lastUse = std::max(lastUse, t->LastUse);
    }
    lastUse_ = lastUse;
    figures.Stops.push_back({where, ResidentKb(), vxbench::LongestGapMs(lastStop_).Wall, textures != nullptr ? textures->HeldBytes() / 1024 : 0,
                             reloads - reloads_, SplitResident(), usedBytes / 1024});
    reloads_ = reloads;
    lastStop_ = vxbench::ShownNow();
  }
  // Out of the machine, the help, the options, the statistics, every machine of the lobby
  // in and out, twice round.
  void PlanScreenTour() {
    lastStop_ = vxbench::ShownNow();
    vxbench::OnShown() = [this] { WatchPeak(); };
    script_ = std::make_unique<vxe2e::Script>(f_);
    vxe2e::Script& s = *script_;
    auto leaveGame = [&s, this](const std::string& where) {
      s.Add(where, [this] { return InGame(); }, [this, where] { Record(where); Click(Nav()->BtnExitGame); });
      s.Add("the exit question", [this] { return Dialog<TframeMessage>() != nullptr; },
            [this] { Click(Dialog<TframeMessage>()->YesButton); });
    };
    auto menu = [&s, this](TVXMenu* TNavigationScene::*m, TVXMenuItem* TNavigationScene::*item) {
      s.Add("lobby", [this] { return AtLobby(); }, [this, m] { Record("lobby"); Click(Nav()->*m); });
      s.Add("menu", [this, item] { return (Nav()->*item)->Visible(); }, [this, item] { Click(Nav()->*item); });
    };
    leaveGame("poker machine " + std::to_string(kMachine));
    for (int round = 1; round <= 2; ++round) {
      s.Add("lobby", [this] { return AtLobby(); }, [this] { Record("lobby"); Click(Room()->Scene()->BtnHelp); });
      s.Add("help", [this] { return Dialog<TfrmHelp>() != nullptr && !Fading(); },
            [this] { Record("help"); Click(Dialog<TfrmHelp>()->BtnClose); });
      menu(&TNavigationScene::MenuTools, &TNavigationScene::MenuOptions);
      s.Add("options", [this] { return Dialog<TfrmOptions>() != nullptr; },
            [this] { Record("options"); Click(Dialog<TfrmOptions>()->BtnClose); });
      menu(&TNavigationScene::MenuPlayer, &TNavigationScene::MenuStatistics);
      s.Add("statistics", [this] { return Dialog<TfrmStatistics>() != nullptr; },
            [this] { Record("statistics"); Click(Dialog<TfrmStatistics>()->BtnClose); });
      for (const TMainRoomScene::TLobbyGame& game : Room()->Scene()->Games()) {
        if (game.Logo == nullptr || game.Info == nullptr) continue;
        const TVXCustomControl* logo = game.Logo;
        s.Add("lobby", [this] { return AtLobby(); }, [this, logo] { Record("lobby"); Click(logo); }, 30);
        leaveGame("machine " + std::to_string(game.Info->ID) + " round " + std::to_string(round));
      }
    }
    s.Add("lobby", [this] { return AtLobby(); }, [this] { Record("lobby at the end"); });
  }
  static double Now() { return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency()); }
  // No fade running, no box, input back on the main scene.
  bool Fading() const {
    for (int32_t i = 0; i < f_.AnimCount(); ++i)
      if (dynamic_cast<TAnimFade*>(f_.GetAnim(i)) != nullptr) return true;
    return false;
  }
  bool Settled() const {
    if (Fading()) return false;
    return f_.InputScene() == f_.MainScene() && vxe2e::Input<TframeMessage>(f_) == nullptr;
  }
  void Next(Phase p) {
    phase_ = p;
    progress_ = SDL_GetTicks64();
  }
  void Finish() {
    vxbench::OnShown() = nullptr;
    phase_ = Done;
    f_.Close();
  }

  TfrmMain& f_;
  uint32_t window_;
  vxe2e::SignUpFlow signUp_;
  vxbench::RatioReporter& reporter_;
  Phase phase_ = SigningUp;
  uint64_t quietUntil_ = 0;
  uint64_t progress_ = SDL_GetTicks64();
  double started_ = 0;
  double fadeFrom_ = 0, fadeTo_ = 0;
  const TVXCustomControl* logo_ = nullptr;
  std::unique_ptr<vxe2e::Script> script_;
  vxbench::TShown lastStop_;
  int64_t reloads_ = 0;
  uint64_t lastUse_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) {
    std::printf("the game data is not generated\n");
    return 1;
  }
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  Figures figures;
  {
    vxtest::TempDir dir;
    const fs::path program = vxe2e::LayOutProgram(dir);
    TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
    // VX_RENDER_DEVICE=soft: the tour alone, on the device the program picks for itself
    // (the frame benchmarks need the GPU device).
    const char* chosen = std::getenv(TVXEngine::DeviceVariable);
    const bool soft = chosen != nullptr && std::string(chosen) == "soft";
    if (soft) setenv("VX_TOUR_ONLY", "1", 1);
    if (!soft)
      options.MakeDevice = [](TGfxForm* form) {
        auto device = std::make_unique<BenchDevice>(form);
        theDevice = device.get();
        return device;
      };
    auto form = std::make_unique<TfrmMain>(std::move(options));
    theForm = form.get();
    if (!form->FormCreate() || !form->FormShow() || (theDevice == nullptr && !soft)) {
      std::printf("no GL 3.3 window (run under xvfb-run -a)\n");
      return 1;
    }
    // VX_TEXTURE_BUDGET_MB=100000 holds every picture, as the cache did before it had a budget.
    if (const char* mb = std::getenv("VX_TEXTURE_BUDGET_MB"); mb != nullptr && form->TVXEngineHost::Textures() != nullptr)
      form->TVXEngineHost::Textures()->SetBudget(std::atoll(mb) << 20);
    Tour tour(*form, reporter);
    // Polled often, so a load's end is seen within a couple of milliseconds of it.
    const vx::TimerId timer = vx::MainPump().SetTimer(2, [&tour] { tour.Tick(); });
    form->Run();
    vx::MainPump().KillTimer(timer);
    figures = tour.figures;
    if (std::getenv("VX_SMAPS") != nullptr) {
      std::printf("largest resident mappings at the end of the tour:\n");
      PrintLargestMappings();
    }
    form->FormDestroy();
    form.reset();
  }
  std::printf("\nprogram on the GPU device:\n");
  for (const char* where : {"Lobby", "Machine"}) {
    const std::string frame = std::string(where) + "Frame/real_time";
    reporter.Ratio((std::string(where) + " frame / same quads in a minimal GL loop").c_str(), frame,
                   std::string(where) + "MinimalGl/real_time");
    const double t = reporter.Time(frame);
    if (t > 0)
      std::printf("  %-48s ratio %.2f (%.2f ms; %s)\n", (std::string(where) + " frame / 8 ms goal").c_str(), t / 8e6,
                  t / 1e6, reporter.Note({frame}).c_str());
  }
  std::printf("  %-48s ratio %.3f (%.3f s)\n", "lobby after sign-in / 0.5 s goal", figures.SignInSeconds / 0.5,
              figures.SignInSeconds);
  std::printf("  %-48s ratio %.3f (%.3f s)\n", "entering a poker machine (from the release) / 0.5 s goal",
              figures.EnterSeconds / 0.5, figures.EnterSeconds);
  std::printf("  %-48s %.2f s of it (26 frames at 60 a second)\n", "  the fade-out before the machine", figures.EnterFadeSeconds);
  std::printf("  %-48s ratio %.2f (%.0f MB)\n", "RSS in the lobby / 150 MB goal", figures.LobbyKb / 1024.0 / 150.0,
              figures.LobbyKb / 1024.0);
  std::printf("  %-48s ratio %.2f (%.0f MB)\n", "RSS in a poker machine / 150 MB goal",
              figures.MachineKb / 1024.0 / 150.0, figures.MachineKb / 1024.0);
  std::printf("\nscreen tour (resident MB, texture MB held (of them drawn since the stop before), longest frame gap and pictures loaded again before the stop;\n"
              "the resident split into anonymous and file pages, and the heap's bytes in use and idle):\n");
  for (const Figures::Stop& stop : figures.Stops)
    std::printf("  %-24s %6.1f MB %5.1f MB (%5.1f drawn) %5.0f ms %3lld reloads | anon %5.1f file %5.1f heap %5.1f idle %5.1f\n",
                stop.Where.c_str(), stop.Kb / 1024.0, stop.TextureKb / 1024.0, stop.UsedTextureKb / 1024.0, stop.LongestFrameMs,
                static_cast<long long>(stop.Reloads), stop.Split.AnonKb / 1024.0, stop.Split.FileKb / 1024.0,
                stop.Split.HeapUsedKb / 1024.0, stop.Split.HeapIdleKb / 1024.0);
  std::printf("  %-48s ratio %.2f (%.0f MB, on the way to stop %zu: %s)\n", "RSS peak over the tour / 150 MB goal",
              figures.PeakKb / 1024.0 / 150.0, figures.PeakKb / 1024.0, figures.PeakBefore + 1,
              figures.PeakBefore < figures.Stops.size() ? figures.Stops[figures.PeakBefore].Where.c_str() : "the end");
  return 0;
}
