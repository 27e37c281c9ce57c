#include "lobby/VXNavigation.h"

#include <utility>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXMenus.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/VXGame.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXRoundSave.h"

namespace {

// Every menu shares one picture, and every item another: the theme sizes them.
constexpr const char* kMenuTexture = "MENU_HEAD";
constexpr const char* kMenuItemTexture = "MENU_ITEM";

TVXMenu* AddMenu(TVXScene* scene, const std::string& name, const std::string& caption) {
  auto* menu = new TVXMenu(scene);
  menu->SetText(caption);
  menu->SetName(name);
  menu->TextureInfo.SetName(kMenuTexture);
  scene->AddControl(menu);
  return menu;
}

TVXMenuItem* AddItem(TVXScene* scene, TVXMenu* menu, const std::string& name, const std::string& caption) {
  auto* item = new TVXMenuItem(scene);
  item->SetText(caption);
  item->SetName(name);
  item->TextureInfo.SetName(kMenuItemTexture);
  menu->Add(item);
  scene->AddControl(item);
  return item;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TNavigationScene

TNavigationScene::TNavigationScene(TVXComponent* owner) : TVXScene(owner) {
  SetSceneName("NAVIGATION");
  LblHint = AddControl<TVXLabel>("LBL_HINT", "HINT");
  MenuFile = AddMenu(this, "MENU_FILE", "FILE");
  MenuPlayer = AddMenu(this, "MENU_PLAYER", "PLAYER");
  MenuTools = AddMenu(this, "MENU_TOOLS", "TOOLS");
  MenuHelp = AddMenu(this, "MENU_HELP", "HELP");
  MenuSignOut = AddItem(this, MenuFile, "MENU_SIGNOUT", "Sign out...");
  MenuBossComing = AddItem(this, MenuFile, "MENU_BOSSCOMING", "Boss coming!");
  MenuExitGame = AddItem(this, MenuFile, "MENU_EXITGAME", "Exit game...");
  MenuProfile = AddItem(this, MenuPlayer, "MENU_PROFILE", "Profile...");
  MenuStatistics = AddItem(this, MenuPlayer, "MENU_STATISTICS", "Statistics...");
  MenuHallOfFame = AddItem(this, MenuPlayer, "MENU_HALLOFFAME", "Hall of fame...");
  MenuOptions = AddItem(this, MenuTools, "MENU_OPTIONS", "Options...");
  MenuHelpLocal = AddItem(this, MenuHelp, "MENU_HELPLOCAL", "Help...");
  MenuHomePage = AddItem(this, MenuHelp, "MENU_HOMEPAGE", std::string(vx::kProductTitle) + " Home Page");
  MenuAbout = AddItem(this, MenuHelp, "MENU_ABOUT", "About...");
  BtnCredit = AddControl<TVXButton>("BTN_CREDIT", "");
  BtnCashOut = AddControl<TVXButton>("BTN_CASHOUT", "");
  BtnExitGame = AddControl<TVXButton>("BTN_EXITGAME", "");
  PnlPopupMessage = AddControl<TVXPanel>("PNL_POPUPMESSAGE", "");
  PnlPopupMessage->SetVisible(false);
  ImgPopupMessage = new TVXImage(this);
  ImgPopupMessage->SetParent(PnlPopupMessage);
  ImgPopupMessage->SetName("IMG_POPUPMESSAGE");
  ImgPopupMessage->TextureInfo.SetFolder("Players");
  ImgPopupMessage->TextureInfo.SetName("IMG_PLAYER");
  AddControl(ImgPopupMessage);
  LblPopupMessage = AddControl<TVXLabel>("LBL_POPUPMESSAGE", "", PnlPopupMessage);
  // The hint line appears with the first hint.
  LblHint->SetVisible(false);
}

// ---------------------------------------------------------------------------------------
// TNavigation

TNavigation::TNavigation(TVXLobbyState& lobby) : lobby_(lobby) {
  TVXMainWindow* main = vx::MainWindowIn(&lobby.Context);
  auto* scene = new TNavigationScene(main != nullptr ? main->MainScene() : nullptr);
  scene_ = scene;
  auto hook = [this](TVXControl* control, void (TNavigation::*action)()) {
    control->OnClick = [this, action](TVXComponent*) { (this->*action)(); };
  };
  hook(scene->MenuSignOut, &TNavigation::SignOutClick);
  // "Boss coming!" has no action.
  hook(scene->MenuExitGame, &TNavigation::ExitGameClick);
  hook(scene->MenuProfile, &TNavigation::ProfileClick);
  hook(scene->MenuStatistics, &TNavigation::StatisticsClick);
  hook(scene->MenuHallOfFame, &TNavigation::HallOfFameClick);
  hook(scene->MenuOptions, &TNavigation::OptionsClick);
  hook(scene->MenuHelpLocal, &TNavigation::HelpClick);
  hook(scene->MenuHomePage, &TNavigation::HomePageClick);
  hook(scene->MenuAbout, &TNavigation::AboutClick);
  hook(scene->BtnCredit, &TNavigation::CreditClick);
  hook(scene->BtnCashOut, &TNavigation::CashOutClick);
  hook(scene->BtnExitGame, &TNavigation::ExitGameClick);
  hook(scene->PnlPopupMessage, &TNavigation::HidePopup);
  hook(scene->ImgPopupMessage, &TNavigation::HidePopup);
  hook(scene->LblPopupMessage, &TNavigation::HidePopup);
  LoadTheme();
  Update();
}

TNavigation::~TNavigation() {
  if (TNavigationScene* scene = scene_.Get()) {
    // The handlers point at this object.
    for (int32_t i = 0; i < scene->ControlCount(); ++i) {
      if (TVXCustomControl* c = scene->GetControl(i)) c->OnClick = nullptr;
    }
    delete scene;
  }
}

void TNavigation::Show() {
  if (TNavigationScene* scene = scene_.Get()) scene->Show();
}

void TNavigation::LoadTheme() {
  if (TNavigationScene* scene = scene_.Get()) scene->LoadTheme(vx::CasinoNameIn(scene->Context()));
}

void TNavigation::Update() {
  TNavigationScene* scene = scene_.Get();
  if (scene == nullptr) return;
  const bool playing = lobby_.CurrentGame != nullptr;
  scene->BtnCredit->SetVisible(playing);
  scene->BtnCashOut->SetVisible(playing);
  scene->BringToFront();
}

void TNavigation::ShowHint(const std::string& text) {
  TNavigationScene* scene = scene_.Get();
  if (scene == nullptr) return;
  scene->LblHint->SetText(text);
  scene->LblHint->SetVisible(!text.empty());
}

void TNavigation::ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) {
  TNavigationScene* scene = scene_.Get();
  if (scene == nullptr) return;
  scene->LblPopupMessage->SetText(text);
  scene->ImgPopupMessage->SetFrame(pictureID > 0 ? pictureID : 1);
  scene->PnlPopupMessage->ShowFor(frames);
}

void TNavigation::HidePopup() {
  if (TNavigationScene* scene = scene_.Get()) scene->PnlPopupMessage->SetVisible(false);
}

void TNavigation::SignOutClick() {
  TVXLobbyState& lobby = lobby_;
  if (lobby.CurrentGame != nullptr) {
    vx::LobbyAsk(lobby, "Cannot sign-out now. Please exit the game first.", mkInformation, mbOK);
    return;
  }
  // Nobody to sign out: nothing to ask.
  if (lobby.Players == nullptr || lobby.Players->CurrentPlayer() == nullptr) return;
  if (vx::LobbyAsk(lobby, "Are you sure you want to sign-out?", mkConfirmation, mbYes | mbNo) != mrYes) return;
  // The question ran a message loop: the state may have changed meanwhile.
  if (lobby.CurrentGame != nullptr || lobby.Players == nullptr) return;
  // Whatever the last round left is written before the player goes.
  vx::WaitForRoundSaves();
  lobby.Players->Logout();
  // The lobby stays behind the login box: it must not go on showing the old player.
  if (lobby.MainRoom != nullptr) lobby.MainRoom->ShowPlayerInfo();
  // Through the dialog: signing the same player in again on their saved login would make
  // signing out pointless.
  if (lobby.Login) {
    lobby.Login(false);
  } else {
    Log("ERROR: No login to run after signing out");
  }
}

void TNavigation::ExitGameClick() {
  TVXLobbyState& lobby = lobby_;
  if (lobby.CurrentGame != nullptr) {
    if (lobby.MainRoom != nullptr) lobby.MainRoom->ExitGame();
    return;
  }
  // The close request only raises a flag: every loop returns first, and shutdown runs after
  // the outermost one, never from inside this handler.
  vx::CloseProgram(lobby);
}

void TNavigation::ProfileClick() { vx::ShowProfileDialog(lobby_); }

void TNavigation::StatisticsClick() { vx::ShowStatisticsDialog(lobby_); }

void TNavigation::HallOfFameClick() { vx::ShowHallOfFameDialog(lobby_); }

void TNavigation::OptionsClick() { vx::ShowOptionsDialog(lobby_); }

void TNavigation::HelpClick() { vx::ShowHelpDialog(lobby_); }

void TNavigation::HomePageClick() {
  TNavigationScene* scene = scene_.Get();
  const TVXContext* context = scene != nullptr ? scene->Context() : nullptr;
  const TVXApplicationInfo* info = vx::AppInfoIn(context);
  const std::string title = info != nullptr ? info->Title : std::string(vx::kProductTitle);
  const std::string address = info != nullptr ? info->HomePage : std::string(vx::kHomePage);
  if (TVXMainWindow* main = vx::MainWindowIn(context)) main->PopupMessage("Opening " + title + " Home Page", mkInformation);
  vx::OpenAddress(lobby_, address);
}

void TNavigation::AboutClick() { vx::ShowAboutDialog(lobby_); }

void TNavigation::CreditClick() {
  if (TVXGame* game = lobby_.CurrentGame) game->BuyCredit();
}

void TNavigation::CashOutClick() {
  if (TVXGame* game = lobby_.CurrentGame) game->CashOutClick();
}
