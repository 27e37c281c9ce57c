// The shell's hot paths. Theme reading: the INI store parsing a large theme text, against a
// bare line scan that only finds sections, keys and values (no lookup tables). One frame:
// the main window's per-frame callback over a message box on the recording device, against
// the same device calls and tree walk without the shell around them, and against the
// 16.7 ms frame budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "framework/VXFrame.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"
#include "platform/audio/AudioBackend.h"
#include "support/FakePlatform.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

std::string DialogsTheme() {
  return vxtest::TempDir::ReadFile(std::string(VX_SOURCE_DIR) + "/data/themes/DIALOGS/theme.scn");
}

// 40 copies of the dialog theme, each section renamed: about 360 sections, 3,000 keys.
const std::string& BigTheme() {
  static const std::string text = [] {
    const std::string one = DialogsTheme();
    std::string all;
    for (int i = 0; i < 40; ++i) {
      std::string copy = one;
      for (size_t at = copy.find('['); at != std::string::npos; at = copy.find('[', at + 1))
        copy.insert(at + 1, "S" + std::to_string(i) + "_");
      all += copy + "\n";
    }
    return all;
  }();
  return text;
}

void BM_StoreParse(benchmark::State& state) {
  const std::string& text = BigTheme();
  for (auto _ : state) {
    TVXStore store;
    store.SetText(text);
    benchmark::DoNotOptimize(store.SectionExists("S39_BTN_OK"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// Reference: one pass over the lines with memchr, noting where each key and value lies.
void BM_LineScan(benchmark::State& state) {
  const std::string& text = BigTheme();
  for (auto _ : state) {
    size_t sections = 0, keys = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      if (nl == nullptr) nl = end;
      if (p < nl && *p == '[') {
        ++sections;
      } else if (std::memchr(p, '=', static_cast<size_t>(nl - p)) != nullptr) {
        ++keys;
      }
      p = nl + 1;
    }
    benchmark::DoNotOptimize(sections + keys);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// The main window headless with a message box up (not modal: the benchmark drives frames).
struct Shell {
  vxtest::TempDir dir;
  vxtest::FakePlatform platform;
  vxtest::RecordingDevice* device = nullptr;
  std::unique_ptr<TfrmMain> form;
  TframeMessage* box = nullptr;

  Shell() {
    const fs::path pak = dir.Path() / "program" / "Data" / "Pak" / "DIALOGS";
    fs::create_directories(pak);
    vxtest::TempDir::WriteFile((pak / "theme.scn").string(), DialogsTheme());
    TfrmMainOptions o;
    o.ProgramFolder = (dir.Path() / "program").string() + "/";
    o.SystemTemp = dir.Str();
    o.RealWindow = false;
    o.DeveloperMode = false;
    o.DebugLogFile = dir.File("debug.log");
    o.MakeDevice = [this](TGfxForm*) {
      auto d = std::make_unique<vxtest::RecordingDevice>();
      device = d.get();
      return d;
    };
    o.MakeAudio = [] { return vx::audio::CreateSilentAudioBackend(); };
    form = std::make_unique<TfrmMain>(std::move(o));
    form->FormCreate();
    box = new TframeMessage(form->MainScene(), 0, mbYes | mbNo, mkConfirmation, "Leave the game?");
    for (TVXControl* c : {static_cast<TVXControl*>(box->Background), static_cast<TVXControl*>(box->WindowFrame),
                          static_cast<TVXControl*>(box->TaskBar), static_cast<TVXControl*>(box->WindowLogo)})
      c->SetVisible(true);
    for (int i = 0; i < 60; ++i) form->RenderNow();  // past the fades
  }
  ~Shell() {
    form->Close();
    form->FormDestroy();
  }
};

void BM_RenderFrame(benchmark::State& state) {
  Shell s;
  for (auto _ : state) {
    s.device->ClearCalls();
    s.form->RenderNow();
    benchmark::DoNotOptimize(s.device->Calls.data());
  }
  state.counters["calls"] = static_cast<double>(s.device->Calls.size());
}

// Reference: the same scene drawn by walking the tree directly.
void BM_BareTreeFrame(benchmark::State& state) {
  Shell s;
  for (auto _ : state) {
    s.device->ClearCalls();
    s.device->Clear(0);
    s.device->BeginScene();
    s.form->MainScene()->Process();
    s.device->EndScene();
    s.device->Present();
    benchmark::DoNotOptimize(s.device->Calls.data());
  }
  state.counters["calls"] = static_cast<double>(s.device->Calls.size());
}

BENCHMARK(BM_StoreParse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareTreeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  auto& t = reporter.times;
  auto ratio = [&](const char* ours, const char* ref) {
    if (t.count(ours) == 0 || t.count(ref) == 0 || t[ref] <= 0) return;
    std::printf("  %-18s %9.2f us, %-16s %9.2f us, ratio %.2f (%s)\n", ours, t[ours] / 1000.0, ref, t[ref] / 1000.0,
                t[ours] / t[ref], reporter.Note({ours, ref}).c_str());
  };
  std::printf("\nshell hot paths (ratio = ours / reference):\n");
  ratio("BM_StoreParse", "BM_LineScan");
  ratio("BM_RenderFrame", "BM_BareTreeFrame");
  if (t.count("BM_RenderFrame") != 0)
    std::printf("  one message-box frame uses %.3f%% of the 16.7 ms budget (%s)\n", t["BM_RenderFrame"] / 16.7e6 * 100.0,
                reporter.Note({"BM_RenderFrame"}).c_str());
  return 0;
}
