#pragma once
// The screen of every slot machine, built from the machine's features: the reel cells and
// their boxes, the line labels and line markers, the bonus and pool panels of the features
// the machine has, the meters and the deck of buttons. After the theme is applied it sizes
// the symbols, re-centres the cells, stacks the bonus panels and draws the line markers
// from the cells' places. It holds no rules: the game hooks the events and fills the labels.
#include <cstdint>
#include <string>
#include <vector>

#include "games/SlotsDefs.h"
#include "games/VXGame.h"

class TVXButton;
class TVXImage;
class TVXLabel;
class TVXLine;
class TVXPanel;
class TVXReel;
class TVXReelItemInfo;

// A line marker: a straight line drawn three pixels thick so it reads over the symbols.
class TSlotLineMarker;

class TSlotsScene : public TVXGameScene {
public:
  TSlotsScene(TVXComponent* owner, vx::slots::TSmallSet features, TVXContext* context);
  // The theme folder of a machine with these features.
  static std::string ThemeName(vx::slots::TSmallSet features);
  // The title plate (IMG_ADV's picture) of the machine with that catalogue id string: the
  // machines that share a theme are told apart by it.
  static std::string TitlePlateName(const std::string& idStr) { return "IMG_ADV_" + idStr; }

  vx::slots::TSmallSet Features = 0;
  uint8_t Kind = vx::slots::mk3x3;
  vx::slots::TShape Shape{};

  TVXPanel* PnlReels = nullptr;
  TVXImage* ImgReels = nullptr;
  // Cell n at index n-1.
  std::vector<TVXReel*> Reels;
  std::vector<TVXImage*> ReelBoxes;
  std::vector<TVXLabel*> LineBets;
  std::vector<TVXLine*> LineMarkers;
  TVXPanel* PnlBonus = nullptr;
  TVXPanel* PnlCherryBonus = nullptr;
  TVXImage* ImgCherryBonus = nullptr;
  TVXImage* Img2Cherry = nullptr;
  TVXLabel* LblCherryBonusStage = nullptr;
  TVXPanel* PnlBarBonus = nullptr;
  TVXImage* ImgBarBonus = nullptr;
  TVXPanel* PnlBellBonus = nullptr;
  TVXImage* ImgBellBonus = nullptr;
  TVXLabel* LblBellBonusStage = nullptr;
  TVXLabel* LblBellBonusValue = nullptr;
  TVXPanel* PnlPools = nullptr;
  TVXImage* ImgPools = nullptr;
  TVXLabel* LblPools = nullptr;
  TVXLabel* LblPoolV[3] = {};
  TVXLabel* LblCredit = nullptr;
  TVXLabel* LblCreditV = nullptr;
  TVXLabel* LblWin = nullptr;
  TVXLabel* LblWinV = nullptr;
  TVXLabel* LblBet1V = nullptr;
  TVXLabel* LblBet2V = nullptr;
  TVXLabel* LblBonusSpinCount = nullptr;
  TVXLabel* LblInfo = nullptr;
  TVXPanel* PnlButtons = nullptr;
  std::vector<TVXButton*> HoldButtons;
  TVXButton* BtnSpin = nullptr;
  TVXButton* BtnBet1 = nullptr;
  TVXButton* BtnBet2 = nullptr;
  TVXButton* BtnCashAll = nullptr;
  TVXImage* ImgAdv = nullptr;

  // The game's symbols (not owned); the theme gives them their size and pictures.
  std::vector<TVXReelItemInfo*> Symbols;

  bool Has(int feature) const { return vx::slots::InSet(Features, feature); }
  // The cell n (1-based), or nullptr.
  TVXReel* Reel(int32_t n) const;
  TVXImage* ReelBox(int32_t n) const;
  TVXLine* Marker(int32_t n) const;

  void LoadTheme(const std::string& casinoName) override;
  // The symbols' pictures load after the controls: each is a step of its own.
  int32_t LoadSteps() const override;
  // Places the line markers from the cells' rectangles.
  void PlaceMarkers();
  // The round's view or the double-up's.
  void ShowDoubleUp(bool flag);
  bool DoubleUpShown() const;
  // The folder of the double-up's cards.
  void SetCardSet(const std::string& folder);
};
