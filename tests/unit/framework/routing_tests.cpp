// Input routing: hit testing, hover per tree level, press, release sweep and click, focus
// and keys, checked as ordered logs of hooks and events for scripted input.
#include <gtest/gtest.h>

#include "FrameworkFakes.h"
#include "core/Log.h"

using FakeHost = vxtest::ContextHost;
using Logged = vxtest::LoggingControl<TVXCustomControl>;
using Root = vxtest::RootOf<Logged>;
using Events = std::vector<std::string>;

namespace {

// root (0,0 800x600) > panel (10,10 200x200) > button (20,20 50x50)
struct SmallTree {
  explicit SmallTree(Events* log)
      : host(log), root(nullptr, "root", log) {
    host.Hold(root);
    panel = new Logged(&root, "panel", log);
    button = new Logged(&root, "button", log);
    panel->SetParent(&root);
    button->SetParent(panel);
    root.SetBounds(0, 0, 800, 600);
    panel->SetBounds(10, 10, 200, 200);
    button->SetBounds(20, 20, 50, 50);
  }
  FakeHost host;
  Root root;
  Logged* panel;
  Logged* button;
};

}  // namespace

TEST(HitTest, EdgesAreStrictAndDisabledOrHiddenControlsAreNotTargets) {
  Events log;
  SmallTree t(&log);
  TVXCustomControl c(nullptr);
  c.SetBounds(10, 10, 20, 20);
  EXPECT_FALSE(c.HitTest(10, 15));
  EXPECT_TRUE(c.HitTest(11, 15));
  EXPECT_TRUE(c.HitTest(29, 15));
  EXPECT_FALSE(c.HitTest(30, 15));
  EXPECT_FALSE(c.HitTest(15, 10));

  EXPECT_EQ(t.root.ControlAt(30, 30), t.button);
  t.button->Enabled = false;
  EXPECT_EQ(t.root.ControlAt(30, 30), t.panel);
  t.button->Enabled = true;
  t.panel->SetVisible(false);  // hides every descendant from the mouse
  EXPECT_EQ(t.root.ControlAt(30, 30), &t.root);
  t.panel->SetVisible(true);
  t.panel->NoRender = true;    // not a target itself, its children still are
  EXPECT_EQ(t.root.ControlAt(30, 30), t.button);
  EXPECT_EQ(t.root.ControlAt(15, 15), &t.root);

  // Children are found outside their parent's rectangle.
  t.button->SetLeft(400);
  EXPECT_EQ(t.root.ControlAt(410, 30), t.button);

  // Overlapping siblings: the later one wins.
  auto* over = new Logged(&t.root, "over", &log);
  over->SetParent(t.panel);
  over->SetBounds(400, 20, 50, 50);
  EXPECT_EQ(t.root.ControlAt(410, 30), over);
}

TEST(MouseRouting, HoverReachesTheDeepestControlOncePerLevel) {
  Events log;
  SmallTree t(&log);
  t.root.MouseMove(&t.root, 0, 30, 30);
  EXPECT_EQ(log, (Events{"button.MouseOver", "button.MouseEnter", "button.OnMouseEnter",
                      "button.OnMouseMove(button)", "button.MouseOver", "button.OnMouseMove(panel)",
                      "button.MouseOver", "button.OnMouseMove(root)"}));
  EXPECT_TRUE(t.button->Hovered());
  EXPECT_FALSE(t.panel->Hovered());

  log.clear();
  t.root.MouseMove(&t.root, 0, 15, 15);  // off the button, still on the panel
  EXPECT_EQ(log, (Events{"button.MouseLeave", "button.OnMouseLeave", "panel.MouseOver", "panel.MouseEnter",
                      "panel.OnMouseEnter", "panel.OnMouseMove(panel)", "panel.MouseOver",
                      "panel.OnMouseMove(root)"}));

  log.clear();
  t.root.MouseMove(&t.root, 0, 30, 30);  // back on the button: the panel keeps its hover
  EXPECT_TRUE(t.panel->Hovered());
  EXPECT_TRUE(t.button->Hovered());
  EXPECT_EQ(std::count(log.begin(), log.end(), "panel.MouseLeave"), 0);

  log.clear();
  t.root.MouseMove(&t.root, 0, 500, 500);
  EXPECT_EQ(log, (Events{"panel.MouseLeave", "panel.OnMouseLeave", "button.MouseLeave",
                      "button.OnMouseLeave", "root.MouseOver", "root.MouseEnter", "root.OnMouseEnter",
                      "root.OnMouseMove(root)"}));
}

TEST(MouseRouting, PressReleaseAndClick) {
  Events log;
  SmallTree t(&log);
  t.host.Cursor[0] = 1;  // the previous press, stored by the main window after routing
  t.host.Cursor[1] = 2;
  t.root.MouseDown(&t.root, vx::mbLeft, 0, 30, 31);
  // The press event gets the position of this press.
  EXPECT_EQ(log, (Events{"button.MouseDown", "RenderNow", "button.OnMouseDown(button,0,30,31)"}));
  EXPECT_TRUE(t.button->PressedLeft());

  log.clear();
  t.host.Cursor[0] = 30;
  t.host.Cursor[1] = 31;
  t.root.MouseUp(&t.root, vx::mbLeft, 0, 40, 40);
  EXPECT_EQ(log, (Events{"button.MouseUp", "RenderNow", "button.OnMouseUp(button,0,30,31)", "button.OnClick"}));
  EXPECT_FALSE(t.button->PressedLeft());

  // A release over a control that was never pressed fires nothing.
  log.clear();
  t.root.MouseUp(&t.root, vx::mbLeft, 0, 40, 40);
  EXPECT_TRUE(log.empty());

  // Pressed, moved off and released elsewhere: the press is cleared without a click.
  t.root.MouseDown(&t.root, vx::mbLeft, 0, 30, 30);
  log.clear();
  t.root.MouseUp(&t.root, vx::mbLeft, 0, 15, 15);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(t.button->PressedLeft());

  // The right button only keeps a flag; the middle button does nothing.
  t.root.MouseDown(&t.root, vx::mbRight, 0, 30, 30);
  t.root.MouseDown(&t.root, vx::mbMiddle, 0, 30, 30);
  EXPECT_TRUE(t.button->PressedRight());
  EXPECT_TRUE(log.empty());
  t.root.MouseUp(&t.root, vx::mbRight, 0, 30, 30);
  EXPECT_FALSE(t.button->PressedRight());
  EXPECT_TRUE(log.empty());
  // A left release does not clear a right press.
  t.root.MouseDown(&t.root, vx::mbRight, 0, 30, 30);
  t.root.MouseUp(&t.root, vx::mbLeft, 0, 30, 30);
  EXPECT_TRUE(t.button->PressedRight());
}

TEST(MouseRouting, ReleaseSweepReleasesEveryPressedControlUnderThePointer) {
  Events log;
  SmallTree t(&log);
  // Both levels hold a press (the panel by an earlier press on its own area).
  t.root.MouseDown(&t.root, vx::mbLeft, 0, 15, 15);
  t.root.MouseDown(&t.root, vx::mbLeft, 0, 30, 30);
  t.button->Enabled = false;  // not consulted on release
  log.clear();
  t.root.MouseUp(&t.root, vx::mbLeft, 0, 30, 30);
  EXPECT_EQ(log, (Events{"panel.MouseUp", "RenderNow", "panel.OnMouseUp(panel,0,0,0)", "panel.OnClick",
                      "button.MouseUp", "RenderNow", "button.OnMouseUp(button,0,0,0)", "button.OnClick"}));
}

TEST(Focus, MovesBetweenControlsAndKeysStayInTheInputScene) {
  Events log;
  SmallTree t(&log);
  auto* other = new Logged(&t.root, "other", &log);
  other->SetParent(&t.root);
  t.button->SetFocused(true);
  EXPECT_EQ(log, (Events{"button.FocusIn"}));
  log.clear();
  other->SetFocused(true);
  EXPECT_EQ(log, (Events{"button.FocusOut", "other.FocusIn"}));
  EXPECT_FALSE(t.button->Focused());
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(t.host.ActiveControl(), other);
  EXPECT_TRUE(vx::LogContains("INFO: ACTIVECONTROL IS: other"));

  log.clear();
  other->SetFocused(false);  // focus out only: the active control stays
  EXPECT_EQ(log, (Events{"other.FocusOut"}));
  EXPECT_EQ(t.host.ActiveControl(), other);

  uint16_t key = 65;
  EXPECT_TRUE(SendKeyToActiveControl(&t.root, key, 0));
  EXPECT_EQ(log.back(), "other.OnKeyDown(65)");

  // A modal dialog as input scene keeps keys from the screen below it.
  Root dialog(nullptr, "dialog", &log);
  log.clear();
  EXPECT_FALSE(SendKeyToActiveControl(&dialog, key, 0));
  EXPECT_TRUE(log.empty());
  // An inner control that its widget processes itself (owned, not parented) counts as inside.
  auto* inner = new Logged(other, "inner", &log);
  inner->SetFocused(true);
  EXPECT_TRUE(SendKeyToActiveControl(&t.root, key, 0));
}

namespace {
// Shows its single child only through a clip, as a scroll control shows its client area.
class ClippingPanel : public Logged {
public:
  using Logged::Logged;
  TVXCustomControl* Client = nullptr;
  TGfxRect Clip{};
  bool ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const override {
    if (child != Client) return false;
    clip = Clip;
    return true;
  }
};
}  // namespace

TEST(MouseRouting, OnlyWhatLiesInsideAClientClipCanBeHit) {
  Events log;
  FakeHost host(&log);
  Root root(nullptr, "root", &log);
  host.Hold(root);
  root.SetBounds(0, 0, 800, 600);
  auto* list = new ClippingPanel(&root, "list", &log);
  list->SetParent(&root);
  list->SetBounds(100, 100, 200, 100);
  auto* client = new Logged(list, "client", &log);
  client->SetParent(list);
  client->Enabled = false;
  client->SetBounds(101, 60, 180, 300);  // scrolled: rows above and below the view
  list->Client = client;
  list->Clip = TGfxRect{101, 101, 281, 199};
  auto* hiddenRow = new Logged(list, "hiddenRow", &log);
  hiddenRow->SetParent(client);
  hiddenRow->SetBounds(102, 70, 170, 20);  // above the view, under the list's header
  auto* shownRow = new Logged(list, "shownRow", &log);
  shownRow->SetParent(client);
  shownRow->SetBounds(102, 120, 170, 20);

  EXPECT_EQ(root.ControlAt(150, 80), &root);
  EXPECT_EQ(root.ControlAt(150, 130), shownRow);

  root.MouseDown(&root, vx::mbLeft, 0, 150, 130);
  log.clear();
  root.MouseUp(&root, vx::mbLeft, 0, 150, 130);
  EXPECT_EQ(log.back(), "shownRow.OnClick");

  // A row that was pressed and then left the view under the pointer loses the press.
  root.MouseDown(&root, vx::mbLeft, 0, 150, 130);
  list->Clip = TGfxRect{101, 140, 281, 199};
  log.clear();
  root.MouseUp(&root, vx::mbLeft, 0, 150, 130);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(shownRow->PressedLeft());

  // Hovering a row outside the clip does not hover it.
  root.MouseMove(&root, 0, 150, 130);
  EXPECT_FALSE(shownRow->Hovered());
}

namespace {
class Scene : public TVXCustomControl {
public:
  using TVXCustomControl::TVXCustomControl;
  bool IsEnabled() override { return Visible(); }
};
}  // namespace

TEST(MouseRouting, HandlersMayFreeTheSceneTheyWereCalledFrom) {
  FakeHost host;
  auto make = [&host] {
    auto* scene = new Scene(nullptr);
    host.Hold(*scene);
    scene->SetBounds(0, 0, 800, 600);
    for (int i = 0; i < 3; ++i) {
      auto* b = new TVXCustomControl(scene);
      b->SetParent(scene);
      b->SetBounds(10 + 100 * i, 10, 90, 90);
    }
    return scene;
  };

  Scene* scene = make();
  auto* middle = scene->GetChild(1);
  middle->OnClick = [&](TVXComponent*) { scene->Free(); };
  scene->MouseDown(scene, vx::mbLeft, 0, 150, 50);
  scene->MouseUp(scene, vx::mbLeft, 0, 150, 50);  // the click frees the scene mid-sweep

  scene = make();
  scene->GetChild(2)->OnMouseEnter = [&](TVXComponent*) { scene->Free(); };
  scene->MouseMove(scene, 0, 250, 50);

  scene = make();
  scene->GetChild(0)->OnMouseDown = [&](TVXComponent*, int32_t, TShiftState, int32_t, int32_t) {
    scene->Free();
  };
  scene->MouseDown(scene, vx::mbLeft, 0, 50, 50);

  scene = make();
  scene->GetChild(0)->OnMouseLeave = [&](TVXComponent*) { scene->Free(); };
  scene->MouseMove(scene, 0, 50, 50);
  scene->MouseMove(scene, 0, 500, 500);

  scene = make();  // a handler that frees a sibling still to be visited
  scene->GetChild(2)->OnMouseLeave = [&](TVXComponent*) { scene->GetChild(0)->Free(); };
  scene->MouseMove(scene, 0, 250, 50);
  scene->MouseMove(scene, 0, 500, 500);
  EXPECT_EQ(scene->ChildCount(), 2);
  delete scene;
}
