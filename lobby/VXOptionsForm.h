#pragma once
// The options dialog: full screen, sound and music with their volumes, Fast Play and the mouse
// trail. Every control writes its option at once; Close saves "settings.xml".
#include <cstdint>
#include <functional>

#include "framework/VXFrame.h"

class TVXButton;
class TVXCheckBox;
class TVXContext;
class TVXLabel;
class TVXProgressBar;
class TVXSetting;
class TVXSounds;

// The display's full-screen switch as the dialog sees it (the engine's, in the program).
struct TVXDisplayModeSwitch {
  std::function<bool()> IsFullScreen;
  // True when the display is in the asked mode afterwards.
  std::function<bool(bool fullScreen)> SetFullScreen;
};

class TfrmOptions : public TVXFrame {
public:
  static constexpr int32_t VolumeStep = 10;
  static constexpr int32_t MaxVolume = 100;

  // `sounds` may be null (nothing is played then).
  TfrmOptions(TVXComponent* owner, TVXSetting& settings, TVXSounds* sounds, TVXDisplayModeSwitch display);

  TVXButton* BtnClose = nullptr;
  TVXCheckBox* CbFullScreen = nullptr;
  TVXLabel* LblSound = nullptr;
  TVXCheckBox* CbSoundEnabled = nullptr;
  TVXProgressBar* PbSoundVolume = nullptr;
  TVXButton* BtnSoundUp = nullptr;
  TVXButton* BtnSoundDown = nullptr;
  TVXLabel* LblMusic = nullptr;
  TVXCheckBox* CbMusicEnabled = nullptr;
  TVXProgressBar* PbMusicVolume = nullptr;
  TVXButton* BtnMusicUp = nullptr;
  TVXButton* BtnMusicDown = nullptr;
  TVXCheckBox* CbCardsEffects = nullptr;
  TVXCheckBox* CbMouseTrail = nullptr;

  // A volume one step up or down, always within 0..100 (a stored value outside it is taken
  // at the nearer end first).
  static int32_t SteppedVolume(int32_t volume, int32_t delta);

  // The handlers, run after a box has toggled itself.
  void FullScreenClick();
  void SoundEnabledClick();
  void MusicEnabledClick();
  void SoundVolumeClick(int32_t delta);
  void MusicVolumeClick(int32_t delta);
  void CardsEffectsClick();
  void MouseTrailClick();
  void CloseClick();

private:
  TVXButton* AddButton(const char* name, const char* caption, std::function<void()> action);
  TVXCheckBox* AddCheckBox(const char* name, const char* caption, std::function<void()> action);

  TVXSetting& settings_;
  TVXSounds* sounds_;
  TVXDisplayModeSwitch display_;
};

namespace vx {
// The full-screen switch of the context's engine (a display that is never full screen while
// the context has no engine).
TVXDisplayModeSwitch EngineDisplayModeSwitch(const TVXContext& context);
}  // namespace vx
