#include "lobby/VXLobbyDialogs.h"

#include <utility>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
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

// Creates the dialog over the lobby's root scene, runs it and frees it; 0 without a main
// window.
template <class Form, class... Args>
int32_t RunDialog(const TVXLobbyState& lobby, Args&&... args) {
  TVXComponent* owner = DialogOwner(&lobby.Context);
  if (owner == nullptr) {
    Log("ERROR: A dialog needs the main window");
    return 0;
  }
  WeakRef<Form> form(new Form(owner, std::forward<Args>(args)...));
  const int32_t result = form ? form->ShowModal() : 0;
  delete form.Get();
  return result;
}

}  // namespace

int32_t ShowProfileDialog(TVXLobbyState& lobby) {
  TVXPlayers* players = lobby.Players;
  if (players == nullptr) {
    Log("ERROR: The profile dialog needs the players");
    return 0;
  }
  const int32_t result = RunDialog<TfrmProfile>(lobby, *players, lobby.Context.Setting.get(), lobby.CasinoManager);
  // A renamed player must not keep the old name on the lobby's panel.
  if (result == 1) {
    if (TMainRoom* room = lobby.MainRoom) room->ShowPlayerInfo();
  }
  return result;
}

void ShowStatisticsDialog(TVXLobbyState& lobby) {
  if (TVXPlayers* players = lobby.Players) {
    RunDialog<TfrmStatistics>(lobby, *players, lobby.CurrentCasino, lobby.CurrentGame);
  } else {
    Log("ERROR: The statistics need the players");
  }
}

void ShowHallOfFameDialog(TVXLobbyState& lobby) {
  if (TVXPlayers* players = lobby.Players) {
    RunDialog<TfrmHighScore>(lobby, *players, lobby.CurrentGame);
  } else {
    Log("ERROR: The hall of fame needs the players");
  }
}

void ShowOptionsDialog(TVXLobbyState& lobby) {
  if (TVXSetting* settings = lobby.Context.Setting.get()) {
    RunDialog<TfrmOptions>(lobby, *settings, lobby.Context.Sounds.get(), EngineDisplayModeSwitch(lobby.Context));
  } else {
    Log("ERROR: The options need the settings");
  }
}

void ShowHelpDialog(TVXLobbyState& lobby) {
  const TVXSetting* settings = lobby.Context.Setting.get();
  RunDialog<TfrmHelp>(lobby, settings != nullptr ? settings->ProgramFolder : std::string());
}

void ShowAboutDialog(TVXLobbyState& lobby) { RunDialog<TfrmAbout>(lobby, lobby.Context.AppInfo.get()); }

}  // namespace vx
