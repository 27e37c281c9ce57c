#pragma once
// A stand-in main window for the city, the lobby, the menu bar and the loading screen: a
// program folder of its own (the default casino's "casino.dat", the players file, the theme
// files as loose files, pictures the test writes), the catalogue, the casino manager, the
// players with the lobby's game host, a texture cache over a recording source, and the root
// scene; the kit's window, scripted.
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
#include "support/FakeContext.h"
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

// The kit's host with the engine's fonts.
class FontHost : public vxtest::FakeHost {
public:
  vxtest::RecordingDevice& Device_ = Recorder;

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
  FakeGame(TGameInfo* info, TVXContext* context, TVXGameHost* host, const std::string& dataFile = {})
      : TVXGame(info, context, host) {
    Data.FileName = dataFile;
    auto* scene = new TVXGameScene(nullptr, context);
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

using vxtest::ShownMessage;

class LobbyRig : public vxtest::FakeWindow {
public:
  static constexpr const char* Casino = "VideoPokerCasino";

  explicit LobbyRig(const std::string& casinoDat = {}) : FakeWindow(&host_) {
    ProcessTree = Scripted = true;
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

    Context.Setting = std::make_unique<TVXSetting>(ProgramFolder, dir.Str() + "/systemtemp");
    Context.Setting->SetCasino(Casino);
    Context.Resources = std::make_unique<TVXResourceManager>(Context.Setting->DataFolder, Context.Setting->PakFolder,
                                                             Context.Setting->TempFolder);
    Context.AppInfo = std::make_unique<TVXApplicationInfo>();
    Context.AppInfo->DeveloperMode = false;
    textures_ = std::make_unique<TVXTextureList>(&Source);
    host_.TextureList = textures_.get();
    host_.OnRenderNow = [this] {
      ++RenderNowCount;
      Frame();
    };

    catalogue_ = std::make_unique<TVXGameManager>();
    casinos_ = std::make_unique<TVXCasinoManager>(Context.Setting->CasinosFolder, *catalogue_);
    players_ = std::make_unique<TVXPlayers>();
    players_->FileName = Context.Setting->PlayersFile;
    TVXLobbyState& lobby = State;
    lobby.GameManager = catalogue_.get();
    lobby.CasinoManager = casinos_.get();
    lobby.Players = players_.get();
    lobby.GameHost = &gameHost_;
    lobby.Login = [this](bool autoLogin) { Logins.push_back(autoLogin); };
    lobby.CloseProgram = [this] { ++CloseRequests; };
  }

  ~LobbyRig() override {
    State.CurrentGame = nullptr;
    if (OnTearDown) OnTearDown();
    FreeRoot();
    casinos_.reset();
    textures_.reset();
  }

  vxtest::TempDir dir;
  std::string ProgramFolder;
  // The lobby's shared state over this window's context, as the program layer keeps it.
  TVXLobbyState State{Context};
  TVXApplicationInfo& AppInfo() { return *Context.AppInfo; }
  TextureSource Source;
  std::function<void()> OnTearDown;

  TVXSetting& Settings() { return *Context.Setting; }
  TVXGameManager& Catalogue() { return *catalogue_; }
  TVXCasinoManager& Casinos() { return *casinos_; }
  TVXCasino* DefaultCasino() { return casinos_->FindCasino(Casino); }
  TVXPlayers& Players() { return *players_; }
  TVXTextureList& Textures() { return *textures_; }
  FontHost& ToolkitHost() { return host_; }

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
    State.CurrentCasino = DefaultCasino();
    return player;
  }

  // A picture file in the program's pak folder, one colour all over.
  void WritePicture(const std::string& key, int32_t w, int32_t h, uint32_t argb) {
    std::string path = key;
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    const fs::path file = fs::path(vx::ToNativePath(Context.Setting->PakFolder)) / path;
    fs::create_directories(file.parent_path());
    vxtest::TempDir::WriteFile(file.string(), vx::EncodeScreenshotBmp(w, h, std::vector<uint32_t>(static_cast<size_t>(w * h), argb)));
  }

  std::vector<bool> Logins;
  int CloseRequests = 0;
  int RenderNowCount = 0;
  int FramesProcessed = 0;

  void Frame() override {
    ++FramesProcessed;
    FakeWindow::Frame();
    host_.Device_.ClearCalls();
  }
  // The scenes directly under the root, of a type.
  template <class T>
  std::vector<T*> ScenesOf() const {
    std::vector<T*> out;
    for (int32_t i = 0; Root() != nullptr && i < Root()->ChildCount(); ++i)
      if (auto* s = dynamic_cast<T*>(Root()->GetChild(i))) out.push_back(s);
    return out;
  }

  void RenderNow() override { host_.RenderNow(); }

private:
  FontHost host_;
  std::unique_ptr<TVXTextureList> textures_;
  std::unique_ptr<TVXGameManager> catalogue_;
  std::unique_ptr<TVXCasinoManager> casinos_;
  std::unique_ptr<TVXPlayers> players_;
  TLobbyGameHost gameHost_{State};
};

}  // namespace lobbytest
