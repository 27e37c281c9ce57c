#include "games/SlotsScene.h"

#include <cstdlib>

#include "framework/VXHost.h"
#include "framework/VXWidgets.h"
#include "games/VXCard.h"
#include "games/VXReel.h"
#include "render/GfxDevice.h"

using namespace vx::slots;

namespace {
constexpr int32_t kEffectLine = 0;  // plain lines, as the toolkit draws them
}  // namespace

class TSlotLineMarker : public TVXLine {
public:
  using TVXLine::TVXLine;
  void Draw() override {
    TGfxDevice* device = Host().Device();
    if (device == nullptr) return;
    const bool steep = std::abs(EndY - Top()) > std::abs(EndX - Left());
    for (int d = -1; d <= 1; ++d) {
      const int32_t dx = steep ? d : 0, dy = steep ? 0 : d;
      device->Line(TGfxPoint{Left() + dx, Top() + dy}, TGfxPoint{EndX + dx, EndY + dy}, Color4()[0], Color4()[1],
                   kEffectLine);
    }
  }
};

namespace {
std::string N(const char* prefix, int32_t n) { return prefix + std::to_string(n); }
}  // namespace

std::string TSlotsScene::ThemeName(TSmallSet features) {
  if (InSet(features, sfLayout1x3)) return "SLOTS1X3";
  return InSet(features, sfLayout3x5) ? "SLOTS3X5" : "SLOTS3X3";
}

TSlotsScene::TSlotsScene(TVXComponent* owner, TSmallSet features, TVXContext* context)
    : TVXGameScene(owner, context), Features(features) {
  Kind = Has(sfLayout1x3) ? mk1x3 : Has(sfLayout3x5) ? mk3x5 : mk3x3;
  Shape = ShapeOf(Kind);
  const std::string theme = ThemeName(features);
  SetSceneName(theme);
  MusicStyle = Kind == mk3x5 ? 5 : 4;
  // The base's controls were listed before the scene had its name.
  for (int32_t i = 0; i < ControlCount(); ++i) {
    if (auto* c = dynamic_cast<TVXControl*>(GetControl(i)); c != nullptr && c->TextureInfo.Folder().empty())
      c->TextureInfo.SetFolder(theme);
  }
  auto label = [this](const std::string& name, const std::string& caption, TVXCustomControl* parent) {
    TVXLabel* l = Make<TVXLabel>(name, parent);
    l->SetText(caption);
    return l;
  };

  PnlReels = Make<TVXPanel>("PNL_REELS");
  ImgReels = Make<TVXImage>("IMG_REELS", PnlReels);
  for (int32_t n = 1; n <= Shape.Cells; ++n) {
    TVXReel* reel = Make<TVXReel>(N("REEL_", n), PnlReels);
    reel->TextureInfo.SetName("img_reel");
    reel->Tag = n;
    Reels.push_back(reel);
    TVXImage* box = Make<TVXImage>(N("IMG_REELBOX_", n), PnlReels);
    box->TextureInfo.SetName("img_reelbox");
    ReelBoxes.push_back(box);
  }
  for (int32_t n = 1; n <= Shape.LineLabels; ++n) LineBets.push_back(label(N("LBL_LINEBET_", n), "0", PnlReels));
  for (int32_t n = 1; n <= Shape.Markers; ++n) {
    auto* marker = new TSlotLineMarker(this);
    marker->SetName(N("LINE_WIN_", n));
    marker->SetParent(PnlReels);
    AddControl(marker);
    LineMarkers.push_back(marker);
  }

  PnlBonus = Make<TVXPanel>("PNL_BONUS");
  const bool all = Features == 0;
  if (all || Has(sfCherry)) {
    PnlCherryBonus = Make<TVXPanel>("PNL_CHERRYBONUS", PnlBonus);
    ImgCherryBonus = Make<TVXImage>("IMG_CHERRYBONUS", PnlCherryBonus);
    Img2Cherry = Make<TVXImage>("IMG_2CHERRY", PnlCherryBonus);
    LblCherryBonusStage = label("LBL_CHERRYBONUSSTAGE", "0", PnlCherryBonus);
  }
  if (all || Has(sfBarBonus)) {
    PnlBarBonus = Make<TVXPanel>("PNL_BARBONUS", PnlBonus);
    ImgBarBonus = Make<TVXImage>("IMG_BARBONUS", PnlBarBonus);
  }
  if (all || Has(sfBell)) {
    PnlBellBonus = Make<TVXPanel>("PNL_BELLBONUS", PnlBonus);
    ImgBellBonus = Make<TVXImage>("IMG_BELLBONUS", PnlBellBonus);
    LblBellBonusStage = label("LBL_BELLBONUSSTAGE", "0", PnlBellBonus);
    LblBellBonusValue = label("LBL_BELLBONUSVALUE", "0", PnlBellBonus);
  }
  if (all || Has(sfPools)) {
    PnlPools = Make<TVXPanel>("PNL_POOLS", PnlBonus);
    ImgPools = Make<TVXImage>("IMG_POOLS", PnlPools);
    LblPools = label("LBL_POOLS", "POOL", PnlPools);
    for (int i = 0; i < 3; ++i) LblPoolV[i] = label(N("LBL_POOLV", i + 1), "0", PnlPools);
  }

  LblCredit = label("LBL_CREDIT", "CREDIT", nullptr);
  LblCreditV = label("LBL_CREDITV", "0", nullptr);
  LblWin = label("LBL_WIN", "WIN", nullptr);
  LblWinV = label("LBL_WINV", "0", nullptr);
  LblBet1V = label("LBL_BET1V", "0", nullptr);
  LblBet2V = label("LBL_BET2V", "0", nullptr);
  LblBonusSpinCount = label("LBL_BONUSSPINCOUNT", "0 GAMES LEFT", nullptr);
  LblInfo = label("LBL_INFO", "WELCOME", nullptr);
  CreditLabel = LblCreditV;
  WinLabel = LblWinV;

  PnlButtons = Make<TVXPanel>("PNL_BUTTONS");
  auto button = [&](const std::string& name, const std::string& caption) {
    TVXButton* b = Make<TVXButton>(name, PnlButtons);
    b->SetText(caption);
    return b;
  };
  for (int32_t n = 1; n <= Shape.Columns; ++n) {
    TVXButton* hold = button(N("BTN_HOLD_", n), "HOLD");
    hold->Tag = n;
    HoldButtons.push_back(hold);
  }
  BtnSpin = button("BTN_SPIN", "SPIN");
  BtnBet1 = button("BTN_BET1", "BET1");
  BtnBet2 = button("BTN_BET2", "BET2");
  BtnCashAll = button("BTN_CASHALL", "CASH");
  ImgAdv = Make<TVXImage>("IMG_ADV");
}

TVXReel* TSlotsScene::Reel(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(Reels.size()) ? Reels[static_cast<size_t>(n - 1)] : nullptr;
}

TVXImage* TSlotsScene::ReelBox(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(ReelBoxes.size()) ? ReelBoxes[static_cast<size_t>(n - 1)] : nullptr;
}

TVXLine* TSlotsScene::Marker(int32_t n) const {
  return n >= 1 && n <= static_cast<int32_t>(LineMarkers.size()) ? LineMarkers[static_cast<size_t>(n - 1)] : nullptr;
}

void TSlotsScene::LoadTheme(const std::string& casinoName) {
  TVXGameScene::LoadTheme(casinoName);
  if (Reels.empty()) return;
  const TVXReel* first = Reels.front();
  const int32_t symbolHeight = first->Height() - 60;
  for (TVXReel* reel : Reels) reel->SetSymbolHeight(symbolHeight);
  const int32_t drawnHeight = Reels.front()->SymbolHeight;
  vx::WeakRef<TSlotsScene> alive(this);
  int32_t step = ControlCount();
  for (TVXReelItemInfo* symbol : Symbols) {
    // Placeholders are never drawn.
    if (symbol == nullptr || symbol->Id == 0) continue;
    if (OnLoadControl) {
      // A copy: the hook may replace itself or free the scene.
      TVXLoadControlEvent hook = OnLoadControl;
      hook(this, 1, symbol->Name(), step++);
      if (!alive) return;
    }
    symbol->SetWidth(first->Width());
    symbol->SetHeight(drawnHeight);
    symbol->TextureInfo.SetName(symbol->ImageName);
    PrepareControl(symbol);
  }
  for (TVXReel* reel : Reels) reel->Reset();
  int32_t top = 0;
  for (TVXPanel* panel : {PnlCherryBonus, PnlBarBonus, PnlBellBonus, PnlPools}) {
    if (panel == nullptr) continue;
    panel->SetTop(PnlBonus->Top() + top);
    panel->SetLeft(PnlBonus->Left());
    top = top + panel->Height() + 2;
  }
  PlaceMarkers();
}

int32_t TSlotsScene::LoadSteps() const {
  int32_t steps = ControlCount();
  for (const TVXReelItemInfo* symbol : Symbols)
    if (symbol != nullptr && symbol->Id != 0) ++steps;
  return steps;
}

void TSlotsScene::PlaceMarkers() {
  const std::vector<TMarkerDef>& defs = MarkersOf(Kind);
  for (size_t i = 0; i < defs.size() && i < LineMarkers.size(); ++i) {
    const TVXReel* a = Reel(defs[i].FromCell);
    const TVXReel* b = Reel(defs[i].ToCell);
    if (a == nullptr || b == nullptr) continue;
    const TPoint p = CellPoint(a->Left(), a->Top(), a->Width(), a->Height(), defs[i].From);
    const TPoint q = CellPoint(b->Left(), b->Top(), b->Width(), b->Height(), defs[i].To);
    LineMarkers[i]->SetPoints(p.X, p.Y, q.X, q.Y);
    LineMarkers[i]->SetColor(0xFF);
  }
}

void TSlotsScene::ShowDoubleUp(bool flag) {
  PnlReels->SetVisible(!flag);
  PnlDoubleUp->SetVisible(flag);
}

bool TSlotsScene::DoubleUpShown() const { return PnlDoubleUp->Visible(); }

void TSlotsScene::SetCardSet(const std::string& folder) {
  for (TVXCard* c : DupCards) {
    c->TextureInfo.SetFolder(folder);
    c->UpdateImage();
  }
}
