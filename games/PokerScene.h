#pragma once
// The video-poker screen and its pay list. The screen creates the round's controls by name,
// choosing the optional panels by the variant's option bits; the theme of the variant's
// section places them. The pay list shows one row per pay-table entry with the hand's
// display text and its pay, and highlights the hand that was made.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXControl.h"
#include "games/PokerVariants.h"
#include "games/VXGame.h"

class TGameInfo;
class TPokerScene;
class TVXButton;
class TVXCard;
class TVXImage;
class TVXLabel;
class TVXPanel;

class TPayoutList {
public:
  // Creates "PNL_PAYOFF" and its labels on the screen; compact: five value columns.
  TPayoutList(TPokerScene* scene, const TGameInfo* info, bool compact);

  TPokerScene* Scene = nullptr;
  const TGameInfo* GameInfo = nullptr;
  bool Compact = false;
  TVXPanel* Panel = nullptr;
  int32_t RowCount = 0;
  int32_t ColumnCount = 0;
  // Row r (1..RowCount) at index r-1.
  std::vector<TVXLabel*> Titles;

  bool IsCompact() const { return Compact; }
  // The value label of column c (1..ColumnCount) and row r (1..RowCount), or nullptr.
  TVXLabel* Cell(int32_t column, int32_t row) const;
  // Whether the highlight marks the cell.
  bool Marked(int32_t column, int32_t row) const;

  // Each cell shows the row's multiplier times the column's bet: bet-list element c in the
  // compact layout (betList[0] unused), the current bet otherwise.
  void Fill(const std::vector<int32_t>& betList, int32_t bet);
  // Compact layout: user effect 1 on the column whose bet-list element is the bet; every
  // other cell back to its own look.
  void MarkBetColumn(const std::vector<int32_t>& betList, int32_t bet);
  // Rows 2.. take row 1's left, width and height, each one row-height lower.
  void Layout();
  // Keeps each label's look (alpha, colours, text colour) as the theme gave it, for the
  // moment a light goes out.
  void KeepLooks();
  // Every row and cell back to its own look (the compact bet column keeps its mark), the
  // marks cleared; a highlight still waiting on a blink lights nothing afterwards.
  void ClearHighlight();
  // The row (1-based) of a hand key in the pay table, or 0.
  int32_t RowOf(const std::string& key) const;
  // Highlights the row of `key`: sound, then the blink and the effect (see the .cpp).
  // `orvantaFour` blinks the Orvanta labels first. False when nothing was highlighted.
  bool Highlight(bool final, const std::string& key, int32_t bet, const std::vector<int32_t>& betList,
                 bool orvantaFour);

private:
  struct TLook {
    int32_t Alpha = 0;
    TAlpha4 Alpha4{};
    TColor4 Color{};
    uint32_t FontColor = 0;
  };
  static TLook LookOf(const TVXLabel* label);
  // Stops the label's user effects (restoring) and puts its own look back, whatever an
  // effect that was overlaid by another one left behind.
  static void Unlight(TVXLabel* label, const TLook& look);
  std::vector<std::vector<TVXLabel*>> cells_;  // [column-1][row-1]
  std::vector<std::vector<bool>> marks_;
  std::vector<TLook> titleLooks_;
  std::vector<std::vector<TLook>> cellLooks_;  // [column-1][row-1]
  int32_t betColumn_ = 0;                      // the marked column, 0 for none
  uint64_t clears_ = 0;                        // ClearHighlight calls so far
};

class TPokerScene : public TVXGameScene {
public:
  // `context` is the program's (a scene without an owner needs it to find the main window).
  TPokerScene(TVXComponent* owner, const std::string& theme, const TGameInfo* info, uint32_t options,
              TVXContext* context);
  ~TPokerScene() override;
  // The welcome picture (IMG_ADV's own) of the machine with that catalogue id string.
  static std::string WelcomePlateName(const std::string& idStr) { return "IMG_ADV_" + idStr; }

  uint32_t Options = 0;
  const TGameInfo* GameInfo = nullptr;
  // The layout number the variant hands over.
  int32_t Columns = 0;

  TVXPanel* PnlCredit = nullptr;
  TVXLabel* LblCredit = nullptr;
  TVXLabel* LblCreditV = nullptr;
  TVXLabel* LblBet = nullptr;
  TVXLabel* LblBetV = nullptr;
  TVXLabel* LblWin = nullptr;
  TVXLabel* LblWinV = nullptr;
  TVXPanel* PnlLogo = nullptr;
  TVXPanel* PnlOrvanta = nullptr;
  TVXLabel* LblOrvanta = nullptr;
  TVXLabel* LblOrvantaV = nullptr;
  TVXLabel* LblOrvantaCard = nullptr;
  TVXImage* OrvantaStages[10] = {};
  TVXPanel* PnlAmericanJackpot = nullptr;
  TVXLabel* LblMiniBonus = nullptr;
  TVXLabel* LblMiniBonusV = nullptr;
  TVXLabel* LblJackpot = nullptr;
  TVXLabel* LblJackpotV = nullptr;
  TVXPanel* PnlNormalDup = nullptr;
  TVXPanel* PnlDupBarDup = nullptr;
  TVXImage* DupBar[8] = {};
  TVXLabel* LblDupBarWinV = nullptr;
  TVXCard* Cards[5] = {};
  TVXLabel* HoldLabels[5] = {};
  TVXImage* ImgGameLogo = nullptr;
  TVXPanel* PnlButtons = nullptr;
  TVXButton* HoldButtons[5] = {};
  TVXButton* BtnDeal = nullptr;
  TVXButton* BtnBet = nullptr;
  TVXButton* BtnCashAll = nullptr;
  TVXImage* DealStageL[3] = {};
  TVXImage* DealStageR[3] = {};
  TVXImage* ImgAdv = nullptr;
  std::unique_ptr<TPayoutList> PayoutList;

  bool Has(vx::TPokerOption bit) const { return vx::HasOption(Options, bit); }
  bool DoubleUpShown() const { return doubleUpShown_; }

  // The base's theme loading, then the pay list's layout.
  void LoadTheme(const std::string& casinoName) override;
  // Switches between the round's view and the double-up's view.
  void ShowDoubleUp(bool flag);
  // The card set becomes the folder of the five hand cards and the ten double-up cards.
  void SetCardSet(const std::string& folder);

  void ShowOrvantaNumber(int32_t number);
  void ShowOrvantaValue(int32_t value);
  // Lights stage pictures 1..count (10 when full); with `animate` 500 ms apart, and at 10
  // "SND_WINJACKPOT" and a 3000 ms blink.
  void ShowOrvantaStage(bool animate, bool full, int32_t count);
  // The pool; a pool that has reached its target blinks for 3000 ms when `animate`.
  void ShowMiniBonus(int32_t pool, int64_t target, bool animate);
  void ShowJackpot(int32_t jackpot);
  // The deal-stage pictures of the variants with a further draw: the left ones light up to
  // the draw being played, the right ones stay lit for the draws still to come.
  void ShowDealStage(int32_t stage);

private:
  bool doubleUpShown_ = false;
};
