#pragma once
// The about dialog: the program's title, version and home page.
#include <cstdint>

#include "framework/VXFrame.h"

class TVXApplicationInfo;
class TVXButton;
class TVXImage;
class TVXLabel;

class TfrmAbout : public TVXFrame {
public:
  static constexpr int32_t ResultClose = 2;
  // Without application information the product's own constants are shown.
  TfrmAbout(TVXComponent* owner, const TVXApplicationInfo* info);

  TVXImage* ImgAboutLogo = nullptr;
  TVXLabel* LblAppTitle = nullptr;
  TVXLabel* LblAppVersion = nullptr;
  TVXLabel* LblAppHomePage = nullptr;
  TVXButton* BtnClose = nullptr;
};
