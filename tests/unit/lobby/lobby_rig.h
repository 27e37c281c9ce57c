#pragma once
// A stand-in main window for the city, the lobby, the menu bar and the loading screen: a
// program folder of its own (the default casino's "casino.dat", the players file, the theme
// files as loose files, pictures the test writes), the catalogue, the casino manager, the
// players with the lobby's game host, a texture cache over a recording source, and the root
// scene. Frames process the tree and step the animations; every wait of a modal loop runs
// the next scripted step, and every message box is the real drawn one, answered by clicking
// the button the test queued.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "framework/VXAnim.h"
#include "framework/VXApplication.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXHost.h"
#include "framework/VXMenus.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXTextures.h"
#include "framework/VXWidgets.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXCasino.h"
#include "lobby/VXLobby.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"
#include "render/BitmapEx.h"
#include "core/StrUtils.h"
#include "render/GfxFonts.h"
#include "render/RecDb.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

namespace lobbytest {

namespace fs = std::filesystem;

// Pictures as the engine would shape them, without decoding; the last picture made from a
// bitmap is kept for inspection.
class TextureSource : public TVXTextureSource {
public:
  std::vector<std::string> FromBitmap;
  TBitmapEx LastBitmap;
  std::unique_ptr<TGfxImage> CreateTextureImage() override { return std::make_unique<vxtest::MemoryImage>(); }
  int32_t LoadTexture(TVXGfxTexture*, const std::string&) override { return 1; }
  int32_t LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap, const std::string& key) override {
    FromBitmap.push_back(key);
    if (bitmap.Empty() || texture->Image() == nullptr) return 1;
    LastBitmap = bitmap;
    const int32_t w = bitmap.Width(), h = bitmap.Height();
    const bool tiled = w > 256 || h > 256;
    texture->PictureWidth = tiled ? (w + 255) / 256 * 256 : w;
    texture->PictureHeight = tiled ? (h + 255) / 256 * 256 : h;
    texture->Image()->SetTextureSize(TGfxSize{256, 256});
    texture->Image()->SetPatternSize(tiled ? TGfxSize{256, 256} : TGfxSize{w, h});
    return 0;
  }
};

class Host : public TVXHostBase {
public:
  std::function<void()> OnRenderNow;
  vxtest::RecordingDevice Device_;
  TVXTextureList* TextureList = nullptr;
  TGfxDevice* Device() override { return &Device_; }
  void RenderNow() override {
    if (OnRenderNow) OnRenderNow();
  }
  TVXTextureList* Textures() override { return TextureList; }

  // Fonts from a fonts archive, found by name as the engine finds them; without any, labels
  // lay nothing out.
  void LoadFonts(const std::string& archive) {
    FontArchive.SetFileName(archive);
    FontArchive.SetOpenMode(opReadOnly);
    FontImages.SetDevice(&Device_);
    ASSERT_EQ(FontImages.LoadFromRecDb(FontArchive), 0);
    for (int32_t i = 0; i < FontImages.Count(); ++i) {
      Fonts.push_back(std::make_unique<TVXEngineFont>());
      Fonts.back()->Font = FontImages.Items(i);
      Fonts.back()->Name = FontImages.Items(i)->Name;
    }
  }
  TVXEngineFont* FindFont(const std::string& name) override {
    for (const auto& f : Fonts)
      if (vx::SameText(f->Name, name + ".font")) return f.get();
    return Fonts.empty() ? nullptr : Fonts.front().get();
  }
  TRecDb FontArchive;
  TGfxFonts FontImages;
  std::vector<std::unique_ptr<TVXEngineFont>> Fonts;
};

// A game with the common game screen and plain data, made the way the lobby makes games.
class FakeGame : public TVXGame {
public:
  explicit FakeGame(TGameInfo* info, const std::string& dataFile = {}) : TVXGame(info) {
    Data.FileName = dataFile;
    auto* scene = new TVXGameScene(nullptr);
    scene->SetSceneName("FAKEGAME");
    Scene = scene;
    Data.Bet = 5;
  }
  TVXGameData Data;
  int Settled = 0;
  bool FailToStart = false;
  void StartAttract() override {
    if (FailToStart) throw std::runtime_error("broken screen");
  }
  TVXGameData* GetGameData() override { return &Data; }
  void EndRound() override { Round.Resume(vx::rsIdle); }
  void CollectWin() override {}
  void SettleOnClose() override {
    ++Settled;
    TVXGame::SettleOnClose();
  }
};

struct ShownMessage {
  std::string Text;
  int32_t Kind = -1;
  int32_t Buttons = 0;
};

class LobbyRig : public TVXMainWindow {
public:
  static constexpr const char* Casino = "VideoPokerCasino";

  explicit LobbyRig(const std::string& casinoDat = {}) : hostScope_(&host_) {
    const fs::path program = dir.Path() / "program";
    fs::create_directories(program / "Casinos" / Casino);
    fs::create_directories(program / "Players");
    fs::create_directories(program / "Data" / "Pak");
    fs::copy(fs::path(VX_SOURCE_DIR) / "data" / "themes", program / "Data" / "Pak", fs::copy_options::recursive);
    const std::string dat = casinoDat.empty()
                                ? vxtest::TempDir::ReadFile(std::string(VX_SOURCE_DIR) + "/data/casinos/" + Casino + "/casino.dat")
                                : casinoDat;
    vxtest::TempDir::WriteFile((program / "Casinos" / Casino / "casino.dat").string(), dat);
    ProgramFolder = program.string() + "/";

    saved_ = vx::Program();
    savedLobby_ = vx::Lobby();
    settings_ = std::make_unique<TVXSetting>(ProgramFolder, dir.Str() + "/systemtemp");
    settings_->SetCasino(Casino);
    resources_ = std::make_unique<TVXResourceManager>(settings_->DataFolder, settings_->PakFolder, settings_->TempFolder);
    vx::Program().Setting = settings_.get();
    vx::Program().Resources = resources_.get();
    vx::Program().AppInfo = &AppInfo;
    vx::Program().MainWindow = this;
    AppInfo.DeveloperMode = false;
    textures_ = std::make_unique<TVXTextureList>(&Source);
    host_.TextureList = textures_.get();
    host_.OnRenderNow = [this] {
      ++RenderNowCount;
      Frame();
    };
    root_ = std::make_unique<TVXMainScene>(nullptr);
    root_->SetName("MAINSCENE");
    root_->SetBounds(0, 0, 800, 600);
    input_ = root_.get();

    catalogue_ = std::make_unique<TVXGameManager>();
    casinos_ = std::make_unique<TVXCasinoManager>(settings_->CasinosFolder, *catalogue_);
    players_ = std::make_unique<TVXPlayers>();
    players_->FileName = settings_->PlayersFile;
    vx::SetPlayers(players_.get());
    vx::SetGameHost(&gameHost_);
    TVXLobbyState& lobby = vx::Lobby();
    lobby = TVXLobbyState{};
    lobby.GameManager = catalogue_.get();
    lobby.CasinoManager = casinos_.get();
    lobby.Players = players_.get();
    lobby.Login = [this](bool autoLogin) { Logins.push_back(autoLogin); };
    lobby.CloseProgram = [this] { ++CloseRequests; };
  }

  ~LobbyRig() override {
    TVXLobbyState& lobby = vx::Lobby();
    lobby.CurrentGame = nullptr;
    if (OnTearDown) OnTearDown();
    root_.reset();
    vx::SetGameHost(nullptr);
    vx::SetPlayers(nullptr);
    casinos_.reset();
    textures_.reset();
    vx::Program() = saved_;
    vx::Lobby() = savedLobby_;
  }

  vxtest::TempDir dir;
  std::string ProgramFolder;
  TVXApplicationInfo AppInfo;
  TextureSource Source;
  std::function<void()> OnTearDown;

  TVXSetting& Settings() { return *settings_; }
  TVXGameManager& Catalogue() { return *catalogue_; }
  TVXCasinoManager& Casinos() { return *casinos_; }
  TVXCasino* DefaultCasino() { return casinos_->FindCasino(Casino); }
  TVXPlayers& Players() { return *players_; }
  TVXTextureList& Textures() { return *textures_; }
  Host& ToolkitHost() { return host_; }

  // Adds the player and signs them in, bound to the default casino's statistics as the city
  // binds them.
  TVXPlayer* SignIn(const std::string& name = "Ann", uint32_t bank = 1000) {
    if (!players_->PlayerExists(name)) {
      EXPECT_TRUE(players_->AddPlayer(name, "pw", "Ann", "Example", 2));
    }
    EXPECT_TRUE(players_->Login(name, "pw"));
    TVXPlayer* player = players_->CurrentPlayer();
    player->Bank = bank;
    if (TVXCasino* casino = DefaultCasino()) player->Statistics = casino->FindPlayerStatistics(name, true);
    vx::Lobby().CurrentCasino = DefaultCasino();
    return player;
  }

  // A picture file in the program's pak folder, one colour all over.
  void WritePicture(const std::string& key, int32_t w, int32_t h, uint32_t argb) {
    std::string path = key;
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    const fs::path file = fs::path(vx::ToNativePath(settings_->PakFolder)) / path;
    fs::create_directories(file.parent_path());
    vxtest::TempDir::WriteFile(file.string(), vx::EncodeScreenshotBmp(w, h, std::vector<uint32_t>(static_cast<size_t>(w * h), argb)));
  }

  // ---- The script.
  std::deque<std::function<void()>> Steps;
  void Then(std::function<void()> step) { Steps.push_back(std::move(step)); }
  std::deque<int32_t> Answers;
  std::vector<ShownMessage> Messages;
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : Messages) texts.push_back(m.Text);
    return texts;
  }
  std::vector<bool> Logins;
  int CloseRequests = 0;
  int FadeIns = 0;
  int FadeOuts = 0;
  int RenderNowCount = 0;
  int FramesProcessed = 0;
  std::vector<std::string> Popups;

  // ---- Input routed through the input scene, as the main window routes it.
  void MoveTo(int32_t x, int32_t y) {
    if (TVXScene* scene = input_.Get()) scene->MouseMove(scene, 0, x, y);
    Frame();
  }
  void ClickAt(int32_t x, int32_t y) {
    TVXScene* scene = input_.Get();
    ASSERT_NE(scene, nullptr);
    scene->MouseMove(scene, 0, x, y);
    if (!(scene = input_.Get())) return;
    scene->MouseDown(scene, vx::mbLeft, 0, x, y);
    if (TVXCustomControl* open = host_.OpenControl()) {
      vx::CloseDropDown(open);
      host_.SetOpenControl(nullptr);
    }
    Frame();
    if (TVXScene* again = input_.Get()) again->MouseUp(again, vx::mbLeft, 0, x, y);
    Frame();
  }
  void Click(TVXCustomControl* control) {
    ASSERT_NE(control, nullptr);
    ASSERT_GT(control->Width(), 0) << control->Name() << " has no size";
    ClickAt(control->Left() + control->Width() / 2, control->Top() + control->Height() / 2);
  }
  // One frame: animations stepped, the tree processed.
  void Frame() {
    ++FramesProcessed;
    for (int32_t i = static_cast<int32_t>(anims_.size()) - 1; i >= 0; --i)
      if (i < static_cast<int32_t>(anims_.size()) && !anims_[static_cast<size_t>(i)]->Running)
        RemoveAnim(anims_[static_cast<size_t>(i)]);
    const size_t n = anims_.size();
    for (size_t i = 0; i < n && i < anims_.size(); ++i) anims_[i]->StepOnce();
    if (root_) root_->Process();
    host_.Device_.ClearCalls();
  }
  // The scenes directly under the root, of a type.
  template <class T>
  std::vector<T*> ScenesOf() const {
    std::vector<T*> out;
    for (int32_t i = 0; root_ && i < root_->ChildCount(); ++i)
      if (auto* s = dynamic_cast<T*>(root_->GetChild(i))) out.push_back(s);
    return out;
  }

  // ---- TVXMainWindow.
  TVXMainScene* MainScene() override { return root_.get(); }
  TVXScene* InputScene() override { return input_.Get(); }
  void SetInputScene(TVXScene* scene) override { input_ = scene != nullptr ? scene : root_.get(); }
  void AddAnim(TVXAnim* anim) override {
    anims_.push_back(anim);
    anim->Listed = true;
  }
  void RemoveAnim(TVXAnim* anim) override {
    anims_.erase(std::remove(anims_.begin(), anims_.end(), anim), anims_.end());
    anim->Listed = false;
  }
  void RenderNow() override { host_.RenderNow(); }
  bool ProcessMessage() override {
    const bool animating = !anims_.empty();
    Frame();
    if (closing_) return false;
    if (auto* box = dynamic_cast<TframeMessage*>(input_.Get())) {
      if (Answers.empty()) {
        ADD_FAILURE() << "unanswered message box: " << Messages.back().Text;
        closing_ = true;
        return false;
      }
      const int32_t answer = Answers.front();
      Answers.pop_front();
      TVXButton* button = answer == mrYes ? box->YesButton : answer == mrNo ? box->NoButton : box->OkButton;
      if (button == nullptr) {
        ADD_FAILURE() << "no button for answer " << answer << ": " << Messages.back().Text;
        closing_ = true;
        return false;
      }
      button->OnClick(button);
      return true;
    }
    if (Steps.empty()) {
      // Animations run on their own: only waiting for input needs a script.
      if (animating) return true;
      ADD_FAILURE() << "a loop waits for input the test did not script";
      closing_ = true;
      return false;
    }
    auto step = std::move(Steps.front());
    Steps.pop_front();
    step();
    return !closing_;
  }
  bool ProcessUntil(const std::function<bool()>& done) override {
    while (!done()) {
      if (!ProcessMessage()) return false;
    }
    return true;
  }
  bool Wait(uint64_t) override { return !closing_; }
  bool Closing() override { return closing_; }
  void SetClosing() { closing_ = true; }
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override {
    Messages.push_back({text, kind, buttons});
    if (closing_) return mrNone;
    vx::WeakRef<TframeMessage> box(new TframeMessage(root_.get(), helpContext, buttons, kind, text));
    const int32_t result = box->ShowModal();
    delete box.Get();
    return result;
  }
  void PopupMessage(const std::string& text, int32_t) override { Popups.push_back(text); }
  void FadeIn() override { ++FadeIns; }
  void FadeOut() override { ++FadeOuts; }

private:
  vx::TVXProgram saved_;
  TVXLobbyState savedLobby_;
  Host host_;
  vx::ScopedToolkitHost hostScope_;
  std::unique_ptr<TVXSetting> settings_;
  std::unique_ptr<TVXResourceManager> resources_;
  std::unique_ptr<TVXTextureList> textures_;
  std::unique_ptr<TVXMainScene> root_;
  vx::WeakRef<TVXScene> input_;
  std::vector<TVXAnim*> anims_;
  std::unique_ptr<TVXGameManager> catalogue_;
  std::unique_ptr<TVXCasinoManager> casinos_;
  std::unique_ptr<TVXPlayers> players_;
  TLobbyGameHost gameHost_;
  bool closing_ = false;
};

}  // namespace lobbytest
