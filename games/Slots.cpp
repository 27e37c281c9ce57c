#include "games/Slots.h"

#include <algorithm>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/Random.h"
#include "framework/VXContext.h"
#include "framework/VXApplication.h"
#include "framework/VXDebug.h"
#include "framework/VXHost.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/SlotsAnims.h"
#include "games/SlotsScene.h"
#include "games/VXCard.h"
#include "games/VXReel.h"

using namespace vx::slots;

namespace {

constexpr uint16_t kKey1 = 49, kKeyB = 66, kKeyC = 67, kKeyE = 69, kKeyM = 77, kKeyV = 86, kKeyX = 88, kKeyZ = 90;
// A spin takes about 120 frames; a cell still running long after that is not being drawn.
constexpr int kMaxReelFrames = 3000;

std::string Nothing() { return "HAND_NOTHING"; }

}  // namespace

TSlotCounters SlotCountersOf(const TSlotsData& d) {
  TSlotCounters c;
  c.CherryStage = d.CherryStage;
  c.CherryStageReset = d.CherryStageReset;
  c.BellStage = d.BellStage;
  c.BellStageReset = d.BellStageReset;
  c.BellBonusValue = d.BellBonusValue;
  c.BellBonusCap = d.BellBonusCap;
  c.PoolSymbol = d.PoolSymbol;
  c.Pools = {d.Pool1, d.Pool2, d.Pool3};
  c.PoolCaps = {d.Pool1Cap, d.Pool2Cap, d.Pool3Cap};
  return c;
}

namespace {

// The values a judgement moves (the stages, the bell value, the pools).
void SetCounters(TSlotsData& d, const TSlotCounters& c) {
  d.CherryStage = c.CherryStage;
  d.BellStage = c.BellStage;
  d.BellBonusValue = c.BellBonusValue;
  d.Pool1 = c.Pools[plRow];
  d.Pool2 = c.Pools[plDiamond];
  d.Pool3 = c.Pools[plCross];
}

}  // namespace

TSlots::TSlots(TGameInfo* info, TVXContext* context, TVXGameHost* host) : TVXGame(info, context, host) {
  Data = std::make_unique<TSlotsData>();
  Data->BetListEnabled = false;
  Data->MinBet = 5;
  Data->MaxBet = 98;
  Data->BetStep = 1;
  Data->DoubleUpKind = 0;
  Data->DoubleUpLimit = 10;

  Machine = FindSlotMachine(info != nullptr ? info->ID : 0);
  if (Machine == nullptr) {
    Log("ERROR: NO SLOT MACHINE FOR GAME " + std::to_string(info != nullptr ? info->ID : 0) + ", BUILT AS GAME 31");
    Machine = FindSlotMachine(31);
  }
  Kind = Machine->Kind;
  Features = Machine->Features;
  ReelClasses = Machine->ReelClasses;
  Rule = std::make_unique<TSlotRule>(*Machine);

  auto* scene = new TSlotsScene(nullptr, Features, context);
  SetScene(scene);
  scene->SetCardSet("CardSet1");
  if (info != nullptr && Machine->GameID == info->ID) scene->ImgAdv->TextureInfo.SetName(TSlotsScene::TitlePlateName(info->IDStr));
  DoubleUp = std::make_unique<TVXDoubleUp>(this, scene, Data.get());

  for (const TGroupDef& def : GroupDefs()) {
    auto g = std::make_unique<TVXReelItemGroupInfo>();
    g->Category = def.Category;
    g->GroupName = def.Name;
    g->GroupLinePay = def.LinePay;
    g->GroupCountPay = def.CountPay;
    Groups.push_back(std::move(g));
  }
  const bool cards = InSet(ReelClasses, scCard);
  for (int32_t n = 1; n <= kSymbolCount; ++n) {
    // Kept by the game outside the screen's tree, so they are given the program's context.
    auto s = std::make_unique<TVXReelItemInfo>(nullptr);
    s->SetContext(context);
    s->SetName("REELITEMINFO_" + std::to_string(n));
    s->Assign(SymbolDef(n, cards));
    scene->Symbols.push_back(s.get());
    Symbols.push_back(std::move(s));
  }
  StripLength = kStripLength;

  const std::vector<TLineDef>& defs = LinesOf(Kind);
  for (size_t i = 0; i < defs.size(); ++i) {
    TSlotLine line;
    line.Cells = defs[i].Cells;
    line.Direction = defs[i].Direction;
    for (int32_t m : defs[i].Markers)
      if (TVXLine* marker = scene->Marker(m)) line.Markers.push_back(marker);
    if (i < scene->LineBets.size()) line.Label = scene->LineBets[i];
    Lines.push_back(std::move(line));
  }

  scene->BtnSpin->OnClick = [this](TVXComponent*) { Spin(); };
  scene->BtnBet1->OnClick = [this](TVXComponent*) {
    if (Round.Is(vx::rsIdle)) BetPress(1);
  };
  scene->BtnBet2->OnClick = [this](TVXComponent*) {
    if (Round.Is(vx::rsIdle)) BetPress(2);
  };
  for (TVXButton* hold : scene->HoldButtons) {
    const int32_t column = hold->Tag;
    hold->OnClick = [this, column](TVXComponent*) { HoldPress(column); };
  }
  scene->BtnCashAll->OnClick = [this](TVXComponent*) { CashPress(); };
  for (size_t i = 0; i < scene->LineBets.size(); ++i) {
    const int32_t line = static_cast<int32_t>(i) + 1;
    scene->LineBets[i]->OnMouseEnter = [this, line](TVXComponent*) {
      if (Round.Is(vx::rsIdle)) ShowLine(line);
    };
  }
  scene->OnKeyDown = [this](TVXComponent*, uint16_t& key, TShiftState) { KeyDown(key); };

  RefreshCounters();
  scene->LblBonusSpinCount->SetVisible(false);
  ResetReels();
  scene->SetMessage("PRESS DEAL TO START");
  Results = std::make_unique<TAnimSlotResults>(this);
  Demo = std::make_unique<TSlotsDemo>(this);
  const int presses = Kind == mk1x3 ? 1 : 8;
  for (int i = 0; i < presses; ++i) BetPress(1);
  for (int i = 0; i < presses; ++i) BetPress(2);
  UpdateCredit();
}

void TSlots::LoadData() {
  if (const TVXSetting* settings = Settings(); settings != nullptr && GameInfo != nullptr)
    Data->FileName = settings->CasinosFolder + CasinoName() + "\\" + GameInfo->IDStr + ".dat";
  // The slot data publishes nothing: loading keeps every slot value as it starts.
  Data->Load();
}

void TSlots::TakeOpeningCredit() {
  // Three times, whatever the bank holds: a bank short of 100 hears it from the dialog.
  for (int i = 0; i < 3; ++i) OpenCreditForm(false);
}

void TSlots::StartAttract() { StartDemo(); }

TSlots::~TSlots() {
  // The animations and the screen point at the symbols: they go first.
  Demo.reset();
  Results.reset();
  DoubleUp.reset();
  delete Scene;
  Scene = nullptr;
  SlotsScene = nullptr;
}

void TSlots::SetScene(TVXGameScene* scene) {
  TVXGame::SetScene(scene);
  SlotsScene = dynamic_cast<TSlotsScene*>(scene);
}

TVXReelItemGroupInfo* TSlots::GroupByClass(uint8_t category) const {
  for (const auto& g : Groups)
    if (g->Category == category) return g.get();
  return nullptr;
}

TVXReelItemInfo* TSlots::SymbolById(int32_t id) const {
  for (const auto& s : Symbols)
    if (s->Id == id) return s.get();
  return nullptr;
}

int32_t TSlots::CellCount() const { return SlotsScene != nullptr ? static_cast<int32_t>(SlotsScene->Reels.size()) : 0; }

TVXReel* TSlots::Cell(int32_t n) const { return SlotsScene != nullptr ? SlotsScene->Reel(n) : nullptr; }

int32_t TSlots::CellId(int32_t n) const {
  const TVXReel* reel = Cell(n);
  const TVXReelItemInfo* s = reel != nullptr ? reel->CurrentSymbol() : nullptr;
  return s != nullptr ? s->Id : 0;
}

std::vector<int32_t> TSlots::Grid() const {
  std::vector<int32_t> grid;
  for (int32_t n = 1; n <= CellCount(); ++n) grid.push_back(CellId(n));
  return grid;
}

void TSlots::Recover(const std::exception& e) {
  TVXGame::Recover(e);
  inDoubleUp_ = false;
  Data->ClearBonuses();
  Data->FreeGamesLeft = 0;
  if (DoubleUp != nullptr) DoubleUp->SetActive(false);
  for (int32_t n = 1; n <= CellCount(); ++n) Cell(n)->Settle();
  Round.End();
  ShowWin();
  UpdateCredit();
}

void TSlots::Pause(uint64_t ms) { GameWait(ms); }

// --- Bets ----------------------------------------------------------------------------------

void TSlots::BetPress(int side) {
  // Between rounds only: the bet taken for a round is the bet its free games pay on.
  if (!Round.Is(vx::rsIdle) || (side != 1 && side != 2)) return;
  int32_t& mine = side == 1 ? Data->Bet1Coins : Data->Bet2Coins;
  int32_t& other = side == 1 ? Data->Bet2Coins : Data->Bet1Coins;
  if (mine >= Data->MaxBet) return;
  if (Data->BetsTouched == 0) {
    Data->BetsTouched = 1;
    mine = 1;
    other = 0;
  } else {
    mine = vx::CheckedAdd(mine, 1);
  }
  DealCoins();
  RefreshBets();
  UpdateCredit();
  if (Data->GetBet() == 2 * Data->MaxBet) Spin();
}

void TSlots::DealCoins() {
  const std::vector<int32_t> coins = DealLineCoins(Kind, Data->Bet1Coins, Data->Bet2Coins);
  for (size_t i = 0; i < Lines.size(); ++i) Lines[i].Coins = i < coins.size() ? coins[i] : 0;
}

void TSlots::RefreshBets() {
  if (SlotsScene == nullptr) return;
  vx::SetLabelValue(SlotsScene->LblBet1V, Data->Bet1Coins);
  vx::SetLabelValue(SlotsScene->LblBet2V, Data->Bet2Coins);
  for (TSlotLine& line : Lines) vx::SetLabelValue(line.Label, line.Coins);
}

void TSlots::RefreshCounters() {
  TSlotsScene* s = SlotsScene;
  if (s == nullptr) return;
  // Labels of features a machine lacks do not exist there.
  vx::SetLabelValue(s->LblCherryBonusStage, Data->CherryStage);
  vx::SetLabelValue(s->LblBellBonusStage, Data->BellStage);
  vx::SetLabelValue(s->LblBellBonusValue, Data->BellBonusValue);
  vx::SetLabelValue(s->LblPoolV[0], Data->Pool1);
  vx::SetLabelValue(s->LblPoolV[1], Data->Pool2);
  vx::SetLabelValue(s->LblPoolV[2], Data->Pool3);
}

// --- Reels ---------------------------------------------------------------------------------

void TSlots::DrawStrips(TStripMode mode, TForcedSymbol forced) {
  int32_t cheat = rcNone;
  if (mode == smNormal && DeveloperMode() && DebugWindow() != nullptr)
    cheat = DebugWindow()->CheatReelsIndex();
  auto cheatSymbol = [&](int32_t cell) -> int32_t {
    auto in = [cell](const std::vector<int32_t>& cells) {
      return std::find(cells.begin(), cells.end(), cell) != cells.end();
    };
    const std::vector<int32_t>& middleRow = PoolCells(plRow);
    switch (cheat) {
      case rcBar1: return in(middleRow) ? kBar1 : 0;
      case rcCherryLine: return in(middleRow) ? kCherry : 0;
      case rcSevenLine: return in(middleRow) ? kSeven : 0;
      case rcCross: return in(PoolCells(plCross)) ? kMelon : 0;
      case rcBellLine: return in(middleRow) ? kBell : 0;
      default: return 0;
    }
  };
  for (int32_t n = 1; n <= CellCount(); ++n) {
    TVXReel* reel = Cell(n);
    reel->Strip.clear();
    for (int32_t e = 0; e < StripLength; ++e)
      reel->Strip.push_back(Symbols[static_cast<size_t>(Rule->DrawSymbolNumber(mode, vx::Rng()) - 1)].get());
    int32_t first = ForcedSymbolId(forced);
    // The developer's choice touches only the cells this machine has.
    if (const int32_t c = cheatSymbol(n); c != 0) first = c;
    if (first != 0) reel->Strip[0] = SymbolById(first);
  }
}

void TSlots::ResetReels() {
  if (SlotsScene == nullptr) return;
  SlotsScene->ShowDoubleUp(false);
  for (TVXLine* marker : SlotsScene->LineMarkers) marker->SetVisible(false);
  DrawStrips(smNormal);
  for (TVXReel* reel : SlotsScene->Reels) reel->Reset();
}

void TSlots::StartReels() {
  for (int32_t n = 1; n <= CellCount(); ++n) Cell(n)->Start();
}

bool TSlots::ReelsStill() const {
  for (int32_t n = 1; n <= CellCount(); ++n)
    if (!Cell(n)->Still()) return false;
  return true;
}

void TSlots::WaitForReels() {
  TVXMainWindow* main = Context() != nullptr ? Context()->MainWindow : nullptr;
  for (int frame = 0; !ReelsStill(); ++frame) {
    if (frame > kMaxReelFrames) {
      Log("ERROR: THE REELS DID NOT STOP; THEY ARE STOPPED WHERE THEY STAND");
      break;
    }
    if (main == nullptr) {
      // No window draws the cells: they run here, one frame at a time.
      for (int32_t n = 1; n <= CellCount(); ++n) Cell(n)->StepMotion();
      continue;
    }
    if (!main->ProcessMessage()) break;
  }
  for (int32_t n = 1; n <= CellCount(); ++n) Cell(n)->Settle();
}

void TSlots::StopColumn(int32_t column) {
  const std::vector<int32_t> cells = ColumnCells(Kind, column);
  for (size_t i = 0; i < cells.size(); ++i) {
    if (TVXReel* reel = Cell(cells[i])) reel->QuickStop();
    if (i + 1 < cells.size()) Pause(5);
  }
}

// --- Highlights ----------------------------------------------------------------------------

void TSlots::ClearHighlights() {
  if (SlotsScene == nullptr) return;
  SlotsScene->LblMessage->SetBlinking(false);
  for (TVXLine* marker : SlotsScene->LineMarkers) marker->SetVisible(false);
  for (TVXImage* box : SlotsScene->ReelBoxes) {
    box->StopEffect(ueEffect2, true);
    box->StopEffect(ueEffect3, true);
  }
  for (TVXReel* reel : SlotsScene->Reels) reel->SetBlinking(false);
}

void TSlots::ClearRoundMarks() {
  for (TSlotLine& line : Lines) line.HandKey = Nothing();
  for (int32_t n = 1; n <= CellCount(); ++n) {
    Cell(n)->LineWinMark = 0;
    Cell(n)->CountWinMark = 0;
  }
  ClearHighlights();
}

void TSlots::ShowLine(int32_t line) {
  if (line < 1 || line > static_cast<int32_t>(Lines.size())) return;
  for (TVXLine* marker : Lines[static_cast<size_t>(line - 1)].Markers)
    if (!marker->Visible()) marker->ShowFor(100);
}

// --- Evaluation ----------------------------------------------------------------------------

TSlotOutcome TSlots::JudgeCells(int64_t bet, TStripMode mode) {
  std::vector<int32_t> coins;
  for (const TSlotLine& line : Lines) coins.push_back(line.Coins);
  TSlotOutcome o = Rule->Judge(Grid(), bet, coins, SlotCountersOf(*Data), mode);
  SetCounters(*Data, o.Judged);
  for (uint8_t kind : o.LineBonuses) Data->PushBonus(kind);
  for (size_t i = 0; i < Lines.size() && i < o.HandKeys.size(); ++i) {
    TSlotLine& line = Lines[i];
    line.HandKey = o.HandKeys[i];
    if (line.HandKey != Nothing() && line.Label != nullptr) line.Label->SetText(line.Label->Caption() + " " + line.HandKey);
  }
  for (int32_t n = 1; n <= CellCount() && static_cast<size_t>(n) <= o.CountMarks.size(); ++n)
    Cell(n)->CountWinMark = o.CountMarks[static_cast<size_t>(n - 1)];
  if (SlotsScene != nullptr) SlotsScene->LblInfo->SetText("Win: " + o.Info);
  return o;
}

int64_t TSlots::EvaluateTotal(int64_t bet, int64_t* cardLines) {
  const TSlotOutcome o = JudgeCells(bet, smFreeGame);
  if (cardLines != nullptr) *cardLines = o.CardLinePay;
  return o.Win();
}

// --- Pools ---------------------------------------------------------------------------------

void TSlots::ShowPoolGrowth(bool grew) {
  TSlotsScene* s = SlotsScene;
  RefreshCounters();
  if (!grew || s == nullptr || s->ReelBox(kMiddleCell) == nullptr) return;
  vx::WeakRef<TVXCustomControl> box(s->ReelBox(kMiddleCell));
  s->ReelBox(kMiddleCell)->StartEffect(ueEffect2);
  Pause(2000);
  if (!box) return;
  s->ReelBox(kMiddleCell)->StopEffect(ueEffect2, true);
}

int32_t& TSlots::PoolValue(int pool) { return pool == plRow ? Data->Pool1 : pool == plDiamond ? Data->Pool2 : Data->Pool3; }

void TSlots::ShowPoolWins(const TSlotOutcome& outcome) {
  TSlotsScene* s = SlotsScene;
  for (const TPoolWin& w : outcome.PoolWins) {
    for (int32_t c : PoolCells(w.Pool)) {
      Cell(c)->LineWinMark = 1;
      Cell(c)->SetBlinking(true);
      s->ReelBox(c)->StartEffect(ueEffect3);
    }
    s->SetMessage("POOL");
    s->LblMessage->SetBlinking(true);
    ShowPay(w.Amount, s->LblPoolV[w.Pool]);
    PoolValue(w.Pool) = outcome.After.Pools[static_cast<size_t>(w.Pool)];
    vx::SetLabelValue(s->LblPoolV[w.Pool], PoolValue(w.Pool));
    ClearHighlights();
  }
}

void TSlots::DecidePay(int64_t amount, int64_t& returns) {
  // Refused before anything changes; pending until it has counted into the credit. Counted
  // in Returns as it enters the ledger: a press meanwhile sees the books.
  Data->Money.CheckCreditRoom(vx::CheckedAdd64(amount, Data->Money.Pending()));
  Data->Money.PayPending(amount);
  returns += amount;
}

void TSlots::ShowPay(int64_t amount, TVXLabel* from) {
  if (SlotsScene != nullptr && from != nullptr) {
    vx::SetLabelValue(from, amount);
    CountTransfer(from, SlotsScene->LblCreditV, -1);
  }
  Data->Money.BookPendingPart(static_cast<uint32_t>(std::clamp<int64_t>(amount, 0, UINT32_MAX)));
  TVXGame::UpdateCredit();
}

// --- The round -----------------------------------------------------------------------------

void TSlots::Spin() {
  Guarded([this] {
    if (Round.Is(vx::rsSpinning)) {
      // The quick stop; the running round waits for the cells itself.
      for (int32_t c = 1; c <= ShapeOf(Kind).Columns; ++c) StopColumn(c);
      return;
    }
    if (!Round.Is(vx::rsIdle)) return;
    const int64_t bet = Data->GetBet();
    if (bet <= 0 || static_cast<int64_t>(Data->Money.Credit()) < bet || Data->Money.Win() != 0) return;
    if (!CanStartRound()) return;
    TSlotsScene* s = SlotsScene;
    Round.Begin();
    Round.Wait(vx::rsSpinning);
    RefreshBets();
    StopResults();
    StopDemo();
    s->SetMessage("");
    ResetReels();
    ClearRoundMarks();
    Data->ClearBonuses();
    Data->FreeGamesLeft = 0;
    Data->BetsTouched = 0;
    if (!TakeBet()) {
      Round.Resume(vx::rsIdle);
      return;
    }
    // The bet is gone before a reel turns.
    Round.Commit();
    roundBet_ = bet;
    ++Returns.Spins;
    Returns.Bets += bet;
    DrawStrips(smNormal);
    StartReels();
    WaitForReels();
    // Paying: every button waits until the spin's outcome is settled. Everything the cells
    // pay (pools, lines and counts, the bell bonus) is decided and committed at once, before
    // any of it shows.
    Round.Begin();
    const TSlotOutcome o = JudgeCells(roundBet_, smNormal);
    for (const TPoolWin& w : o.PoolWins) DecidePay(w.Amount, Returns.Pools);
    Data->Money.PayWin(o.Win());
    Returns.CardLinePays += o.CardLinePay;
    Returns.CountPays += o.CountPay;
    if (o.BellBonus) DecidePay(o.BellPay, Returns.Bell);
    Round.Commit();
    if (Has(sfPools)) {
      ShowPoolGrowth(o.PoolsGrew);
      ShowPoolWins(o);
    }
    ShowWin();
    if (o.CherryBonus) {
      Data->PushBonus(bkCherry);
      Data->CherryStage = o.After.CherryStage;
      RefreshCounters();
      s->ImgCherryBonus->SetBlinking(true);
      Pause(2000);
      s->ImgCherryBonus->SetBlinking(false);
      RefreshCounters();
    }
    if (o.BellBonus) {
      Data->PushBonus(bkBell);
      Data->BellStage = o.After.BellStage;
      RefreshCounters();
      s->ImgBellBonus->SetBlinking(true);
      Pause(2000);
      s->SetMessage("POOL");
      ShowPay(o.BellPay, s->LblBellBonusValue);
      Data->BellBonusValue = o.After.BellBonusValue;
      ClearHighlights();
      s->ImgBellBonus->SetBlinking(false);
      RefreshCounters();
    }
    StartResults();
    if (Data->Money.Win() > 0) {
      Round.Wait(vx::rsWon);
      return;
    }
    s->SetMessage("GAME OVER");
    Round.End();
  });
}

bool TSlots::PlayFreeGame() {
  TSlotsScene* s = SlotsScene;
  ClearRoundMarks();
  DrawStrips(smFreeGame);
  StartReels();
  WaitForReels();
  Round.Begin();
  ++Returns.FreeGamesPlayed;
  const int64_t total = EvaluateTotal(roundBet_);
  Data->Money.PayWin(total);
  Returns.FreeGames += total;
  Round.Commit();
  ShowWin();
  StartResults();
  if (Data->Money.Win() > 0) {
    Round.Wait(vx::rsWon);
    return true;
  }
  s->SetMessage("GAME OVER");
  return false;
}

void TSlots::EndRound() {
  TSlotsScene* s = SlotsScene;
  if (s == nullptr) {
    Round.End();
    return;
  }
  AccountDoubleUp();
  // The reels come back as the double-up ends; a lost card first stays up for the pause a
  // showing double-up gets before a free game.
  if (s->DoubleUpShown()) {
    if (DoubleUp != nullptr && DoubleUp->Lost) Pause(2000);
    s->ShowDoubleUp(false);
  }
  // Free games follow one another here, each counted off before it is played.
  for (;;) {
    if (Data->BonusCount() == 0) {
      s->LblBonusSpinCount->SetVisible(false);
      for (TVXReel* reel : s->Reels)
        for (int e = ueEffect2; e <= kCherryBonusEffect; ++e) reel->StopEffect(e, true);
      GameRenderNow();
      StartDemo();
      Round.End();
      return;
    }
    if (!Round.Is(vx::rsSpinning)) Round.Wait(vx::rsSpinning);
    if (Data->FreeGamesLeft < 1) {
      Pause(1000);
      const TBonusGames bonus = BonusGamesOf(Data->TopBonus());
      if (bonus.Games == 0) {
        // Dropped, so the queue always empties.
        Log("ERROR : Unknown bonus game");
        Data->PopBonus();
        continue;
      }
      for (TVXReel* reel : s->Reels) {
        for (int e = ueEffect2; e <= kCherryBonusEffect; ++e) reel->StopEffect(e, true);
        reel->StartEffect(bonus.Effect);
      }
      Data->FreeGamesLeft = bonus.Games;
    }
    s->LblBonusSpinCount->SetText(Data->FreeGamesLeft == 1 ? "LAST GAME"
                                                            : std::to_string(Data->FreeGamesLeft) + " GAMES LEFT");
    s->LblBonusSpinCount->SetVisible(true);
    --Data->FreeGamesLeft;
    if (Data->FreeGamesLeft == 0) Data->PopBonus();
    const bool won = PlayFreeGame();
    if (won) return;
    if (!Round.Is(vx::rsBusy)) return;  // closing, or settled meanwhile
  }
}

void TSlots::StartResults() {
  if (Results != nullptr && !Results->Running) Results->Run();
}

void TSlots::StopResults() {
  if (Results != nullptr && Results->Running) Results->Finish();
}

void TSlots::StartDemo() {
  if (Demo != nullptr && !Demo->Running) Demo->Run();
}

void TSlots::StopDemo() {
  if (Demo != nullptr && Demo->Running) Demo->Finish();
}

// --- Collecting and the double-up ---------------------------------------------------------

void TSlots::CashPress() {
  if (!Round.Is(vx::rsWon) && !Round.Is(vx::rsDoubleUp)) return;
  Guarded([this] {
    if (DoubleUp != nullptr) DoubleUp->SetActive(false);
    TransferWin(SlotsScene->LblWinV, nullptr);
  });
}

void TSlots::TransferWin(TVXLabel* WinLabel, TVXLabel* SecondLabel) {
  StopResults();
  Round.Begin();
  AccountDoubleUp();
  TVXGame::TransferWin(WinLabel, SecondLabel);
  ClearHighlights();
  EndRound();
}

void TSlots::AccountDoubleUp() {
  if (!inDoubleUp_) return;
  inDoubleUp_ = false;
  Returns.DoubleUp += static_cast<int64_t>(Data->Money.Win()) - winBeforeDoubleUp_;
}

void TSlots::CollectWin() {
  // The double-up's final collect: the win goes into the credit.
  AccountDoubleUp();
  TVXGame::TransferWin(SlotsScene != nullptr ? SlotsScene->LblWinV : nullptr, nullptr);
}

bool TSlots::CollectWinForFinish() {
  CollectWin();
  return false;
}

void TSlots::DealDoubleUpCards() {
  // Ten different cards without jokers and sevens.
  for (size_t p = 0; p < Data->DealtDoubleUpCards.size(); ++p) {
    int32_t n = 0;
    for (;;) {
      n = Random(52) + 1;
      if ((n - 1) % 13 + 1 == 7) continue;
      if (std::find(Data->DealtDoubleUpCards.begin(), Data->DealtDoubleUpCards.begin() + static_cast<std::ptrdiff_t>(p), n) !=
          Data->DealtDoubleUpCards.begin() + static_cast<std::ptrdiff_t>(p))
        continue;
      break;
    }
    Data->DealtDoubleUpCards[p] = n;
  }
}

void TSlots::StartDoubleUp() {
  Round.Begin();
  StopResults();
  Log("INFO : DOUBLE-UP GAME STARTED");
  winBeforeDoubleUp_ = Data->Money.Win();
  DealDoubleUpCards();
  Data->DoubleUpKind = 0;
  Data->DoubleUpLimit = 10;
  inDoubleUp_ = true;
  DoubleUp->Offer(0, false);
  SlotsScene->ShowDoubleUp(true);
  Round.Wait(vx::rsDoubleUp);
}

void TSlots::HoldPress(int32_t column) {
  Guarded([this, column] {
    if (Round.Is(vx::rsWon)) {
      if (column == 2) StartDoubleUp();
      return;
    }
    if (Round.Is(vx::rsDoubleUp)) {
      if (DoubleUp == nullptr || !DoubleUp->Active) return;
      if (column == 1) {
        DoubleUp->Choose(0);
      } else if (column == 3) {
        DoubleUp->Choose(1);
      } else if (column == 2 && DeveloperMode()) {
        // A button that always wins is the developer's only.
        DoubleUp->Choose(DoubleUp->WinningChoice());
      }
      return;
    }
    // Any other time (the attract mode's spins included) it stops its column; busy, nothing.
    if (!Round.Is(vx::rsBusy)) StopColumn(column);
  });
}

// --- Keys ----------------------------------------------------------------------------------

void TSlots::KeyDown(uint16_t& key) {
  switch (key) {
    case kKeyM: key = 0; Spin(); return;
    case kKeyZ: key = 0; BetPress(1); return;
    case kKeyX: key = 0; BetPress(2); return;
    case kKeyC: key = 0; HoldPress(1); return;
    case kKeyV: key = 0; HoldPress(2); return;
    case kKeyB: key = 0; HoldPress(3); return;
    case kKey1:
      key = 0;
      for (size_t i = 0; i < Lines.size(); ++i) ShowLine(static_cast<int32_t>(i) + 1);
      return;
    case kKeyE: {
      key = 0;
      Log("SLOTLINES");
      for (int32_t row = 0; row < 3; ++row) {
        std::string text;
        for (int32_t n = row * 3 + 1; n <= row * 3 + 3 && n <= CellCount(); ++n) {
          const TVXReelItemInfo* s = Cell(n)->CurrentSymbol();
          text += (text.empty() ? "" : " ") + (s != nullptr ? s->ItemName : std::string("-"));
        }
        if (!text.empty()) Log(text);
      }
      return;
    }
    default: break;
  }
}

// --- Closing -------------------------------------------------------------------------------

void TSlots::SettleOnClose() {
  StopDemo();
  StopResults();
  if (DoubleUp != nullptr) DoubleUp->SetActive(false);
  for (int32_t n = 1; n <= CellCount(); ++n) Cell(n)->Settle();
  Data->ClearBonuses();
  Data->FreeGamesLeft = 0;
  TVXGame::SettleOnClose();
}
