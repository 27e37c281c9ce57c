// The component tree: ownership, parenthood, z-order, geometry, the per-frame walk with its
// counters and clip, and survival when handlers free parts of the tree under a walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "FrameworkFakes.h"
#include "core/Log.h"

using FakeHost = vxtest::ContextHost;
using vxtest::LoggingControl;
using vxtest::RootOf;

namespace {

// Records its destruction in a shared list.
class Tracked : public TVXCustomControl {
public:
  Tracked(TVXComponent* owner, const std::string& name, std::vector<std::string>* died)
      : TVXCustomControl(owner), died_(died) {
    SetName(name);
  }
  ~Tracked() override { died_->push_back(Name()); }

private:
  std::vector<std::string>* died_;
};

using Logged = LoggingControl<TVXCustomControl>;

}  // namespace

TEST(ComponentTree, OwnerFreesOwnedLastToFirstAndRemovalNeverFrees) {
  std::vector<std::string> died;
  auto* root = new Tracked(nullptr, "root", &died);
  new Tracked(root, "a", &died);
  auto* b = new Tracked(root, "b", &died);
  new Tracked(root, "c", &died);
  new Tracked(b, "b1", &died);

  auto* keeper = new Tracked(nullptr, "keeper", &died);
  auto* moved = new Tracked(root, "moved", &died);
  moved->SetOwner(keeper);
  EXPECT_EQ(root->OwnedCount(), 3);
  EXPECT_TRUE(died.empty());

  delete root;
  EXPECT_EQ(died, (std::vector<std::string>{"root", "c", "b", "b1", "a"}));
  EXPECT_EQ(keeper->OwnedCount(), 1);
  delete keeper;
  EXPECT_EQ(died.back(), "moved");
}

TEST(ComponentTree, OwnershipCyclesAreRefused) {
  TVXComponent a(nullptr);
  auto* b = new TVXComponent(&a);
  auto* c = new TVXComponent(b);
  a.SetOwner(c);  // would free a from inside its own destructor
  EXPECT_EQ(a.Owner(), nullptr);
  a.SetOwner(&a);
  EXPECT_EQ(a.Owner(), nullptr);
  EXPECT_EQ(c->Owner(), b);
}

TEST(ComponentTree, DestroyingEitherEndClearsBothDirections) {
  TVXCustomControl owner(nullptr);
  auto* parent = new TVXCustomControl(&owner);
  auto* child1 = new TVXCustomControl(&owner);
  auto* child2 = new TVXCustomControl(&owner);
  child1->SetParent(parent);
  child2->SetParent(parent);

  delete child1;
  ASSERT_EQ(parent->ChildCount(), 1);
  EXPECT_EQ(parent->GetChild(0), child2);

  delete parent;  // the child is owned elsewhere and survives, without a parent
  EXPECT_EQ(child2->Parent(), nullptr);
  child2->SetLeft(5);  // touches nothing freed
  EXPECT_EQ(child2->Left(), 5);
}

TEST(ComponentTree, ParentCyclesAreRefused) {
  TVXCustomControl a(nullptr), b(nullptr), c(nullptr);
  b.SetParent(&a);
  c.SetParent(&b);
  a.SetParent(&c);
  EXPECT_EQ(a.Parent(), nullptr);
  a.SetParent(&a);
  EXPECT_EQ(a.Parent(), nullptr);
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot make a control the parent of its own ancestor"));
  // Re-parenting within the tree is still allowed.
  c.SetParent(&a);
  EXPECT_EQ(c.Parent(), &a);
  EXPECT_EQ(b.ChildCount(), 0);
}

TEST(ComponentTree, ZOrderOperations) {
  TVXCustomControl p(nullptr), a(nullptr), b(nullptr), c(nullptr), loose(nullptr);
  for (auto* x : {&a, &b, &c}) x->SetParent(&p);
  a.BringToFront();
  EXPECT_EQ(p.GetChild(2), &a);
  a.SetZOrder(false);
  EXPECT_EQ(p.GetChild(0), &a);
  c.SetIndex(-7);
  EXPECT_EQ(p.GetChild(0), &c);
  c.SetIndex(99);
  EXPECT_EQ(p.GetChild(2), &c);
  EXPECT_EQ(b.IndexInParent(), 1);
  loose.BringToFront();  // no parent: nothing
  EXPECT_EQ(loose.IndexInParent(), -1);
}

TEST(ComponentTree, MovingAParentDragsTheWholeSubtree) {
  TVXCustomControl p(nullptr), c(nullptr), g(nullptr);
  c.SetParent(&p);
  g.SetParent(&c);
  p.SetBounds(10, 20, 100, 100);
  c.SetBounds(15, 25, 10, 10);
  g.SetBounds(-50, 300, 1, 1);  // children may lie outside their parent
  p.SetLeft(40);
  p.SetTop(0);
  EXPECT_EQ(c.Left(), 45);
  EXPECT_EQ(c.Top(), 5);
  EXPECT_EQ(g.Left(), -20);
  EXPECT_EQ(g.Top(), 280);
  // Sizes do not move anything.
  p.SetWidth(1);
  EXPECT_EQ(c.Left(), 45);
}

TEST(ComponentTree, GeometryFromAnywhereStaysInASafeRange) {
  TVXCustomControl p(nullptr), c(nullptr);
  c.SetParent(&p);
  p.SetLeft(2147483647);
  p.SetWidth(2147483647);
  EXPECT_EQ(p.Left(), vx::kCoordinateLimit);
  EXPECT_EQ(p.Width(), vx::kCoordinateLimit);
  EXPECT_FALSE(p.HitTest(-2147483647, 0));
  p.SetLeft(-2147483647 - 1);
  EXPECT_EQ(c.Left(), -vx::kCoordinateLimit);
}

TEST(ComponentTree, EnabledChainNeedsAVisibleRoot) {
  RootOf<TVXCustomControl> root(nullptr);
  TVXCustomControl mid(nullptr), leaf(nullptr), orphan(nullptr);
  mid.SetParent(&root);
  leaf.SetParent(&mid);
  EXPECT_TRUE(leaf.IsEnabled());
  EXPECT_FALSE(orphan.IsEnabled());
  mid.SetVisible(false);
  EXPECT_FALSE(leaf.IsEnabled());
  mid.SetVisible(true);
  mid.NoRender = true;  // a non-drawing parent keeps its children usable
  EXPECT_TRUE(leaf.IsEnabled());
  mid.SetDisableRenderTheme(false);
  EXPECT_TRUE(mid.NoRender);
}

// ---- The per-frame walk -------------------------------------------------------------

TEST(ProcessWalk, DrawsItselfThenChildrenInListOrder) {
  std::vector<std::string> log;
  FakeHost host;
  Logged root(nullptr, "root", &log);
  host.Hold(root);
  auto* a = new Logged(&root, "a", &log);
  auto* b = new Logged(&root, "b", &log);
  auto* a1 = new Logged(&root, "a1", &log);
  a->SetParent(&root);
  b->SetParent(&root);
  a1->SetParent(a);
  root.Process();
  EXPECT_EQ(log, (std::vector<std::string>{"root.Animate", "root.Update", "root.AfterDraw",
                                           "a.Animate", "a.Update", "a.AfterDraw", "a1.Animate",
                                           "a1.Update", "a1.AfterDraw", "b.Animate", "b.Update",
                                           "b.AfterDraw"}));

  log.clear();
  a->NoRender = true;      // skips a's own drawing, not its child
  b->SetVisible(false);    // skips b and its subtree
  root.ProcessChildren = true;
  root.Process();
  EXPECT_EQ(log, (std::vector<std::string>{"root.Animate", "root.Update", "root.AfterDraw",
                                           "a1.Animate", "a1.Update", "a1.AfterDraw"}));

  log.clear();
  a->InTransition = true;  // a transition draws the control but not its children
  a->NoRender = false;
  root.ProcessChildren = false;
  root.Process();
  EXPECT_EQ(log, (std::vector<std::string>{"root.Animate", "root.Update", "root.AfterDraw"}));
  root.ProcessChildren = true;
  log.clear();
  root.Process();
  EXPECT_EQ(std::count(log.begin(), log.end(), "a1.Update"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "a.Update"), 1);
}

TEST(ProcessWalk, ClipCoversOwnDrawingOnlyAndIsCutToTheSurface) {
  FakeHost host;
  std::vector<std::string> log;
  Logged root(nullptr, "root", &log);
  host.Hold(root);
  auto* child = new Logged(&root, "child", &log);
  child->SetParent(&root);
  root.SetBounds(-30, 550, 100, 100);
  root.ClipToBounds = true;
  host.Recorder.ClearCalls();
  root.Process();
  auto clips = host.Recorder.CallsOf("SetClipRect");
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0].Rect, (TGfxRect{0, 550, 70, 600}));  // the true intersection
  EXPECT_EQ(clips[1].Rect, (TGfxRect{0, 0, 800, 600}));   // reset before the children
  EXPECT_EQ(log.back(), "child.AfterDraw");

  root.SetBounds(900, 0, 10, 10);  // wholly outside: an empty clip, never an inverted one
  EXPECT_TRUE(root.ClipRect().IsEmpty());
  EXPECT_GE(root.ClipRect().Right, root.ClipRect().Left);
}

TEST(ProcessWalk, BlinkAndAutoHideCountProcessedFrames) {
  FakeHost host;
  std::vector<std::string> log;
  Logged c(nullptr, "c", &log);
  host.Hold(c);
  c.SetBlinkSpeed(4);
  EXPECT_EQ(c.BlinkPeriod, 5);
  c.SetBlinking(true);
  std::string shown;
  for (int frame = 0; frame < 20; ++frame) {
    log.clear();
    c.Process();
    shown += log.empty() ? '.' : '#';
  }
  // Frames 1-4 shown, 5-9 hidden, 10-14 shown, 15-19 hidden, 20 shown.
  EXPECT_EQ(shown, "####.....#####.....#");
  c.SetBlinking(false);  // switching off shows at once
  log.clear();
  c.Process();
  EXPECT_FALSE(log.empty());
  c.SetBlinkSpeed(9);  // other values keep the period
  EXPECT_EQ(c.BlinkPeriod, 5);

  c.ShowFor(3);
  int drawn = 0;
  for (int frame = 0; frame < 6; ++frame) {
    log.clear();
    c.Process();
    if (!log.empty()) ++drawn;
  }
  EXPECT_EQ(drawn, 2);  // hidden on the third frame
  EXPECT_FALSE(c.Visible());
  EXPECT_EQ(c.AutoHideFrames, -1);

  c.ShowFor(0);  // shows without a countdown
  EXPECT_TRUE(c.Visible());
  EXPECT_EQ(c.AutoHideFrames, -1);
}

namespace {
// Runs an action from its Update.
class Actor : public TVXCustomControl {
public:
  using TVXCustomControl::TVXCustomControl;
  std::function<void()> OnUpdate;
  int Updates = 0;
  void Update() override {
    ++Updates;
    if (OnUpdate) OnUpdate();
  }
};
}  // namespace

TEST(ProcessWalk, SurvivesHandlersThatFreeTheTreeUnderIt) {
  FakeHost host;
  auto* scene = new Actor(nullptr);
  host.Hold(*scene);
  auto* first = new Actor(scene);
  auto* second = new Actor(scene);
  auto* third = new Actor(scene);
  for (auto* c : {first, second, third}) c->SetParent(scene);

  // A child that frees a later sibling: the sibling is skipped, the rest goes on.
  first->OnUpdate = [&] { second->Free(); second = nullptr; };
  scene->Process();
  EXPECT_EQ(third->Updates, 1);
  EXPECT_EQ(scene->ChildCount(), 2);

  // A child that frees the whole scene it was called from.
  first->OnUpdate = [&] { scene->Free(); };
  scene->Process();  // under the sanitizers: no use after free
  SUCCEED();
}

namespace {
class Doomed : public Actor {
public:
  Doomed(TVXComponent* owner, const std::string& name, std::vector<std::string>* died) : Actor(owner), died_(died) {
    SetName(name);
  }
  ~Doomed() override { died_->push_back(Name()); }

private:
  std::vector<std::string>* died_;
};

struct Game : vx::Lifetime {
  explicit Game(std::vector<std::string>* died) : died_(died) {}
  ~Game() { died_->push_back("game"); }
  std::vector<std::string>* died_;
};
}  // namespace

TEST(DeferredFree, WhatAHandlerFreesGoesWhenItsClickKeyOrFrameEnds) {
  FakeHost host;
  std::vector<std::string> died;
  using Way = std::function<void(Doomed* scene, Doomed* button)>;
  const std::vector<Way> ways = {
      [](Doomed* s, Doomed*) { s->MouseDown(s, vx::mbLeft, 0, 15, 15), s->MouseUp(s, vx::mbLeft, 0, 15, 15); },
      [](Doomed* s, Doomed* b) { uint16_t key = 13; b->SetFocused(true), SendKeyToActiveControl(s, key, 0); },
      [](Doomed* s, Doomed*) { s->Process(); }};
  for (const Way& way : ways) {
    died.clear();
    Doomed* scene = new RootOf<Doomed>(nullptr, "scene", &died);
    host.Hold(*scene);
    auto* button = new Doomed(scene, "button", &died);
    auto* later = new Doomed(scene, "later", &died);
    for (auto* c : {button, later}) c->SetParent(scene);
    scene->SetBounds(0, 0, 100, 100);
    button->SetBounds(10, 10, 20, 20);
    int clicks = 0, laterUpdates = 0;
    later->OnUpdate = [&] { ++laterUpdates; };
    const auto freeScene = [&] {
      scene->Free();
      // Out of the tree and dead to weak references at once; deleted only after the event.
      EXPECT_TRUE(died.empty() && !button->IsAlive() && scene->Parent() == nullptr);
      button->SetBounds(20, 20, 5, 5);  // the handler goes on safely
    };
    button->OnMouseUp = [&](TVXComponent*, int32_t, TShiftState, int32_t, int32_t) { freeScene(); };
    button->OnClick = [&](TVXComponent*) { ++clicks; };
    button->OnKeyDown = [&](TVXComponent*, uint16_t&, TShiftState) { freeScene(); };
    button->OnUpdate = freeScene;
    way(scene, button);
    EXPECT_EQ(clicks, 0);               // a freed control hears no more of the event
    EXPECT_EQ(laterUpdates, 0);         // nor does the rest of a freed scene
    EXPECT_EQ(died, (std::vector<std::string>{"scene", "later", "button"}));
  }
  // Any object can wait for the dispatch; outside one, freeing is immediate.
  died.clear();
  {
    vx::DispatchScope event;
    auto game = std::make_unique<Game>(&died);
    vx::WeakRef<Game> ref(game.get());
    vx::FreeAfterDispatch(std::move(game));
    EXPECT_TRUE(!ref && died.empty());
  }
  (new Doomed(nullptr, "now", &died))->Free();
  EXPECT_EQ(died, (std::vector<std::string>{"game", "now"}));
}

TEST(ProcessWalk, ChildrenAddedDuringTheWalkWaitForTheNextFrame) {
  FakeHost host;
  Actor scene(nullptr);
  host.Hold(scene);
  auto* a = new Actor(&scene);
  a->SetParent(&scene);
  Actor* added = nullptr;
  a->OnUpdate = [&] {
    if (added == nullptr) {
      added = new Actor(&scene);
      added->SetParent(&scene);
    }
  };
  scene.Process();
  EXPECT_EQ(added->Updates, 0);
  scene.Process();
  EXPECT_EQ(added->Updates, 1);
}

TEST(ComponentTree, DestroyedActiveAndOpenControlsReadAsNone) {
  FakeHost host;
  auto* c = new TVXCustomControl(nullptr);
  host.Hold(*c);
  c->SetName("EDT_NAME");
  c->SetFocused(true);
  host.SetOpenControl(c);
  EXPECT_EQ(host.ActiveControl(), c);
  EXPECT_TRUE(vx::LogContains("INFO: ACTIVECONTROL IS: EDT_NAME"));
  delete c;
  EXPECT_EQ(host.ActiveControl(), nullptr);
  EXPECT_EQ(host.OpenControl(), nullptr);
}

// ---- Randomised structure ---------------------------------------------------------------

TEST(ComponentTree, RandomCreateReparentFreeAndRouteKeepTheLinksConsistent) {
  FakeHost host;
  const int rounds = std::getenv("VX_QUICK") ? 1500 : 6000;
  std::mt19937 rng(1234);
  auto* root = new RootOf<TVXCustomControl>(nullptr);
  host.Hold(*root);
  root->SetBounds(0, 0, 800, 600);
  std::vector<vx::WeakRef<TVXCustomControl>> all{root};

  const auto alive = [&] {
    std::vector<TVXCustomControl*> out;
    for (auto& w : all)
      if (w) out.push_back(w.Get());
    return out;
  };
  const auto check = [&] {
    for (TVXCustomControl* c : alive()) {
      if (TVXCustomControl* p = c->Parent()) {
        int n = 0;
        for (int i = 0; i < p->ChildCount(); ++i) n += p->GetChild(i) == c ? 1 : 0;
        ASSERT_EQ(n, 1) << "a child is in its parent's list exactly once";
      }
      for (int i = 0; i < c->ChildCount(); ++i) ASSERT_EQ(c->GetChild(i)->Parent(), c);
    }
  };

  for (int round = 0; round < rounds; ++round) {
    auto live = alive();
    if (live.empty()) break;
    auto pick = [&] { return live[std::uniform_int_distribution<size_t>(0, live.size() - 1)(rng)]; };
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
      case 0:
      case 1:
      case 2: {
        TVXCustomControl* owner = pick();
        auto* c = new TVXCustomControl(owner);
        c->SetBounds(std::uniform_int_distribution<int>(-50, 800)(rng),
                     std::uniform_int_distribution<int>(-50, 600)(rng),
                     std::uniform_int_distribution<int>(0, 300)(rng),
                     std::uniform_int_distribution<int>(0, 300)(rng));
        c->SetParent(pick());
        all.emplace_back(c);
        break;
      }
      case 3:
      case 4:
        pick()->SetParent(std::uniform_int_distribution<int>(0, 4)(rng) == 0 ? nullptr : pick());
        break;
      case 5: {
        TVXCustomControl* victim = pick();
        if (victim != root) delete victim;
        break;
      }
      case 6: {
        TVXCustomControl* c = pick();
        if (c != root) c->SetOwner(pick());  // the root stays the test's own
        break;
      }
      case 7: {
        const int x = std::uniform_int_distribution<int>(0, 800)(rng);
        const int y = std::uniform_int_distribution<int>(0, 600)(rng);
        root->MouseMove(root, 0, x, y);
        root->MouseDown(root, vx::mbLeft, 0, x, y);
        root->MouseUp(root, vx::mbLeft, 0, x + 3, y);
        break;
      }
      case 8:
        pick()->SetLeft(std::uniform_int_distribution<int>(-100, 900)(rng));
        break;
      case 9:
        pick()->SetIndex(std::uniform_int_distribution<int>(-2, 10)(rng));
        root->Process();
        break;
    }
    check();
    if (::testing::Test::HasFatalFailure()) return;
  }
  delete root;  // frees everything still owned by the root; LeakSanitizer checks the rest
  // Components whose owner chain ends in an unowned component other than the root.
  for (;;) {
    auto rest = alive();
    if (rest.empty()) break;
    TVXComponent* top = rest.front();
    while (top->Owner() != nullptr) top = top->Owner();
    delete top;
  }
}
