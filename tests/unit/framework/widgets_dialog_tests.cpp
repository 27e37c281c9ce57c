// A dialog built from every widget, driven by scripted input the way a player uses it, then by a
// long random stream of presses, releases, moves, keys and frames that must leave every widget
// in a sound state.
#include <random>

#include "widgets_fixture.h"

using wtest::Screen;
using wtest::WidgetHost;

namespace {

// Positions are absolute; the dialog sits at (100, 50), 600 x 500.
class TestDialog : public TVXPanel {
public:
  explicit TestDialog(TVXCustomControl* parent) : TVXPanel(parent) {
    SetParent(parent);
    SetName("FRM_TEST");
    SetBounds(100, 50, 600, 500);
    Font.SetName("Fixed");

    background = Add<TVXImage>("IMG_BACKGROUND", 100, 50, 600, 500);
    reel = Add<TVXScrollingImage>("IMG_REEL", 620, 60, 60, 60);
    reel->ItemHeight = 60;
    title = Add<TVXLabel>("LBL_TITLE", 110, 60, 300, 20);
    title->SetText("WELCOME TO THE TEST DIALOG");
    title->ScrollMode = smMarquee;
    name = Add<TVXEdit>("EDT_NAME", 110, 90, 200, 20);
    password = Add<TVXEdit>("EDT_PASSWORD", 110, 120, 200, 20);
    password->SetPasswordChar('*');
    remember = Add<TVXCheckBox>("CB_REMEMBER", 110, 150, 20, 20);
    remember->SetAutoSize(false);
    remember->SetCaption("REMEMBER ME");
    player = Add<TVXComboBox>("CBO_PLAYER", 350, 90, 200, 20);
    for (const char* p : {"ALICE", "BOB", "CAROL", "DAVE"}) player->List()->Items.Add(p);
    rule = Add<TVXLine>("LIN_RULE", 110, 180, 0, 0);
    rule->SetPoints(110, 180, 690, 180);
    pages = Add<TVXPageControl>("PS_PAGES", 110, 190, 480, 250);
    for (const char* caption : {"GAMES", "BANK"}) {
      auto* sheet = new TVXTabSheet(pages);
      auto* tab = new TVXTabSheetButton(pages);
      tab->Font.SetName("Fixed");
      tab->SetText(caption);
      pages->AddPage(sheet, tab);
    }
    pages->SetActivePageIndex(0);
    games = new TVXListBox(pages->GetSheet(0));
    games->SetParent(pages->GetSheet(0));
    games->SetName("LB_GAMES");
    games->Font.SetName("Fixed");
    games->SetBounds(115, 215, 460, 200);
    games->SetShowHeader(true);
    games->GetColumn(0)->Caption = "GAME";
    games->GetColumn(0)->Width = 300;
    games->AddColumn("CREDIT")->Width = 100;
    for (int i = 0; i < 40; ++i) {
      TVXListBoxItem* row = games->Items.Add("GAME " + std::to_string(i));
      row->SubItems.push_back(std::to_string(i * 10));
    }
    box = new TVXScrollBox(pages->GetSheet(1));
    box->SetParent(pages->GetSheet(1));
    box->SetBounds(115, 215, 300, 100);
    for (int i = 0; i < 8; ++i) {
      auto* note = new TVXLabel(box);
      note->SetParent(box->Client());
      note->Font.SetName("Fixed");
      note->SetBounds(120, 220 + 20 * i, 250, 18);
      note->SetText("NOTE " + std::to_string(i));
    }
    box->Client()->SetHeight(170);
    progress = Add<TVXProgressBar>("PB_PROGRESS", 110, 450, 300, 12);
    progress->SetMin(0);
    progress->SetMax(5);
    ok = Add<TVXButton>("BTN_OK", 450, 450, 100, 30);
    ok->SetText("OK");
    ok->OnClick = [this](TVXComponent*) {
      ++okClicks;
      progress->SetPosition(progress->Position() + 1);
      reel->SetPosition(okClicks % 4 + 1);
    };
    menu = Add<TVXMenu>("MENU_LIST", 560, 450, 80, 20);
    menu->SetText("LIST");
    clearItem = new TVXMenuItem(this);
    clearItem->SetName("MENU_CLEAR");
    menu->Add(clearItem);
    clearItem->SetBounds(560, 470, 100, 20);
    clearItem->SetText("CLEAR");
    clearItem->OnClick = [this](TVXComponent*) { games->Items.Clear(); };
  }

  template <class T>
  T* Add(const std::string& n, int32_t left, int32_t top, int32_t width, int32_t height) {
    auto* c = new T(this);
    c->SetParent(this);
    c->SetName(n);
    c->Font.SetName("Fixed");
    c->SetBounds(left, top, width, height);
    return c;
  }

  TVXImage* background;
  TVXScrollingImage* reel;
  TVXLabel* title;
  TVXEdit *name, *password;
  TVXCheckBox* remember;
  TVXComboBox* player;
  TVXLine* rule;
  TVXPageControl* pages;
  TVXListBox* games;
  TVXScrollBox* box;
  TVXProgressBar* progress;
  TVXButton* ok;
  TVXMenu* menu;
  TVXMenuItem* clearItem;
  int okClicks = 0;
};

int32_t CenterX(const TVXCustomControl* c) { return c->Left() + c->Width() / 2; }
int32_t CenterY(const TVXCustomControl* c) { return c->Top() + c->Height() / 2; }

void ClickOn(Screen& s, const TVXCustomControl* c) { s.Click(CenterX(c), CenterY(c)); }

}  // namespace

TEST(TestDialog, APlayerFillsInEveryWidget) {
  WidgetHost host;
  Screen screen(host);
  auto* dlg = new TestDialog(&screen.root);
  screen.Frame(3);

  ClickOn(screen, dlg->name);
  screen.Type("SAM");
  ClickOn(screen, dlg->password);
  screen.Type("PW1");
  EXPECT_EQ(dlg->name->Caption(), "SAM");
  EXPECT_EQ(dlg->password->Caption(), "PW1");
  EXPECT_EQ(dlg->password->Rows()[0].Text, "***");

  ClickOn(screen, dlg->remember);
  EXPECT_TRUE(dlg->remember->Checked());

  ClickOn(screen, dlg->player->DropButton());
  ASSERT_TRUE(dlg->player->DroppedDown());
  screen.Frame();
  ClickOn(screen, dlg->player->List()->Items.GetItem(2));
  EXPECT_EQ(dlg->player->Caption(), "CAROL");
  EXPECT_FALSE(dlg->player->DroppedDown());

  // Scroll the games down and pick one that was out of sight at first.
  TVXButton* down = dlg->games->ScrollBar()->DownButton();
  screen.Move(CenterX(down), CenterY(down));
  screen.Press(CenterX(down), CenterY(down));
  screen.Frame(250);
  screen.Release(CenterX(down), CenterY(down));
  TVXListBoxItem* last = dlg->games->Items.GetItem(39);
  EXPECT_EQ(last->Top() + last->Height(), dlg->games->Top() + dlg->games->Height() + 1);
  ClickOn(screen, last);
  EXPECT_EQ(dlg->games->ItemIndex(), 39);

  // The second page, its scroll box, and back.
  ClickOn(screen, dlg->pages->GetTabButton(1));
  EXPECT_EQ(dlg->pages->ActivePageIndex(), 1);
  EXPECT_FALSE(dlg->games->IsEnabled());
  host.Recorder.ClearCalls();
  screen.Frame();
  const auto texts = wtest::DrawnTexts(host.Recorder, host.FontImage());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "NOTE 0"), 1);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "GAME 39"), 0);
  ClickOn(screen, dlg->pages->GetTabButton(0));

  for (int i = 0; i < 7; ++i) ClickOn(screen, dlg->ok);
  EXPECT_EQ(dlg->okClicks, 7);
  EXPECT_EQ(dlg->progress->Percent(), 100);
  screen.Frame(10);
  EXPECT_EQ(dlg->reel->DrawTop, dlg->reel->Top() - 3 * 60);

  // The menu's item clears the list.
  ClickOn(screen, dlg->menu);
  screen.Frame(30);
  ClickOn(screen, dlg->clearItem);
  EXPECT_EQ(dlg->games->Items.Count(), 0);
  EXPECT_EQ(dlg->games->ItemIndex(), -1);
  screen.Frame(5);
  delete dlg;
  screen.Frame();
  EXPECT_EQ(host.ActiveControl(), nullptr);
}

TEST(TestDialog, RandomInputNeverWedgesAnyWidget) {
  WidgetHost host;
  Screen screen(host);
  auto* dlg = new TestDialog(&screen.root);
  std::mt19937 rng(2024);
  const int steps = std::getenv("VX_QUICK") != nullptr ? 4000 : 20000;
  bool pressed = false;
  for (int i = 0; i < steps; ++i) {
    const int32_t x = 90 + static_cast<int32_t>(rng() % 620);
    const int32_t y = 40 + static_cast<int32_t>(rng() % 520);
    switch (rng() % 8) {
      case 0:
      case 1:
        screen.Move(x, y);
        break;
      case 2:
        screen.Move(x, y);
        screen.Press(x, y);
        pressed = true;
        break;
      case 3:
        screen.Release(x, y);
        pressed = false;
        break;
      case 4:
        screen.Key(static_cast<uint16_t>(rng() % 128), static_cast<TShiftState>(rng() % 8));
        break;
      default:
        screen.Frame();
        break;
    }
    if (i % 500 == 0) dlg->games->Items.Add("LATE " + std::to_string(i));
    ASSERT_GE(dlg->games->ItemIndex(), -1);
    ASSERT_LT(dlg->games->ItemIndex(), dlg->games->Items.Count());
    ASSERT_LE(dlg->name->CursorPos(), static_cast<int32_t>(dlg->name->Caption().size()));
    ASSERT_LE(dlg->games->Client()->Top(), dlg->games->ClientHomeTop());
    ASSERT_GE(dlg->progress->Percent(), 0);
    ASSERT_LE(dlg->progress->Percent(), 100);
  }
  if (pressed) screen.Release(0, 0);
  // Whatever happened, the list can still be scrolled back home and a row picked.
  dlg->pages->SetActivePageIndex(0);
  screen.Click(10, 10);
  for (int i = 0; i < 400; ++i) dlg->games->ScrollUp();
  EXPECT_GE(dlg->games->Client()->Top(), dlg->games->Top() + TVXScrollControl::ScrollUpLimit);
  if (dlg->games->Items.Count() > 0) {
    ClickOn(screen, dlg->games->Items.GetItem(0));
    EXPECT_EQ(dlg->games->ItemIndex(), 0);
  }
  delete dlg;
}
