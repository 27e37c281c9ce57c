// The log window and the developer diagnostics: the formats of the tree, texture and memory
// dumps, the debug log (streamed and saved only in developer mode, decided once), the bounded
// log outside developer mode, the cheat lists, and the second window that shows them.
#include <gtest/gtest.h>
#include <SDL.h>

#include "FrameworkFakes.h"
#include "core/Log.h"
#include "core/Rounding.h"
#include "framework/VXDebug.h"
#include "framework/VXLogWindow.h"
#include "framework/VXWidgets.h"
#include "platform/Files.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "sysutil/SysUtils.h"

namespace {

TVXPanel* Child(TVXCustomControl* parent, const std::string& name) {
  auto* p = new TVXPanel(parent);
  p->SetName(name);
  p->SetParent(parent);
  return p;
}

}  // namespace

TEST(Dumps, ControlTreeIndentsSixSpacesPerLevelWithChildCounts) {
  TVXPanel root(nullptr);
  root.SetName("ROOT");
  TVXPanel* a = Child(&root, "A");
  Child(a, "A1");
  Child(a, "A2");
  Child(&root, "B");
  EXPECT_EQ(vx::ControlTreeLines(&root), (std::vector<std::string>{"      A (2)", "            A1 (0)",
                                                                     "            A2 (0)", "      B (0)"}));
  EXPECT_TRUE(vx::ControlTreeLines(nullptr).empty());

  vxtest::TempDir dir;
  vx::ClearLog();
  ASSERT_TRUE(vx::DumpControlTree(&root, dir.File("tree.txt")));
  EXPECT_EQ(vxtest::TempDir::ReadFile(dir.File("tree.txt")),
            "      A (2)\r\n            A1 (0)\r\n            A2 (0)\r\n      B (0)\r\n");
  EXPECT_TRUE(vx::LogContains("INFO: ControlTree Dump Finished."));
  // A file that cannot be written is reported, and the dump still says it finished.
  vx::ClearLog();
  EXPECT_FALSE(vx::DumpControlTree(&root, dir.File("no/such/dir/tree.txt")));
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot write"));
}

TEST(Dumps, TextureListNumbersTexturesFromOne) {
  EXPECT_EQ(vx::TextureListLines(nullptr), std::vector<std::string>{"TextureCount: 0"});
  vxtest::FakeTextureSource source;
  source.Pictures["T\\A.bmp"] = {4, 4};
  source.Pictures["T\\B_2.bmp"] = {4, 4};
  TVXTextureList list(&source);
  EXPECT_EQ(vx::TextureListLines(&list), std::vector<std::string>{"TextureCount: 0"});
  TVXTextureInfo a;
  a.SetFolder("T");
  a.SetName("A");
  TVXTextureInfo b = a;
  b.SetName("B");
  b.SetFrame(2);
  ASSERT_NE(list.FindOrLoad(a), nullptr);
  ASSERT_NE(list.FindOrLoad(b), nullptr);
  EXPECT_EQ(vx::TextureListLines(&list),
            (std::vector<std::string>{"TextureCount: 2", "1 : :T:A.bmp", "2 : :T:B_2.bmp"}));
}

TEST(Dumps, MemoryCountersPrintInSixtyFourBitsWithTheWorkingSetInRoundedKilobytes) {
  vx::TProcessMemoryCounters c;
  c.PageFaultCount = 5000000000ull;  // beyond 32 bits: printed whole
  c.PeakWorkingSetSize = 1;
  c.WorkingSetSize = 1025;
  c.QuotaPeakPagedPoolUsage = 2;
  c.QuotaPagedPoolUsage = 3;
  c.QuotaPeakNonPagedPoolUsage = 4;
  c.QuotaNonPagedPoolUsage = 5;
  c.PagefileUsage = 6;
  c.PeakPagefileUsage = 4294967296ull;
  vx::ResetRoundingForTests();
  auto lines = vx::ProcessMemoryLines(c);
  EXPECT_EQ(lines, (std::vector<std::string>{"INFO: PROCESS MEMORY INFO", ">>", " PageFaultCount: 5000000000",
                                             " PeakWorkingSetSize: 1", " WorkingSetSize: 1 K",
                                             " QuotaPeakPagedPoolUsage: 2", " QuotaPagedPoolUsage: 3",
                                             " QuotaPeakNonPagedPoolUsage: 4", " QuotaNonPagedPoolUsage: 5",
                                             " PagefileUsage: 6", " PeakPagefileUsage: 4294967296", "<<"}));
  // Once a texture has been set rounding goes upward: 1025 bytes are 2 K, and so are 1536.
  vx::SwitchRoundingUpward();
  EXPECT_EQ(vx::ProcessMemoryLines(c)[4], " WorkingSetSize: 2 K");
  c.WorkingSetSize = 1536;
  EXPECT_EQ(vx::ProcessMemoryLines(c)[4], " WorkingSetSize: 2 K");
  vx::ResetRoundingForTests();
  EXPECT_EQ(vx::ProcessMemoryLines(c)[4], " WorkingSetSize: 2 K");  // ties to even: 1.5 -> 2

  vx::ClearLog();
  vx::DumpProcessMemory();
  EXPECT_TRUE(vx::LogContains("INFO: PROCESS MEMORY INFO"));
  EXPECT_TRUE(vx::LogContains(" PagefileUsage: "));
  EXPECT_TRUE(vx::LogContains("<<"));
}

// ---------------------------------------------------------------------------------------

TEST(DebugLog, DeveloperModeStreamsEveryLineAndSavesTheWholeLogAtTheEnd) {
  vxtest::TempDir dir;
  const std::string file = dir.File("vxcasino_debug.log");
  vx::ClearLog();
  Log("INFO: before the window");
  {
    TfrmDebug debug(true, file);
    Log("INFO: one");
    Log("ERROR: two");
    // Already on disk while the program runs, so a crash loses nothing.
    const std::string streamed = vxtest::TempDir::ReadFile(file);
    EXPECT_EQ(streamed, "INFO: before the window\r\nINFO: one\r\nERROR: two\r\n");
    EXPECT_EQ(debug.Lines().size(), 3u);
  }
  vx::SetLogDeveloperMode(false);
  Log("INFO: after the window");
  EXPECT_EQ(vxtest::TempDir::ReadFile(file), "INFO: before the window\r\nINFO: one\r\nERROR: two\r\n");
}

TEST(DebugLog, OutsideDeveloperModeNothingIsWrittenWhateverHappensLater) {
  vxtest::TempDir dir;
  const std::string file = dir.File("vxcasino_debug.log");
  {
    TfrmDebug debug(false, file);
    Log("INFO: something");
    // Someone switching the log's own mode later does not change what this window does.
    vx::SetLogDeveloperMode(true);
    Log("INFO: more");
  }
  vx::SetLogDeveloperMode(false);
  EXPECT_FALSE(vx::FileExists(file));
}

TEST(DebugLog, TheLogIsBoundedOutsideDeveloperModeAndKeepsTheNewestLines) {
  vxtest::TempDir dir;
  TfrmDebug debug(false, dir.File("x.log"));
  for (size_t i = 0; i < TfrmDebug::MaxLines + 10; ++i) Log("INFO: line " + std::to_string(i));
  EXPECT_EQ(debug.Lines().size(), TfrmDebug::MaxLines);
  EXPECT_EQ(debug.Lines().back(), "INFO: line " + std::to_string(TfrmDebug::MaxLines + 9));
}

TEST(DebugLog, CheatListsHoldTheGamesItemsAndRefuseOtherIndexes) {
  vxtest::TempDir dir;
  TfrmDebug debug(false, dir.File("x.log"));
  EXPECT_EQ(TfrmDebug::CheatReelsItems().size(), 7u);
  EXPECT_EQ(TfrmDebug::CheatHandItems().size(), 19u);
  EXPECT_EQ(TfrmDebug::CheatHandItems()[17], "ORVANTA 3xX");
  EXPECT_EQ(debug.CheatReels(), "-");
  debug.SetCheatReelsIndex(3);
  EXPECT_EQ(debug.CheatReels(), "7 LINE");
  debug.SetCheatHandIndex(11);
  EXPECT_EQ(debug.CheatHand(), "FULL HOUSE");
  debug.SetCheatHandIndex(19);
  EXPECT_EQ(debug.CheatHand(), "-");
  debug.SetCheatReelsIndex(-1);
  EXPECT_EQ(debug.CheatReelsIndex(), 0);
}

// ---------------------------------------------------------------------------------------

TEST(DebugWindow, ShowsTheNewestLinesAndSelectsAListItemOnAClick) {
  vxtest::FakePlatform platform;
  vx::DebugLogWindow w;
  std::string error;
  ASSERT_TRUE(w.Create("Debug", 299, 970, platform.pump, &error)) << error;
  w.SetLists({"Reels:", "Hand:"}, {{"-", "1 BAR", "CROSS"}, {"-", "POKER", "FLUSH", "STREET"}});
  std::vector<std::pair<size_t, int>> picks;
  w.OnSelect = [&](size_t list, int index) { picks.emplace_back(list, index); };
  w.Show();
  for (int i = 0; i < 200; ++i) w.AddLine("INFO: line " + std::to_string(i));
  w.AddLine(std::string(100, 'W'));  // wraps over several rows
  w.Paint();
  ASSERT_EQ(w.Pixels().size(), static_cast<size_t>(w.Width()) * static_cast<size_t>(w.Height()));

  // Text was drawn in the log area (some pixel differs from the background) and the panel
  // lies below it.
  const uint32_t background = w.Pixels()[0];
  bool text = false;
  for (int y = 0; y < w.PanelTop() && !text; ++y)
    for (int x = 0; x < w.Width() && !text; ++x)
      text = w.Pixels()[static_cast<size_t>(y * w.Width() + x)] != background;
  EXPECT_TRUE(text);
  EXPECT_GT(w.PanelTop(), w.Height() / 2);

  const int y = w.ItemTop(1, 2) + 3;
  w.ClickAt(10, y);
  EXPECT_EQ(w.Selected(1), 2);
  EXPECT_EQ(picks, (std::vector<std::pair<size_t, int>>{{1, 2}}));
  w.ClickAt(10, 2);  // in the log: selects nothing
  EXPECT_EQ(picks.size(), 1u);

  // Its events are its own: a click on it never reaches the game's queue.
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = w.Window().WindowId();
  click.button.button = SDL_BUTTON_LEFT;
  click.button.x = 10;
  click.button.y = w.ItemTop(0, 1) + 2;
  EXPECT_TRUE(w.Window().HandleEvent(click));
  EXPECT_EQ(w.Selected(0), 1);
  SDL_Event other = click;
  other.button.windowID = w.Window().WindowId() + 1000;
  EXPECT_FALSE(w.Window().HandleEvent(other));
  // Closing it only hides it.
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = w.Window().WindowId();
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_TRUE(w.Window().HandleEvent(close));
  w.Paint();
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(w.IsCreated());
  w.Destroy();
}

TEST(DebugWindow, TheLogWindowShowsTheCheatListsAndFollowsTheLog) {
  vxtest::FakePlatform platform;
  vxtest::TempDir dir;
  TfrmDebug debug(false, dir.File("x.log"));
  debug.SetCheatHandIndex(4);
  ASSERT_TRUE(debug.ShowWindow());
  EXPECT_TRUE(debug.WindowShown());
  Log("INFO: shown in the window");
  debug.HideWindow();
  EXPECT_FALSE(debug.WindowShown());
}
