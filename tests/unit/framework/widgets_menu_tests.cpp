// Menus through the main window's routing: opening on click, switching across a menu bar of one
// group on hover, closing on a press while the release still clicks the hidden item, levels,
// auto-popup, and the refused self-add.
#include "core/Log.h"
#include "widgets_fixture.h"

using wtest::Screen;
using wtest::WidgetHost;

namespace {

struct MenuBar {
  explicit MenuBar(Screen& screen) {
    file = Menu(screen, "MENU_FILE", 0, 0);
    help = Menu(screen, "MENU_HELP", 80, 0);
    other = Menu(screen, "MENU_OTHER", 300, 0);
    other->Group = 1;
    open = Item(screen, file, "MENU_OPEN", 20);
    exit = Item(screen, file, "MENU_EXIT", 40);
    about = Item(screen, help, "MENU_ABOUT", 20);
    setup = Item(screen, other, "MENU_SETUP", 20);
    for (TVXMenu* m : {file, help, other}) {
      m->OnPopup = [this](TVXComponent* s) { popups.push_back(s->Name()); };
    }
    for (TVXMenuItem* i : {open, exit, about, setup}) {
      i->OnClick = [this](TVXComponent* s) { clicks.push_back(s->Name()); };
    }
  }
  static TVXMenu* Menu(Screen& screen, const std::string& name, int32_t left, int32_t top) {
    auto* m = new TVXMenu(&screen.root);
    m->SetParent(&screen.root);
    m->SetName(name);
    m->SetBounds(left, top, 80, 20);
    return m;
  }
  static TVXMenuItem* Item(Screen& screen, TVXMenu* menu, const std::string& name, int32_t offset) {
    auto* i = new TVXMenuItem(&screen.root);
    i->SetName(name);
    menu->Add(i);
    i->SetBounds(menu->Left(), menu->Top() + offset, 120, 20);
    return i;
  }
  TVXMenu *file, *help, *other;
  TVXMenuItem *open, *exit, *about, *setup;
  std::vector<std::string> popups, clicks;
};

}  // namespace

TEST(Menus, AClickOpensAndHoveringAcrossTheGroupSwitches) {
  WidgetHost host;
  Screen screen(host);
  MenuBar bar(screen);
  EXPECT_FALSE(bar.open->Visible());
  EXPECT_TRUE(bar.file->Visible());
  EXPECT_EQ(bar.open->Level, 1);
  EXPECT_EQ(bar.open->Root(), bar.file);
  EXPECT_TRUE(bar.open->IsItem);
  EXPECT_FALSE(bar.file->IsItem);
  EXPECT_EQ(bar.open->Font.Name(), "ArialBlack");

  // Hovering alone opens nothing while no menu is open.
  screen.Move(40, 10);
  screen.Move(120, 10);
  EXPECT_TRUE(bar.popups.empty());

  screen.Click(40, 10);
  EXPECT_EQ(bar.popups, (std::vector<std::string>{"MENU_FILE"}));
  EXPECT_EQ(host.OpenControl(), bar.file);
  EXPECT_EQ(bar.file->OpenLevel, 1);
  EXPECT_TRUE(bar.file->IsOpen);
  EXPECT_TRUE(bar.open->FadingIn());
  screen.Frame(30);
  EXPECT_TRUE(bar.open->Visible());
  EXPECT_TRUE(bar.exit->Visible());
  EXPECT_FALSE(bar.about->Visible());

  // Across to the next menu of the group: it opens, the first one closes.
  screen.Move(120, 10);
  EXPECT_EQ(bar.popups, (std::vector<std::string>{"MENU_FILE", "MENU_HELP"}));
  EXPECT_EQ(host.OpenControl(), bar.help);
  EXPECT_EQ(bar.file->OpenLevel, 0);
  EXPECT_FALSE(bar.open->Visible());
  EXPECT_FALSE(bar.exit->Visible());
  EXPECT_TRUE(bar.about->FadingIn());
  EXPECT_EQ(host.Sounds, (std::vector<std::string>{"SND_MENU", "SND_MENU"}));

  // A menu of another group does not take over on hover.
  screen.Move(340, 10);
  EXPECT_EQ(bar.popups.size(), 2u);
  EXPECT_EQ(host.OpenControl(), bar.help);
}

TEST(Menus, APressClosesTheMenuAndTheReleaseStillClicksTheHiddenItem) {
  WidgetHost host;
  Screen screen(host);
  MenuBar bar(screen);
  screen.Click(120, 10);
  screen.Frame(30);
  ASSERT_TRUE(bar.about->Visible());

  screen.Move(120, 30);  // onto the item, below the menu: the menu stays open
  EXPECT_EQ(bar.help->OpenLevel, 1);
  screen.Press(120, 30);
  EXPECT_FALSE(bar.about->Visible());
  EXPECT_EQ(bar.help->OpenLevel, 0);
  EXPECT_EQ(host.OpenControl(), nullptr);
  screen.Frame();
  screen.Release(120, 30);
  EXPECT_EQ(bar.clicks, (std::vector<std::string>{"MENU_ABOUT"}));

  // A hidden item is no target for a new press.
  screen.Click(120, 30);
  EXPECT_EQ(bar.clicks.size(), 1u);

  // A press elsewhere just closes.
  screen.Click(40, 10);
  screen.Frame(30);
  screen.Click(600, 400);
  EXPECT_EQ(bar.file->OpenLevel, 0);
  EXPECT_FALSE(bar.open->Visible());
  EXPECT_EQ(bar.clicks.size(), 1u);
}

TEST(Menus, AnOpenMenuKeepsItsHoverLookUntilItCloses) {
  WidgetHost host;
  Screen screen(host);
  MenuBar bar(screen);
  TVXEffects& rollOver = bar.file->Effects[efRollOver];
  rollOver.ColorEnabled = true;
  rollOver.Color = Color4(0x00000000u);
  screen.Move(40, 10);
  EXPECT_EQ(bar.file->RunningEffect.ColorState.Phase, epForward);
  screen.Press(40, 10);
  screen.Release(40, 10);
  screen.Move(40, 50);  // off the menu, onto its item
  EXPECT_NE(bar.file->RunningEffect.ColorState.Phase, epReturnStop);
  screen.Press(600, 400);  // the main window closes the open menu
  EXPECT_EQ(bar.file->OpenLevel, 0);
  EXPECT_EQ(bar.file->RunningEffect.ColorState.Phase, epReturnStop);
  // Closed, leaving steps the look back as for any control.
  screen.Move(40, 10);
  EXPECT_EQ(bar.file->RunningEffect.ColorState.Phase, epForward);
  EXPECT_EQ(bar.file->OpenLevel, 0);
  screen.Move(500, 500);
  EXPECT_EQ(bar.file->RunningEffect.ColorState.Phase, epReturnStop);
}

TEST(Menus, LevelsOffsetsAutoPopupAndTheRefusedSelfAdd) {
  WidgetHost host;
  Screen screen(host);
  MenuBar bar(screen);
  auto* recent = new TVXMenuItem(&screen.root);
  bar.open->Add(recent);
  EXPECT_EQ(recent->Level, 2);
  EXPECT_EQ(recent->Root(), bar.file);

  bar.file->Popup();
  EXPECT_FALSE(recent->Visible() || recent->FadingIn());
  bar.open->Popup();  // one level deeper
  EXPECT_EQ(bar.file->OpenLevel, 2);
  EXPECT_TRUE(recent->FadingIn());
  bar.file->Close();
  EXPECT_FALSE(bar.open->Visible());
  EXPECT_FALSE(recent->IsEnabled());

  // Offsets from the menu.
  bar.exit->SetTopRelativeToMenu(25);
  bar.exit->SetLeftRelativeToMenu(-5);
  EXPECT_EQ(bar.exit->Top(), 25);
  EXPECT_EQ(bar.exit->Left(), -5);
  EXPECT_EQ(bar.exit->TopRelativeToMenu(), 25);
  bar.file->SetTop(10);
  EXPECT_EQ(bar.exit->Top(), 35);
  EXPECT_EQ(bar.exit->TopRelativeToMenu(), 25);

  // A control with a popup menu opens it when hovered.
  auto* trigger = new TVXButton(&screen.root);
  trigger->SetParent(&screen.root);
  trigger->SetBounds(500, 300, 50, 20);
  trigger->SetPopupMenu(bar.other);
  trigger->AutoPopup = true;
  screen.Move(520, 310);
  EXPECT_EQ(host.OpenControl(), bar.other);
  EXPECT_EQ(bar.popups.back(), "MENU_OTHER");

  // Adding an item to itself is refused and logged.
  vx::ClearLog();
  const int32_t children = bar.help->ChildCount();
  bar.help->Add(bar.help);
  EXPECT_TRUE(vx::LogContains("ERROR: Menuitem: Cannot add itself ! MENU_HELP"));
  EXPECT_EQ(bar.help->ChildCount(), children);
  EXPECT_EQ(bar.help->Parent(), &screen.root);
  // Nor may a menu become the item of its own item.
  bar.about->Add(bar.help);
  EXPECT_EQ(bar.help->Parent(), &screen.root);
  EXPECT_EQ(bar.help->Level, 0);
}

TEST(Menus, AnItemsHandlerMayFreeTheWholeMenu) {
  WidgetHost host;
  Screen screen(host);
  auto* holder = new TVXPanel(&screen.root);
  holder->SetParent(&screen.root);
  holder->NoRender = true;
  auto* menu = new TVXMenu(holder);
  menu->SetParent(holder);
  menu->SetBounds(0, 0, 80, 20);
  auto* item = new TVXMenuItem(holder);
  menu->Add(item);
  item->SetBounds(0, 20, 80, 20);
  item->OnClick = [&](TVXComponent*) { holder->Free(); };
  screen.Click(40, 10);
  screen.Frame(30);
  screen.Click(40, 30);
  EXPECT_EQ(screen.root.ChildCount(), 0);
  EXPECT_EQ(host.OpenControl(), nullptr);
  screen.Frame();
  screen.Move(40, 10);
}
