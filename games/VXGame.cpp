#include "games/VXGame.h"

#include <algorithm>
#include <limits>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXHost.h"
#include "framework/VXParticles.h"
#include "framework/VXWidgets.h"
#include "games/GameData.h"
#include "games/VXCard.h"

namespace {
constexpr uint32_t kUInt32Max = std::numeric_limits<uint32_t>::max();
constexpr int64_t kCountFrames = 2000;
}  // namespace

namespace vx {

int64_t LabelValue(const TVXLabel* label) {
  if (label == nullptr) return -1;
  const auto v = TryStrToInt64(Trim(label->Caption()));
  return (v && *v >= 0) ? *v : -1;
}

void SetLabelValue(TVXLabel* label, int64_t value) {
  if (label != nullptr) label->SetText(std::to_string(value));
}

}  // namespace vx

// --- TVXGameScene ----------------------------------------------------------------------

TVXGameScene::TVXGameScene(TVXComponent* owner, TVXContext* context) : TVXScene(owner, context) {
  // Only with particle effects on, which the settings force off whenever they load.
  vx::AddSceneParticles(this, "PS_CUSTOM1", pkFireworks);
  for (int i = 0; i < 3; ++i) ImgCustom[i] = Make<TVXImage>("IMG_CUSTOM" + std::to_string(i + 1));
  LblMessage = Make<TVXLabel>("LBL_MESSAGE");
  LblMessage->SetText("***");
  PnlDoubleUp = Make<TVXPanel>("PNL_DOUBLEUP");
  LblDupTitle = Make<TVXLabel>("LBL_DUPTITLE", PnlDoubleUp);
  for (int i = 0; i < 10; ++i) {
    TVXCard* card = new TVXCard(this);
    card->SetName("CARD_DUP_" + std::to_string(i + 1));
    card->Tag = i + 1;
    card->TextureInfo.SetFolder("cards.dll");
    card->TextureInfo.SetName("CARD_" + std::to_string(i + 1));
    card->SetParent(PnlDoubleUp);
    AddControl(card);
    card->SetFaceDown(true);
    card->UpdateImage();
    DupCards[i] = card;
  }
  LblDupHit = Make<TVXLabel>("LBL_DUPHIT", PnlDoubleUp);
  ImgDupHitDown = Make<TVXImage>("IMG_DUPHITDOWN", PnlDoubleUp);
  ImgDupHitUp = Make<TVXImage>("IMG_DUPHITUP", PnlDoubleUp);
  ImgSeries = new TVXImage(this);
  ImgSeries->SetName("IMG_SERIES");
  ImgSeries->TextureInfo.SetFolder("SERIES\\S_3");
  ImgSeries->TextureInfo.SetName("IMG");
  ImgSeries->SetParent(PnlDoubleUp);
  AddControl(ImgSeries);
}

void TVXGameScene::SetMessage(const std::string& text) {
  if (LblMessage != nullptr) LblMessage->SetText(text);
}

namespace {
TVXMainWindow* MainWindowOf(const TVXComponent& c) {
  const TVXContext* ctx = c.Context();
  return ctx != nullptr ? ctx->MainWindow : nullptr;
}
}  // namespace

namespace vx {

bool GameWait(const TVXComponent& where, uint64_t ms) {
  TVXMainWindow* main = MainWindowOf(where);
  return main == nullptr || main->Wait(ms);
}

void GameRenderNow(const TVXComponent& where) {
  if (TVXMainWindow* main = MainWindowOf(where)) main->RenderNow();
}

void GamePlaySound(const TVXComponent& where, const std::string& name) { where.Host().PlaySound(name); }

int32_t GameMessageBox(const TVXComponent& where, const std::string& text, int32_t kind, int32_t buttons) {
  if (TVXMainWindow* main = MainWindowOf(where)) return main->MessageBox(text, kind, 0, buttons);
  Log(text);
  return (buttons & mbOK) != 0 ? mrOk : mrNo;
}

}  // namespace vx

// --- TVXGame ---------------------------------------------------------------------------

TVXGame::TVXGame(TGameInfo* info, TVXContext* context, TVXGameHost* host)
    : GameInfo(info), context_(context), host_(host) {}

TVXGame::~TVXGame() {
  EndLife();
  delete Scene;
  Scene = nullptr;
}

vx::TPlayerBank* TVXGame::PlayerBank() { return host_ != nullptr ? host_->PlayerBank() : nullptr; }

bool TVXGame::DeveloperMode() const { return context_ != nullptr && context_->DeveloperMode(); }

const TVXSetting* TVXGame::Settings() const { return context_ != nullptr ? context_->Setting.get() : nullptr; }

std::string TVXGame::CasinoName() const {
  return context_ != nullptr ? context_->CasinoName() : std::string("MakeDefault");
}

TfrmDebug* TVXGame::DebugWindow() const { return context_ != nullptr ? context_->DebugWindow.get() : nullptr; }

int32_t TVXGame::GameMessageBox(const std::string& text, int32_t kind, int32_t buttons) {
  if (Scene != nullptr) return vx::GameMessageBox(*Scene, text, kind, buttons);
  Log(text);
  return (buttons & mbOK) != 0 ? mrOk : mrNo;
}

uint64_t TVXGame::TotalMoney() { return GetGameData()->Money.Total(PlayerBank()); }

bool TVXGame::TakeBet() {
  const bool taken = GetGameData()->Money.TakeBet(GetGameData()->GetBet());
  UpdateCredit();
  return taken;
}

void TVXGame::TakeOpeningCredit() {
  const vx::TPlayerBank* bank = PlayerBank();
  if (bank != nullptr && bank->Balance() >= 100) OpenCreditForm(false);
}

bool TVXGame::CanStartRound() { return GetGameData()->Money.MayStartRound(PlayerBank()); }

void TVXGame::UpdateCredit() {
  if (Scene == nullptr || Scene->CreditLabel == nullptr) return;
  const TVXGameData* data = GetGameData();
  vx::SetLabelValue(Scene->CreditLabel, data->Money.Credit());
  const int64_t bet = data->GetBet();
  Scene->CreditLabel->SetBlinking(static_cast<int64_t>(data->Money.Credit()) < bet);
}

void TVXGame::ShowWin() {
  if (Scene != nullptr) vx::SetLabelValue(Scene->WinLabel, GetGameData()->Money.Win());
}

void TVXGame::CountTransfer(TVXLabel* FromLabel, TVXLabel* ToLabel, int64_t Amount) {
  int64_t from = vx::LabelValue(FromLabel);
  if (from < 0) return;
  if (Amount == -1) Amount = from;
  int64_t to = 0;
  if (ToLabel != nullptr) {
    to = vx::LabelValue(ToLabel);
    if (to < 0) return;
  }
  vx::WeakRef<TVXCustomControl> fromRef(FromLabel), toRef(ToLabel);
  TVXMainWindow* main = context_ != nullptr ? context_->MainWindow : nullptr;
  // 10 a frame above 100. Only an amount past what play ever counts steps faster, so that
  // no count keeps the game busy for more than about two thousand frames.
  const int64_t bigStep = std::max<int64_t>(10, (Amount - 100 + kCountFrames - 1) / kCountFrames);
  while (Amount > 0) {
    int64_t step = 1;
    if (Amount > 100) step = bigStep == 10 ? 10 : std::min(bigStep, Amount - 100);
    from -= step;
    Amount -= step;
    to += step;
    if (!fromRef || (ToLabel != nullptr && !toRef)) return;
    vx::SetLabelValue(FromLabel, from);
    if (ToLabel != nullptr) vx::SetLabelValue(ToLabel, to);
    if (main == nullptr) continue;
    // One frame a step: the step's own (an idle pass would draw a second one, and halve
    // the count's pace wherever presents are held to the display's rate).
    main->RenderNow();
    if (!main->ProcessPendingMessages()) return;  // closing: the callers write the true values
  }
}

void TVXGame::AddToTally(bool creditIn, uint32_t amount) {
  TVXGameData* data = GetGameData();
  const uint32_t current = creditIn ? data->GetCreditIn() : data->GetCreditOut();
  uint32_t next = current;
  if (static_cast<uint64_t>(current) + amount > kUInt32Max) {
    Log("ERROR: CREDIT STATISTIC AT ITS LIMIT");
    next = kUInt32Max;
  } else {
    next = current + amount;
  }
  if (creditIn)
    data->SetCreditIn(next);
  else
    data->SetCreditOut(next);
}

void TVXGame::OpenCreditForm(bool ShowDialog) {
  if (host_ != nullptr) host_->OpenCreditForm(*this, ShowDialog);
  UpdateCredit();
}

bool TVXGame::MoveCreditToBank() {
  const uint32_t moved = GetGameData()->Money.CashOut(PlayerBank());
  if (moved > 0) AddToTally(false, moved);
  return GetGameData()->Money.Credit() == 0;
}

void TVXGame::CashOut(bool Silent) {
  const vx::TGameMoney& money = GetGameData()->Money;
  if (money.Credit() == 0) return;
  if (Round.InRound()) {
    GameMessageBox("You have a game in progress. You cannot cash out now.", mkWarning, mbOK);
    return;
  }
  if (!Silent && GameMessageBox("Cash out " + std::to_string(money.Credit()) + "?", mkConfirmation,
                                    mbYes | mbNo) != mrYes)
    return;
  if (money.Credit() == 0 || Round.InRound()) return;  // the question pumped messages
  // Busy while counting, so that no second cash-out or round starts; no round ends here.
  Round.Begin();
  if (Scene != nullptr) CountTransfer(Scene->CreditLabel, nullptr, -1);
  MoveCreditToBank();
  UpdateCredit();
  Round.Resume(vx::rsIdle);
}

void TVXGame::TransferWin(TVXLabel* WinLabel, TVXLabel* SecondLabel) {
  vx::TGameMoney& money = GetGameData()->Money;
  // The second label's amount is counted in too (a bonus shown beside the win).
  const int64_t second = SecondLabel != nullptr ? std::max<int64_t>(vx::LabelValue(SecondLabel), 0) : 0;
  // Checked before anything changes or counts.
  money.CheckCreditRoom(vx::CheckedAdd64(money.Win(), second));
  const int64_t total = static_cast<int64_t>(money.Credit()) + money.Win() + second;
  if (Scene != nullptr) {
    CountTransfer(WinLabel, Scene->CreditLabel, -1);
    if (SecondLabel != nullptr) CountTransfer(SecondLabel, Scene->CreditLabel, -1);
    // The credit label now shows both amounts counted in; a count cut short (the program
    // closing) leaves it behind, and the ledger's sum stands.
    if (Scene->CreditLabel != nullptr && vx::LabelValue(Scene->CreditLabel) != total)
      Log("ERROR: THE CREDIT LABEL SHOWS " + Scene->CreditLabel->Caption() + ", THE CREDIT IS " + std::to_string(total));
  }
  money.CollectWin();
  if (second > 0) money.PayCredit(second);
  UpdateCredit();
  ShowWin();
}

void TVXGame::Recover(const std::exception& e) {
  Log(std::string("ERROR: ") + e.what());
  vx::TGameMoney& money = GetGameData()->Money;
  for (auto move : {&vx::TGameMoney::BookPending, &vx::TGameMoney::CollectWin}) {
    try {
      (money.*move)();
    } catch (const EOverflow&) {
    }
  }
  money.LoseWin();
}

void TVXGame::ResetTally() {
  // The tally is merged once: a second merge of the same visit must not count it again.
  TGameStatictics& tally = GetGameData()->Tally();
  tally.CreditIn = 0;
  tally.CreditOut = 0;
  for (int i = 0; i < tally.GameHands.Count(); ++i) tally.GameHands.Items(i)->Value = 0;
}

bool TVXGame::FinishVisit(const TStepRunner& run) {
  if (Round.InRound()) return false;
  auto step = [&run](const std::string& what, const std::function<bool()>& f) {
    if (run) {
      run(what, f);
      return;
    }
    try {
      if (!f()) Log("ERROR: " + what + " failed");
    } catch (const std::exception& e) {
      Log("ERROR: " + what + " failed: " + e.what());
    }
  };
  TVXGameData* data = GetGameData();
  step("cashing out", [&] {
    if (data->Money.Credit() != 0) CashOut(true);
    return data->Money.Credit() == 0;
  });
  step("saving the game data", [&] {
    data->Save();
    return true;
  });
  step("merging the statistics", [&] {
    data->MergeInto(Statistics);
    ResetTally();
    return true;
  });
  return true;
}

void TVXGame::SettleOnClose() {
  if (settled_) return;
  settled_ = true;
  TVXGameData* data = GetGameData();
  Round.Resume(vx::rsIdle);
  if (const uint32_t moved = data->Money.Settle(PlayerBank()); moved > 0) AddToTally(false, moved);
  data->Save();
  try {
    data->MergeInto(Statistics);
  } catch (const std::exception& e) {
    Log(std::string("ERROR: ") + e.what());
  }
  ResetTally();
}
