#include "framework/VXFrame.h"

#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXWidgets.h"

TVXFrame::TVXFrame(TVXComponent* owner) : TVXScene(owner) {
  SetVisible(true);
  SetSceneName("COMMON");
  Background->SetVisible(false);
  Background->SetFadeIn(true);
  Background->SetFadeSpeed(0);

  WindowFrame = new TVXImage(this);
  WindowFrame->SetName("IMG_FRAME");
  WindowFrame->SetFadeIn(true);
  WindowFrame->SetVisible(false);
  AddControl(WindowFrame);
  Client = WindowFrame;

  TaskBar = new TVXImage(this);
  TaskBar->SetName("IMG_TASKBAR");
  TaskBar->SetFadeIn(true);
  TaskBar->SetVisible(false);
  AddControl(TaskBar);

  WindowLogo = new TVXImage(this);
  WindowLogo->SetName("IMG_WINDOWLOGO");
  WindowLogo->SetAnimated(true);
  WindowLogo->SetFadeIn(true);
  WindowLogo->SetFadeSpeed(2);
  WindowLogo->SetVisible(false);
  AddControl(WindowLogo);

  CaptionLabel = new TVXLabel(this);
  CaptionLabel->SetName("LBL_WINDOWCAPTION");
  AddControl(CaptionLabel);
}

int32_t TVXFrame::ShowModal() {
  vx::WeakRef<TVXFrame> self(this);
  Background->SetVisible(true);
  WindowFrame->SetVisible(true);
  TaskBar->SetVisible(true);
  WindowLogo->SetVisible(true);

  TVXMainWindow* main = vx::MainWindowIn(Context());
  if (main == nullptr) return ModalResult;
  savedInputScene_ = main->InputScene();
  main->SetInputScene(this);
  // A close request of the program ends the loop as well: the caller unwinds.
  main->ProcessUntil([&] { return !self || Closed; });
  // The frame may have been freed by a handler; the saved scene is put back regardless.
  if (!self) return mrNone;
  main->SetInputScene(savedInputScene_.Get());
  return ModalResult;
}

TframeMessage::TframeMessage(TVXComponent* owner, int32_t /*helpContext*/, int32_t buttons, int32_t /*kind*/,
                             const std::string& text)
    : TVXFrame(owner) {
  SetSceneName("DIALOGS");
  MessageLabel = new TVXLabel(this);
  MessageLabel->SetText(text);
  MessageLabel->SetName("LBL_MESSAGE");
  AddControl(MessageLabel);
  if (buttons & mbYes) YesButton = AddButton("BTN_YES", "YES", mrYes);
  if (buttons & mbNo) NoButton = AddButton("BTN_NO", "NO", mrNo);
  if (buttons & mbOK) OkButton = AddButton("BTN_OK", "OK", mrOk);
  if (buttons & mbCancel) CancelButton = AddButton("BTN_CANCEL", "CANCEL", mrCancel);
  LoadTheme(vx::CasinoNameIn(Context()));
}

TVXButton* TframeMessage::AddButton(const std::string& name, const std::string& caption, int32_t result) {
  auto* button = new TVXButton(this);
  button->SetText(caption);
  button->SetName(name);
  AddControl(button);
  button->OnClick = [this, result](TVXComponent*) { CloseWithResult(result); };
  return button;
}
