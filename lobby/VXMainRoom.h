#pragma once
// The lobby of a casino (theme "MAINROOM"): one logo per game of the casino, a preview of the
// game pointed at, the player's name and bank, banners, and the buttons to the dialogs.
// Clicking a logo enters the game behind the loading screen; leaving the game saves the
// money and the statistics and brings the lobby back.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXLiveness.h"
#include "framework/VXScene.h"

class TGameInfo;
class TVXButton;
class TVXCasino;
class TVXContext;
class TVXGame;
class TVXImage;
class TVXLabel;
class TVXMenu;
class TVXPanel;
class TVXScrollBox;
class TVXScrollingImage;
struct TVXLobbyState;
namespace vx {
class PumpTimer;
}

class TVXTextureList;

class TMainRoomScene : public TVXScene {
public:
  // The preview strip's rows are this tall (and 200 pixels wide).
  static constexpr int32_t PreviewWidth = 200;
  static constexpr int32_t PreviewHeight = 150;
  // Rows beyond this would make the strip taller than a texture may be; those games preview
  // the first row.
  static constexpr int32_t MaxPreviewRows = 27;

  // One logo per game of the casino's list, in list order; a game listed twice appears once.
  TMainRoomScene(TVXComponent* owner, TVXCasino* casino, TVXContext* context = nullptr);

  TVXCasino* Casino = nullptr;

  TVXPanel* PnlGamePreview = nullptr;
  TVXScrollingImage* ImgGamePreview = nullptr;
  TVXPanel* PnlGamePreviewInfo = nullptr;
  TVXLabel* LblGameTitle = nullptr;
  TVXLabel* LblGameDescription = nullptr;
  TVXImage* ImgCustom1 = nullptr;
  TVXImage* ImgCustom2 = nullptr;
  TVXImage* ImgCustom3 = nullptr;
  TVXImage* ImgCustom4 = nullptr;
  TVXImage* ImgLogo = nullptr;
  TVXImage* ImgLogo2 = nullptr;
  TVXPanel* PnlPlayer = nullptr;
  TVXLabel* LblFullName = nullptr;
  TVXLabel* LblBank = nullptr;
  TVXLabel* LblBankV = nullptr;
  TVXLabel* LblScrollWelcome = nullptr;
  TVXLabel* LblScrollNews = nullptr;
  TVXScrollBox* MemoInfo = nullptr;
  TVXButton* BtnProfile = nullptr;
  TVXButton* BtnStatistics = nullptr;
  TVXButton* BtnOptions = nullptr;
  TVXButton* BtnHelp = nullptr;
  TVXButton* BtnExitGame = nullptr;
  TVXMenu* MenuVideoPoker = nullptr;
  TVXMenu* MenuSlots = nullptr;

  struct TLobbyGame {
    TGameInfo* Info = nullptr;
    TVXImage* Logo = nullptr;      // "IMG_GAME_" + id string; tag = game id
    TVXImage* LogoBack = nullptr;  // "IMG_GAMELOGOBACK"; tag = game id
    int32_t PreviewIndex = 1;      // position of its row in the preview strip
  };
  const std::vector<TLobbyGame>& Games() const { return games_; }
  // nullptr when the casino offers no game of that id.
  const TLobbyGame* FindGame(int32_t id) const;

  // The standard theme reading, then each logo's back behind its own logo and the preview
  // strip made anew.
  void LoadTheme(const std::string& casinoName) override;

private:
  // The backs share one theme section: it gives their size; each is centred on its logo.
  void PlaceLogoBacks();
  // Row 0 the preview image's own picture, row i + 1 the game's "IMG_SH_" picture. The
  // pictures do not change while the scene lives: returning to the lobby finds the strip
  // made (unless the preview image's picture was renamed) and reads no picture again.
  void BuildPreviewStrip();
  // The strip's pictures read and made into its texture; false when it could not be made.
  bool MakePreviewStrip(TVXTextureList* textures, int32_t rows);

  std::vector<TLobbyGame> games_;
  std::string stripMadeFor_;  // the texture key and the preview image's picture of the strip made
};

class TMainRoom {
public:
  // How a game of the catalogue is made (the lobby's factory by default); tests replace it.
  using TGameFactory = std::function<std::unique_ptr<TVXGame>(TGameInfo* info)>;

  // Creates the scene for the lobby's current casino and hooks the logos and buttons.
  explicit TMainRoom(TVXLobbyState& lobby);
  // A game still running is settled (cash out, data saved, tally merged) and freed.
  ~TMainRoom();
  TMainRoom(const TMainRoom&) = delete;
  TMainRoom& operator=(const TMainRoom&) = delete;

  TMainRoomScene* Scene() const { return scene_.Get(); }
  TVXGame* CurrentGame() const { return game_.get(); }
  TGameFactory MakeGame;

  // The lobby themed behind the loading screen, the player's name and bank, its music, and
  // the menu bar updated.
  void Show();
  // The preview of the game whose logo is pointed at (only while the lobby is shown).
  void PreviewGame(TVXComponent* logo);
  // The game behind the loading screen. A game that cannot be made brings the lobby back.
  void EnterGame(int32_t gameID);
  // Leaves the running game when no round is in progress: cash-out, the data file, the
  // statistics and the players are saved (each step even when an earlier one failed), and
  // the lobby returns.
  void ExitGame();
  // The lobby's own exit: the casino's statistics saved and the casino entered again.
  void ExitLobbyClick();
  // The player's name and bank on the player panel.
  void ShowPlayerInfo();
  // The program is closing with a game running: it is settled without a question and freed.
  void CloseGame();
  // After every round of the running game: what leaving it now would leave is recorded in the
  // background (VXRoundSave.h). `commit`: a commit point inside a round (a bet taken, an
  // outcome decided), on disk before the game goes on when it moved money, so that a kill at
  // any moment gives what the player owned then.
  void SaveAfterRound(bool commit = false);

  // The default factory: video poker for group 1, a slot machine for group 2.
  std::unique_ptr<TVXGame> CreateGame(TGameInfo* info);

private:
  void FreeGame();
  TVXLobbyState& lobby_;
  vx::WeakRef<TMainRoomScene> scene_;
  std::unique_ptr<TVXGame> game_;
  // Polls the round's writer until it is idle.
  std::unique_ptr<vx::PumpTimer> saveCheck_;
};
