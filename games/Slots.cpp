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
#include "games/HandEvaluator.h"
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

  auto* scene = new TSlotsScene(nullptr, Features, context);
  SetScene(scene);
  scene->SetCardSet("CardSet1");
  if (info != nullptr && Machine->GameID == info->ID) scene->ImgAdv->TextureInfo.SetName(TSlotsScene::TitlePlateName(info->IDStr));
  DoubleUp = std::make_unique<TVXDoubleUp>(this, scene, Data.get());

  for (const TGroupDef& def : GroupDefs()) {
    auto g = std::make_unique<TVXReelItemGroupInfo>();
    g->Category = def.Category;
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
  for (TSlotLine& line : Lines) line.Coins = 0;
  for (int side = 1; side <= 2; ++side) {
    const std::vector<int32_t>& list = SideOf(Kind, side);
    if (list.empty()) continue;
    const int32_t coins = side == 1 ? Data->Bet1Coins : Data->Bet2Coins;
    for (int32_t c = 0; c < coins; ++c) {
      const int32_t line = list[static_cast<size_t>(c) % list.size()];
      if (line >= 1 && line <= static_cast<int32_t>(Lines.size())) ++Lines[static_cast<size_t>(line - 1)].Coins;
    }
  }
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

void TSlots::DrawStrips(int mode, int forced) {
  const TSmallSet allowed = mode == 0 ? ReelClasses : kFreeGameClasses;
  int32_t cheat = 0;
  if (mode == 0 && DeveloperMode() && DebugWindow() != nullptr)
    cheat = DebugWindow()->CheatReelsIndex();
  auto cheatSymbol = [&](int32_t cell) -> int32_t {
    auto in = [cell](std::initializer_list<int32_t> cells) {
      return std::find(cells.begin(), cells.end(), cell) != cells.end();
    };
    switch (cheat) {
      case 1: return in({4, 5, 6}) ? kBar1 : 0;
      case 2: return in({4, 5, 6}) ? kCherry : 0;
      case 3: return in({4, 5, 6}) ? kSeven : 0;
      case 4: return in({1, 3, 5, 7, 9}) ? kMelon : 0;
      case 6: return in({4, 5, 6}) ? kBell : 0;
      default: return 0;
    }
  };
  for (int32_t n = 1; n <= CellCount(); ++n) {
    TVXReel* reel = Cell(n);
    reel->Strip.clear();
    for (int32_t e = 0; e < StripLength; ++e) {
      TVXReelItemInfo* symbol = nullptr;
      do {
        symbol = Symbols[static_cast<size_t>(Random(kSymbolCount - 1))].get();
      } while ((symbol->Categories & allowed) == 0);
      reel->Strip.push_back(symbol);
    }
    int32_t first = forced == 1 ? kTripleSeven : forced == 3 ? kBar1 : forced == 4 ? kCherry : 0;
    // The developer's choice touches only the cells this machine has.
    if (const int32_t c = cheatSymbol(n); c != 0) first = c;
    if (first != 0) reel->Strip[0] = SymbolById(first);
  }
}

void TSlots::ResetReels() {
  if (SlotsScene == nullptr) return;
  SlotsScene->ShowDoubleUp(false);
  for (TVXLine* marker : SlotsScene->LineMarkers) marker->SetVisible(false);
  DrawStrips(0, 0);
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
    box->StopEffect(2, true);
    box->StopEffect(3, true);
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

void TSlots::EvaluateLine(TSlotLine& line) {
  line.HandKey = Nothing();
  std::vector<TVXReelItemInfo*> shown;
  for (int32_t cell : line.Cells) {
    const TVXReel* reel = Cell(cell);
    shown.push_back(reel != nullptr ? reel->CurrentSymbol() : nullptr);
  }
  if (shown.empty() || std::find(shown.begin(), shown.end(), nullptr) != shown.end()) return;
  TVXLabel* info = SlotsScene != nullptr ? SlotsScene->LblInfo : nullptr;
  auto say = [info](const std::string& text) {
    if (info != nullptr) info->SetText(info->Caption() + text);
  };
  const bool allEqual = std::all_of(shown.begin(), shown.end(), [&](const TVXReelItemInfo* s) { return s->Id == shown[0]->Id; });
  if (!allEqual) {
    if (InSet(ReelClasses, scCard)) {
      if (shown.size() == 5) {
        int32_t cards[5];
        for (size_t i = 0; i < 5; ++i) cards[i] = shown[i]->Id - 100;
        // Deuces are not wild on the card lines, and there is no Orvanta number.
        vx::THandEvaluation e;
        vx::EvaluateCardsCode(CardLineHandCodes(), cards, false, 0, e);
        if (e.Code != vx::hcNothing) line.HandKey = e.Key();
      }
      return;
    }
    if (shown[0]->LinePay2 > 2) {
      if (Has(sfCherry) && shown.size() >= 2 && shown[0]->Id == kCherry && shown[1]->Id == kCherry)
        Data->CherryStage = vx::CheckedSub(Data->CherryStage, 1);
      say("Line (2):" + shown[0]->ItemName + " ");
      return;
    }
    if (shown.size() >= 3) {
      for (uint8_t category : {static_cast<uint8_t>(scBar), static_cast<uint8_t>(scSeven)}) {
        if (shown[0]->HasCategory(category) && shown[1]->HasCategory(category) && shown[2]->HasCategory(category)) {
          const TVXReelItemGroupInfo* g = GroupByClass(category);
          say("Line:" + (g != nullptr ? g->GroupName : std::string()) + " ");
          return;
        }
      }
    }
    return;
  }
  const int32_t id = shown[0]->Id;
  if (line.Direction == 1) {
    if (Has(sfBarBonus) && id == kBar1) Data->PushBonus(0);
    if (Has(sfCherry) && id == kCherry) Data->PushBonus(2);
  }
  if (Has(sfBell) && id == kBell) Data->BellStage = vx::CheckedSub(Data->BellStage, 1);
  say("Line:" + shown[0]->ItemName + " ");
}

int64_t TSlots::CountWins(int64_t bet) {
  TVXLabel* info = SlotsScene != nullptr ? SlotsScene->LblInfo : nullptr;
  int64_t total = 0;
  const int32_t cells = CellCount();
  for (int32_t n = 1; n <= cells; ++n) Cell(n)->CountWinMark = 0;
  auto pay = [&](const std::string& name, int32_t count, int32_t perCoin, auto&& matches) {
    if (count <= 0 || perCoin <= 0) return;
    for (int32_t n = 1; n <= cells; ++n)
      if (matches(n)) Cell(n)->CountWinMark = 1;
    if (info != nullptr) info->SetText(info->Caption() + name + "x" + std::to_string(count) + " ");
    total = vx::CheckedAdd64(total, vx::CheckedMul64(bet, perCoin));
  };
  for (const auto& s : Symbols) {
    if (s->Id <= 0) continue;
    const int32_t id = s->Id;
    auto matches = [&](int32_t n) { return CellId(n) == id; };
    int32_t count = 0;
    for (int32_t n = 1; n <= cells; ++n) count += matches(n) ? 1 : 0;
    if (count >= 1 && count <= 11) pay(s->ItemName, count, s->CountPay[static_cast<size_t>(count)], matches);
  }
  for (const auto& g : Groups) {
    if (g->Category == 0) continue;
    const uint8_t category = g->Category;
    auto matches = [&](int32_t n) {
      const TVXReelItemInfo* s = Cell(n)->CurrentSymbol();
      return s != nullptr && s->HasCategory(category);
    };
    int32_t count = 0;
    for (int32_t n = 1; n <= cells; ++n) count += matches(n) ? 1 : 0;
    if (count >= 1 && count <= 9) pay(g->GroupName, count, g->GroupCountPay[static_cast<size_t>(count)], matches);
  }
  return total;
}

int64_t TSlots::EvaluateTotal(int64_t bet, int64_t* cardLines) {
  if (SlotsScene != nullptr) SlotsScene->LblInfo->SetText("Win: ");
  int64_t total = 0;
  int64_t lines = 0;
  for (TSlotLine& line : Lines) {
    if (line.Coins <= 0) continue;
    EvaluateLine(line);
    if (line.HandKey == Nothing()) continue;
    if (line.Label != nullptr) line.Label->SetText(line.Label->Caption() + " " + line.HandKey);
    lines = vx::CheckedAdd64(lines, vx::CheckedMul64(bet, CardLinePay(line.HandKey)));
  }
  total = vx::CheckedAdd64(lines, CountWins(bet));
  if (cardLines != nullptr) *cardLines = lines;
  return total;
}

// --- Pools ---------------------------------------------------------------------------------

bool TSlots::GrowPools() {
  bool grew = false;
  const int32_t middle = CellId(5);
  if (middle == kBell) {
    Data->BellBonusValue = std::min(Data->BellBonusValue + 10, Data->BellBonusCap);
    grew = true;
  }
  if (middle == Data->PoolSymbol) {
    Data->Pool1 = std::min(Data->Pool1 + 5, Data->Pool1Cap);
    Data->Pool2 = std::min(Data->Pool2 + 10, Data->Pool2Cap);
    Data->Pool3 = std::min(Data->Pool3 + 20, Data->Pool3Cap);
    grew = true;
  }
  return grew;
}

void TSlots::ShowPoolGrowth(bool grew) {
  TSlotsScene* s = SlotsScene;
  RefreshCounters();
  if (!grew || s == nullptr || s->ReelBox(5) == nullptr) return;
  vx::WeakRef<TVXCustomControl> box(s->ReelBox(5));
  s->ReelBox(5)->StartEffect(2);
  Pause(2000);
  if (!box) return;
  s->ReelBox(5)->StopEffect(2, true);
}

namespace {
// The cells each pool pays on, in the order the pools are tested.
const std::vector<int32_t> kPoolCells[] = {{4, 5, 6}, {2, 4, 6, 8}, {1, 3, 5, 7, 9}};
}  // namespace

int32_t& TSlots::PoolValue(int index) { return index == 0 ? Data->Pool1 : index == 1 ? Data->Pool2 : Data->Pool3; }

std::vector<TSlots::TPoolWin> TSlots::DecidePoolWins() {
  std::vector<TPoolWin> wins;
  for (int index = 0; index < 3; ++index) {
    const std::vector<int32_t>& cells = kPoolCells[index];
    const bool won = std::all_of(cells.begin(), cells.end(), [&](int32_t c) { return CellId(c) == Data->PoolSymbol; });
    if (!won) continue;
    DecidePay(PoolValue(index), Returns.Pools);
    wins.push_back({index, PoolValue(index)});
  }
  return wins;
}

void TSlots::ShowPoolWins(const std::vector<TPoolWin>& wins) {
  TSlotsScene* s = SlotsScene;
  for (const TPoolWin& w : wins) {
    for (int32_t c : kPoolCells[w.Index]) {
      Cell(c)->LineWinMark = 1;
      Cell(c)->SetBlinking(true);
      s->ReelBox(c)->StartEffect(3);
    }
    s->SetMessage("POOL");
    s->LblMessage->SetBlinking(true);
    ShowPay(w.Amount, s->LblPoolV[w.Index]);
    PoolValue(w.Index) = 1;
    vx::SetLabelValue(s->LblPoolV[w.Index], 1);
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
    DrawStrips(0, 0);
    StartReels();
    WaitForReels();
    // Paying: every button waits until the spin's outcome is settled. Everything the cells
    // pay (pools, lines and counts, the bell bonus) is decided and committed at once, before
    // any of it shows.
    Round.Begin();
    const bool grew = Has(sfPools) && GrowPools();
    const std::vector<TPoolWin> poolWins = Has(sfPools) ? DecidePoolWins() : std::vector<TPoolWin>{};
    int64_t cardLines = 0;
    const int64_t total = EvaluateTotal(roundBet_, &cardLines);
    Data->Money.PayWin(total);
    Returns.CardLinePays += cardLines;
    Returns.CountPays += total - cardLines;
    const bool bellDue = Has(sfBell) && Data->BellStage < 1;
    const int32_t bell = bellDue ? Data->BellBonusValue : 0;
    if (bellDue) DecidePay(bell, Returns.Bell);
    Round.Commit();
    if (Has(sfPools)) {
      ShowPoolGrowth(grew);
      ShowPoolWins(poolWins);
    }
    ShowWin();
    if (Has(sfCherry) && Data->CherryStage < 1) {
      Data->PushBonus(2);
      Data->CherryStage = vx::CheckedAdd(Data->CherryStage, Data->CherryStageReset);
      RefreshCounters();
      s->ImgCherryBonus->SetBlinking(true);
      Pause(2000);
      s->ImgCherryBonus->SetBlinking(false);
      RefreshCounters();
    }
    if (bellDue) {
      Data->PushBonus(1);
      Data->BellStage = vx::CheckedAdd(Data->BellStage, Data->BellStageReset);
      RefreshCounters();
      s->ImgBellBonus->SetBlinking(true);
      Pause(2000);
      s->SetMessage("POOL");
      ShowPay(bell, s->LblBellBonusValue);
      Data->BellBonusValue = 10;
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
  DrawStrips(1, 0);
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
        for (int e = 2; e <= 4; ++e) reel->StopEffect(e, true);
      GameRenderNow();
      StartDemo();
      Round.End();
      return;
    }
    if (!Round.Is(vx::rsSpinning)) Round.Wait(vx::rsSpinning);
    if (Data->FreeGamesLeft < 1) {
      Pause(1000);
      const int kind = Data->TopBonus();
      int32_t games = 0, effect = 0;
      switch (kind) {
        case 0: games = 3; effect = 2; break;
        case 1: games = 5; effect = 3; break;
        case 2: games = 1; effect = 4; break;
        default: break;
      }
      if (games == 0) {
        // Dropped, so the queue always empties.
        Log("ERROR : Unknown bonus game");
        Data->PopBonus();
        continue;
      }
      for (TVXReel* reel : s->Reels) {
        for (int e = 2; e <= 4; ++e) reel->StopEffect(e, true);
        reel->StartEffect(effect);
      }
      Data->FreeGamesLeft = games;
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
