#include "games/DoubleUp.h"

#include <limits>

#include "core/Checked.h"
#include "core/Log.h"
#include "core/Random.h"
#include "framework/VXWidgets.h"
#include "games/Cards.h"
#include "games/GameData.h"
#include "games/PokerVariants.h"
#include "games/VXCard.h"
#include "games/VXGame.h"

namespace {
constexpr int32_t kJokerFactor = 4;
}  // namespace

TVXDoubleUp::TVXDoubleUp(TVXGame* game, TVXGameScene* screen, TVXGameData* data)
    : Game(game), Data(data), Screen(screen) {
  BarLength = 8;
  if (Screen != nullptr) BarLabel = dynamic_cast<TVXLabel*>(Screen->FindControl("LBL_DUPBARWINV"));
}

uint8_t TVXDoubleUp::Kind() const { return Data->DoubleUpKind; }

int32_t TVXDoubleUp::Limit() const {
  const int32_t limit = Data->DoubleUpLimit;
  return (limit >= 1 && limit <= 10) ? limit : 10;
}

TVXCard* TVXDoubleUp::Card(int32_t position) const {
  if (Screen == nullptr || position < 1 || position > 10) return nullptr;
  return Screen->DupCards[position - 1];
}

TVXImage* TVXDoubleUp::BarPicture(int32_t n) const {
  if (Screen == nullptr) return nullptr;
  return dynamic_cast<TVXImage*>(Screen->FindControl("IMG_DUPBAR_" + std::to_string(n)));
}

void TVXDoubleUp::Message(const std::string& text) {
  if (Screen != nullptr) Screen->SetMessage(text);
}

int32_t TVXDoubleUp::StartBarLevel(int32_t code) {
  switch (code) {
    case 1: case 2: case 4: case 21: return 5;
    case 3: case 20: return 6;
    case 5: return 4;
    case 6: return 3;
    case 7: case 8: return 2;
    case 9: return 1;
    default: return 0;
  }
}

TVXDoubleUp::TCardResult TVXDoubleUp::CardResult(uint8_t kind, int32_t number, int32_t choice) {
  if (number == vx::FirstJoker || number == vx::SecondJoker) return {kJokerFactor, "JOKER"};
  const int32_t rank = vx::CardRank(number);
  if (kind == vx::dkBigSmall) {
    if (rank == 7) return {1, "DRAW"};
    const std::string word = rank < 7 ? "SMALL" : "BIG";
    const bool won = choice == 0 ? rank < 7 : rank >= 8;
    return {won ? 2 : 0, word};
  }
  const int32_t suit = vx::CardSuit(number);
  const bool red = suit == 2 || suit == 3;
  const bool won = red ? choice == 0 : choice == 1;
  return {won ? 2 : 0, red ? "RED" : "BLACK"};
}

int32_t TVXDoubleUp::CompareWithDealer(int32_t dealerNumber, int32_t playerNumber) {
  const int32_t d = vx::CardRank(dealerNumber), p = vx::CardRank(playerNumber);
  if (d == p) return 0;
  if (d == 1) return -1;
  if (p == 1) return 1;
  return p > d ? 1 : -1;
}

int32_t TVXDoubleUp::WinningChoice() const {
  const TVXCard* card = Card(Position);
  const int32_t number = card != nullptr ? card->Number() : 0;
  if (Kind() == vx::dkBigSmall) return vx::CardRank(number) >= 7 ? 1 : 0;
  const int32_t suit = vx::CardSuit(number);
  return (suit == 2 || suit == 3) ? 0 : 1;
}

bool TVXDoubleUp::CanDouble(int32_t factor) const {
  return static_cast<int64_t>(Data->Money.Win()) * factor <= std::numeric_limits<int32_t>::max();
}

void TVXDoubleUp::SetActive(bool flag) {
  Active = flag;
  if (Screen == nullptr) return;
  if (Kind() != vx::dkBeatTheDealer) {
    Screen->ImgDupHitUp->SetBlinking(flag);
    return;
  }
  for (int32_t p = 2; p <= 5; ++p) {
    if (flag)
      Card(p)->StartEffect(ueEffect1);
    else
      Card(p)->StopEffect(ueEffect1, true);
  }
  if (!flag) Screen->LblDupHit->SetVisible(false);
}

void TVXDoubleUp::SetWaitingForDeal(bool flag) {
  const bool was = WaitingForDeal;
  WaitingForDeal = flag;
  if (Screen == nullptr) return;
  if (flag) Screen->LblDupHit->SetText("DOUBLE UP?");
  // Only its own question goes: the label may be showing a card's result word.
  if (flag || was) Screen->LblDupHit->SetVisible(flag);
}

void TVXDoubleUp::Offer(int32_t code, bool barMode) {
  Position = 0;
  BarLevel = 0;
  Played = false;
  Lost = false;
  BarMode = barMode && Kind() != vx::dkBeatTheDealer;
  static const char* const kTitles[] = {"BIG/SMALL", "RED/BLACK", "BEAT THE DEALER"};
  Screen->LblDupTitle->SetText(kTitles[Kind() <= 2 ? Kind() : 0]);
  Screen->LblDupHit->SetVisible(false);
  if (Kind() == vx::dkBeatTheDealer) {
    for (int32_t p = 1; p <= 10; ++p) {
      TVXCard* c = Card(p);
      c->SetVisible(p <= 5);
      c->SetFaceDown(true);
      c->UpdateImage();
    }
    Game->Round.Wait(vx::rsDoubleUp);
    SetWaitingForDeal(true);
    return;
  }
  SetActive(true);
  if (BarMode) {
    for (int32_t n = 1; n <= BarLength; ++n)
      if (TVXImage* img = BarPicture(n)) img->StopEffect(ueEffect1, true);
    BarLevel = StartBarLevel(code);
    for (int32_t n = 1; n <= BarLevel; ++n)
      if (TVXImage* img = BarPicture(n)) img->StartEffect(ueEffect1);
    int64_t barWin = Data->Money.Win();
    for (int32_t i = 0; i < BarLength - BarLevel + 1 && barWin <= std::numeric_limits<int32_t>::max(); ++i)
      barWin *= 2;
    if (barWin > std::numeric_limits<int32_t>::max()) {
      // The bonus could not be paid: this double-up runs without the bar.
      Log("ERROR: THE DOUBLE-UP BAR CANNOT PAY THIS WIN");
      BarMode = false;
      BarWin = 0;
    } else {
      BarWin = static_cast<int32_t>(barWin);
    }
    if (BarLabel != nullptr) vx::SetLabelValue(BarLabel, BarWin);
  }
  for (int32_t p = 1; p <= 10; ++p) {
    TVXCard* c = Card(p);
    c->SetNumber(Data->DealtDoubleUpCards[static_cast<size_t>(p - 1)]);
    c->SetVisible(false);
  }
  NextCard();
}

void TVXDoubleUp::NextCard() {
  const int32_t previous = Position;
  if (Position < 10) ++Position;
  if (previous != Limit()) {
    TVXCard* c = Card(Position);
    c->SetFaceDown(true);
    c->UpdateImage();
    c->SetVisible(true);
  }
  Screen->ImgSeries->NextFrame();
}

void TVXDoubleUp::DealDealer() {
  if (!WaitingForDeal) return;
  SetWaitingForDeal(false);
  for (int32_t p = 1; p <= 5; ++p) {
    int32_t n = 0;
    bool again = true;
    while (again) {
      n = Random(52) + 1;
      again = false;
      for (int32_t q = 1; q < p; ++q) again = again || Data->DealtDoubleUpCards[static_cast<size_t>(q - 1)] == n;
    }
    Data->DealtDoubleUpCards[static_cast<size_t>(p - 1)] = n;
    TVXCard* c = Card(p);
    c->SetNumber(n);
    c->SetFaceDown(p != 1);
    c->UpdateImage();
    c->SetVisible(true);
  }
  Position = 1;
  SetActive(true);
}

void TVXDoubleUp::Choose(int32_t choice) {
  if (!Active || Kind() == vx::dkBeatTheDealer || Game->Round.Is(vx::rsBusy)) return;
  TVXCard* card = Card(Position);
  if (card == nullptr) return;
  if (!CanDouble(kJokerFactor)) {
    // No card may be played for a win the game could not hold once multiplied.
    FinalCollect();
    return;
  }
  vx::WeakRef<TVXGame> game(Game);
  Played = true;
  Game->Round.Begin();
  SetActive(false);
  Screen->LblDupHit->SetLeft(vx::ClampCoordinate(static_cast<int64_t>(card->Left()) + card->Width() + 2));
  Screen->LblDupHit->SetTop(card->Top());
  const TCardResult result = CardResult(Kind(), card->Number(), choice);
  Screen->LblDupHit->SetText(result.Word);
  // The card's outcome is in the ledger and committed before the card turns.
  if (result.Factor == 0) {
    Lost = true;
    Data->Money.LoseWin();
    Game->Round.Commit();
    Game->ShowWin();
    Game->GamePlaySound("SND_DUPLOSE");
    Screen->LblDupHit->SetVisible(true);
    card->SetFaceDown(false);
    card->UpdateImage();
    Message("GAME OVER");
    Game->EndRound();
    if (game && OnFinish) OnFinish();
    return;
  }
  Data->Money.MultiplyWin(result.Factor);
  const int32_t won = Data->Money.Win();
  // A card that fills the bar wins the bar's value in place of the win in play.
  const bool barFull = BarMode && BarLevel + 1 >= BarLength;
  if (barFull) {
    Data->Money.LoseWin();
    Data->Money.PayWin(BarWin);
  }
  Game->Round.Commit();
  card->SetFaceDown(false);
  card->UpdateImage();
  vx::SetLabelValue(Screen->WinLabel, won);
  Game->GamePlaySound(result.Factor > 2 ? "SND_DUPWINSPECIAL" : "SND_DUPWIN");
  Screen->LblDupHit->SetVisible(true);
  Game->GameWait(500);
  if (!game) return;
  Screen->LblDupHit->SetVisible(false);
  if (barFull) {
    // The bar's win has taken the place of the win in play; the bar shows it.
    vx::SetLabelValue(Screen->WinLabel, 0);
    if (BarLabel != nullptr) BarLabel->SetBlinking(true);
    for (int run = 0; run < 4 && game; ++run) {
      for (int32_t n = 1; n <= BarLength; ++n)
        if (TVXImage* img = BarPicture(n)) img->StopEffect(ueEffect1, true);
      for (int32_t n = 1; n <= BarLength && game; ++n) {
        if (TVXImage* img = BarPicture(n)) img->StartEffect(ueEffect1);
        Game->GameWait(500);
      }
    }
    if (!game) return;
    if (BarLabel != nullptr) {
      BarLabel->SetBlinking(false);
      Game->CountTransfer(BarLabel, Screen->WinLabel, -1);
      if (!game) return;
      vx::SetLabelValue(BarLabel, BarWin);
    }
    Game->ShowWin();
    FinalCollect();
    return;
  }
  if (!BarMode && Position >= Limit()) {
    FinalCollect();
    return;
  }
  if (!CanDouble(kJokerFactor) || Position >= 10) {
    FinalCollect();
    return;
  }
  NextCard();
  if (BarMode) {
    ++BarLevel;
    if (TVXImage* img = BarPicture(BarLevel)) img->StartEffect(ueEffect1);
  }
  SetActive(true);
  Game->Round.Wait(vx::rsDoubleUp);
}

void TVXDoubleUp::PickCard(int32_t position) {
  if (WaitingForDeal || !Active || Kind() != vx::dkBeatTheDealer || Game->Round.Is(vx::rsBusy)) return;
  if (position < 2 || position > 5) return;
  vx::WeakRef<TVXGame> game(Game);
  Played = true;
  Game->Round.Begin();
  SetActive(false);
  TVXCard* chosen = Card(position);
  // The pick's outcome is in the ledger and committed before the card turns.
  const int32_t outcome = CompareWithDealer(Card(1)->Number(), chosen->Number());
  if (outcome < 0) Data->Money.LoseWin();
  if (outcome > 0) Data->Money.MultiplyWin(2);
  if (outcome != 0) Game->Round.Commit();
  chosen->SetFaceDown(false);
  chosen->UpdateImage();
  auto reveal = [&]() {
    Game->GameWait(500);
    if (!game) return false;
    for (int32_t p = 2; p <= 5; ++p) {
      Card(p)->SetFaceDown(false);
      Card(p)->UpdateImage();
    }
    Game->GameWait(500);
    return static_cast<bool>(game);
  };
  if (outcome < 0) {
    Lost = true;
    Game->ShowWin();
    Game->GamePlaySound("SND_DUPLOSE");
    Message("GAME OVER");
    if (!reveal()) return;
    Game->EndRound();
    if (game && OnFinish) OnFinish();
    return;
  }
  if (outcome > 0) {
    Game->ShowWin();
    Game->GamePlaySound("SND_DUPWIN");
    Message("WIN");
  } else {
    Game->GamePlaySound("SND_DRAW");
    Message("DRAW");
  }
  if (!reveal()) return;
  if (!CanDouble(2)) {
    // The next doubling could not be held: the win is collected now.
    FinalCollect();
    return;
  }
  SetWaitingForDeal(true);
  Game->Round.Wait(vx::rsDoubleUp);
}

void TVXDoubleUp::FinalCollect() {
  vx::WeakRef<TVXGame> game(Game);
  Game->Round.Begin();
  SetActive(false);
  Game->GameWait(500);
  if (!game) return;
  Message("CONGRATULATIONS");
  Game->GamePlaySound("SND_DUPWINEND");
  const bool ended = Game->CollectWinForFinish();
  if (!game) return;
  Message("GAME OVER");
  // The round stays busy through the pause, so no click starts a new one meanwhile, and is
  // ended exactly once afterwards.
  if (!ended) Game->Round.Begin();
  Game->GameWait(2000);
  if (!game) return;
  if (!ended) Game->EndRound();
  if (game && OnFinish) OnFinish();
}
