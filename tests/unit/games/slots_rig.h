#pragma once
// The video-poker stand-in window driving a slot machine: each frame also runs one frame of
// every reel cell's motion (what drawing the screen does in the program), cells are sized as
// the themes size them, and strips can be scripted through the injected generator.
#include <functional>
#include <memory>
#include <vector>

#include "games/Slots.h"
#include "games/SlotsAnims.h"
#include "games/SlotsScene.h"
#include "games/VXReel.h"
#include "poker_rig.h"

namespace slotstest {

class SlotsRig : public pokertest::Rig {
public:
  SlotsRig() {
    pokertest::Rig::OnFrame = [this] {
      if (Slots && DrawScene) {
        Slots->SlotsScene->Process();
      } else if (Slots) {
        // A hidden reel window is not drawn, so its cells stand still, as in the program.
        if (Slots->SlotsScene->PnlReels->Visible())
          for (TVXReel* r : Slots->SlotsScene->Reels) r->StepMotion();
      }
      if (OnFrame) OnFrame();
    };
  }
  ~SlotsRig() override { Slots.reset(); }

  std::function<void()> OnFrame;
  std::unique_ptr<TSlots> Slots;
  // Each frame processes the whole screen (on whatever device the host gives), as the
  // program's frame does, instead of running the cells' motion alone.
  bool DrawScene = false;

  // The game as the lobby brings it up: built, its data loaded, its opening credit taken,
  // its attract mode started.
  TSlots& StartSlots(int32_t id) {
    Slots = std::make_unique<TSlots>(Catalogue.FindGameByID(id), &Context, this);
    Size(*Slots);
    Slots->LoadData();
    Slots->TakeOpeningCredit();
    Slots->StartAttract();
    return *Slots;
  }
  // The cells as the themes place them: 110 x 140, symbols 80 high.
  static void Size(TSlots& g) {
    int32_t n = 0;
    for (TVXReel* r : g.SlotsScene->Reels) {
      r->SetBounds(100 + (n % 5) * 116, 84 + (n / 5) * 140, 110, 140);
      r->SetSymbolHeight(80);
      r->Reset();
      ++n;
    }
  }
  TSlotsScene& Screen() { return *Slots->SlotsScene; }
  uint64_t SlotsMoney() { return Slots->TotalMoney(); }
  void Press(TVXCustomControl* c) { Click(c); }

  // The next spin shows `middle` (one symbol id per cell): the reset's strips and then each
  // cell's strip with the wanted symbol first (a full run of a 140-pixel cell rests on it).
  void ScriptSpin(const std::vector<int32_t>& middle, bool withReset = true) {
    if (withReset)
      for (size_t c = 0; c < middle.size(); ++c)
        for (int e = 0; e < 10; ++e) Rng->Queue.push_back(middle[c] - 1);
    for (int32_t id : middle)
      for (int e = 0; e < 10; ++e) Rng->Queue.push_back(id - 1);
  }
};

}  // namespace slotstest
