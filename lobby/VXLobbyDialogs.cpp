#include "lobby/VXLobbyDialogs.h"

#include <utility>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXSettings.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXAboutForm.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXHighScoreForm.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXProfileForm.h"
#include "lobby/VXStatisticsForm.h"

namespace vx {

namespace {

TVXPlayers* LobbyPlayers() { return Lobby().Players; }

// Creates the dialog over the root scene, runs it and frees it; 0 without a main window.
template <class Form, class... Args>
int32_t RunDialog(Args&&... args) {
  TVXComponent* owner = DialogOwner();
  if (owner == nullptr) {
    Log("ERROR: A dialog needs the main window");
    return 0;
  }
  WeakRef<Form> form(new Form(owner, std::forward<Args>(args)...));
  const int32_t result = form ? form->ShowModal() : 0;
  delete form.Get();
  return result;
}

std::function<void(const std::string&)>& OpenAddressHandler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}

}  // namespace

int32_t ShowProfileDialog() {
  TVXPlayers* players = LobbyPlayers();
  if (players == nullptr) {
    Log("ERROR: The profile dialog needs the players");
    return 0;
  }
  const int32_t result = RunDialog<TfrmProfile>(*players, Settings());
  // A renamed player must not keep the old name on the lobby's panel.
  if (result == 1) {
    if (TMainRoom* room = Lobby().MainRoom) room->ShowPlayerInfo();
  }
  return result;
}

void ShowStatisticsDialog() {
  if (TVXPlayers* players = LobbyPlayers()) {
    RunDialog<TfrmStatistics>(*players, Lobby().CurrentCasino, Lobby().CurrentGame);
  } else {
    Log("ERROR: The statistics need the players");
  }
}

void ShowHallOfFameDialog() {
  if (TVXPlayers* players = LobbyPlayers()) {
    RunDialog<TfrmHighScore>(*players, Lobby().CurrentGame);
  } else {
    Log("ERROR: The hall of fame needs the players");
  }
}

void ShowOptionsDialog() {
  if (TVXSetting* settings = Settings()) {
    RunDialog<TfrmOptions>(*settings, Program().Sounds, EngineDisplayModeSwitch());
  } else {
    Log("ERROR: The options need the settings");
  }
}

void ShowHelpDialog() {
  const TVXSetting* settings = Settings();
  RunDialog<TfrmHelp>(settings != nullptr ? settings->ProgramFolder : std::string());
}

void ShowAboutDialog() { RunDialog<TfrmAbout>(Program().AppInfo); }

void SetOpenAddressHandler(std::function<void(const std::string&)> handler) {
  OpenAddressHandler() = std::move(handler);
}

void OpenAddress(const std::string& address) {
  if (OpenAddressHandler()) {
    OpenAddressHandler()(address);
  } else {
    Log("ERROR: No way to open " + address);
  }
}

}  // namespace vx
