#include "games/VXGame.h"

#include <algorithm>
#include <limits>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXHost.h"
#include "framework/VXWidgets.h"
#include "games/GameData.h"
#include "games/VXCard.h"

namespace {
TVXGameHost* gGameHost = nullptr;
constexpr uint32_t kUInt32Max = std::numeric_limits<uint32_t>::max();
}  // namespace

namespace vx {

void SetGameHost(TVXGameHost* host) { gGameHost = host; }
TVXGameHost* GameHost() { return gGameHost; }

bool GameWait(uint64_t ms) {
  TVXMainWindow* main = MainWindow();
  if (main == nullptr) return true;
  return main->Wait(ms);
}

void GameRenderNow() {
  if (TVXMainWindow* main = MainWindow()) main->RenderNow();
}

void GamePlaySound(const std::string& name) { ToolkitHost().PlaySound(name); }

int32_t GameMessageBox(const std::string& text, int32_t kind, int32_t buttons) {
  if (TVXMainWindow* main = MainWindow()) return main->MessageBox(text, kind, 0, buttons);
  Log(text);
  return (buttons & mbOK) != 0 ? mrOk : mrNo;
}

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

TVXGameScene::TVXGameScene(TVXComponent* owner) : TVXScene(owner) {
  // The particle system "PS_CUSTOM1" belongs only to screens built with particle effects
  // on, and the settings force that option off whenever they load.
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

// --- TVXGame ---------------------------------------------------------------------------

TVXGame::TVXGame(TGameInfo* info) : GameInfo(info) {}

TVXGame::~TVXGame() {
  EndLife();
  delete Scene;
  Scene = nullptr;
}

uint64_t TVXGame::TotalMoney() {
  const TVXGameData* data = GetGameData();
  uint64_t total = data->Credit;
  if (data->Win > 0) total += static_cast<uint64_t>(data->Win);
  if (TVXGameHost* host = vx::GameHost())
    if (const uint32_t* bank = host->PlayerBank()) total += *bank;
  return total;
}

bool TVXGame::TakeBet() {
  TVXGameData* data = GetGameData();
  const int64_t bet = data->GetBet();
  bool taken = false;
  if (bet <= 0) {
    // A bet of nothing would start a free round; a negative one would add to the credit.
  } else if (static_cast<int64_t>(data->Credit) < bet) {
    // The blinking credit label says it.
  } else {
    data->Credit = static_cast<uint32_t>(static_cast<int64_t>(data->Credit) - bet);
    taken = true;
  }
  UpdateCredit();
  return taken;
}

bool TVXGame::CanStartRound() {
  if (TotalMoney() <= MoneyCeiling) return true;
  Log("ERROR: THE MONEY HAS REACHED ITS LIMIT; NO NEW ROUND");
  return false;
}

void TVXGame::UpdateCredit() {
  if (Scene == nullptr || Scene->CreditLabel == nullptr) return;
  const TVXGameData* data = GetGameData();
  vx::SetLabelValue(Scene->CreditLabel, data->Credit);
  const int64_t bet = data->GetBet();
  Scene->CreditLabel->SetBlinking(static_cast<int64_t>(data->Credit) < bet);
}

void TVXGame::ShowWin() {
  if (Scene != nullptr) vx::SetLabelValue(Scene->WinLabel, GetGameData()->Win);
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
  TVXMainWindow* main = vx::MainWindow();
  // 10 a frame above 100, but never more than about 300 such frames for a huge amount.
  const int64_t bigStep = std::max<int64_t>(10, (Amount - 100 + 299) / 300);
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
    main->RenderNow();
    if (!main->ProcessMessage()) return;  // closing: the callers write the true values
  }
}

void TVXGame::AddToCredit(int64_t amount) {
  TVXGameData* data = GetGameData();
  data->Credit = vx::CheckedAddU32(data->Credit, amount);
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
  vx::WeakRef<TVXGame> self(this);
  if (TVXGameHost* host = vx::GameHost()) host->OpenCreditForm(*this, ShowDialog);
  if (self) UpdateCredit();
}

bool TVXGame::MoveCreditToBank() {
  TVXGameData* data = GetGameData();
  TVXGameHost* host = vx::GameHost();
  uint32_t* bank = host != nullptr ? host->PlayerBank() : nullptr;
  if (bank == nullptr) {
    Log("ERROR: NO PLAYER TO CASH OUT TO; THE CREDIT STAYS");
    return false;
  }
  if (static_cast<uint64_t>(*bank) + data->Credit > kUInt32Max) {
    Log("ERROR: THE BANK CANNOT HOLD THE CREDIT; THE CREDIT STAYS");
    return false;
  }
  *bank += data->Credit;
  AddToTally(false, data->Credit);
  data->Credit = 0;
  return true;
}

void TVXGame::CashOut(bool Silent) {
  TVXGameData* data = GetGameData();
  if (data->Credit == 0) return;
  if (RoundState != 0) {
    vx::GameMessageBox("You have a game in progress. You cannot cash out now.", mkWarning, mbOK);
    return;
  }
  if (!Silent && vx::GameMessageBox("Cash out " + std::to_string(data->Credit) + "?", mkConfirmation,
                                    mbYes | mbNo) != mrYes)
    return;
  if (data->Credit == 0 || RoundState != 0) return;  // the question pumped messages
  RoundState = 1;
  vx::WeakRef<TVXGame> self(this);
  if (Scene != nullptr) CountTransfer(Scene->CreditLabel, nullptr, -1);
  if (!self) return;
  MoveCreditToBank();
  UpdateCredit();
  RoundState = 0;
}

void TVXGame::TransferWin(TVXLabel* WinLabel, TVXLabel* SecondLabel) {
  TVXGameData* data = GetGameData();
  const int64_t win = std::max<int32_t>(data->Win, 0);
  const int64_t second = SecondLabel != nullptr ? std::max<int64_t>(vx::LabelValue(SecondLabel), 0) : 0;
  // Checked before anything changes or counts.
  const uint32_t total = vx::CheckedAddU32(data->Credit, vx::CheckedAdd64(win, second));
  vx::WeakRef<TVXGame> self(this);
  if (Scene != nullptr) {
    CountTransfer(WinLabel, Scene->CreditLabel, -1);
    if (!self) return;
    if (SecondLabel != nullptr) CountTransfer(SecondLabel, Scene->CreditLabel, -1);
    if (!self) return;
    // The credit label now shows both amounts counted in; a count cut short (the program
    // closing) leaves it behind, and the checked sum stands.
    if (Scene->CreditLabel != nullptr && vx::LabelValue(Scene->CreditLabel) != static_cast<int64_t>(total))
      Log("ERROR: THE CREDIT LABEL SHOWS " + Scene->CreditLabel->Caption() + ", THE CREDIT IS " + std::to_string(total));
  }
  data->Credit = total;
  data->Win = 0;
  UpdateCredit();
  ShowWin();
}

void TVXGame::ResetTally() {
  // The tally is merged once: a second merge of the same visit must not count it again.
  TGameStatictics& tally = GetGameData()->Tally();
  tally.CreditIn = 0;
  tally.CreditOut = 0;
  for (int i = 0; i < tally.GameHands.Count(); ++i) tally.GameHands.Items(i)->Value = 0;
}

bool TVXGame::FinishVisit() {
  if (RoundState != 0) return false;
  TVXGameData* data = GetGameData();
  if (data->Credit != 0) CashOut(true);
  data->Save();
  try {
    data->MergeInto(Statistics);
  } catch (const std::exception& e) {
    Log(std::string("ERROR: ") + e.what());
  }
  ResetTally();
  return true;
}

void TVXGame::SettleOnClose() {
  if (settled_) return;
  settled_ = true;
  TVXGameData* data = GetGameData();
  if (data->Win > 0) {
    if (static_cast<uint64_t>(data->Credit) + static_cast<uint64_t>(data->Win) <= kUInt32Max) {
      data->Credit += static_cast<uint32_t>(data->Win);
      data->Win = 0;
    } else {
      Log("ERROR: THE CREDIT CANNOT HOLD THE PENDING WIN");
    }
  }
  RoundState = 0;
  if (data->Credit != 0) MoveCreditToBank();
  data->Save();
  try {
    data->MergeInto(Statistics);
  } catch (const std::exception& e) {
    Log(std::string("ERROR: ") + e.what());
  }
  ResetTally();
}
