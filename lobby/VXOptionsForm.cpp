#include "lobby/VXOptionsForm.h"

#include <algorithm>
#include <utility>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXEngine.h"
#include "framework/VXProgressBar.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "lobby/VXDialogs.h"

namespace {
// What the volume buttons play, so the player hears the new volume.
constexpr const char* kSampleSound = "SND_DEAL";
// Pale gold at the top shading to the rim's gold, as the loading bar.
constexpr TColor4 kVolumeBarColor4{0xFFCCF3FFu, 0xFFCCF3FFu, 0xFF389EC9u, 0xFF389EC9u};
}  // namespace

TfrmOptions::TfrmOptions(TVXComponent* owner, TVXSetting& settings, TVXSounds* sounds, TVXDisplayModeSwitch display)
    : TVXFrame(owner), settings_(settings), sounds_(sounds), display_(std::move(display)) {
  SetSceneName("OPTIONS");
  CaptionLabel->SetText("OPTIONS");
  auto addBar = [this](const char* name, int32_t volume) {
    auto* bar = AddControl<TVXProgressBar>(name);
    bar->SetMin(0);
    bar->SetMax(MaxVolume);
    bar->SetPosition(std::clamp(volume, 0, MaxVolume));
    bar->BarColor4 = kVolumeBarColor4;
    return bar;
  };
  BtnClose = AddButton("BTN_CLOSE", "Close", [this] { CloseClick(); });
  CbFullScreen = AddCheckBox("CB_FULLSCREEN", "Fullscreen", [this] { FullScreenClick(); });
  LblSound = AddControl<TVXLabel>("LBL_SOUND", "SOUND");
  CbSoundEnabled = AddCheckBox("CB_SOUNDENABLED", "Enable", [this] { SoundEnabledClick(); });
  PbSoundVolume = addBar("PB_SOUNDVOLUME", settings_.optSoundVolume);
  BtnSoundUp = AddButton("BTN_SOUNDUP", "+", [this] { SoundVolumeClick(VolumeStep); });
  BtnSoundDown = AddButton("BTN_SOUNDDOWN", "-", [this] { SoundVolumeClick(-VolumeStep); });
  LblMusic = AddControl<TVXLabel>("LBL_MUSIC", "MUSIC");
  CbMusicEnabled = AddCheckBox("CB_MUSICENABLED", "Enable", [this] { MusicEnabledClick(); });
  PbMusicVolume = addBar("PB_MUSICVOLUME", settings_.optMusicVolume);
  BtnMusicUp = AddButton("BTN_MUSICUP", "+", [this] { MusicVolumeClick(VolumeStep); });
  BtnMusicDown = AddButton("BTN_MUSICDOWN", "-", [this] { MusicVolumeClick(-VolumeStep); });
  CbCardsEffects = AddCheckBox("CB_CARDSEFFECTS", "Fast Play", [this] { CardsEffectsClick(); });
  CbMouseTrail = AddCheckBox("CB_MOUSETRAIL", "Mouse trail", [this] { MouseTrailClick(); });
  LoadTheme(vx::CasinoNameIn(Context()));
  // Ticked after the theme, which names the boxes' pictures afresh.
  CbFullScreen->SetChecked(display_.IsFullScreen ? display_.IsFullScreen() : settings_.optFullScreen);
  CbSoundEnabled->SetChecked(settings_.optSoundEnabled);
  CbMusicEnabled->SetChecked(settings_.optMusicEnabled);
  CbCardsEffects->SetChecked(!settings_.optCardEffects);
  CbMouseTrail->SetChecked(settings_.optMouseTrail);
}

TVXButton* TfrmOptions::AddButton(const char* name, const char* caption, std::function<void()> action) {
  auto* button = AddControl<TVXButton>(name, caption);
  button->OnClick = [action = std::move(action)](TVXComponent*) { action(); };
  return button;
}

TVXCheckBox* TfrmOptions::AddCheckBox(const char* name, const char* caption, std::function<void()> action) {
  auto* box = AddControl<TVXCheckBox>(name, caption);
  box->OnClick = [action = std::move(action)](TVXComponent*) { action(); };
  return box;
}

int32_t TfrmOptions::SteppedVolume(int32_t volume, int32_t delta) {
  return std::clamp(std::clamp(volume, 0, MaxVolume) + delta, 0, MaxVolume);
}

void TfrmOptions::FullScreenClick() {
  const bool wanted = CbFullScreen->Checked();
  const bool now = display_.IsFullScreen ? display_.IsFullScreen() : settings_.optFullScreen;
  const int32_t answer =
      vx::LobbyMessageBox(Context(), now ? "Go to windowed mode ?" : "Go to fullscreen mode ?", mkConfirmation,
                          mbYes | mbNo);
  if (answer != mrYes) {
    CbFullScreen->SetChecked(!wanted);
    return;
  }
  if (display_.SetFullScreen && !display_.SetFullScreen(wanted)) {
    // The display stayed as it was: so do the option and the tick.
    Log(std::string("ERROR: The display could not go to ") + (wanted ? "full screen" : "a window"));
    CbFullScreen->SetChecked(!wanted);
    return;
  }
  settings_.optFullScreen = wanted;
}

void TfrmOptions::SoundEnabledClick() { settings_.optSoundEnabled = CbSoundEnabled->Checked(); }

void TfrmOptions::MusicEnabledClick() {
  settings_.optMusicEnabled = CbMusicEnabled->Checked();
  if (!sounds_ || !sounds_->HasMusic()) return;
  if (settings_.optMusicEnabled) {
    sounds_->ResumeMusic();
  } else {
    sounds_->StopMusic();
  }
}

void TfrmOptions::SoundVolumeClick(int32_t delta) {
  settings_.optSoundVolume = SteppedVolume(settings_.optSoundVolume, delta);
  PbSoundVolume->SetPosition(settings_.optSoundVolume);
  // Played whether sound is on or not: the sound manager decides whether it is heard.
  if (sounds_) sounds_->PlaySound(kSampleSound);
}

void TfrmOptions::MusicVolumeClick(int32_t delta) {
  settings_.optMusicVolume = SteppedVolume(settings_.optMusicVolume, delta);
  PbMusicVolume->SetPosition(settings_.optMusicVolume);
  // Music that is off stays off: only a playing piece restarts at the new volume.
  if (!sounds_ || !sounds_->HasMusic() || !settings_.optMusicEnabled) return;
  sounds_->StopMusic();
  sounds_->ResumeMusic();
}

void TfrmOptions::CardsEffectsClick() { settings_.optCardEffects = !CbCardsEffects->Checked(); }

void TfrmOptions::MouseTrailClick() { settings_.optMouseTrail = CbMouseTrail->Checked(); }

void TfrmOptions::CloseClick() {
  settings_.Save();
  Close();
}

namespace vx {

TVXDisplayModeSwitch EngineDisplayModeSwitch(const TVXContext& context) {
  // The engine is looked up at each call: it may come and go while the dialog lives.
  TVXDisplayModeSwitch display;
  display.IsFullScreen = [&context] {
    TVXEngine* engine = context.Engine.get();
    return engine != nullptr && engine->GetFullScreen();
  };
  display.SetFullScreen = [&context](bool fullScreen) {
    TVXEngine* engine = context.Engine.get();
    return engine != nullptr && engine->SetFullScreen(fullScreen);
  };
  return display;
}

}  // namespace vx
