#include "e2e/LobbyPlaceholder.h"

#include "core/Log.h"
#include "framework/VXApplication.h"

#include <utility>

namespace {
void Note(const std::string& what) { Log("INFO: Lobby placeholder: " + what); }
}  // namespace

const char* const LobbyPlaceholder::kLoginText =
    "Welcome to Orvanta Cards Casino! Player profiles open with the lobby. Enter as a guest?";
const char* const LobbyPlaceholder::kMainRoomText =
    "The casino lobby opens here once it is built. Close the window to leave.";

LobbyPlaceholder::LobbyPlaceholder(std::function<TVXMainWindow*()> window) : window_(std::move(window)) {}

void LobbyPlaceholder::CreateCasinoManager() { Note("no casinos are read yet"); }

void LobbyPlaceholder::CreatePlayers() { Note("no players are read yet"); }

void LobbyPlaceholder::CreateCityAndMenuBar() { Note("no city and no menu bar yet"); }

void LobbyPlaceholder::PlayIntro() {
  Note("intro (a fade)");
  if (TVXMainWindow* main = window_()) main->FadeIn();
}

int32_t LobbyPlaceholder::SignIn(const std::string& name, const std::string& /*password*/) {
  Note("no player " + name + " to sign in");
  return 0;
}

int32_t LobbyPlaceholder::ShowLoginDialog() {
  Note("sign-in dialog");
  TVXMainWindow* main = window_();
  if (main == nullptr) return 0;
  const int32_t result = main->MessageBox(kLoginText, mkConfirmation, 0, mbOK | mbCancel);
  signedIn_ = result == mrOk;
  Note(signedIn_ ? "guest signed in" : "sign-in cancelled");
  return signedIn_ ? 1 : 0;
}

void LobbyPlaceholder::PlayerChanged() { Note("player changed"); }

void LobbyPlaceholder::EnterMainRoom() {
  Note("main room");
  TVXMainWindow* main = window_();
  if (main == nullptr) return;
  main->FadeIn();
  if (main->Closing()) return;
  main->MessageBox(kMainRoomText, mkInformation, 0, mbOK);
}

void LobbyPlaceholder::ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) {
  Note("popup \"" + text + "\" picture " + std::to_string(pictureID) + " for " + std::to_string(frames) + " frames");
}

void LobbyPlaceholder::ShowHint(const std::string& /*text*/) {}

void LobbyPlaceholder::ShowHelp() {
  Note("help");
  if (TVXMainWindow* main = window_())
    main->MessageBox("The help pages open here once the help dialog is built.", mkInformation, 0, mbOK);
}

void LobbyPlaceholder::FreeMainRoom() { Note("main room freed"); }

void LobbyPlaceholder::FreeCity() { Note("city freed"); }

void LobbyPlaceholder::FreeMenuBar() { Note("menu bar freed"); }

void LobbyPlaceholder::FreePlayers() {
  signedIn_ = false;
  Note("players freed");
}

void LobbyPlaceholder::FreeCasinoManager() { Note("casino manager freed"); }
