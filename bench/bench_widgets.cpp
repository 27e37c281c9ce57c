// One frame of a list box with 1,000 rows on the recording device, at the top and scrolled to
// the middle, against the same list holding only the rows it can show. Rows out of sight cost
// a rectangle test and their effect step; the ratio tells what the hidden 990-odd rows add.
// Prints the ratios and each frame against the 16.7 ms budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXListBox.h"
#include "render/GfxFonts.h"
#include "render/RecDb.h"
#include "support/RecordingDevice.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/RecordWriters.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

// A recording device that keeps no log, so that only the widgets' own work is measured.
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

// A fixed-width font of 95 glyphs, 8 x 10.
class Host : public TVXHostBase {
public:
  Host() {
    dir = (fs::temp_directory_path() / ("vx_bench_widgets_" + std::to_string(::getpid()))).string();
    fs::create_directories(dir);
    vxtools::TFontRecordInfo info;
    info.FirstChar = 32;
    for (int c = 32; c <= 126; ++c) info.Glyphs.push_back(TGfxSize{c == 32 ? 4 : 8, 10});
    vxtools::TImageRecordHeader h;
    h.Stored = COLOR_A8R8G8B8;
    h.Pattern = {12, 14};
    h.Visible = {10, 12};
    h.Texture = {128, 128};
    h.TextureCount = 1;
    h.PatternCount = 90;
    std::vector<uint32_t> sheet(128 * 128, 0xFFFFFFFFu);
    const std::string file = dir + "/fonts.vxr";
    vxtools::WriteArchiveFile(file, {{"Fixed.font", FontRecordType,
                                      vxtools::EncodeFontRecord(info, vxtools::EncodeImageRecord(h, sheet.data())), 0}});
    db.SetFileName(file);
    db.SetOpenMode(opReadOnly);
    gfx.Device = &Recorder;
    if (gfx.LoadFromRecDb(db, "Fixed.font", COLOR_A8R8G8B8) != 0) std::fprintf(stderr, "font did not load\n");
    font.Name = "Fixed.font";
    font.Font = &gfx;
  }
  ~Host() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  TGfxDevice* Device() override { return &Recorder; }
  TVXEngineFont* FindFont(const std::string&) override { return &font; }

  CountingDevice Recorder;
  std::string dir;
  TRecDb db;
  TGfxFont gfx;
  TVXEngineFont font;
};

Host& TheHost() {
  static Host host;
  return host;
}

// The lists' context: it names the host.
TVXContext& TheContext() {
  static TVXContext context;
  context.Host = &TheHost();
  return context;
}

// A 300 x 120 list with a header and two columns, 7 rows in sight.
std::unique_ptr<TVXListBox> MakeList(int rows) {
  auto lb = std::make_unique<TVXListBox>(nullptr);
  lb->SetContext(&TheContext());
  lb->SetName("LB_BENCH");
  lb->Font.SetName("Fixed");
  lb->SetBounds(100, 100, 300, 130);
  lb->SetShowHeader(true);
  lb->GetColumn(0)->Caption = "PLAYER";
  lb->AddColumn("BANK")->Width = 80;
  for (int i = 0; i < rows; ++i) {
    lb->Items.Add("PLAYER NUMBER " + std::to_string(i))->SubItems.push_back(std::to_string(i * 37));
  }
  return lb;
}

void Frame(benchmark::State& s, TVXListBox& lb) {
  Host& host = TheHost();
  const int64_t before = host.Recorder.Count;
  int64_t frames = 0;
  for (auto _ : s) {
    lb.Process();
    ++frames;
  }
  s.counters["device calls per frame"] =
      static_cast<double>(host.Recorder.Count - before) / static_cast<double>(frames == 0 ? 1 : frames);
}

void BM_List1000AtTop(benchmark::State& s) {
  auto lb = MakeList(1000);
  Frame(s, *lb);
}

void BM_List1000InTheMiddle(benchmark::State& s) {
  auto lb = MakeList(1000);
  for (int i = 0; i < 3750; ++i) lb->ScrollDown();  // 7,500 pixels: row 500 at the top
  Frame(s, *lb);
}

// The reference: the same list holding only the rows it shows.
void BM_ListVisibleRowsOnly(benchmark::State& s) {
  auto lb = MakeList(7);
  Frame(s, *lb);
}

BENCHMARK(BM_List1000AtTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_List1000InTheMiddle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListVisibleRowsOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  auto& t = reporter.times;
  const char* ref = "BM_ListVisibleRowsOnly";
  std::printf("\nlist box frame on the recording device (ratio = 1,000 rows / visible rows only):\n");
  for (const char* ours : {"BM_List1000AtTop", "BM_List1000InTheMiddle"}) {
    if (t.count(ours) == 0 || t.count(ref) == 0 || t[ref] <= 0) continue;
    std::printf("  %-24s %9.2f us, %-22s %9.2f us, ratio %.2f, %.3f%% of the 16.7 ms budget (%s)\n", ours,
                t[ours] / 1000.0, ref, t[ref] / 1000.0, t[ours] / t[ref], t[ours] / 16.7e6 * 100.0,
                reporter.Note({ours, ref}).c_str());
  }
  return 0;
}
