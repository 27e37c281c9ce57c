// The help and about dialogs over the generated help pages: a click on the panel reaches the
// link laid out under it, the scroll buttons and keys move the page, a missing page still
// opens the dialog; every link of every page leads somewhere, every machine's pay table is
// the catalogue's; and pictures of the index and of one machine's page in the real fonts.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "dialogs_rig.h"
#include "games/GameManager.h"
#include "games/GameStatistics.h"
#include "html/HtmlParser.h"
#include "html/HtmlView.h"
#include "lobby/VXAboutForm.h"
#include "lobby/VXHelpForm.h"
#include "platform/KeyMap.h"
#include "support/Golden.h"
#include "tools/datagen/HelpPages.h"

namespace fs = std::filesystem;
using lobbytest::DialogRig;

namespace {

// The generated Help folder, made once for the whole run.
const fs::path& ProgramFolder() {
  static vxtest::TempDir dir;
  static const fs::path folder = [] {
    vx::datagen::FontLibrary fonts;
    fs::create_directories(dir.Path() / "Help");
    for (const auto& f : vx::datagen::BuildHelpFiles(fonts, std::string(VX_SOURCE_DIR) + "/data"))
      vxtest::TempDir::WriteFile((dir.Path() / "Help" / f.name).string(), f.bytes);
    return dir.Path();
  }();
  return folder;
}

std::string Folder() { return ProgramFolder().string() + "/"; }

// Where a text is laid out on the screen, through the panel.
std::pair<int, int> ScreenPointOf(TfrmHelp& help, const std::string& text) {
  ThtmlView& v = help.View();
  const int i = v.Document().FindString(0, vx::UpperCase(text), false);
  EXPECT_GE(i, 0) << text;
  int x = 0, y = 0;
  EXPECT_TRUE(v.Document().CursorToXY(i, x, y));
  return {help.PnlHtmlView->Left() + x + v.MarginWidth() + 3, help.PnlHtmlView->Top() + y - v.Position() + 6};
}

bool Logged(const std::string& line) {
  for (const std::string& l : vx::LogLines())
    if (l.find(line) != std::string::npos) return true;
  return false;
}

TEST(HelpDialog, OpensTheIndexFollowsALinkWhereItLiesAndScrolls) {
  DialogRig rig;
  vx::ClearLog();
  TfrmHelp help(rig.MainScene(), Folder());
  EXPECT_EQ(help.SceneName(), "HELP");
  EXPECT_EQ(help.BtnClose->Caption(), "CLOSE");
  EXPECT_EQ(help.BtnScrollUp->Caption(), "U");
  EXPECT_EQ(help.BtnScrollDown->Caption(), "D");
  EXPECT_EQ(help.PnlHtmlView->Width(), TfrmHelp::kPageWidth);
  EXPECT_EQ(help.PnlHtmlView->Height(), TfrmHelp::kPageHeight);
  EXPECT_EQ(help.View().DocumentTitle(), "Orvanta Cards Casino Help");
  EXPECT_EQ(help.View().PanelHeight(), TfrmHelp::kPageHeight);
  const int renders = help.RenderCount();
  EXPECT_EQ(renders, 1);  // painting the page is most of opening the dialog: once

  // Played inside the modal loop, as a player clicks.
  rig.Then([&] {
    auto [x, y] = ScreenPointOf(help, "How video poker plays");
    rig.ClickAt(x, y);
    EXPECT_EQ(fs::path(help.View().CurrentFile()).filename(), "poker.html");
    EXPECT_TRUE(Logged("INFO: URL: poker.html"));
    EXPECT_GT(help.RenderCount(), renders);
    EXPECT_EQ(help.View().Position(), 0);

    rig.Click(help.BtnScrollDown);
    rig.Click(help.BtnScrollDown);
    EXPECT_EQ(help.View().Position(), 2 * TfrmHelp::kScrollStep);
    rig.Click(help.BtnScrollUp);
    EXPECT_EQ(help.View().Position(), TfrmHelp::kScrollStep);
    rig.Key(vx::VK_HOME);
    EXPECT_EQ(help.View().Position(), 0);

    // Back to the contents, a machine's page, and back again, each by its link.
    std::tie(x, y) = ScreenPointOf(help, "Contents");
    rig.ClickAt(x, y);
    std::tie(x, y) = ScreenPointOf(help, "Jacks or Better 9/6");
    rig.ClickAt(x, y);
    EXPECT_EQ(fs::path(help.View().CurrentFile()).filename(), "vp_jacksorbetter.html");
    std::tie(x, y) = ScreenPointOf(help, "Contents");
    rig.ClickAt(x, y);
    EXPECT_EQ(fs::path(help.View().CurrentFile()).filename(), "index.html");
    EXPECT_EQ(help.View().History().size(), 5u);
    help.Close();
  });
  help.ShowModal();
  EXPECT_FALSE(Logged("ERROR"));
}

TEST(HelpDialog, AMissingPageStillOpensTheDialogAndCloses) {
  DialogRig rig;
  vx::ClearLog();
  vxtest::TempDir empty;
  TfrmHelp* help = new TfrmHelp(rig.MainScene(), empty.Str() + "/");
  EXPECT_TRUE(Logged("ERROR: Help: Can't locate file: "));
  EXPECT_TRUE(help->View().Document().Sections.empty());
  EXPECT_FALSE(help->View().Processing());
  EXPECT_GE(help->RenderCount(), 1);
  rig.Then([&] { rig.Click(help->BtnClose); });
  EXPECT_EQ(help->ShowModal(), TfrmHelp::ResultClose);
  delete help;
}

TEST(AboutDialog, ShowsTheProgramsTitleVersionAndHomePage) {
  DialogRig rig;
  TVXApplicationInfo info;
  TfrmAbout about(rig.MainScene(), &info);
  EXPECT_EQ(about.SceneName(), "ABOUT");
  EXPECT_EQ(about.CaptionLabel->Caption(), "ABOUT...");
  EXPECT_EQ(about.LblAppTitle->Caption(), info.Title);
  EXPECT_EQ(about.LblAppVersion->Caption(), "Version " + info.Version);
  EXPECT_EQ(about.LblAppHomePage->Caption(), info.HomePage);
  EXPECT_EQ(about.BtnClose->Caption(), "CLOSE");
  EXPECT_GT(about.LblAppTitle->Width(), 0);
}

// The text of a table cell.
std::string CellText(const TCellObj& cell) {
  std::string s;
  for (const auto& sec : cell.Cell.Sections)
    if (const auto* t = dynamic_cast<const TSection*>(sec.get())) s += t->Text;
  return vx::Trim(s);
}

TEST(HelpPages, EveryLinkLeadsSomewhereAndEveryPayTableIsTheCatalogues) {
  const fs::path help = ProgramFolder() / "Help";
  std::map<std::string, std::set<std::string>> anchors;
  std::map<std::string, std::unique_ptr<TSectionList>> docs;
  for (const auto& e : fs::directory_iterator(help)) {
    if (e.path().extension() != ".html") continue;
    auto doc = std::make_unique<TSectionList>();
    ThvParser p;
    p.HtmlParseString(vxtest::TempDir::ReadFile(e.path().string()), *doc);
    EXPECT_FALSE(p.Title.empty()) << e.path();
    for (const TAnchor& a : doc->Anchors) anchors[e.path().filename().string()].insert(a.Name);
    docs[e.path().filename().string()] = std::move(doc);
  }
  ASSERT_TRUE(docs.count("index.html"));
  std::set<std::string> reached = {"index.html"};
  for (const auto& [name, doc] : docs) {
    std::function<void(const TCell&)> walk = [&](const TCell& cell) {
      for (const auto& s : cell.Sections) {
        if (const auto* table = dynamic_cast<const ThtmlTable*>(s.get())) {
          table->ForEachCell([&](TCellObj& c) { walk(c.Cell); });
          continue;
        }
        const auto* t = dynamic_cast<const TSection*>(s.get());
        if (!t) continue;
        for (const auto& img : t->Images) EXPECT_TRUE(fs::exists(help / img->Source)) << name << ": " << img->Source;
        for (const TFontObj& f : t->Fonts) {
          if (!f.Url) continue;
          const std::string url = f.Url->Url;
          const size_t hash = url.find('#');
          const std::string file = url.substr(0, hash);
          EXPECT_TRUE(docs.count(file)) << name << " links to " << url;
          if (hash != std::string::npos) {
            EXPECT_TRUE(anchors[file].count(url.substr(hash + 1))) << name << ": " << url;
          }
          reached.insert(file);
        }
      }
    };
    walk(*doc);
  }
  // Every page is linked from some page.
  for (const auto& [name, doc] : docs) EXPECT_TRUE(reached.count(name)) << name << " is linked from nowhere";

  TVXGameManager catalogue;
  int machines = 0;
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TGameInfo& game = *catalogue.Games(i);
    if (!game.IsVideoPoker()) continue;
    ++machines;
    const auto it = docs.find(vx::datagen::HelpPageName(game.IDStr));
    ASSERT_NE(it, docs.end()) << game.IDStr;
    std::vector<std::pair<std::string, int>> rows;
    for (const auto& s : it->second->Sections) {
      const auto* table = dynamic_cast<const ThtmlTable*>(s.get());
      if (!table || table->Rows.empty() || !table->Rows[0]->Cells[0] || CellText(*table->Rows[0]->Cells[0]) != "Hand") continue;
      for (size_t r = 1; r < table->Rows.size(); ++r)
        rows.emplace_back(vx::UpperCase(CellText(*table->Rows[r]->Cells[0])),
                          vx::StrToIntDef(vx::Split(CellText(*table->Rows[r]->Cells[1]), ' ')[0], -1));
    }
    std::vector<std::pair<std::string, int>> want;
    for (int h = 0; h < game.Hands().Count(); ++h) {
      const TGameHand* hand = game.Hands().Items(h);
      if (hand->Value > 0) {
        want.emplace_back(vx::UpperCase(TVXGameManager::HandTitle(hand->HandIDStr)), hand->Value);
      }
    }
    EXPECT_FALSE(want.empty()) << game.IDStr;
    EXPECT_EQ(rows, want) << game.IDStr;
  }
  EXPECT_EQ(machines, 12);
}

TEST(HelpPages, LookAsBeforeInTheDialog) {
  DialogRig rig;
  for (const char* page : {"index.html", "vp_jacksorbetter.html"}) {
    TfrmHelp help(rig.MainScene(), Folder(), page);
    vxtest::Shot shot;
    shot.Width = TfrmHelp::kPageWidth;
    shot.Height = TfrmHelp::kPageHeight;
    shot.Pixels.resize(static_cast<size_t>(shot.Width) * shot.Height);
    vx::Canvas canvas(shot.Pixels.data(), shot.Width, shot.Height, shot.Width);
    help.View().PaintToBitmap(canvas);
    const std::string name = std::string("help/") + fs::path(page).stem().string();
    EXPECT_EQ(vxtest::CompareWithGolden(name, shot), "") << name;
  }
}

}  // namespace
