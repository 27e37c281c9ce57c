#pragma once
// The seam between the main window and the lobby layer. The main window asks the lobby layer
// (casinos, players, city, menu bar, intro, login, help) at start-up, in its start sequence,
// for its services and at shutdown; each call stands where the main window's start-up, start
// sequence or shutdown names that object, so the main window keeps its fixed order whoever
// fills the calls in. The lobby layer asks the main window only what TVXLobbyShell gives.
#include <cstdint>
#include <string>

class TVXContext;
class TVXGameManager;
class TVXMainScene;
class TVXSetting;

// What the lobby layer asks of the main window.
class TVXLobbyShell {
public:
  virtual ~TVXLobbyShell() = default;

  // What the program has, and the parts of it the lobby builds on (null while they do not
  // exist).
  virtual TVXContext& Context() = 0;
  virtual TVXSetting* Setting() const = 0;
  virtual TVXGameManager* GameManager() const = 0;
  virtual TVXMainScene* MainScene() = 0;
  // The start sequence's sign-in: the automatic login when asked and it succeeds, otherwise
  // the login dialog; a cancelled login closes the window.
  virtual void Login(bool autoLogin) = 0;
  // Closes the window: every loop returns and shutdown follows.
  virtual void Close() = 0;
};

class TVXLobbyLayer {
public:
  virtual ~TVXLobbyLayer() = default;

  // ---- Start-up, in order.
  // After the game catalogue: the casino manager (it scans the casinos folder).
  virtual void CreateCasinoManager() = 0;
  // After the root scene: the players, loaded from the settings' players file.
  virtual void CreatePlayers() = 0;
  // After the per-frame callback is hooked: the city, then the menu bar (shown).
  virtual void CreateCityAndMenuBar() = 0;

  // ---- Start sequence.
  // The intro animation (blocking); only outside developer mode.
  virtual void PlayIntro() = 0;
  virtual bool HasCurrentPlayer() = 0;
  // Signs a player in by name and password: 1 when signed in.
  virtual int32_t SignIn(const std::string& name, const std::string& password) = 0;
  // The login dialog (modal): 1 when a player signed in.
  virtual int32_t ShowLoginDialog() = 0;
  // After a sign-in: the menu bar learns of the player, the city enters the main room.
  virtual void PlayerChanged() = 0;
  virtual void EnterMainRoom() = 0;

  // ---- Services.
  // The current player's picture number, 0 when nobody is signed in.
  virtual int32_t CurrentPlayerPictureID() = 0;
  // The menu bar's popup: text, player picture, auto-hide after `frames`.
  virtual void ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) = 0;
  // The menu bar's hint label: shown with the text, hidden when it is empty.
  virtual void ShowHint(const std::string& text) = 0;
  // The help dialog (modal).
  virtual void ShowHelp() = 0;

  // ---- Shutdown, in order (only when the engine started).
  virtual void FreeMainRoom() = 0;
  virtual void FreeCity() = 0;
  virtual void FreeMenuBar() = 0;
  // Signs the current player out, saves "players.xml" and frees the players.
  virtual void FreePlayers() = 0;
  virtual void FreeCasinoManager() = 0;
};
