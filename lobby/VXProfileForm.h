#pragma once
// The player profile dialog: creates a new player when nobody is signed in, otherwise edits
// the signed-in player. Results: 1 when the player was saved, 0 when cancelled.
#include <cstdint>
#include <string>

#include "framework/VXFrame.h"

class TVXButton;
class TVXCasinoManager;
class TVXCheckBox;
class TVXEdit;
class TVXImage;
class TVXLabel;
class TVXPlayers;
class TVXSetting;

class TfrmProfile : public TVXFrame {
public:
  // `settings` receives the automatic login (may be null: the box then changes nothing); a
  // renamed player's statistics move along in every casino of `casinos` (when given).
  TfrmProfile(TVXComponent* owner, TVXPlayers& players, TVXSetting* settings, TVXCasinoManager* casinos = nullptr);

  // Set when the dialog was opened with nobody signed in.
  bool NewPlayer = false;

  TVXButton* BtnClose = nullptr;   // "OK": validates and saves
  TVXButton* BtnCancel = nullptr;  // result 0
  TVXLabel* LblFirstName = nullptr;
  TVXEdit* EdtFirstName = nullptr;
  TVXLabel* LblLastName = nullptr;
  TVXEdit* EdtLastName = nullptr;
  TVXLabel* LblUserName = nullptr;
  TVXEdit* EdtUserName = nullptr;
  TVXLabel* LblPassword = nullptr;
  TVXEdit* EdtPassword = nullptr;
  TVXLabel* LblPassword2 = nullptr;
  TVXEdit* EdtPassword2 = nullptr;
  // The player's picture: its texture frame is the picture id.
  TVXImage* ImgPlayer = nullptr;
  TVXButton* BtnNext = nullptr;
  TVXCheckBox* CbAutoLogin = nullptr;

  // The values as entered: names and passwords without blanks at either end.
  std::string UserName() const;
  // The message for a name longer than the screens show.
  static std::string NameTooLongText();
  std::string Password() const;
  int32_t PictureID() const;

  // The button handlers (the buttons call them; tests may too).
  void NextImageClick();
  void OkClick();

private:
  bool CreatePlayer();
  bool SaveCurrentPlayer();

  TVXPlayers& players_;
  TVXSetting* settings_;
  TVXCasinoManager* casinos_;
};

namespace vx {
// The texture folder and name of the players' pictures, shared by every screen that shows one.
constexpr const char* kPlayerPictureFolder = "Players";
constexpr const char* kPlayerPictureName = "IMG_PLAYER";
// Points an image at the players' pictures, showing the given one.
void ShowPlayerPicture(TVXImage* image, int32_t pictureID);
}  // namespace vx
