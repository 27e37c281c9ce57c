// Two hot paths of the players' code:
//  - a profile change saved at once: the list is copied with the change, written as XML and
//    put in place durably (players.xml of 1,000 players), against pugixml changing one node of
//    the same document and serialising it, written through the same durable replace (ratio
//    ours / pugixml), and against our own save of the list as it stands (the copy's share);
//  - one frame of each dialog on a recording device, with the game's own fonts and pictures,
//    the login dialog with its list of 1,000 players open, against copying one 800x600 frame
//    with memcpy and against the 16.7 ms frame budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>
#include <vector>

#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"
#include "platform/Files.h"
#include "support/RecordingDevice.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPlayers = 1000;

std::string BenchFolder() {
  static const std::string dir = [] {
    const fs::path p = fs::temp_directory_path() / ("vx_bench_players_" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p.string();
  }();
  return dir;
}

void Fill(TVXPlayers& list) {
  for (int i = 0; i < kPlayers; ++i) {
    TVXPlayer* p = list.Add();
    p->PlayerName = "Player number " + std::to_string(i);
    p->Password = "secret" + std::to_string(i * 7);
    p->FirstName = "First";
    p->LastName = "Last name";
    p->PictureID = i % 8 + 1;
    p->Bank = 1000u + static_cast<uint32_t>(i) * 37u;
  }
}

// ---- Saving a change

void BM_ChangePlayerSaved(benchmark::State& s) {
  TVXPlayers list;
  list.FileName = BenchFolder() + "/players.xml";
  Fill(list);
  TVXPlayer* p = list.Items(kPlayers / 2);
  bool flip = false;
  for (auto _ : s) {
    flip = !flip;
    if (list.ChangePlayer(p, {flip ? "Renamed" : "Named", "pw", "A", "B", 3}) !=
        TChangePlayerResult::Changed)
      s.SkipWithError("the change was not saved");
  }
}

// The same file written from the list as it stands, without the copy that keeps a failed
// save from changing anything.
void BM_SaveListAsIs(benchmark::State& s) {
  TVXPlayers list;
  list.FileName = BenchFolder() + "/players_as_is.xml";
  Fill(list);
  for (auto _ : s) {
    if (!list.SaveToFile()) s.SkipWithError("the list was not saved");
  }
}

void BM_PugixmlChangeSaved(benchmark::State& s) {
  TVXPlayers list;
  Fill(list);
  pugi::xml_document doc;
  const std::string text = list.GetXML();
  doc.load_buffer(text.data(), text.size());
  pugi::xml_node name = doc.child("VXPlayers").find_child([](pugi::xml_node n) {
    return std::strcmp(n.child_value("PlayerName"), "Player number 500") == 0;
  }).child("PlayerName");
  const std::string file = BenchFolder() + "/players_pugi.xml";
  struct Writer : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
  };
  bool flip = false;
  for (auto _ : s) {
    flip = !flip;
    name.text().set(flip ? "Renamed" : "Player number 500");
    // Written through the same durable replace as our save (temporary file, flush, rename).
    Writer w;
    doc.save(w, "", pugi::format_raw);
    if (!vx::WriteFileAtomic(file, w.text)) s.SkipWithError("the file was not written");
  }
}

// ---- Dialog frames

// A recording device that keeps no log: only the dialogs' own work is measured.
class CountingDevice : public vxtest::RecordingDevice {
public:
  int64_t Count = 0;
  void SetClipRect(const TGfxRect& rect) override {
    TGfxDevice::SetClipRect(rect);
    ++Count;
  }
  int32_t FillQuad(const TPoint4&, const TColor4&, int32_t) override { return static_cast<int32_t>(++Count & 0); }
  int32_t WireQuad(const TPoint4&, const TColor4&, int32_t) override { return static_cast<int32_t>(++Count & 0); }
  int32_t Line(TGfxPoint, TGfxPoint, uint32_t, uint32_t, int32_t) override { return static_cast<int32_t>(++Count & 0); }
  int32_t TextureMap(TGfxImage*, const TPoint4&, const TColor4&, int32_t, const TGfxPattern&) override {
    return static_cast<int32_t>(++Count & 0);
  }
};

class Form : public TGfxForm {};

// The program's services for the dialogs: settings, resources over the game's own fonts and
// pictures, an engine on the counting device, and a main window that only owns the root.
class BenchWindow : public TVXMainWindow {
public:
  BenchWindow() {
    const std::string dir = BenchFolder();
    vx::datagen::FontLibrary fonts;
    vx::WriteFileAtomic(dir + "/fonts.vxr", vx::datagen::PackArchive(vx::datagen::BuildFontRecords()));
    for (const auto& art : vx::datagen::AllArt()) {
      std::string path = art.key;
      for (char& c : path)
        if (c == '\\') c = '/';
      const fs::path file = fs::path(dir) / "pak" / path;
      fs::create_directories(file.parent_path());
      vx::WriteFileAtomic(file.string(), vx::datagen::EncodeBmp(art.draw(fonts)));
    }
    fs::copy(std::string(VX_SOURCE_DIR) + "/data/themes", dir + "/pak",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    context.Setting = std::make_unique<TVXSetting>(dir + "/", dir + "/tmp");
    context.Resources = std::make_unique<TVXResourceManager>(dir, dir + "/pak", dir + "/tmp");
    auto dev = std::make_unique<CountingDevice>();
    device = dev.get();
    engine = std::make_unique<TVXEngine>(&form, nullptr, false, std::move(dev));
    engine->SetWidth(800);
    engine->SetHeight(600);
    engine->ResourceManager = context.Resources.get();
    engine->LoadFonts();
    host = std::make_unique<TVXEngineHost>(engine.get());
    context.Host = host.get();
    context.MainWindow = this;
    root = std::make_unique<TVXMainScene>(nullptr, &context);
    root->SetBounds(0, 0, 800, 600);
  }
  ~BenchWindow() override {
    root.reset();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
  }

  TVXMainScene* MainScene() override { return root.get(); }
  TVXScene* InputScene() override { return root.get(); }
  void SetInputScene(TVXScene*) override {}
  void AddAnim(TVXAnim*) override {}
  void RemoveAnim(TVXAnim*) override {}
  void RenderNow() override {}
  bool ProcessMessage() override { return false; }
  bool ProcessUntil(const std::function<bool()>&) override { return false; }
  bool Wait(uint64_t) override { return false; }
  bool Closing() override { return true; }
  int32_t MessageBox(const std::string&, int32_t, int32_t, int32_t) override { return mrOk; }
  void PopupMessage(const std::string&, int32_t) override {}
  void FadeIn() override {}
  void FadeOut() override {}

  Form form;
  // Owns the settings and the resources; names the host and this window.
  TVXContext context;
  CountingDevice* device = nullptr;
  std::unique_ptr<TVXEngine> engine;
  std::unique_ptr<TVXEngineHost> host;
  std::unique_ptr<TVXMainScene> root;
};

BenchWindow& TheWindow() {
  static BenchWindow window;
  return window;
}

void ShowChrome(TVXFrame& frame) {
  frame.Background->SetVisible(true);
  frame.WindowFrame->SetVisible(true);
  frame.TaskBar->SetVisible(true);
  frame.WindowLogo->SetVisible(true);
  for (int i = 0; i < 60; ++i) TheWindow().root->Process();  // fades done
}

void Frames(benchmark::State& s) {
  BenchWindow& p = TheWindow();
  const int64_t before = p.device->Count;
  int64_t frames = 0;
  for (auto _ : s) {
    p.root->Process();
    ++frames;
  }
  s.counters["device calls per frame"] =
      static_cast<double>(p.device->Count - before) / static_cast<double>(frames == 0 ? 1 : frames);
}

void BM_LoginFrameListOpen(benchmark::State& s) {
  TheWindow();
  TVXPlayers players;
  Fill(players);
  TfrmLogin login(TheWindow().root.get(), players, nullptr);
  ShowChrome(login);
  login.CboPlayerName->DropDown();
  Frames(s);
}

void BM_ProfileFrame(benchmark::State& s) {
  TheWindow();
  TVXPlayers players;
  Fill(players);
  players.Login("Player number 3", "secret21");
  TfrmProfile profile(TheWindow().root.get(), players, nullptr);
  ShowChrome(profile);
  Frames(s);
}

void BM_CreditFrame(benchmark::State& s) {
  TheWindow();
  TVXPlayers players;
  Fill(players);
  players.Login("Player number 3", "secret21");
  TVXGameManager catalogue;
  TPokerData data;
  TfrmCredit credit(TheWindow().root.get(), players, {&data, catalogue.Games(0), nullptr});
  ShowChrome(credit);
  Frames(s);
}

// The outside reference: copying one 800x600 frame of 32-bit pixels.
void BM_MemcpyFrame(benchmark::State& s) {
  std::vector<uint32_t> a(800 * 600, 0x12345678u), b(800 * 600);
  for (auto _ : s) {
    std::memcpy(b.data(), a.data(), a.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_ChangePlayerSaved)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SaveListAsIs)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PugixmlChangeSaved)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LoginFrameListOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProfileFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreditFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  auto& t = reporter.times;
  auto have = [&](const char* a, const char* b) { return t.count(a) && t.count(b) && t[b] > 0; };
  if (have("BM_ChangePlayerSaved/real_time", "BM_PugixmlChangeSaved/real_time")) {
    std::printf("\nprofile change saved, %d players (ratio = ours / pugixml): %.1f us vs %.1f us, ratio %.2f (%s)\n",
                kPlayers, t["BM_ChangePlayerSaved/real_time"] / 1000.0, t["BM_PugixmlChangeSaved/real_time"] / 1000.0,
                t["BM_ChangePlayerSaved/real_time"] / t["BM_PugixmlChangeSaved/real_time"],
                reporter.Note({"BM_ChangePlayerSaved/real_time", "BM_PugixmlChangeSaved/real_time"}).c_str());
  }
  if (have("BM_SaveListAsIs/real_time", "BM_PugixmlChangeSaved/real_time")) {
    std::printf("list saved as it stands: %.1f us, ratio %.2f to pugixml (%s)\n", t["BM_SaveListAsIs/real_time"] / 1000.0,
                t["BM_SaveListAsIs/real_time"] / t["BM_PugixmlChangeSaved/real_time"],
                reporter.Note({"BM_SaveListAsIs/real_time", "BM_PugixmlChangeSaved/real_time"}).c_str());
  }
  std::printf("\ndialog frames on the recording device (ratio = frame / memcpy of an 800x600 frame):\n");
  for (const char* frame : {"BM_LoginFrameListOpen", "BM_ProfileFrame", "BM_CreditFrame"}) {
    if (!have(frame, "BM_MemcpyFrame")) continue;
    std::printf("  %-22s %8.2f us, ratio %6.2f, %.3f%% of the 16.7 ms budget (%s)\n", frame, t[frame] / 1000.0,
                t[frame] / t["BM_MemcpyFrame"], t[frame] / 16.7e6 * 100.0,
                reporter.Note({frame, "BM_MemcpyFrame"}).c_str());
  }
  return 0;
}
