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

TPoker::TPoker(TGameInfo* info, TVXContext* context, TVXGameHost* host) : TVXGame(info, context, host) {
  Data = std::make_unique<TPokerData>();
  Variant = vx::FindPokerVariant(info != nullptr ? info->ID : 0);
  if (Variant == nullptr) {
    Log("ERROR: NO VIDEO POKER ROW FOR GAME " + std::to_string(info != nullptr ? info->ID : 0) +
        ", PLAYING IT AS GAME 10");
    Variant = vx::FindPokerVariant(10);
  }
  Options = Variant->Options;
  CardSet = Variant->CardSet;
  Data->BetListEnabled = Variant->BetListEnabled();
  if (Data->BetListEnabled) {
    Data->SetBetList(Variant->BetList);
  } else {
    Data->MinBet = Variant->MinBet;
    Data->MaxBet = Variant->MaxBet;
    Data->BetStep = Variant->BetStep;
  }
  Data->DoubleUpKind = Variant->DoubleUpKind;
  Data->DoubleUpLimit = Variant->DoubleUpLimit;

  auto* scene = new TPokerScene(nullptr, Variant->Theme, info, Options, context);
  scene->Columns = Variant->Columns;
  scene->SetCardSet(CardSet);
  SetScene(scene);

  DoubleUp = std::make_unique<TVXDoubleUp>(this, scene, Data.get());
  Anims = std::make_unique<TPokerAnims>(scene);

  for (int i = 0; i < 5; ++i) {
    const int32_t position = i + 1;
    scene->HoldButtons[i]->OnClick = [this, position](TVXComponent*) { CardClick(position); };
    scene->Cards[i]->OnClick = [this, position](TVXComponent*) { CardClick(position); };
  }
  scene->BtnDeal->OnClick = [this](TVXComponent*) { DealClick(); };
  scene->BtnBet->OnClick = [this](TVXComponent*) { BetClick(); };
  scene->BtnCashAll->OnClick = [this](TVXComponent*) { CashClick(); };
  scene->OnKeyDown = [this](TVXComponent*, uint16_t& key, TShiftState) { KeyDown(key); };

  scene->PayoutList->Fill(Data->BetList, Data->Bet);
  ResetForNewRound(true);
  Data->SetStage(vx::psNewRound);
  UpdateCredit();
  RefreshMeters(false);
  Demo = std::make_unique<TPokerDemo>(this);
}

void TPoker::LoadData() {
  if (const TVXSetting* settings = Settings(); settings != nullptr && GameInfo != nullptr)
    Data->FileName = settings->CasinosFolder + CasinoName() + "\\" + GameInfo->IDStr + ".dat";
  Data->Load();
  RefreshMeters(false);
}

TPoker::~TPoker() {
  // The animations go first: they point into the screen.
  Demo.reset();
  Anims.reset();
  DoubleUp.reset();
}

void TPoker::SetScene(TVXGameScene* scene) {
  TVXGame::SetScene(scene);
  PokerScene = dynamic_cast<TPokerScene*>(scene);
}

TVXGameData* TPoker::GetGameData() { return Data.get(); }

bool TPoker::CardEffects() const {
  const TVXSetting* settings = Settings();
  return settings != nullptr && settings->optCardEffects;
}

void TPoker::Recover(const std::exception& e) {
  TVXGame::Recover(e);
  DoubleUp->SetActive(false);
  DoubleUp->SetWaitingForDeal(false);
  Data->SetStage(vx::psNewRound);
  Round.End();
  ShowWin();
  UpdateCredit();
  StartDemo();
}

// --- Screen pieces ------------------------------------------------------------------------

void TPoker::Highlight(bool final, const std::string& key) {
  PokerScene->PayoutList->Highlight(final, key, Data->Bet, Data->BetList, Data->FourOrvanta);
}

void TPoker::ResetForNewRound(bool round) {
  for (int p = 1; p <= 5; ++p) PokerScene->HoldLabels[p - 1]->SetVisible(false);
  PokerScene->SetMessage("ORVANTA CARDS");
  Data->LastHandKey = "HAND_NOTHING";
  if (round) {
    Data->Money.LoseWin();  // nothing is in play when a round starts
    Data->ThreeOrvanta = Data->FourOrvanta = false;
    Data->UnpaidPairRank = 0;
    shownThreeOrvanta_ = false;
    dealtWin_ = 0;
  }
  vx::SetLabelValue(PokerScene->LblWinV, 0);
  PokerScene->PayoutList->ClearHighlight();
  Data->DoubleUpOffered = false;
  PokerScene->ShowDoubleUp(false);
}

void TPoker::RefreshMeters(bool animate) {
  if (Has(vx::poOrvantaBonus)) {
    Data->OrvantaValue = vx::CheckedToInt32(static_cast<int64_t>(Data->Bet) * Data->OrvantaNumber * 100);
    PokerScene->ShowOrvantaNumber(Data->OrvantaNumber);
    PokerScene->ShowOrvantaValue(Data->OrvantaValue);
    PokerScene->ShowOrvantaStage(animate, false, Data->GetOrvantaStat(Data->Bet));
  }
  if (Has(vx::poJackpot)) {
    PokerScene->ShowMiniBonus(Data->GetMiniBonus(Data->Bet), static_cast<int64_t>(Data->Bet) * Data->JackpotFactor,
                              animate);
    PokerScene->ShowJackpot(Data->AmericanJackpot);
  }
}

void TPoker::UpdateCredit() {
  TVXGame::UpdateCredit();
  ChangeBet(true);
  // The bet may have moved: the blink follows the bet now in force.
  TVXGame::UpdateCredit();
}
