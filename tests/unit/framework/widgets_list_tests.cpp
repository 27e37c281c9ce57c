// List boxes, scroll boxes, combo boxes and page controls: the draw log of a list with a header,
// scroll limits, rows outside the client area, selection and clearing, nested clips, and
// scripted mouse input through the main window's routing.
#include "widgets_fixture.h"

using wtest::Screen;
using wtest::WidgetHost;

namespace {

TVXListBox* MakeList(Screen& screen, int32_t rows, int32_t left = 100, int32_t top = 100, int32_t width = 200,
                     int32_t height = 100) {
  auto* lb = new TVXListBox(&screen.root);
  lb->SetParent(&screen.root);
  lb->SetName("LB_TEST");
  lb->Font.SetName("Fixed");
  lb->SetBounds(left, top, width, height);
  for (int32_t i = 0; i < rows; ++i) lb->Items.Add("ROW" + std::to_string(i));
  return lb;
}

int CountRowFills(const vxtest::RecordingDevice& d, int32_t rowLeft) {
  int n = 0;
  for (const auto& c : d.CallsOf("FillQuad")) n += c.Bounds().Left == rowLeft ? 1 : 0;
  return n;
}

}  // namespace

TEST(ListBoxDrawing, OneListWithAHeaderDrawsInThisOrder) {
  WidgetHost host;
  Screen screen(host);
  TVXListBox* lb = MakeList(screen, 0, 100, 100, 300, 120);
  lb->SetShowHeader(true);
  lb->GetColumn(0)->Caption = "NAME";
  lb->GetColumn(0)->Width = 150;
  lb->AddColumn("BANK")->Width = 80;
  lb->SetSelectionColor4(Color4(0x00FF8800u));
  const std::vector<std::pair<std::string, std::string>> rows = {{"ALICE", "100"}, {"BOB", "20"}, {"CAROL", "3"}};
  for (const auto& [name, bank] : rows) lb->Items.Add(name)->SubItems.push_back(bank);
  lb->SetItemIndex(1);

  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_EQ(wtest::Summary(host.Recorder, host.FontImage()),
            (std::vector<std::string>{
                "FillQuad 100,100,400,220",  // the list
                "Clip 101,126,399,221",      // the client area: below the header, Height - header high
                "FillQuad 101,126,388,171",  // the client panel, 3 rows high
                "FillQuad 102,127,389,142", "Text 103,128 5", "Text 253,128 3",  // ALICE 100
                "FillQuad 102,142,389,157", "Text 103,143 3", "Text 253,143 2",  // BOB 20
                "FillQuad 102,157,389,172", "Text 103,158 5", "Text 253,158 1",  // CAROL 3
                "Clip 0,0,800,600",
                "FillQuad 389,127,399,220",  // the scroll bar and its two buttons
                "Clip 389,127,399,137", "FillQuad 389,127,399,137", "Clip 0,0,800,600",
                "Clip 389,210,399,220", "FillQuad 389,210,399,220", "Clip 0,0,800,600",
                "Text 101,101 4", "Text 251,101 4",  // the column captions
                "WireQuad 100,100,400,220",  // the border
            }));
  // Only the selected row shows its bar; every row's text is near-black.
  const auto fills = host.Recorder.CallsOf("FillQuad");
  EXPECT_EQ(fills[2].Colours[0], 0x00FF8800u);
  EXPECT_EQ(fills[3].Colours[0], 0xFFFF8800u);
  EXPECT_EQ(fills[4].Colours[0], 0x00FF8800u);
  EXPECT_EQ(host.Recorder.CallsOf("WireQuad")[0].Colours[0], 0xFF0000FFu);
  for (const auto& c : host.Recorder.CallsOf("TextureMap")) EXPECT_EQ(c.Colours[0], TVXListBox::TextColor);
  EXPECT_EQ(wtest::DrawnTexts(host.Recorder, host.FontImage()),
            (std::vector<std::string>{"ALICE", "100", "BOB", "20", "CAROL", "3", "NAME", "BANK"}));
}

TEST(ListBoxScrolling, TenRowsOfFifteenScrollToTheEndAndBack) {
  WidgetHost host;
  Screen screen(host);
  TVXListBox* lb = MakeList(screen, 10);
  TVXPanel* client = lb->Client();
  EXPECT_EQ(client->Height(), 150);
  EXPECT_EQ(client->Top(), 101);
  TVXButton* down = lb->ScrollBar()->DownButton();
  TVXButton* up = lb->ScrollBar()->UpButton();
  EXPECT_EQ(down->Width(), 10);
  EXPECT_EQ(down->Top() + down->Height(), lb->ScrollBar()->Top() + lb->ScrollBar()->Height());

  const int32_t dx = down->Left() + 5, dy = down->Top() + 5;
  screen.Move(dx, dy);
  screen.Press(dx, dy);
  std::vector<int32_t> tops;
  for (int i = 0; i < 30; ++i) {
    screen.Frame();
    tops.push_back(client->Top());
  }
  screen.Release(dx, dy);
  // Whole steps of 2 pixels a frame while the client's bottom lies below the list's: the
  // last one goes a pixel past it.
  EXPECT_EQ(tops[0], 99);
  EXPECT_EQ(tops[24], 51);
  EXPECT_EQ(tops[25], 49);
  EXPECT_EQ(tops[29], 49);
  EXPECT_EQ(client->Top() + client->Height(), lb->Top() + lb->Height() - 1);
  EXPECT_EQ(lb->Items.GetItem(9)->Top(), 49 + 1 + 9 * 15);

  const int32_t ux = up->Left() + 5, uy = up->Top() + 5;
  screen.Move(ux, uy);
  screen.Press(ux, uy);
  screen.Frame(60);
  screen.Release(ux, uy);
  // Up by whole steps until the client's top is 30 pixels below the list's top.
  EXPECT_EQ(client->Top(), 131);
  EXPECT_EQ(lb->Items.GetItem(0)->Top(), 132);

  // A list whose rows all fit does not scroll at all.
  lb->Items.Clear();
  lb->Items.Add("ONLY");
  screen.Move(dx, dy);
  screen.Press(dx, dy);
  screen.Frame(5);
  screen.Release(dx, dy);
  EXPECT_EQ(client->Top(), 101);
}

TEST(ListBoxScrolling, RowsOutsideTheClientAreaAreNeitherDrawnNorHit) {
  WidgetHost host;
  Screen screen(host);
  TVXListBox* lb = MakeList(screen, 10);
  int changes = 0;
  lb->OnChange = [&](TVXComponent*) { ++changes; };
  for (int i = 0; i < 30; ++i) lb->ScrollDown();
  ASSERT_EQ(lb->Client()->Top(), 49);

  host.Recorder.ClearCalls();
  screen.Frame();
  // Rows 3..9 meet the client area (101..200); rows 0..2 lie wholly above it.
  EXPECT_EQ(CountRowFills(host.Recorder, 102), 7);
  EXPECT_EQ(wtest::DrawnTexts(host.Recorder, host.FontImage()).front(), "ROW3");

  // Row 0 lies above the list, row 3 straddles its top edge: only the visible part is a target.
  screen.Click(150, 60);
  screen.Click(150, 98);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(lb->ItemIndex(), -1);
  screen.Click(150, 105);
  EXPECT_EQ(lb->ItemIndex(), 3);
  EXPECT_EQ(changes, 1);
  // Hovering stops at the clip too.
  screen.Move(150, 60);
  EXPECT_FALSE(lb->Items.GetItem(0)->Hovered());
  screen.Move(150, 120);
  EXPECT_TRUE(lb->Items.GetItem(4)->Hovered());
}

TEST(ListBoxSelection, IndexRangeClearingAndColumns) {
  WidgetHost host;
  Screen screen(host);
  TVXListBox* lb = MakeList(screen, 3);
  std::vector<int32_t> changes;
  lb->OnChange = [&](TVXComponent*) { changes.push_back(lb->ItemIndex()); };
  lb->SetItemIndex(2);
  EXPECT_EQ(lb->Items.GetItem(2)->Alpha(), 255);
  lb->SetItemIndex(3);   // one past the end: ignored
  lb->SetItemIndex(-2);  // below -1: ignored
  EXPECT_EQ(lb->ItemIndex(), 2);
  lb->SetItemIndex(-1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lb->Items.GetItem(i)->Alpha(), 0);
  EXPECT_EQ(changes, (std::vector<int32_t>{2, -1}));

  // Names and indices.
  EXPECT_EQ(lb->Items.GetItem(1)->Name(), "ITEM_LB_TEST_1");
  EXPECT_EQ(lb->Items.GetItem(1)->Index, 1);
  EXPECT_EQ(lb->Items.GetItem(3), nullptr);
  EXPECT_EQ(lb->Items.GetItem(-1), nullptr);

  // A new column gives every row one more sub-item; a row keeps what it stands for.
  lb->Items.GetItem(0)->SubItems.push_back("A");
  lb->AddColumn("X");
  EXPECT_EQ(lb->Items.GetItem(0)->SubItems, (std::vector<std::string>{"A", ""}));
  EXPECT_EQ(lb->Items.GetItem(2)->SubItems, (std::vector<std::string>{""}));
  int player = 7;
  lb->Items.GetItem(2)->Data = &player;
  EXPECT_EQ(lb->Items.GetItem(2)->Data, &player);

  // A new row height lays the rows out again.
  lb->SetItemHeight(20);
  EXPECT_EQ(lb->Items.GetItem(2)->Top(), 101 + 1 + 40);
  EXPECT_EQ(lb->Items.GetItem(2)->Height(), 20);
  EXPECT_EQ(lb->Client()->Height(), 60);

  // Clearing forgets the selection and the scroll range; new rows start at the top again.
  lb->SetItemIndex(1);
  for (int i = 0; i < 5; ++i) lb->Items.Add("MORE");
  for (int i = 0; i < 20; ++i) lb->ScrollDown();
  EXPECT_LT(lb->Client()->Top(), 101);
  changes.clear();
  lb->Items.Clear();
  EXPECT_EQ(lb->Items.Count(), 0);
  EXPECT_EQ(lb->ItemIndex(), -1);
  EXPECT_EQ(lb->Client()->Top(), 101);
  EXPECT_EQ(lb->Client()->Height(), 0);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(lb->Items.Add("NEW")->Top(), 102);
  lb->ScrollDown();
  EXPECT_EQ(lb->Client()->Top(), 101);

  // A row freed on its own leaves the list.
  delete lb->Items.GetItem(0);
  EXPECT_EQ(lb->Items.Count(), 0);
  screen.Frame();
}

TEST(ListBoxLayout, HeaderAndWidthMoveTheClient) {
  WidgetHost host;
  Screen screen(host);
  TVXListBox* lb = MakeList(screen, 2);
  lb->SetColumnHeaderHeight(30);  // also while the header is hidden
  EXPECT_EQ(lb->HeaderHeight(), 30);
  EXPECT_EQ(lb->Client()->Top(), 131);
  EXPECT_EQ(lb->Items.GetItem(0)->Top(), 132);
  lb->SetShowHeader(false);
  EXPECT_EQ(lb->Client()->Top(), 101);
  lb->SetShowHeader(true);
  EXPECT_EQ(lb->ScrollBar()->Top(), 132);
  EXPECT_EQ(lb->ScrollBar()->Height(), 100 - 32);
  lb->SetWidth(300);
  EXPECT_EQ(lb->Client()->Width(), 287);
  EXPECT_EQ(lb->Items.GetItem(1)->Width(), 287);
  EXPECT_EQ(lb->ScrollBar()->Left(), 100 + 287 + 2);
  // Moving the list carries everything.
  lb->SetLeft(0);
  EXPECT_EQ(lb->Items.GetItem(1)->Left(), 2);
  EXPECT_EQ(lb->ScrollBar()->DownButton()->Left(), 289);
}

TEST(ScrollBoxClip, ControlsInsideReturnToTheScrollAreaClip) {
  WidgetHost host;
  Screen screen(host);
  auto* box = new TVXScrollBox(&screen.root);
  box->SetParent(&screen.root);
  box->SetBounds(100, 100, 200, 100);
  auto* a = new TVXLabel(box);
  a->SetParent(box->Client());
  a->SetBounds(110, 110, 50, 20);
  auto* b = new TVXLabel(box);
  b->SetParent(box->Client());
  b->SetBounds(250, 190, 100, 30);  // partly outside
  auto* inner = new TVXScrollBox(box);
  inner->SetParent(box->Client());
  inner->SetBounds(150, 150, 100, 100);  // its area is cut to the outer one
  auto* c = new TVXLabel(inner);
  c->SetParent(inner->Client());
  c->SetBounds(160, 160, 20, 20);

  host.Recorder.ClearCalls();
  screen.Frame();
  std::vector<std::string> clips;
  for (const auto& line : wtest::Summary(host.Recorder, host.FontImage())) {
    if (line.rfind("Clip", 0) == 0) clips.push_back(line);
  }
  EXPECT_EQ(clips, (std::vector<std::string>{
                       "Clip 101,101,299,201",                               // the box's client area
                       "Clip 110,110,160,130", "Clip 101,101,299,201",       // label a, then back
                       "Clip 250,190,299,201", "Clip 101,101,299,201",       // label b, cut
                       "Clip 151,151,249,201",                               // the inner box's area
                       "Clip 160,160,180,180", "Clip 151,151,249,201",       // label c, then back
                       "Clip 101,101,299,201",                               // the inner box is done
                       "Clip 239,152,249,162", "Clip 101,101,299,201",       // inner bar buttons,
                       "Clip 239,240,249,240", "Clip 101,101,299,201",       // the lower one unseen
                       "Clip 0,0,800,600",                                   // the outer box is done
                       "Clip 289,102,299,112", "Clip 0,0,800,600",           // outer bar buttons
                       "Clip 289,190,299,200", "Clip 0,0,800,600",
                   }));
}

TEST(ComboBox, PickingARowThroughTheMainWindowsRouting) {
  WidgetHost host;
  Screen screen(host);
  auto* combo = new TVXComboBox(&screen.root);
  combo->SetParent(&screen.root);
  combo->SetName("CBO_PLAYERNAME");
  combo->Font.SetName("Fixed");
  combo->SetBounds(50, 50, 200, 20);
  for (const char* name : {"ALICE", "BOB", "CAROL"}) combo->List()->Items.Add(name);
  int changes = 0, drops = 0, closes = 0;
  combo->OnChange = [&](TVXComponent*) { ++changes; };
  combo->OnDropDown = [&](TVXComponent*) { ++drops; };
  combo->OnCloseUp = [&](TVXComponent*) { ++closes; };

  EXPECT_EQ(combo->DropButton()->Left(), 230);
  EXPECT_EQ(combo->DropButton()->Width(), 20);
  EXPECT_EQ(combo->List()->Top(), 70);
  EXPECT_EQ(combo->List()->Height(), 200);
  EXPECT_FALSE(combo->List()->Visible());
  EXPECT_EQ(combo->ItemHeight(), 20);
  EXPECT_EQ(combo->List()->ItemHeight(), 15);

  screen.Click(240, 60);  // the drop button
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(combo->List()->Visible());
  EXPECT_EQ(host.OpenControl(), combo);
  EXPECT_EQ(drops, 1);

  // The press closes the list; the release over the now hidden row still picks it.
  TVXListBoxItem* bob = combo->List()->Items.GetItem(1);
  const int32_t y = bob->Top() + 5;
  screen.Move(100, y);
  screen.Press(100, y);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(closes, 1);
  screen.Frame();
  screen.Release(100, y);
  EXPECT_EQ(combo->Caption(), "BOB");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(closes, 2);  // picking the row closes up again, though the list was closed

  // A cleared selection keeps the text.
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->Caption(), "BOB");
  EXPECT_EQ(changes, 2);
  combo->List()->Items.Clear();
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Caption(), "BOB");

  EXPECT_EQ(closes, 3);  // the cleared selection closed it up once more

  // Opened and then a press anywhere else closes it.
  closes = 0;
  screen.Click(240, 60);
  EXPECT_TRUE(combo->DroppedDown());
  screen.Click(700, 500);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(host.OpenControl(), nullptr);

  // Opening one combo box closes another.
  auto* other = new TVXComboBox(&screen.root);
  other->SetParent(&screen.root);
  other->SetName("CBO_OTHER");
  other->SetBounds(400, 50, 100, 20);
  combo->DropDown();
  other->DropDown();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(host.Closed.back(), "CBO_PLAYERNAME");

  // The entry part still takes typing, at its caret.
  screen.Click(60, 60);
  screen.Type("Z");
  EXPECT_EQ(combo->Caption(), "ZBOB");

  // Colours and selection colours reach the list.
  combo->SetColor4(Color4(0x00123456u));
  EXPECT_EQ(combo->List()->Color4()[0] & 0xFFFFFFu, 0x123456u);
  combo->SetSelectionColor4(Color4(0x00ABCDEFu));
  EXPECT_EQ(combo->List()->SelectionColor4()[0], 0x00ABCDEFu);
  combo->SetItemHeight(20);
  EXPECT_EQ(combo->List()->ItemHeight(), 20);
}

TEST(PageControl, OnlyTheActiveSheetIsProcessedAndOnlyOnce) {
  WidgetHost host;
  Screen screen(host);
  std::vector<std::string> log;
  auto* pc = new TVXPageControl(&screen.root);
  pc->SetParent(&screen.root);
  pc->SetBounds(100, 100, 400, 300);
  std::vector<TVXTabSheet*> sheets;
  for (int i = 0; i < 2; ++i) {
    auto* sheet = new TVXTabSheet(pc);
    auto* tab = new TVXTabSheetButton(pc);
    pc->AddPage(sheet, tab);
    auto* content = new vxtest::LoggingControl<TVXPanel>(sheet, "content" + std::to_string(i), &log);
    content->SetParent(sheet);
    content->SetBounds(120, 150, 50, 50);
    content->LogHooks = true;
    sheets.push_back(sheet);
  }
  std::vector<int32_t> changes;
  pc->OnChange = [&](TVXComponent*) { changes.push_back(pc->ActivePageIndex()); };
  EXPECT_EQ(pc->ActivePageIndex(), -1);
  pc->SetActivePage(sheets[0]);
  EXPECT_EQ(pc->GetSheet(0)->Top(), 120);
  EXPECT_EQ(pc->GetSheet(0)->Height(), 280);
  EXPECT_EQ(pc->GetTabButton(1)->Left(), 200);
  EXPECT_EQ(pc->GetTabButton(1)->Width(), 100);

  log.clear();
  screen.Frame();
  EXPECT_EQ(std::count(log.begin(), log.end(), "content0.Update"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "content1.Update"), 0);

  // A tab's click shows its sheet; the hidden sheet's content is no target.
  screen.Click(250, 110);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
  EXPECT_FALSE(sheets[0]->Visible());
  log.clear();
  screen.Click(130, 160);
  EXPECT_EQ(std::count(log.begin(), log.end(), "content1.OnClick"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "content0.OnClick"), 0);
  EXPECT_EQ(changes, (std::vector<int32_t>{0, 1}));
  pc->SetActivePage(sheets[1]);  // unchanged: no event
  EXPECT_EQ(changes.size(), 2u);

  // The font goes to the tabs: a name set alone by the next frame, a colour at once.
  pc->Font.SetName("Fixed");
  screen.Frame();
  EXPECT_EQ(pc->GetTabButton(1)->Font.Name(), "Fixed");
  pc->Font.SetColor(0x00102030);
  EXPECT_EQ(pc->GetTabButton(0)->Font.Color(), 0x00102030u);

  // A freed sheet is forgotten safely.
  delete sheets[1];
  EXPECT_EQ(pc->ActivePage(), nullptr);
  screen.Frame();
  pc->SetActivePageIndex(0);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
}
