// The attract mode of a poker machine.
#include <string>

#include "framework/VXWidgets.h"
#include "games/Cards.h"
#include "games/Poker.h"
#include "games/PokerAnims.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

void TPoker::StartAttract() { StartDemo(); }

void TPoker::StartDemo() {
  if (Demo != nullptr && !Demo->Running) Demo->Run();
}

void TPoker::StopDemo() {
  if (Demo != nullptr && Demo->Running) Demo->Finish();
}

// --- TPokerDemo ---------------------------------------------------------------------------

TPokerDemo::TPokerDemo(TPoker* game) : TVXAnim(game->Context()), Game(game) { Blocking = false; }

void TPokerDemo::JokerAt(int32_t position) {
  TPokerScene* s = Game->PokerScene;
  for (int i = 0; i < 5; ++i) {
    TVXCard* card = s->Cards[i];
    if (i + 1 == position) {
      card->SetNumber(vx::FirstJoker);
      card->SetFaceDown(false);
    } else if (!card->FaceDown()) {
      card->SetFaceDown(true);
    }
    card->UpdateImage();
  }
}

void TPokerDemo::Advertisement(const std::string& picture) {
  TPokerScene* s = Game->PokerScene;
  Game->ClearHolds();
  for (TVXCard* c : s->Cards) c->SetVisible(false);
  Game->ResetForNewRound(false);
  s->ImgSeries->NextFrame();
  s->ImgAdv->TextureInfo.SetNameAndNotify(picture);
  s->ImgAdv->SetVisible(true);
  ++StepNo;
}

void TPokerDemo::Step() {
  // The script only runs between rounds.
  if (Game == nullptr || Game->Round.InRound()) return;
  TPokerScene* s = Game->PokerScene;
  TPokerData& d = *Game->Data;
  auto stillRunning = [&] { return Running && !Game->Round.InRound(); };
  switch (StepNo) {
    case 1: case 5: case 7: case 9: case 11: case 13: case 15: case 17: case 19: case 21: case 23:
      NextStepAfter(100);
      break;
    case 3: case 29: case 33:
      NextStepAfter(50);
      break;
    case 25:
      NextStepAfter(400);
      break;
    case 27:
      NextStepAfter(400);
      if (StepNo == 28 && d.Money.Credit() > 0) StepNo = 1;
      break;
    case 31: case 35:
      NextStepAfter(300);
      break;
    case 2:
      s->PayoutList->ClearHighlight();
      s->PayoutList->Highlight(false, "HAND_NOTHING", d.Bet, d.BetList, false);
      Game->ChangeBet(true);
      ++StepNo;
      break;
    case 4:
      // The round's view comes back first: a double-up that just ended may still show.
      s->ShowDoubleUp(false);
      s->ImgAdv->SetVisible(false);
      for (TVXCard* c : s->Cards) c->SetVisible(true);
      // The HELD plates go with the holds.
      Game->ClearHolds();
      s->SetMessage(static_cast<int64_t>(d.Money.Credit()) >= d.Bet ? "PRESS DEAL TO START" : "INSERT COIN");
      ++StepNo;
      break;
    case 6: case 22: JokerAt(1); ++StepNo; break;
    case 8: case 20: JokerAt(2); ++StepNo; break;
    case 10: case 18: JokerAt(3); ++StepNo; break;
    case 12: case 16: JokerAt(4); ++StepNo; break;
    case 14: JokerAt(5); ++StepNo; break;
    // The picture names carry no extension: the texture name adds ".bmp".
    case 24: Advertisement("img_adv_2"); break;
    case 26: Advertisement("img_adv_3"); break;
    case 28: case 32:
      Game->ClearHolds();
      Game->ResetForNewRound(false);
      Game->TurnDown(true);
      ++StepNo;
      break;
    case 30: case 34: {
      const int32_t hand = StepNo == 30 ? 1 : 2;
      Game->ResetForNewRound(false);
      s->ImgAdv->SetVisible(false);
      for (TVXCard* c : s->Cards) c->SetVisible(true);
      Game->ClearHolds();
      Game->Deal(15, false, hand);
      // Nothing here touches a meter, a pool, the jackpot, the pending win or the tally.
      if (!Game->ShowCards(0, false, this) || !stillRunning()) return;
      const vx::THandEvaluation e = Game->EvaluateShown();
      vx::SetLabelValue(s->LblWinV, Game->WinOf(e));
      s->PayoutList->Highlight(true, e.Key(), d.Bet, d.BetList, false);
      if (!stillRunning()) return;
      Game->AutoHold(e, false);
      ++StepNo;
      break;
    }
    default:
      StepNo = 1;
      break;
  }
}
