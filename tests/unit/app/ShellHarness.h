#pragma once
// The main window on the headless harness: a fake platform (scripted events, virtual clock),
// a recording device instead of the GPU, a silent audio back end, and a lobby layer that
// records every call and does what the test tells it. The program folder is a fresh
// temporary folder with the shared dialog themes as loose files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXScene.h"
#include "platform/audio/AudioBackend.h"
#include "support/FakePlatform.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

namespace shelltest {

class FakeLobby : public TVXLobbyLayer {
public:
  // `window` gives the main window the layer serves (null once it is gone).
  FakeLobby(std::vector<std::string>& calls, std::function<TVXMainWindow*()> window)
      : calls_(calls), window_(std::move(window)) {}

  std::function<void()> OnIntro;
  std::function<int32_t(const std::string&, const std::string&)> OnSignIn;
  std::function<int32_t()> OnLogin;
  std::function<void()> OnMainRoom;
  std::function<void()> OnHelp;
  bool SignedIn = false;
  int32_t Picture = 0;
  struct Popup {
    std::string Text;
    int32_t Picture;
    int32_t Frames;
  };
  std::vector<Popup> Popups;
  std::vector<std::string> Hints;

  void CreateCasinoManager() override { Add("CreateCasinoManager"); }
  void CreatePlayers() override { Add("CreatePlayers"); }
  void CreateCityAndMenuBar() override { Add("CreateCityAndMenuBar"); }
  void PlayIntro() override {
    Add("PlayIntro");
    if (OnIntro) OnIntro();
  }
  bool HasCurrentPlayer() override { return SignedIn; }
  int32_t SignIn(const std::string& name, const std::string& password) override {
    Add("SignIn(" + name + "," + password + ")");
    const int32_t r = OnSignIn ? OnSignIn(name, password) : 0;
    SignedIn = r == 1;
    return r;
  }
  int32_t ShowLoginDialog() override {
    Add("ShowLoginDialog");
    const int32_t r = OnLogin ? OnLogin() : 0;
    SignedIn = r == 1;
    return r;
  }
  void PlayerChanged() override { Add("PlayerChanged"); }
  void EnterMainRoom() override {
    Add("EnterMainRoom");
    if (OnMainRoom) OnMainRoom();
  }
  int32_t CurrentPlayerPictureID() override { return SignedIn ? Picture : 0; }
  void ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) override {
    Popups.push_back({text, pictureID, frames});
  }
  void ShowHint(const std::string& text) override { Hints.push_back(text); }
  void ShowHelp() override {
    Add("ShowHelp");
    if (OnHelp) OnHelp();
  }
  void FreeMainRoom() override { Add("FreeMainRoom"); }
  void FreeCity() override { Add("FreeCity"); }
  void FreeMenuBar() override { Add("FreeMenuBar"); }
  void FreePlayers() override { Add("FreePlayers"); }
  void FreeCasinoManager() override {
    Add("FreeCasinoManager");
    // What still exists at this point of the shutdown.
    TVXMainWindow* window = window_();
    Add(std::string("  root scene ") + (window != nullptr && window->MainScene() != nullptr ? "alive" : "gone"));
  }

private:
  void Add(const std::string& call) { calls_.push_back(call); }
  std::vector<std::string>& calls_;
  std::function<TVXMainWindow*()> window_;
};

struct HarnessOptions {
  bool DeveloperMode = false;
  int32_t DeviceInitializeResult = 0;
  std::string SettingsXml;  // written as "settings.xml" before start when not empty
  bool DataArchivesRequired = false;  // the folder has loose theme files only
  std::function<std::unique_ptr<vx::audio::AudioBackend>()> MakeAudio;
};

class Harness {
public:
  explicit Harness(HarnessOptions o = {}) {
    namespace fs = std::filesystem;
    const fs::path pak = dir.Path() / "program" / "Data" / "Pak";
    for (const char* scene : {"COMMON", "DIALOGS"}) {
      fs::create_directories(pak / scene);
      fs::copy_file(fs::path(VX_SOURCE_DIR) / "data" / "themes" / scene / "theme.scn", pak / scene / "theme.scn",
                    fs::copy_options::overwrite_existing);
    }
    if (!o.SettingsXml.empty()) vxtest::TempDir::WriteFile(ProgramFile("settings.xml"), o.SettingsXml);
    fs::create_directories(dir.Path() / "systemp");
    platform.events.SetTimePerPollUs(1000);
    vx::ClearLog();

    TfrmMainOptions options;
    options.ProgramFolder = (dir.Path() / "program").string() + "/";
    options.SystemTemp = (dir.Path() / "systemp").string();
    options.RealWindow = false;
    options.DeveloperMode = o.DeveloperMode;
    options.DebugLogFile = dir.File("debug.log");
    const int32_t init = o.DeviceInitializeResult;
    options.MakeDevice = [this, init](TGfxForm*) {
      auto d = std::make_unique<vxtest::RecordingDevice>();
      d->InitializeResult = init;
      device = d.get();
      return d;
    };
    options.MakeAudio = o.MakeAudio ? o.MakeAudio : [] { return vx::audio::CreateSilentAudioBackend(); };
    options.MakeLobby = [this] {
      auto l = std::make_unique<FakeLobby>(calls, [this]() -> TVXMainWindow* { return form.get(); });
      lobby = l.get();
      return l;
    };
    options.Halt = [this] { ++halts; };
    options.DataArchivesRequired = o.DataArchivesRequired;
    options.SystemMessage = [this](const std::string& text) {
      systemMessages.push_back(text);
      if (OnSystemMessage) OnSystemMessage(text);
    };
    form = std::make_unique<TfrmMain>(std::move(options));
  }

  std::string ProgramFile(const std::string& name) const { return (dir.Path() / "program" / name).string(); }

  // Start-up as the program does it.
  bool Start() {
    const bool started = form->FormCreate();
    return form->FormShow() && started;
  }
  // Runs the outermost loop until the window closes (the test must arrange a close), then
  // the destroy event.
  void RunToEnd() {
    form->Run();
    form->FormDestroy();
  }
  // Pumps one step at a time for `ms` virtual milliseconds (or until closing).
  void PumpFor(uint64_t ms) {
    const uint64_t end = platform.clock.TickCount() + ms;
    while (platform.clock.TickCount() < end && platform.pump.PumpOne()) {
    }
  }

  // Frames drawn so far (Present calls).
  size_t Presents() const { return device != nullptr ? device->CallsOf("Present").size() : 0; }

  vxtest::TempDir dir;
  vxtest::FakePlatform platform;
  std::vector<std::string> calls;
  FakeLobby* lobby = nullptr;
  vxtest::RecordingDevice* device = nullptr;
  int halts = 0;
  // The system messages shown, and a hook run as each is shown.
  std::vector<std::string> systemMessages;
  std::function<void(const std::string&)> OnSystemMessage;
  std::unique_ptr<TfrmMain> form;
};

// Where a control is, to click it.
inline void ClickControl(vxtest::FakeEventSource& events, const TVXCustomControl* c) {
  const int x = c->Left() + c->Width() / 2;
  const int y = c->Top() + c->Height() / 2;
  events.MouseMove(x, y);
  events.Click(x, y);
}

}  // namespace shelltest
