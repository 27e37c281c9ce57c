#include "lobby/VXAboutForm.h"

#include "framework/VXApplication.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "lobby/VXDialogs.h"

TfrmAbout::TfrmAbout(TVXComponent* owner, const TVXApplicationInfo* info) : TVXFrame(owner) {
  SetSceneName("ABOUT");
  CaptionLabel->SetText("ABOUT...");
  ImgAboutLogo = AddControl<TVXImage>("IMG_ABOUTLOGO", {}, Client);
  LblAppTitle = AddControl<TVXLabel>("LBL_APPTITLE", info ? info->Title : vx::kProductTitle, Client);
  LblAppVersion = AddControl<TVXLabel>("LBL_APPVERSION",
                                             "Version " + (info ? info->Version : std::string(vx::kProductVersion)), Client);
  LblAppHomePage = AddControl<TVXLabel>("LBL_APPHOMEPAGE", info ? info->HomePage : vx::kHomePage, Client);
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "CLOSE", Client);
  BtnClose->OnClick = [this](TVXComponent*) { CloseWithResult(ResultClose); };
  LoadTheme(vx::CasinoNameIn(Context()));
}
