#include "games/PokerAnims.h"

#include <algorithm>

#include "framework/VXWidgets.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

// --- TAnimCards ---------------------------------------------------------------------------

TAnimCards::TAnimCards(TPokerScene* screen) : TVXAnim(screen->Context()), Screen(screen) { Blocking = true; }

void TAnimCards::Start() {
  TVXAnim::Start();
  for (int i = 0; i < 5; ++i) {
    TVXCard* card = Screen->Cards[i];
    // Held cards stay where they are: their place is their target, so the run always ends.
    Targets[static_cast<size_t>(i)] = card->Left();
    if (!card->Held()) card->SetLeft(0);
  }
}

void TAnimCards::Step() {
  bool all = true;
  for (int i = 0; i < 5; ++i) {
    TVXCard* card = Screen->Cards[i];
    const int32_t target = Targets[static_cast<size_t>(i)];
    if (card->Left() < target) card->SetLeft(std::min(target, card->Left() + Speed));
    if (card->Left() >= target) {
      if (card->Left() > target) card->SetLeft(target);
      if (card->FaceDown()) {
        card->SetFaceDown(false);
        card->UpdateImage();
      }
    } else {
      all = false;
    }
  }
  if (all) Finish();
}

// --- TPokerAnims --------------------------------------------------------------------------

TPokerAnims::TPokerAnims(TPokerScene* screen)
    : AnimCards(std::make_unique<TAnimCards>(screen)),
      AnimPayoutList(std::make_unique<TAnimPayoutList>(screen->Context())),
      AnimDoubleUp(std::make_unique<TAnimDoubleUp>(screen->Context())) {
  Names = {"CARDS", "PAYOUTLIST", "DOUBLEUP"};
  Enabled = true;
}

TPokerAnims::~TPokerAnims() {
  AnimDoubleUp.reset();
  AnimPayoutList.reset();
  AnimCards.reset();
}
