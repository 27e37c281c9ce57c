#pragma once
// Dialog frames: the base of every modal dialog, a scene with window chrome (frame, task bar,
// animated window logo, caption) and a modal loop that keeps the program drawing while it
// waits and returns an integer result. TframeMessage is the message box built on it.
#include <cstdint>
#include <string>

#include "framework/VXLiveness.h"
#include "framework/VXScene.h"

class TVXButton;
class TVXImage;
class TVXLabel;

class TVXFrame : public TVXScene {
public:
  explicit TVXFrame(TVXComponent* owner);

  int32_t ModalResult = 0;
  bool Closed = false;
  TVXScene* SavedInputScene() const { return savedInputScene_.Get(); }
  TVXImage* WindowLogo = nullptr;
  TVXImage* TaskBar = nullptr;
  // Every control added later without a parent goes on the frame image.
  TVXImage* WindowFrame = nullptr;
  TVXLabel* CaptionLabel = nullptr;

  // Shows the chrome, takes the input from the main window's input scene and handles
  // messages until the frame is closed; then gives the input back and returns ModalResult.
  // A close request of the program ends the loop too (the result is then what it was).
  int32_t ShowModal();
  void Close() { Closed = true; }
  void CloseWithResult(int32_t result) {
    ModalResult = result;
    Close();
  }

private:
  vx::WeakRef<TVXScene> savedInputScene_;
};

class TframeMessage : public TVXFrame {
public:
  // Buttons: 1 YES (result 6), 2 NO (7), 4 OK (1), 8 CANCEL (2). Kind and help context do not
  // change the dialog.
  TframeMessage(TVXComponent* owner, int32_t helpContext, int32_t buttons, int32_t kind, const std::string& text);

  TVXLabel* MessageLabel = nullptr;
  TVXButton* YesButton = nullptr;
  TVXButton* NoButton = nullptr;
  TVXButton* OkButton = nullptr;
  TVXButton* CancelButton = nullptr;

private:
  TVXButton* AddButton(const std::string& name, const std::string& caption, int32_t result);
};
