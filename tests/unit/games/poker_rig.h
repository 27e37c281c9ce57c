#pragma once
// The fake program (tests/support/FakeContext.h) driving video-poker games: a virtual
// millisecond clock, one frame per handled message (running animations stepped as the real
// window steps them), every wait and count-up frame offered to a hook that may click anything,
// message boxes answered from a queue, sounds recorded, and a player's bank behind the credit
// dialog.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Random.h"
#include "core/Rounding.h"
#include "framework/VXAnim.h"
#include "framework/VXScene.h"
#include "framework/VXWidgets.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "games/PokerAnims.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"
#include "support/FakeContext.h"

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

class Rig : public vxtest::FakeWindow, public TVXGameHost {
public:
  Rig() {
    auto rng = std::make_unique<ScriptedRandom>();
    Rng = rng.get();
    vx::SetRng(std::move(rng));
    vx::SwitchRoundingUpward();
  }
  ~Rig() override {
    Game.reset();
    FreeRoot();
    vx::SetRng(nullptr);
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
      Messages.push_back({"You don't have enought money to add " + std::to_string(amount) + "!", mkWarning, mbOK});
      return;
    }
    game.GetGameData()->SetCreditIn(game.GetGameData()->GetCreditIn() + amount);
    game.UpdateCredit();
  }
  uint32_t DialogAmount = 1000;

  // ---- The main window: a virtual clock, 16 ms a frame.
  uint64_t Now = 0;
  int64_t Frames = 0;
  int& RenderNows = Host.RenderNowCount;
  std::vector<std::string>& Sounds = Host.Sounds;
  bool Wait(uint64_t ms) override {
    const uint64_t end = Now + ms;
    while (Now < end) {
      if (IsClosing) return false;
      Frame();
    }
    return !IsClosing;
  }
  void Frame() override {
    Now += 16;
    ++Frames;
    FakeWindow::Frame();
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
    Game = std::make_unique<TPoker>(Catalogue.FindGameByID(id), &Context, this);
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
  int CountSound(const std::string& name) { return Host.CountSound(name); }
  int32_t Tally(const std::string& key) {
    const TGameHand* h = Data().Tally().FindHand(key, false);
    return h != nullptr ? h->Value : 0;
  }

};

}  // namespace pokertest
