// The player's buttons and keys at a poker machine.
#include "games/Poker.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "framework/VXApplication.h"
#include "framework/VXDebug.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/Cards.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/PokerAnims.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

namespace {

constexpr uint16_t kKeyA = 65, kKeyB = 66, kKeyC = 67, kKeyH = 72, kKeyJ = 74, kKeyM = 77, kKeyN = 78,
                   kKeyV = 86, kKeyX = 88, kKeyZ = 90;

}  // namespace

// --- Buttons ------------------------------------------------------------------------------

void TPoker::DealClick() {
  Guarded([this] {
    if (Round.Is(vx::rsDoubleUp) && Data->DoubleUpKind == vx::dkBeatTheDealer && DoubleUp->WaitingForDeal) {
      DoubleUp->DealDealer();
      return;
    }
    DealDraw();
  });
}

void TPoker::BetClick() {
  GamePlaySound("SND_BET");
  ChangeBet(false);
}

void TPoker::ChangeBet(bool RefreshOnly) {
  if (Round.InRound()) return;
  TPokerData& d = *Data;
  const uint32_t credit = d.Money.Credit();
  int64_t wanted = 0;
  if (RefreshOnly) {
    wanted = (d.Bet != 0 && d.Bet >= d.MinBet) ? d.Bet : d.MinBet;
  } else if (d.BetListEnabled) {
    const auto it = std::find(d.BetList.begin() + 1, d.BetList.end(), d.Bet);
    // A bet that is not on the list (one cut to the credit) starts the list again.
    if (it == d.BetList.end() || it + 1 == d.BetList.end())
      wanted = d.BetList.size() > 1 ? d.BetList[1] : d.MinBet;
    else
      wanted = *(it + 1);
  } else {
    wanted = static_cast<int64_t>(d.Bet) + d.BetStep;
  }
  int64_t bet = wanted;
  if (static_cast<int64_t>(credit) < wanted) {
    bet = d.MinBet;
    if (d.MinBet > static_cast<int64_t>(credit)) bet = credit;
  }
  if (bet > d.MaxBet) bet = d.MinBet;
  if (credit == 0) bet = 1;
  d.Bet = static_cast<int32_t>(bet);
  if (PokerScene == nullptr) return;
  vx::SetLabelValue(PokerScene->LblBetV, d.Bet);
  if (PokerScene->PayoutList->IsCompact())
    PokerScene->PayoutList->MarkBetColumn(d.BetList, d.Bet);
  else
    PokerScene->PayoutList->Fill(d.BetList, d.Bet);
  RefreshMeters(false);
}

void TPoker::CardClick(int32_t position) {
  if (position < 1 || position > 5) return;
  Guarded([this, position] {
    if (Round.Is(vx::rsHolding)) {
      HoldToggle(position, false);
      return;
    }
    if (!Round.Is(vx::rsFurtherDraw) && !Round.Is(vx::rsDoubleUp)) return;
    if (Data->DoubleUpKind == vx::dkBeatTheDealer) {
      if (position >= 2) DoubleUp->PickCard(position);
      return;
    }
    switch (position) {
      case 2: DoubleUp->Choose(0); break;
      case 3:
        if (DeveloperMode()) DoubleUp->Choose(DoubleUp->WinningChoice());
        break;
      case 4: DoubleUp->Choose(1); break;
      case 5: TakeHalf(); break;
      default: break;
    }
  });
}

void TPoker::CashClick() {
  if (Round.Is(vx::rsBusy)) return;
  if (Round.Is(vx::rsDoubleUp) && Data->DoubleUpKind == vx::dkBeatTheDealer && DoubleUp->Active) return;
  Guarded([this] {
    if (Data->CanCollect()) {
      CollectWin();
    } else if (Data->CanClearHolds()) {
      ClearHolds();
    }
  });
}

void TPoker::KeyDown(uint16_t& key) {
  switch (key) {
    case kKeyZ: key = 0; CardClick(1); return;
    case kKeyX: key = 0; CardClick(2); return;
    case kKeyC: key = 0; CardClick(3); return;
    case kKeyV: key = 0; CardClick(4); return;
    case kKeyB: key = 0; CardClick(5); return;
    case kKeyM: key = 0; DealClick(); return;
    case kKeyN: key = 0; CashClick(); return;
    case kKeyA: key = 0; BetClick(); return;
    default: break;
  }
  if (!DeveloperMode() || PokerScene == nullptr) return;
  if (key == kKeyH) {
    key = 0;
    PokerScene->ShowDoubleUp(!PokerScene->DoubleUpShown());
  } else if (key == kKeyJ) {
    key = 0;
    for (int i = 0; i < 5; ++i)
      Log("CardIndex " + std::to_string(i + 1) + " " + std::to_string(PokerScene->Cards[i]->Number()));
  }
}

void TPoker::HoldToggle(int32_t position, bool RefreshOnly) {
  if (position < 1 || position > 5 || PokerScene == nullptr) return;
  TVXCard* card = PokerScene->Cards[position - 1];
  if (!RefreshOnly) {
    GamePlaySound("SND_HOLD");
    card->SetHeld(!card->Held());
  }
  PokerScene->HoldLabels[position - 1]->SetVisible(card->Held());
}

void TPoker::ClearHolds() {
  for (int p = 1; p <= 5; ++p) {
    PokerScene->Cards[p - 1]->SetHeld(false);
    HoldToggle(p, true);
  }
}

int32_t TPoker::AnyHeldCount() const {
  int32_t n = 0;
  for (const TVXCard* c : PokerScene->Cards) n += c->Held() ? 1 : 0;
  return n;
}
