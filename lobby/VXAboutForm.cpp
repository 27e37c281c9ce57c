#include "lobby/VXAboutForm.h"

#include "framework/VXApplication.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "lobby/VXDialogs.h"

TfrmAbout::TfrmAbout(TVXComponent* owner, const TVXApplicationInfo* info) : TVXFrame(owner) {
  using vx::AddDialogControl;
  SetSceneName("ABOUT");
  CaptionLabel->SetText("ABOUT...");
  ImgAboutLogo = AddDialogControl<TVXImage>(this, "IMG_ABOUTLOGO", {}, Client);
  LblAppTitle = AddDialogControl<TVXLabel>(this, "LBL_APPTITLE", info ? info->Title : vx::kProductTitle, Client);
  LblAppVersion = AddDialogControl<TVXLabel>(this, "LBL_APPVERSION",
                                             "Version " + (info ? info->Version : std::string(vx::kProductVersion)), Client);
  LblAppHomePage = AddDialogControl<TVXLabel>(this, "LBL_APPHOMEPAGE", info ? info->HomePage : vx::kHomePage, Client);
  BtnClose = AddDialogControl<TVXButton>(this, "BTN_CLOSE", "CLOSE", Client);
  BtnClose->OnClick = [this](TVXComponent*) { CloseWithResult(ResultClose); };
  LoadTheme(vx::CasinoNameIn(Context()));
}
