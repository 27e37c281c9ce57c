// A poker round: dealing, drawing, evaluating and paying.
#include "games/Poker.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "framework/VXContext.h"
#include "framework/VXApplication.h"
#include "framework/VXDebug.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/Cards.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/HandKeys.h"
#include "games/PokerAnims.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

namespace {

bool IsSeven(int32_t n) { return n == 7 || n == 20 || n == 33 || n == 46; }

}  // namespace

// --- Cards --------------------------------------------------------------------------------

void TPoker::Deal(int32_t Count, bool DoubleUpDeck, int32_t TestHand) {
  int32_t* slots = DoubleUpDeck ? Data->DealtDoubleUpCards.data() : Data->Cards.data();
  const int32_t size = DoubleUpDeck ? 10 : 15;
  Count = std::clamp(Count, 0, size);
  // In developer mode the hand chosen in the log window wins over the one asked for.
  if (!DoubleUpDeck && DeveloperMode() && DebugWindow() != nullptr &&
      DebugWindow()->CheatHandIndex() > 0)
    TestHand = DebugWindow()->CheatHandIndex();
  int32_t testCards[5] = {};
  const int32_t* fixed = nullptr;
  if (!DoubleUpDeck && TestHandCards(TestHand, Data->OrvantaNumber, testCards)) fixed = testCards;
  auto acceptable = [&](int32_t n, int32_t position) {
    if (DoubleUpDeck) {
      if (n == vx::FirstJoker && !Has(vx::poDoubleUpJoker53)) return false;
      if (n == vx::SecondJoker && !Has(vx::poDoubleUpJoker54)) return false;
      if (IsSeven(n) && !Has(vx::poDoubleUpSevens)) return false;
    } else {
      if (n == vx::FirstJoker && !Has(vx::poJoker53)) return false;
      if (n == vx::SecondJoker && !Has(vx::poJoker54)) return false;
    }
    for (int32_t q = 0; q < position; ++q)
      if (slots[q] == n) return false;
    // A test hand's cards are in play too: no replacement repeats them.
    if (fixed != nullptr)
      for (int32_t q = 0; q < 5; ++q)
        if (fixed[q] == n) return false;
    return true;
  };
  for (int32_t p = 0; p < Count; ++p) {
    if (fixed != nullptr && p < 5) {
      slots[p] = fixed[p];
      continue;
    }
    int32_t n = 0;
    do {
      n = Random(vx::SecondJoker) + 1;  // any card number
    } while (!acceptable(n, p));
    slots[p] = n;
  }
}

bool TPoker::TestHandCards(int32_t n, int32_t orvantaNumber, int32_t out[5]) {
  // In the order of the log window's list; 1 and 2 are the attract mode's show hands.
  static const int32_t hands[][5] = {
      {1, 14, 27, 40, 53},    // five of a kind: four aces and a joker
      {2, 15, 28, 41, 53},    // five of a kind, deuces wild: four deuces and a joker
      {10, 11, 12, 13, 53},   // royal flush with the joker
      {10, 11, 12, 13, 1},    // natural royal flush
      {5, 6, 7, 8, 9},        // straight flush
      {9, 22, 35, 48, 13},    // four of a kind
      {2, 15, 28, 41, 13},    // four deuces
      {1, 14, 27, 40, 13},    // four aces
      {13, 26, 39, 52, 9},    // four kings
      {5, 18, 31, 44, 13},    // four fives
      {10, 23, 36, 4, 17},    // full house
      {1, 4, 7, 9, 12},       // flush
      {4, 18, 32, 46, 8},     // straight
      {8, 21, 34, 3, 17},     // three of a kind
      {11, 24, 6, 19, 3},     // two pairs
      {12, 25, 3, 17, 44},    // a pair of queens
  };
  constexpr int32_t fixedCount = static_cast<int32_t>(sizeof(hands) / sizeof(hands[0]));
  if (n >= 1 && n <= fixedCount) {
    std::copy(hands[n - 1], hands[n - 1] + 5, out);
    return true;
  }
  // Three and four cards of the Orvanta rank, with a king and a three beside them.
  const int32_t o = std::clamp(orvantaNumber, 5, 10);
  if (n == fixedCount + 1) {
    const int32_t cards[5] = {o, o + 13, o + 26, 13, 3 + 13};
    std::copy(cards, cards + 5, out);
    return true;
  }
  if (n == fixedCount + 2) {
    const int32_t cards[5] = {o, o + 13, o + 26, o + 39, 13};
    std::copy(cards, cards + 5, out);
    return true;
  }
  return false;
}

bool TPoker::TurnDown(bool skipWaits, TVXAnim* owner) {
  vx::WeakRef<TVXAnim> ownerRef(owner);
  for (TVXCard* card : PokerScene->Cards) {
    if (card->Held()) continue;
    card->SetFaceDown(true);
    card->UpdateImage();
    if (skipWaits) continue;
    GameWait(WaitPerCard());
    if (owner != nullptr && (!ownerRef || !owner->Running)) return false;
  }
  return true;
}

bool TPoker::ShowCards(int32_t slotOffset, bool skipWaits, TVXAnim* owner) {
  vx::WeakRef<TVXAnim> ownerRef(owner);
  for (int i = 0; i < 5; ++i) {
    TVXCard* card = PokerScene->Cards[i];
    if (card->Held()) continue;
    card->SetNumber(Data->Cards[static_cast<size_t>(i + slotOffset)]);
    card->SetFaceDown(false);
    GamePlaySound("SND_DEAL");
    card->UpdateImage();
    if (skipWaits) continue;
    GameWait(WaitPerCard());
    if (owner != nullptr && (!ownerRef || !owner->Running)) return false;
  }
  return true;
}

vx::THandEvaluation TPoker::EvaluateShown() const {
  int32_t cards[5];
  for (int i = 0; i < 5; ++i) cards[i] = PokerScene->Cards[i]->Number();
  return EvaluateHand(cards);
}

vx::THandEvaluation TPoker::EvaluateHand(const int32_t cards[5]) const {
  vx::THandEvaluation e;
  const int32_t orvanta = Has(vx::poOrvantaBonus) ? Data->OrvantaNumber : 0;
  vx::EvaluateCardsCode(GameInfo != nullptr ? GameInfo->HandCodes() : 0, cards, Has(vx::poDeucesWild), orvanta, e);
  if (!Has(vx::poOrvantaBonus)) e.ThreeOrvanta = e.FourOrvanta = false;
  return e;
}

int32_t TPoker::WinOf(const vx::THandEvaluation& e) const {
  if (e.Code == vx::hcNothing || GameInfo == nullptr) return 0;
  if (GameInfo->IndexOfHand(e.Key()) < 0) return 0;
  return vx::CheckedMul(Data->Bet, GameInfo->GetPay(e.Key()));
}

void TPoker::ApplyEvaluation(const vx::THandEvaluation& e) {
  MainRank = e.MainRank;
  SecondRank = e.SecondRank;
  Data->LastHandKey = e.Key();
  Data->ThreeOrvanta = e.ThreeOrvanta;
  Data->FourOrvanta = e.FourOrvanta;
  Data->UnpaidPairRank = e.UnpaidPairRank;
}

void TPoker::AutoHold(const vx::THandEvaluation& e, bool WithSound) {
  TVXCard* const* cards = PokerScene->Cards;
  const bool deuces = Has(vx::poDeucesWild);
  auto isWild = [&](const TVXCard* c) { return c->Rank() == vx::WildRank || (deuces && c->Rank() == 2); };
  auto hold = [&](int i) { cards[i]->SetHeld(true); };
  for (int i = 0; i < 5; ++i) cards[i]->SetHeld(isWild(cards[i]));
  auto holdRank = [&](int32_t rank) {
    for (int i = 0; i < 5; ++i)
      if (!isWild(cards[i]) && cards[i]->Rank() == rank) hold(i);
  };
  switch (e.Code) {
    // The made hand uses all five cards.
    case vx::hcFiveOfAKind: case vx::hcRoyalFlush: case vx::hcRoyalFlushN: case vx::hcStreetFlush:
    case vx::hcFullHouse: case vx::hcFlush: case vx::hcStreet:
      for (int i = 0; i < 5; ++i) hold(i);
      break;
    case vx::hcPoker: case vx::hcThreeOfAKind: case vx::hcHighPair: case vx::hc3XOrvanta:
    case vx::hcPoker2To10: case vx::hcPokerJQK: case vx::hcPokerAces:
      holdRank(e.MainRank);
      break;
    case vx::hcTwoPairs:
      holdRank(e.MainRank);
      holdRank(e.SecondRank);
      break;
    case vx::hcNothing: {
      std::array<int32_t, 5> suits{}, ranks{};
      for (int i = 0; i < 5; ++i) {
        suits[static_cast<size_t>(i)] = cards[i]->Suit();
        ranks[static_cast<size_t>(i)] = isWild(cards[i]) ? vx::WildRank : cards[i]->Rank();
      }
      std::sort(suits.begin(), suits.end());
      std::sort(ranks.begin(), ranks.end());
      if (suits[0] == suits[3] || suits[1] == suits[4]) {
        const int32_t suit = suits[1];
        for (int i = 0; i < 5; ++i)
          if (cards[i]->Suit() == suit) hold(i);
        break;
      }
      const int32_t* r = ranks.data();
      auto run = [&](int a, int b) {  // r[a..b] consecutive
        for (int k = a; k < b; ++k)
          if (r[k + 1] != r[k] + 1) return false;
        return true;
      };
      // One gap of one rank inside the four ranks r[a..a+3].
      auto oneGap = [&](int a) {
        const int32_t w0 = r[a], w1 = r[a + 1], w2 = r[a + 2], w3 = r[a + 3];
        return (w1 == w0 + 2 && w2 == w1 + 1 && w3 == w2 + 1) || (w1 == w0 + 1 && w2 == w1 + 2 && w3 == w2 + 1) ||
               (w1 == w0 + 1 && w2 == w1 + 1 && w3 == w2 + 2);
      };
      std::vector<int32_t> draw;
      if (run(0, 3)) {
        draw = {r[0], r[1], r[2], r[3]};
      } else if (run(1, 4)) {
        draw = {r[1], r[2], r[3], r[4]};
      } else if (r[2] == r[0] + 2 && run(2, 4)) {
        draw = {r[0], r[2], r[3], r[4]};
      } else if (r[1] == r[0] + 1 && r[4] == r[3] + 1 && r[3] == r[1] + 2) {
        draw = {r[0], r[1], r[3], r[4]};
      } else if (run(0, 2) && r[4] == r[2] + 2) {
        draw = {r[0], r[1], r[2], r[4]};
      } else if (oneGap(1)) {
        draw = {r[1], r[2], r[3], r[4]};
      } else if (oneGap(0)) {
        draw = {r[0], r[1], r[2], r[3]};
      } else if (r[0] == 1 && (r[2] == 10 || r[2] == 11) && r[3] != 10) {
        draw = {r[0], r[2], r[3], r[4]};
      }
      if (!draw.empty()) {
        bool used[5] = {};
        for (int32_t rank : draw) {
          for (int i = 0; i < 5; ++i) {
            const int32_t own = isWild(cards[i]) ? vx::WildRank : cards[i]->Rank();
            if (!used[i] && own == rank) {
              used[i] = true;
              hold(i);
              break;
            }
          }
        }
        break;
      }
      if (r[0] == r[1] || r[1] == r[2]) {
        holdRank(r[1]);
        break;
      }
      if (r[2] == r[3] || r[3] == r[4]) {
        holdRank(r[3]);
        break;
      }
      if (r[4] == vx::WildRank) {
        for (int i = 0; i < 5; ++i) {
          const int32_t rank = cards[i]->Rank();
          if (!isWild(cards[i]) && (rank >= 11 || rank == 1)) {
            hold(i);
            break;
          }
        }
      }
      break;
    }
    default:
      break;  // four deuces (and the joker): the wild cards alone
  }
  int held = 0;
  for (int p = 1; p <= 5; ++p) {
    HoldToggle(p, true);
    held += cards[p - 1]->Held() ? 1 : 0;
  }
  if (!WithSound) return;
  GamePlaySound("SND_AUTOHOLD");
  GameWait(100ull * static_cast<uint64_t>(held));
}

// --- The round ----------------------------------------------------------------------------

void TPoker::DealDraw() {
  if (!Round.Is(vx::rsIdle) && !Round.Is(vx::rsHolding) && !Round.Is(vx::rsFurtherDraw)) return;
  vx::TRoundState entry = vx::rsIdle;
  Round.Begin(&entry);
  switch (Data->Stage) {
    case vx::psNewRound: DealStage(); break;
    case vx::psAfterDeal: DrawStage(false); break;
    case vx::psAfterFirstDraw: FurtherStage(entry); break;
    case vx::psAfterLastDraw: Round.Resume(entry); break;
  }
}

void TPoker::DealStage() {
  if (!CanStartRound() || !TakeBet()) {
    Round.Resume(vx::rsIdle);
    return;
  }
  // The bet is gone before a card shows.
  Round.Commit();
  StopDemo();
  ResetForNewRound(true);
  PokerScene->ShowDealStage(1);
  if (PokerScene->ImgAdv != nullptr) PokerScene->ImgAdv->SetVisible(false);
  for (TVXCard* c : PokerScene->Cards) {
    c->SetVisible(true);
    c->SetHeld(false);
  }
  Deal(15, false, 0);
  TurnDown(true);
  if (CardEffects() && Context() != nullptr && Context()->MainWindow != nullptr) {
    // The cards slide in face down with their numbers already set, and turn up as they land.
    for (int i = 0; i < 5; ++i) PokerScene->Cards[i]->SetNumber(Data->Cards[static_cast<size_t>(i)]);
    Anims->AnimCards->Run();
    ++Anims->CardRuns;
  }
  if (!ShowCards(0, false)) return;
  const vx::THandEvaluation e = EvaluateShown();
  ApplyEvaluation(e);
  // The dealt hand's win is a preview: it shows, but only a draw pays.
  dealtWin_ = WinOf(e);
  vx::SetLabelValue(PokerScene->LblWinV, dealtWin_);
  if (Has(vx::poOrvantaBonus)) {
    shownThreeOrvanta_ = e.ThreeOrvanta;
    if (e.ThreeOrvanta) Data->AddOrvantaStat(Data->Bet, 1);
    PokerScene->ShowOrvantaStage(false, e.FourOrvanta, Data->GetOrvantaStat(Data->Bet));
  }
  Highlight(false, e.Key());
  AutoHold(e, true);
  PokerScene->SetMessage("HOLD AND DRAW CARDS");
  Data->SetStage(vx::psAfterDeal);
  Round.Wait(vx::rsHolding);
}

void TPoker::DrawStage(bool further) {
  if (Has(vx::poDrawCostsBet)) {
    const int32_t held = AnyHeldCount();
    if (dealtWin_ == 0 && held == 0) {
      // Nothing to keep and nothing paid: this round ends unseen and the next is dealt.
      Data->SetStage(vx::psNewRound);
      Round.Resume(vx::rsIdle);
      if (Has(vx::poOrvantaBonus) && shownThreeOrvanta_) Data->AddOrvantaStat(Data->Bet, -1);
      shownThreeOrvanta_ = false;
      DealDraw();
      return;
    }
    if (dealtWin_ > 0 && held == 0) {
      for (TVXCard* c : PokerScene->Cards) c->SetHeld(true);
    }
    if (AnyHeldCount() < 5 && !TakeBet()) {
      Round.Resume(vx::rsHolding);
      return;
    }
  }
  PokerScene->SetMessage("");
  // Every draw, a further one too, first takes back the trips of the hand on screen.
  if (Has(vx::poOrvantaBonus) && shownThreeOrvanta_) {
    Data->AddOrvantaStat(Data->Bet, -1);
    shownThreeOrvanta_ = false;
    PokerScene->ShowOrvantaStage(false, false, Data->GetOrvantaStat(Data->Bet));
  }
  PokerScene->PayoutList->ClearHighlight();
  // A further draw is taken instead of the first draw's win.
  Data->Money.LoseWin();
  Data->DecidedHand.clear();
  ShowWin();
  for (int p = 1; p <= 5; ++p) PokerScene->HoldLabels[p - 1]->SetVisible(false);
  // The replacements were dealt with the hand, so the holds decide the draw: its outcome
  // enters the ledger and is committed (with a bet this draw took) before a card turns.
  const TDrawOutcome o = DecideDraw(further ? 10 : 5);
  Round.Commit();
  if (!TurnDown(false)) return;
  if (!ShowCards(further ? 10 : 5, false)) return;
  ShowJackpotOption(o);
  if (!o.Paid()) {
    PokerScene->SetMessage("GAME OVER");
    PokerScene->ShowDealStage(0);
    EndRound();
    return;
  }
  ShowOrvantaPay(o);
  ShowWin();
  const vx::THandEvaluation& e = o.Eval;
  Highlight(true, e.Key());
  AutoHold(e, true);
  GameWait(1000);
  PokerScene->ShowDealStage(further ? 3 : 2);
  const vx::TPokerWinStep next = vx::PokerWinStep(further, Has(vx::poDoubleUp), Has(vx::poFurtherDraw));
  if (next.CollectOnly) {
    Data->StageFlags[5] = true;
  } else {
    Deal(10, true, 0);
    DoubleUp->Offer(vx::HandCodeOfKey(e.Key()), Has(vx::poJackpot));
    PokerScene->ShowDoubleUp(true);
    Data->SetStage(next.Stage);
    if (next.SubStage != vx::pssNone) Data->SetSubStage(next.SubStage);
    Data->DoubleUpOffered = next.OfferFlag;
  }
  Round.Wait(next.State);
  PokerScene->SetMessage("WIN");
}

void TPoker::FurtherStage(vx::TRoundState entry) {
  if (Data->DoubleUpOffered) {
    Round.Resume(entry);
    return;
  }
  if (Data->SubStage == vx::pssOffer) {
    PokerScene->SetMessage("");
    DoubleUp->SetActive(false);
    PokerScene->ShowDoubleUp(false);
    Data->SetSubStage(vx::pssFurtherDraw);
    PokerScene->SetMessage("HOLD AND DRAW CARDS");
    Round.Wait(vx::rsHolding);
    return;
  }
  DrawStage(true);
}

TPoker::TDrawOutcome TPoker::DecideDraw(int32_t slotOffset) {
  TPokerData& d = *Data;
  TDrawOutcome o;
  int32_t cards[5];
  for (int i = 0; i < 5; ++i)
    cards[i] = PokerScene->Cards[i]->Held() ? PokerScene->Cards[i]->Number()
                                            : d.Cards[static_cast<size_t>(i + slotOffset)];
  const vx::THandEvaluation& e = o.Eval = EvaluateHand(cards);
  ApplyEvaluation(e);
  dealtWin_ = WinOf(e);
  o.HandWin = dealtWin_;
  if (Has(vx::poJackpot)) {
    // The mini bonus: an unpaid pair feeds the bet's pool, which pays when full; half of it
    // then feeds the jackpot, within what the data keeps.
    if (e.Code == vx::hcNothing && e.UnpaidPairRank >= 1) {
      d.AddMiniBonus(d.Bet, d.Bet);
      o.PoolGrew = true;
      o.Pool = d.GetMiniBonus(d.Bet);
      o.PoolTarget = static_cast<int64_t>(d.Bet) * d.JackpotFactor;
      if (o.Pool >= o.PoolTarget) {
        d.AmericanJackpot = static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(d.AmericanJackpot) + o.Pool / 2, TPokerData::MaxJackpot));
        o.Mini = o.Pool;
        d.SetMiniBonus(d.Bet, d.Bet);
      }
    }
    // The jackpot: a paying hand of the table's first three rows. Refused (EOverflow) before
    // anything changes; pending until it has counted into the credit.
    const int32_t row = GameInfo != nullptr ? GameInfo->IndexOfHand(e.Key()) : -1;
    if (e.Code != vx::hcNothing && row >= 0 && row < 3 && o.HandWin > 0) {
      const int32_t jackpot = std::max(d.AmericanJackpot, 0);
      d.Money.CheckCreditRoom(jackpot);
      d.Money.PayPending(jackpot);
      o.JackpotWon = true;
      d.AmericanJackpot = 1;
    }
  }
  if (o.Paid() && Has(vx::poOrvantaBonus)) {
    if (e.ThreeOrvanta) d.AddOrvantaStat(d.Bet, 1);
    shownThreeOrvanta_ = e.ThreeOrvanta;
    o.OrvantaCount = d.GetOrvantaStat(d.Bet);
    d.OrvantaValue = vx::CheckedToInt32(static_cast<int64_t>(d.Bet) * d.OrvantaNumber * 100);
    if (e.FourOrvanta || o.OrvantaCount >= 10) o.OrvantaPay = d.OrvantaValue;
  }
  if (o.Paid()) d.Money.PayWin(vx::CheckedAdd(vx::CheckedAdd(o.HandWin, o.Mini), o.OrvantaPay));
  d.DecidedHand = e.Key();
  return o;
}

void TPoker::ShowJackpotOption(const TDrawOutcome& o) {
  TPokerData& d = *Data;
  if (o.PoolGrew) {
    GamePlaySound("SND_JACKPOTADD");
    PokerScene->ShowMiniBonus(o.Pool, o.PoolTarget, true);
    if (o.Mini > 0) {
      GamePlaySound("SND_WINJACKPOT");
      CountTransfer(PokerScene->LblMiniBonusV, PokerScene->LblWinV, -1);
      PokerScene->ShowMiniBonus(d.Bet, o.PoolTarget, false);
      PokerScene->ShowJackpot(d.AmericanJackpot);
    }
  }
  if (o.JackpotWon) {
    GamePlaySound("SND_WINJACKPOT");
    PokerScene->LblJackpotV->SetBlinking(true);
    GameWait(3000);
    PokerScene->LblJackpotV->SetBlinking(false);
    CountTransfer(PokerScene->LblJackpotV, PokerScene->LblCreditV, -1);
    d.Money.BookPending();
    PokerScene->ShowJackpot(d.AmericanJackpot);
    TVXGame::UpdateCredit();
  }
}

void TPoker::ShowOrvantaPay(const TDrawOutcome& o) {
  if (!Has(vx::poOrvantaBonus)) return;
  PokerScene->ShowOrvantaStage(true, o.Eval.FourOrvanta, o.OrvantaCount);
  if (o.OrvantaPay == 0) return;
  GamePlaySound("SND_WINJACKPOT");
  // The label counts into the win label; the pay is already in the win.
  CountTransfer(PokerScene->LblOrvantaV, PokerScene->LblWinV, -1);
  PokerScene->ShowOrvantaValue(Data->OrvantaValue);
}

void TPoker::CollectMoney() {
  // Refused before anything shows; moved after the count, when the credit may have grown
  // (credit can be bought meanwhile).
  Data->Money.CheckCreditRoom(Data->Money.Win());
  DoubleUp->SetActive(false);
  ShowWin();
  CountTransfer(PokerScene->LblWinV, PokerScene->LblCreditV, -1);
  Data->Money.CollectWin();
  ShowWin();
  TVXGame::UpdateCredit();
}

void TPoker::CollectWin() {
  if (!Data->CanCollect()) return;
  Round.Begin();
  // Collecting ends the double-up: the win counts into the credit on the round's view.
  PokerScene->ShowDoubleUp(false);
  CollectMoney();
  EndRound();
}

bool TPoker::CollectWinForFinish() {
  Round.Begin();
  CollectMoney();
  return false;
}

void TPoker::TakeHalf() {
  if (Round.Is(vx::rsBusy) || Has(vx::poJackpot) || !Data->CanTakeHalf()) return;
  if (!DoubleUp->Active || Data->Money.Win() <= 0) return;
  const int32_t shownWin = Data->Money.Win();
  // Refused (EOverflow) before anything changes; pending while it counts.
  const int32_t half = Data->Money.SetAsideHalf();
  Round.Begin();
  Data->DoubleUpOffered = true;
  DoubleUp->SetActive(false);
  // Counts only the half out of the win label.
  vx::SetLabelValue(PokerScene->LblWinV, shownWin);
  CountTransfer(PokerScene->LblWinV, PokerScene->LblCreditV, half);
  Data->Money.BookPending();
  ShowWin();
  TVXGame::UpdateCredit();
  if (Data->Money.Win() <= 0) {
    EndRound();
    return;
  }
  PokerScene->ShowDoubleUp(true);
  DoubleUp->SetActive(true);
  Round.Wait(vx::rsDoubleUp);
}

void TPoker::EndRound() {
  Data->SetStage(vx::psNewRound);
  Data->CountHand(Data->LastHandKey);
  Data->DecidedHand.clear();
  Data->LastHandKey = "HAND_NOTHING";
  Data->EndOrvantaRound();
  shownThreeOrvanta_ = false;
  DoubleUp->SetActive(false);
  DoubleUp->SetWaitingForDeal(false);
  // The double-up shows only while it runs; a lost card stays up until the attract mode
  // brings the hand back.
  if (!DoubleUp->Lost) PokerScene->ShowDoubleUp(false);
  Round.End();
  RefreshMeters(false);
  PokerScene->ShowDealStage(0);
  StartDemo();
}

void TPoker::SettleOnClose() {
  StopDemo();
  if (Anims != nullptr && Anims->AnimCards->Running) Anims->AnimCards->Finish();
  if (DoubleUp != nullptr) {
    DoubleUp->SetActive(false);
    DoubleUp->SetWaitingForDeal(false);
  }
  // A round cut short counts its hand as it stands, and a decided one ends its Orvanta bonus
  // as its end would.
  if (Round.InRound() && Data->Stage != vx::psNewRound) Data->CountHand(Data->LastHandKey);
  if (Round.InRound() && !Data->DecidedHand.empty()) Data->EndOrvantaRound();
  Data->DecidedHand.clear();
  Data->SetStage(vx::psNewRound);
  TVXGame::SettleOnClose();
}
