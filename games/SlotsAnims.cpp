#include "games/SlotsAnims.h"

#include "framework/VXWidgets.h"
#include "games/Slots.h"
#include "games/SlotsScene.h"
#include "games/VXReel.h"

// --- TAnimSlotResults ----------------------------------------------------------------------

TAnimSlotResults::TAnimSlotResults(TSlots* game) : TVXAnim(game->Context()), Game(game) { Blocking = false; }

bool TAnimSlotResults::MarkCountWins() {
  TSlotsScene* s = Game->SlotsScene;
  bool any = false;
  for (int32_t n = 1; n <= Game->CellCount(); ++n) any = any || Game->Cell(n)->CountWinMark != 0;
  // The message changes only when there is something to show.
  if (!any) return false;
  s->SetMessage("WIN");
  Game->ClearHighlights();
  s->LblMessage->SetBlinking(true);
  for (int32_t n = 1; n <= Game->CellCount(); ++n)
    if (Game->Cell(n)->CountWinMark != 0) s->ReelBox(n)->StartEffect(ueEffect2);
  return true;
}

bool TAnimSlotResults::MarkLines() {
  bool any = false;
  for (const TSlotLine& line : Game->Lines) any = any || line.HandKey != "HAND_NOTHING";
  if (!any) return false;
  Game->SlotsScene->SetMessage("WIN");
  Game->ClearHighlights();
  for (const TSlotLine& line : Game->Lines)
    if (line.HandKey != "HAND_NOTHING")
      for (TVXLine* marker : line.Markers) marker->SetVisible(true);
  return true;
}

void TAnimSlotResults::Step() {
  if (Game == nullptr || Game->SlotsScene == nullptr) return;
  switch (StepNo) {
    case 1: StepNo = 3; break;
    case 2: case 4: case 6: NextStepAfter(PauseFrames); break;
    case 3: StepNo = MarkCountWins() ? 4 : 5; break;
    case 5: StepNo = MarkLines() ? 6 : 1; break;
    default: StepNo = 1; break;
  }
}

// --- TSlotsDemo ----------------------------------------------------------------------------

TSlotsDemo::TSlotsDemo(TSlots* game) : TVXAnim(game->Context()), Game(game) { Blocking = false; }

void TSlotsDemo::SpinWith(vx::slots::TForcedSymbol forced) {
  Game->ResetReels();
  Game->DrawStrips(vx::slots::smNormal, forced);
  Game->StartReels();
  spinning_ = true;
}

void TSlotsDemo::Step() {
  // Only between rounds; a spin of the player's takes the reels over.
  if (Game == nullptr || Game->SlotsScene == nullptr || !Game->Round.Is(vx::rsIdle)) return;
  if (spinning_) {
    if (!Game->ReelsStill()) return;
    spinning_ = false;
  }
  TSlotsScene* s = Game->SlotsScene;
  switch (StepNo) {
    case 1:
      // The length is fixed when the pause starts.
      if (FrameCounter == 0) pauseFrames_ = Game->Data->Money.Credit() > 0 ? 2000 : 300;
      NextStepAfter(pauseFrames_);
      break;
    case 2:
      // The last round's message gives way to the machine's own.
      s->SetMessage("PRESS DEAL TO START");
      s->LblInfo->SetText("D E M O");
      s->LblInfo->SetBlinking(true);
      StepNo = 3;
      SpinWith(vx::slots::fsCherry);
      break;
    case 3: case 5: NextStepAfter(300); break;
    case 4: StepNo = 5; SpinWith(vx::slots::fsTripleSeven); break;
    case 6: StepNo = 7; SpinWith(vx::slots::fsBar1); break;
    default: StepNo = 1; break;
  }
}

void TSlotsDemo::Finish() {
  const bool wasRunning = Running;
  TVXAnim::Finish();
  spinning_ = false;
  if (!wasRunning || Game == nullptr || Game->SlotsScene == nullptr) return;
  Game->SlotsScene->LblInfo->SetText("");
  Game->SlotsScene->LblInfo->SetBlinking(false);
  for (TVXReel* reel : Game->SlotsScene->Reels) reel->Reset();
}
