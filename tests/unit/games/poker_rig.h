#pragma once
// A stand-in main window and lobby for driving video-poker games: a virtual millisecond
// clock, one frame per handled message (running animations stepped as the real window steps
// them), every wait and count-up frame offered to a hook that may click anything, message
// boxes answered from a queue, sounds recorded, and a player's bank behind the credit dialog.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Random.h"
#include "core/Rounding.h"
#include "framework/VXAnim.h"
#include "framework/VXApplication.h"
#include "framework/VXHost.h"
#include "framework/VXScene.h"
#include "framework/VXWidgets.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "games/PokerAnims.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

namespace pokertest {

// Random(n) answers from a queue first (values taken modulo n), then from a seeded generator.
class ScriptedRandom : public vx::RandomGenerator {
public:
  explicit ScriptedRandom(uint64_t seed = 1) : fallback_(seed) {}
  std::deque<int32_t> Queue;
  int64_t Calls = 0;
  void Seed(uint64_t seed) override { fallback_.Seed(seed); }
  int32_t Random(int32_t n) override {
    ++Calls;
    if (n <= 0) return 0;
    if (!Queue.empty()) {
      const int32_t v = Queue.front();
      Queue.pop_front();
      return ((v % n) + n) % n;
    }
    return fallback_.Random(n);
  }
  double RandomReal() override { return fallback_.RandomReal(); }
  // The deal of card numbers, in order (each drawn as Random(54) + 1).
  void Cards(std::initializer_list<int32_t> numbers) {
    for (int32_t n : numbers) Queue.push_back(n - 1);
  }

private:
  vx::DefaultRandom fallback_;
};

class Rig : public TVXMainWindow, public TVXHostBase, public TVXGameHost {
public:
  Rig() : hostScope_(this) {
    saved_ = vx::Program();
    vx::Program().MainWindow = this;
    vx::Program().Setting = nullptr;
    previousGameHost_ = vx::GameHost();
    vx::SetGameHost(this);
    auto rng = std::make_unique<ScriptedRandom>();
    Rng = rng.get();
    vx::SetRng(std::move(rng));
    vx::SwitchRoundingUpward();
    root_ = std::make_unique<TVXMainScene>(nullptr);
    root_->SetSceneName("MAINSCENE");
    root_->SetBounds(0, 0, 800, 600);
  }
  ~Rig() override {
    Game.reset();
    root_.reset();
    vx::SetRng(nullptr);
    vx::SetGameHost(previousGameHost_);
    vx::Program() = saved_;
  }

  // ---- The lobby's side.
  uint32_t Bank = 1000;
  bool SignedIn = true;
  int CreditFormsShown = 0;
  vx::TCounterBank BankAccount{Bank};
  vx::TPlayerBank* PlayerBank() override { return SignedIn ? &BankAccount : nullptr; }
  void OpenCreditForm(TVXGame& game, bool show) override {
    if (show) ++CreditFormsShown;
    const uint32_t amount = show ? DialogAmount : 100;
    if (!game.GetGameData()->Money.BuyCredit(&BankAccount, amount)) {
      Messages.push_back("You don't have enought money to add " + std::to_string(amount) + "!");
      return;
    }
    game.GetGameData()->SetCreditIn(game.GetGameData()->GetCreditIn() + amount);
    game.UpdateCredit();
  }
  uint32_t DialogAmount = 1000;

  // ---- The main window.
  uint64_t Now = 0;
  int64_t Frames = 0;
  int RenderNows = 0;
  bool IsClosing = false;
  std::vector<std::string> Messages;
  std::deque<int32_t> Answers;  // message-box answers; mrYes when empty
  std::vector<std::string> Sounds;
  // Called once per frame, after the animations were stepped.
  std::function<void()> OnFrame;
  std::vector<TVXAnim*> Anims;

  TVXMainScene* MainScene() override { return root_.get(); }
  TVXScene* InputScene() override { return root_.get(); }
  void SetInputScene(TVXScene*) override {}
  void AddAnim(TVXAnim* anim) override {
    anim->Listed = true;
    Anims.push_back(anim);
  }
  void RemoveAnim(TVXAnim* anim) override {
    anim->Listed = false;
    for (auto& a : Anims)
      if (a == anim) a = nullptr;
  }
  void RenderNow() override { ++RenderNows; }
  bool ProcessMessage() override {
    if (IsClosing) return false;
    Frame();
    return !IsClosing;
  }
  bool ProcessUntil(const std::function<bool()>& done) override {
    while (!done()) {
      if (IsClosing) return false;
      Frame();
    }
    return true;
  }
  bool Wait(uint64_t ms) override {
    const uint64_t end = Now + ms;
    while (Now < end) {
      if (IsClosing) return false;
      Frame();
    }
    return !IsClosing;
  }
  bool Closing() override { return IsClosing; }
  int32_t MessageBox(const std::string& text, int32_t, int32_t, int32_t) override {
    Messages.push_back(text);
    if (Answers.empty()) return mrYes;
    const int32_t a = Answers.front();
    Answers.pop_front();
    return a;
  }
  void PopupMessage(const std::string&, int32_t) override {}
  void FadeIn() override {}
  void FadeOut() override {}
  void PlaySound(const std::string& name) override { Sounds.push_back(name); }

  // One frame: 16 ms pass, the listed animations step (a snapshot, as the real window does).
  void Frame() {
    Now += 16;
    ++Frames;
    std::erase(Anims, nullptr);
    std::vector<vx::WeakRef<TVXAnim>> snapshot(Anims.begin(), Anims.end());
    for (auto& a : snapshot)
      if (a && a->Running) a->StepOnce();
    if (OnFrame) OnFrame();
  }
  // Runs frames until the condition holds (at most `limit` frames); true when it held.
  bool RunFramesUntil(const std::function<bool()>& done, int limit = 100000) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      Frame();
    }
    return done();
  }

  // ---- The game.
  ScriptedRandom* Rng = nullptr;
  TVXGameManager Catalogue;
  std::unique_ptr<TPoker> Game;

  TPoker& Start(int32_t id) {
    Game = std::make_unique<TPoker>(Catalogue.FindGameByID(id));
    Game->LoadData();
    Game->TakeOpeningCredit();
    Game->StartAttract();
    return *Game;
  }
  TPokerScene& Screen() { return *Game->PokerScene; }
  TPokerData& Data() { return *Game->Data; }
  int32_t Shown(int position) { return Screen().Cards[position - 1]->Number(); }
  bool Held(int position) { return Screen().Cards[position - 1]->Held(); }
  std::string Message() { return Screen().LblMessage->Caption(); }
  uint64_t Money() { return Game->TotalMoney(); }
  void Click(TVXCustomControl* c) {
    if (c != nullptr && c->OnClick) c->OnClick(c);
  }
  void Deal() { Click(Screen().BtnDeal); }
  void Cash() { Click(Screen().BtnCashAll); }
  void Hold(int position) { Click(Screen().HoldButtons[position - 1]); }
  // Sets the holds to exactly these positions.
  void HoldOnly(std::initializer_list<int> positions) {
    for (int p = 1; p <= 5; ++p) {
      bool want = false;
      for (int q : positions) want = want || q == p;
      if (Held(p) != want) Hold(p);
    }
  }
  int CountSound(const std::string& name) {
    int n = 0;
    for (const auto& s : Sounds) n += s == name ? 1 : 0;
    return n;
  }
  int32_t Tally(const std::string& key) {
    const TGameHand* h = Data().Tally().FindHand(key, false);
    return h != nullptr ? h->Value : 0;
  }

private:
  vx::TVXProgram saved_;
  TVXGameHost* previousGameHost_ = nullptr;
  vx::ScopedToolkitHost hostScope_;
  std::unique_ptr<TVXMainScene> root_;
};

}  // namespace pokertest
