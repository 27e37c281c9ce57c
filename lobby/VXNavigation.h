#pragma once
// The menu bar: a scene in front of every screen with the four menus and their ten items,
// the hint line, the running game's credit and cash-out buttons, an exit button and the
// popup message panel. Its background is switched off by its theme, so everywhere outside
// its own controls a click reaches the screen behind it.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/VXLiveness.h"
#include "framework/VXScene.h"

class TVXButton;
class TVXImage;
class TVXLabel;
class TVXMenu;
class TVXMenuItem;
class TVXPanel;
struct TVXLobbyState;

class TNavigationScene : public TVXScene {
public:
  explicit TNavigationScene(TVXComponent* owner);

  TVXLabel* LblHint = nullptr;
  TVXMenu* MenuFile = nullptr;
  TVXMenu* MenuPlayer = nullptr;
  TVXMenu* MenuTools = nullptr;
  TVXMenu* MenuHelp = nullptr;
  TVXMenuItem* MenuSignOut = nullptr;
  TVXMenuItem* MenuBossComing = nullptr;
  TVXMenuItem* MenuExitGame = nullptr;
  TVXMenuItem* MenuProfile = nullptr;
  TVXMenuItem* MenuStatistics = nullptr;
  TVXMenuItem* MenuHallOfFame = nullptr;
  TVXMenuItem* MenuOptions = nullptr;
  TVXMenuItem* MenuHelpLocal = nullptr;
  TVXMenuItem* MenuHomePage = nullptr;
  TVXMenuItem* MenuAbout = nullptr;
  TVXButton* BtnCredit = nullptr;
  TVXButton* BtnCashOut = nullptr;
  TVXButton* BtnExitGame = nullptr;
  TVXPanel* PnlPopupMessage = nullptr;
  TVXImage* ImgPopupMessage = nullptr;
  TVXLabel* LblPopupMessage = nullptr;
};

class TNavigation {
public:
  // Builds the scene (owned by the root scene of the lobby's context), hooks every item and
  // loads the theme.
  explicit TNavigation(TVXLobbyState& lobby);
  ~TNavigation();
  TNavigation(const TNavigation&) = delete;
  TNavigation& operator=(const TNavigation&) = delete;

  TNavigationScene* Scene() const { return scene_.Get(); }

  void Show();
  void LoadTheme();
  // The credit and cash-out buttons show exactly while a game runs; the bar comes to the
  // front.
  void Update();
  // After a login; nothing to do.
  void PlayerChanged() {}
  // The hint line: shown with the text, hidden when it is empty.
  void ShowHint(const std::string& text);
  // The popup: text, the player's picture and an auto-hide after `frames` frames.
  void ShowPopup(const std::string& text, int32_t pictureID, int32_t frames);
  void HidePopup();

  // ---- The items' and buttons' actions (the controls call them; tests may too).
  void SignOutClick();
  void ExitGameClick();
  void ProfileClick();
  void StatisticsClick();
  void HallOfFameClick();
  void OptionsClick();
  void HelpClick();
  void HomePageClick();
  void AboutClick();
  void CreditClick();
  void CashOutClick();

private:
  TVXLobbyState& lobby_;
  vx::WeakRef<TNavigationScene> scene_;
};
