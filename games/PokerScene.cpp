#include "games/PokerScene.h"

#include <algorithm>

#include "core/Log.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/PokerVariants.h"
#include "games/VXCard.h"

namespace {

std::string N(const char* prefix, int n) { return prefix + std::to_string(n); }

// The blink of a label for a while, waiting meanwhile.
void BlinkFor(TVXGameScene& scene, TVXCustomControl* c, uint64_t ms) {
  if (c == nullptr) return;
  vx::WeakRef<TVXCustomControl> ref(c);
  c->SetBlinking(true);
  vx::GameWait(scene, ms);
  if (ref) c->SetBlinking(false);
}

}  // namespace

// --- TPayoutList -------------------------------------------------------------------------

TPayoutList::TPayoutList(TPokerScene* scene, const TGameInfo* info, bool compact)
    : Scene(scene), GameInfo(info), Compact(compact) {
  Panel = scene->Make<TVXPanel>("PNL_PAYOFF");
  RowCount = info != nullptr ? info->Hands().Count() : 0;
  ColumnCount = compact ? 5 : 1;
  cells_.assign(static_cast<size_t>(ColumnCount), {});
  marks_.assign(static_cast<size_t>(ColumnCount), std::vector<bool>(static_cast<size_t>(RowCount), false));
  for (int32_t r = 1; r <= RowCount; ++r) {
    TVXLabel* title = scene->Make<TVXLabel>(N("LBL_PAYOFF_", r), Panel);
    title->SetText(TVXGameManager::HandTitle(info->Hands().Items(r - 1)->HandIDStr));
    Titles.push_back(title);
    for (int32_t c = 1; c <= ColumnCount; ++c) {
      const std::string name = compact ? "LBL_PAYOFFV" + std::to_string(c) + "_" + std::to_string(r)
                                       : N("LBL_PAYOFFV_", r);
      TVXLabel* cell = scene->Make<TVXLabel>(name, Panel);
      cell->SetText("0");
      cells_[static_cast<size_t>(c - 1)].push_back(cell);
    }
  }
  KeepLooks();
}

TPayoutList::TLook TPayoutList::LookOf(const TVXLabel* label) {
  return {label->Alpha(), label->Alpha4(), label->Color4(), label->Font.Color()};
}

void TPayoutList::Unlight(TVXLabel* label, const TLook& look) {
  for (int n = ueEffect1; n <= ueEffect3; ++n) label->StopEffect(n, true);
  label->SetAlpha(look.Alpha);
  label->SetAlpha4(look.Alpha4);
  label->SetColor4(look.Color);
  label->Font.SetColor(look.FontColor);
}

void TPayoutList::KeepLooks() {
  titleLooks_.clear();
  for (const TVXLabel* t : Titles) titleLooks_.push_back(LookOf(t));
  cellLooks_.assign(static_cast<size_t>(ColumnCount), {});
  for (int32_t c = 1; c <= ColumnCount; ++c)
    for (int32_t r = 1; r <= RowCount; ++r) cellLooks_[static_cast<size_t>(c - 1)].push_back(LookOf(Cell(c, r)));
}

TVXLabel* TPayoutList::Cell(int32_t column, int32_t row) const {
  if (column < 1 || column > ColumnCount || row < 1 || row > RowCount) return nullptr;
  return cells_[static_cast<size_t>(column - 1)][static_cast<size_t>(row - 1)];
}

bool TPayoutList::Marked(int32_t column, int32_t row) const {
  if (Cell(column, row) == nullptr) return false;
  return marks_[static_cast<size_t>(column - 1)][static_cast<size_t>(row - 1)];
}

void TPayoutList::Fill(const std::vector<int32_t>& betList, int32_t bet) {
  for (int32_t c = 1; c <= ColumnCount; ++c) {
    int64_t columnBet = bet;
    if (Compact) columnBet = static_cast<size_t>(c) < betList.size() ? betList[static_cast<size_t>(c)] : 0;
    for (int32_t r = 1; r <= RowCount; ++r) {
      // 64-bit: a 32-bit multiplier times a 32-bit bet always fits.
      const int64_t pay = static_cast<int64_t>(GameInfo->Hands().Items(r - 1)->Value) * columnBet;
      vx::SetLabelValue(Cell(c, r), pay);
    }
  }
}

void TPayoutList::MarkBetColumn(const std::vector<int32_t>& betList, int32_t bet) {
  if (!Compact) return;
  // A highlight overlaid on the mark takes the mark's state with it when it stops: the
  // effect alone would leave an old column marked, so every other cell gets its own look.
  betColumn_ = 0;
  for (int32_t c = 1; c <= ColumnCount; ++c) {
    const bool marked = static_cast<size_t>(c) < betList.size() && betList[static_cast<size_t>(c)] == bet;
    if (marked && betColumn_ == 0) betColumn_ = c;
    for (int32_t r = 1; r <= RowCount; ++r) {
      TVXLabel* cell = Cell(c, r);
      if (marked) {
        cell->StopEffect(ueEffect1, true);
        cell->StartEffect(ueEffect1);
      } else {
        Unlight(cell, cellLooks_[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)]);
      }
    }
  }
}

void TPayoutList::Layout() {
  auto lay = [this](auto labelOf) {
    TVXLabel* first = labelOf(1);
    if (first == nullptr) return;
    for (int32_t r = 2; r <= RowCount; ++r) {
      TVXLabel* l = labelOf(r);
      l->SetLeft(first->Left());
      l->SetWidth(first->Width());
      l->SetHeight(first->Height());
      l->SetTop(vx::ClampCoordinate(static_cast<int64_t>(first->Top()) +
                                    static_cast<int64_t>(r - 1) * first->Height()));
    }
  };
  lay([this](int32_t r) { return r <= RowCount ? Titles[static_cast<size_t>(r - 1)] : nullptr; });
  for (int32_t c = 1; c <= ColumnCount; ++c) lay([this, c](int32_t r) { return Cell(c, r); });
}

void TPayoutList::ClearHighlight() {
  ++clears_;
  for (int32_t r = 1; r <= RowCount; ++r) {
    TVXLabel* t = Titles[static_cast<size_t>(r - 1)];
    t->SetBlinking(false);
    Unlight(t, titleLooks_[static_cast<size_t>(r - 1)]);
    for (int32_t c = 1; c <= ColumnCount; ++c) {
      TVXLabel* cell = Cell(c, r);
      cell->SetBlinking(false);
      // The compact layout's bet column keeps its mark (user effect 1).
      if (Compact && c == betColumn_) {
        for (int n = ueEffect2; n <= ueEffect3; ++n) cell->StopEffect(n, true);
      } else {
        Unlight(cell, cellLooks_[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)]);
      }
      marks_[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)] = false;
    }
  }
}

int32_t TPayoutList::RowOf(const std::string& key) const {
  return GameInfo != nullptr ? GameInfo->IndexOfHand(key) + 1 : 0;
}

bool TPayoutList::Highlight(bool final, const std::string& key, int32_t bet, const std::vector<int32_t>& betList,
                            bool orvantaFour) {
  ClearHighlight();
  if (key == "HAND_NOTHING") return false;
  const int32_t row = RowOf(key);
  // A hand the table lacks pays nothing and shows nothing.
  if (row < 1) return false;
  if (final)
    vx::GamePlaySound(*Scene, row <= 4 ? "SND_WINBIG" : "SND_WIN");
  else
    vx::GamePlaySound(*Scene, "SND_WINPRE");
  vx::WeakRef<TVXCustomControl> panel(Panel);
  // A wait pumps messages: a new round or the attract mode may clear the list meanwhile,
  // and then this highlight is over.
  const uint64_t clears = clears_;
  auto superseded = [&] { return !panel || clears_ != clears; };
  TVXLabel* title = Titles[static_cast<size_t>(row - 1)];
  if (!Compact) {
    if (orvantaFour && Scene->Has(vx::poOrvantaBonus)) {
      Scene->LblOrvantaV->SetBlinking(true);
      Scene->LblOrvantaCard->SetBlinking(true);
      vx::GameWait(*Scene, 3000);
      if (!panel) return false;
      Scene->LblOrvantaV->SetBlinking(false);
      Scene->LblOrvantaCard->SetBlinking(false);
      if (superseded()) return false;
    }
    TVXLabel* cell = Cell(1, row);
    title->SetBlinking(true);
    cell->SetBlinking(true);
    marks_[0][static_cast<size_t>(row - 1)] = true;
    vx::GameWait(*Scene, 100);
    if (superseded()) return false;
    title->SetBlinking(false);
    title->StartEffect(ueEffect1);
    cell->SetBlinking(false);
    cell->StartEffect(ueEffect1);
    return true;
  }
  title->StartEffect(ueEffect2);
  for (int32_t c = 1; c <= ColumnCount; ++c) {
    if (static_cast<size_t>(c) >= betList.size() || betList[static_cast<size_t>(c)] != bet) continue;
    marks_[static_cast<size_t>(c - 1)][static_cast<size_t>(row - 1)] = true;
    Cell(c, row)->StartEffect(ueEffect2);
  }
  return true;
}

// --- TPokerScene -------------------------------------------------------------------------

TPokerScene::TPokerScene(TVXComponent* owner, const std::string& theme, const TGameInfo* info, uint32_t options,
                         TVXContext* context)
    : TVXGameScene(owner, context), Options(options), GameInfo(info) {
  SetSceneName(theme);
  // Video poker plays the "JAZZ" style.
  MusicStyle = 3;
  // The base's controls were listed before the scene had its name.
  for (int32_t i = 0; i < ControlCount(); ++i) {
    if (auto* c = dynamic_cast<TVXControl*>(GetControl(i)); c != nullptr && c->TextureInfo.Folder().empty())
      c->TextureInfo.SetFolder(theme);
  }

  PnlCredit = Make<TVXPanel>("PNL_CREDIT");
  auto label = [this](const std::string& name, const std::string& caption, TVXCustomControl* parent) {
    TVXLabel* l = Make<TVXLabel>(name, parent);
    l->SetText(caption);
    return l;
  };
  LblCredit = label("LBL_CREDIT", "CREDIT", PnlCredit);
  LblCreditV = label("LBL_CREDITV", "0", PnlCredit);
  LblBet = label("LBL_BET", "BET", PnlCredit);
  LblBetV = label("LBL_BETV", "0", PnlCredit);
  LblWin = label("LBL_WIN", "WIN", PnlCredit);
  LblWinV = label("LBL_WINV", "0", PnlCredit);
  CreditLabel = LblCreditV;
  WinLabel = LblWinV;

  if (!Has(vx::poOrvantaBonus) && !Has(vx::poJackpot)) PnlLogo = Make<TVXPanel>("PNL_LOGO");
  if (Has(vx::poOrvantaBonus)) {
    PnlOrvanta = Make<TVXPanel>("PNL_ORVANTA");
    LblOrvanta = label("LBL_ORVANTA", "ORVANTA", PnlOrvanta);
    LblOrvantaV = label("LBL_ORVANTAV", "0", PnlOrvanta);
    LblOrvantaCard = label("LBL_ORVANTACARD", "7", PnlOrvanta);
    for (int i = 0; i < 10; ++i) {
      OrvantaStages[i] = Make<TVXImage>(N("IMG_ORVANTASTAGE_", i + 1), PnlOrvanta);
      OrvantaStages[i]->TextureInfo.SetName("img_jackpotstage");
    }
  }
  if (Has(vx::poJackpot)) {
    PnlAmericanJackpot = Make<TVXPanel>("PNL_AMERICANJACKPOT");
    LblMiniBonus = label("LBL_AMERICANMINIBONUS", "JACKS OR BETTER BONUS", PnlAmericanJackpot);
    LblMiniBonusV = label("LBL_AMERICANMINIBONUSV", "0", PnlAmericanJackpot);
    LblJackpot = label("LBL_AMERICANJACKPOT", "JACKPOT", PnlAmericanJackpot);
    LblJackpotV = label("LBL_AMERICANJACKPOTV", "0", PnlAmericanJackpot);
  }
  PnlNormalDup = Make<TVXPanel>("PNL_NORMALDUP");
  if (Has(vx::poDoubleUpBar)) {
    PnlDupBarDup = Make<TVXPanel>("PNL_DUPBARDUP");
    for (int i = 0; i < 8; ++i) {
      DupBar[i] = Make<TVXImage>(N("IMG_DUPBAR_", i + 1), PnlDupBarDup);
      DupBar[i]->TextureInfo.SetName("img_dupbar");
    }
    LblDupBarWinV = label("LBL_DUPBARWINV", "10000", PnlDupBarDup);
  }
  for (int i = 0; i < 5; ++i) {
    TVXCard* card = new TVXCard(this);
    card->SetName(N("CARD_MAIN_", i + 1));
    card->Tag = i + 1;
    card->SetParent(this);
    AddControl(card);
    if (Has(vx::poDeucesWild)) card->SetWildRank(2);
    // Name a real picture at once: the control's own name is no card of any set.
    card->SetFaceDown(true);
    card->UpdateImage();
    Cards[i] = card;
    HoldLabels[i] = label(N("LBL_HOLD_", i + 1), "HELD", nullptr);
    HoldLabels[i]->SetVisible(false);
  }
  ImgGameLogo = Make<TVXImage>("IMG_GAMELOGO");
  ImgGameLogo->TextureInfo.SetFolder("MAINROOM");
  ImgGameLogo->TextureInfo.SetName("IMG_GAME_" + (info != nullptr ? info->IDStr : std::string()));
  PnlButtons = Make<TVXPanel>("PNL_BUTTONS");
  for (int i = 0; i < 5; ++i) {
    HoldButtons[i] = Make<TVXButton>(N("BTN_HOLD_", i + 1), PnlButtons);
    HoldButtons[i]->SetText("HOLD");
    HoldButtons[i]->Tag = i + 1;
  }
  BtnDeal = Make<TVXButton>("BTN_DEAL", PnlButtons);
  BtnDeal->SetText("DEAL");
  BtnBet = Make<TVXButton>("BTN_BET", PnlButtons);
  BtnBet->SetText("BET");
  BtnCashAll = Make<TVXButton>("BTN_CASHALL", PnlButtons);
  BtnCashAll->SetText("CASH");
  if (Has(vx::poFurtherDraw)) {
    for (int i = 0; i < 3; ++i) {
      DealStageL[i] = Make<TVXImage>(N("IMG_DEALSTAGEL", i + 1));
      DealStageL[i]->TextureInfo.SetName("img_dealstage");
      DealStageR[i] = Make<TVXImage>(N("IMG_DEALSTAGER", i + 1));
      DealStageR[i]->TextureInfo.SetName("img_dealstage");
    }
  }
  ImgAdv = Make<TVXImage>("IMG_ADV");
  // The welcome plate carries the machine's own title: the machines that share a theme
  // would otherwise all read the theme's name.
  const vx::TPokerVariant* own = info != nullptr ? vx::FindPokerVariant(info->ID) : nullptr;
  if (own != nullptr && theme == own->Theme) ImgAdv->TextureInfo.SetName(WelcomePlateName(info->IDStr));
  PayoutList = std::make_unique<TPayoutList>(this, info, Has(vx::poCompactLayout));
  PnlDoubleUp->SetVisible(false);
  if (PnlDupBarDup != nullptr) PnlDupBarDup->SetVisible(false);
}

TPokerScene::~TPokerScene() = default;

void TPokerScene::LoadTheme(const std::string& casinoName) {
  TVXGameScene::LoadTheme(casinoName);
  PayoutList->Layout();
  PayoutList->KeepLooks();
  // The theme decides where things stand, not what shows: the view is put back.
  const bool shown = doubleUpShown_;
  doubleUpShown_ = !shown;
  ShowDoubleUp(shown);
  for (int i = 0; i < 5; ++i) HoldLabels[i]->SetVisible(Cards[i]->Visible() && Cards[i]->Held());
}

void TPokerScene::SetCardSet(const std::string& folder) {
  // A new folder changes only the keys: reload so no card keeps the old set's picture.
  for (TVXCard* c : Cards) {
    c->TextureInfo.SetFolder(folder);
    c->UpdateImage();
  }
  for (TVXCard* c : DupCards) {
    c->TextureInfo.SetFolder(folder);
    c->UpdateImage();
  }
}

void TPokerScene::ShowDoubleUp(bool flag) {
  const bool changed = flag != doubleUpShown_;
  doubleUpShown_ = flag;
  if (Has(vx::poHideHandInDoubleUp)) {
    // Only a switch of view touches the hand: cards hidden for another reason stay hidden.
    if (!changed) {
      PnlDoubleUp->SetVisible(flag);
      return;
    }
    for (int i = 0; i < 5; ++i) {
      Cards[i]->SetVisible(!flag);
      HoldLabels[i]->SetVisible(!flag && Cards[i]->Held());
    }
  } else {
    PayoutList->Panel->SetVisible(!flag);
    PnlNormalDup->SetVisible(!flag);
    if (PnlDupBarDup != nullptr) PnlDupBarDup->SetVisible(flag);
  }
  PnlDoubleUp->SetVisible(flag);
}

void TPokerScene::ShowOrvantaNumber(int32_t number) {
  if (LblOrvantaCard != nullptr) vx::SetLabelValue(LblOrvantaCard, number);
}

void TPokerScene::ShowOrvantaValue(int32_t value) {
  if (LblOrvantaV != nullptr) vx::SetLabelValue(LblOrvantaV, value);
}

void TPokerScene::ShowOrvantaStage(bool animate, bool full, int32_t count) {
  if (PnlOrvanta == nullptr) return;
  if (full) count = 10;
  count = std::clamp(count, 0, 10);
  for (TVXImage* img : OrvantaStages) img->StopEffect(ueEffect1, true);
  for (int i = 0; i < count; ++i) {
    OrvantaStages[i]->StartEffect(ueEffect1);
    if (animate) {
      vx::GameWait(*this, 500);
    }
  }
  if (count < 10) return;
  vx::GamePlaySound(*this, "SND_WINJACKPOT");
  if (!animate) return;
  for (TVXImage* img : OrvantaStages) img->SetBlinking(true);
  vx::GameWait(*this, 3000);
  for (TVXImage* img : OrvantaStages) img->SetBlinking(false);
}

void TPokerScene::ShowMiniBonus(int32_t pool, int64_t target, bool animate) {
  if (LblMiniBonusV == nullptr) return;
  vx::SetLabelValue(LblMiniBonusV, pool);
  if (animate && pool >= target) BlinkFor(*this, LblMiniBonusV, 3000);
}

void TPokerScene::ShowJackpot(int32_t jackpot) {
  if (LblJackpotV != nullptr) vx::SetLabelValue(LblJackpotV, jackpot);
}

void TPokerScene::ShowDealStage(int32_t stage) {
  if (DealStageL[0] == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    if (i < stage)
      DealStageL[i]->StartEffect(ueEffect1);
    else
      DealStageL[i]->StopEffect(ueEffect1, true);
    DealStageR[i]->SetVisible(i >= stage);
  }
}
