#include "lobby/VXLobbyDialogs.h"

#include <utility>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXSettings.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"

namespace vx {

namespace {

std::function<void(const std::string&)>& OpenAddressHandler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}

}  // namespace

const char* const kStatisticsPlaceholderText = "The statistics window opens here once it is built.";
const char* const kHallOfFamePlaceholderText = "The hall of fame opens here once it is built.";
const char* const kOptionsPlaceholderText = "The options window opens here once it is built.";
const char* const kHelpPlaceholderText = "The help pages open here once the help window is built.";
const char* const kAboutPlaceholderText = "The about window opens here once it is built.";

int32_t ShowProfileDialog() {
  TVXPlayers* players = Lobby().Players != nullptr ? Lobby().Players : Players();
  TVXMainWindow* main = MainWindow();
  if (players == nullptr || main == nullptr) {
    Log("ERROR: The profile dialog needs the players and the main window");
    return 0;
  }
  WeakRef<TfrmProfile> form(new TfrmProfile(main->MainScene(), *players, Settings()));
  const int32_t result = form ? form->ShowModal() : 0;
  delete form.Get();
  // A renamed player must not keep the old name on the lobby's panel.
  if (result == 1) {
    if (TMainRoom* room = Lobby().MainRoom) room->ShowPlayerInfo();
  }
  return result;
}

// Placeholder: the statistics dialog is not built yet.
void ShowStatisticsDialog() { LobbyAsk(kStatisticsPlaceholderText, mkInformation, mbOK); }

// Placeholder: the hall of fame dialog is not built yet.
void ShowHallOfFameDialog() { LobbyAsk(kHallOfFamePlaceholderText, mkInformation, mbOK); }

// Placeholder: the options dialog is not built yet.
void ShowOptionsDialog() { LobbyAsk(kOptionsPlaceholderText, mkInformation, mbOK); }

// Placeholder: the help dialog is not built yet.
void ShowHelpDialog() { LobbyAsk(kHelpPlaceholderText, mkInformation, mbOK); }

// Placeholder: the about dialog is not built yet.
void ShowAboutDialog() { LobbyAsk(kAboutPlaceholderText, mkInformation, mbOK); }

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
