#include "lobby/VXMainRoom.h"

#include <algorithm>
#include <exception>
#include <set>
#include <unordered_set>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXScrollControl.h"
#include "framework/VXMenus.h"
#include "framework/VXParticles.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXTextures.h"
#include "framework/VXWidgets.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "games/PokerVariants.h"
#include "games/Slots.h"
#include "games/SlotsDefs.h"
#include "games/SlotsScene.h"
#include "lobby/VXCasino.h"
#include "lobby/VXCity.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXRoundSave.h"
#include "platform/Cursor.h"
#include "platform/MessagePump.h"
#include "render/BitmapEx.h"

namespace {

TVXButton* AddButton(TVXScene* scene, const std::string& name, const std::string& caption, const std::string& hint) {
  auto* button = scene->AddControl<TVXButton>(name, caption);
  button->Hint = hint;
  return button;
}

// The banners of the lobby.
constexpr const char* kWelcomeText =
    "WELCOME TO ORVANTA CARDS CASINO!   TWELVE VIDEO POKER MACHINES AND FOUR SLOT MACHINES ARE "
    "WAITING FOR YOU.   POINT AT A GAME TO SEE IT, CLICK IT TO PLAY.";
constexpr const char* kNewsText =
    "DOUBLE UP EVERY WIN: BIG OR SMALL, RED OR BLACK, OR BEAT THE DEALER.   FOUR ORVANTA CARDS "
    "PAY THE ORVANTA BONUS.   DEUCES AND JOKERS RUN WILD ALL NIGHT.   GOOD LUCK!";

// Pictures of the named folders decoded on the prefetch worker while the screen fades out;
// whatever the next theme load has not taken when this goes is dropped.
class TPrefetch {
public:
  TPrefetch(const TVXContext* context, const std::vector<std::string>& folders) : resources_(vx::ResourcesIn(context)) {
    if (resources_ == nullptr) return;
    // Pictures still held as textures are not loaded again: decoding them would only take memory.
    std::unordered_set<std::string> held;
    if (TVXTextureList* textures = context->Engine != nullptr ? context->Engine->Textures() : nullptr)
      for (int32_t i = 0; i < textures->Count(); ++i) held.insert(vx::LowerCase(textures->GetItem(i)->LoadKey));
    resources_->PrefetchPictures(folders, [&](const std::string& key) { return held.count(vx::LowerCase(key)) != 0; });
  }
  ~TPrefetch() { End(); }
  void End() {
    if (resources_ != nullptr) resources_->EndPrefetch();
    resources_ = nullptr;
  }
  TPrefetch(const TPrefetch&) = delete;
  TPrefetch& operator=(const TPrefetch&) = delete;

private:
  TVXResourceManager* resources_;
};

void RenderNow(const TVXContext* context) {
  if (TVXMainWindow* main = vx::MainWindowIn(context)) main->RenderNow();
}

// Runs one step of leaving a game; a failure is logged and the next step still runs.
template <class F>
void RunStep(const std::string& what, F&& step) {
  try {
    if (!step()) Log("ERROR: Leaving the game: " + what + " failed");
  } catch (const std::exception& e) {
    Log("ERROR: Leaving the game: " + what + " failed: " + e.what());
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TMainRoomScene

TMainRoomScene::TMainRoomScene(TVXComponent* owner, TVXCasino* casino, TVXContext* context)
    : TVXScene(owner, context), Casino(casino) {
  SetSceneName("MAINROOM");
  MusicStyle = 1;
  // The particle systems exist only with particle effects on, which the settings switch off
  // at every load.
  vx::AddSceneParticles(this, "PS_LOGO", pkStarField);
  PnlGamePreview = AddControl<TVXPanel>("PNL_GAMEPREVIEW");
  ImgGamePreview = AddControl<TVXScrollingImage>("IMG_GAMEPREVIEW", {}, PnlGamePreview);
  ImgGamePreview->ItemHeight = PreviewHeight;
  // The strip is taller than the image: drawn at its own size and scrolled, never squeezed.
  ImgGamePreview->SetTextureScaleMode(tsNatural);
  PnlGamePreviewInfo = AddControl<TVXPanel>("PNL_GAMEPREVIEWINFO", {}, PnlGamePreview);
  LblGameTitle = AddControl<TVXLabel>("LBL_GAMETITLE", {}, PnlGamePreviewInfo);
  LblGameDescription = AddControl<TVXLabel>("LBL_GAMEDESCRIPTION", {}, PnlGamePreviewInfo);
  ImgCustom2 = AddControl<TVXImage>("IMG_CUSTOM2");
  ImgCustom3 = AddControl<TVXImage>("IMG_CUSTOM3");
  ImgCustom1 = AddControl<TVXImage>("IMG_CUSTOM1");
  ImgLogo = AddControl<TVXImage>("IMG_LOGO");
  ImgLogo2 = AddControl<TVXImage>("IMG_LOGO2");
  vx::AddSceneParticles(this, "PS_LOGO2", pkFireworks);
  vx::AddSceneParticles(this, "PS_LOGO3", pkFireworks);
  ImgCustom4 = AddControl<TVXImage>("IMG_CUSTOM4");
  PnlPlayer = AddControl<TVXPanel>("PNL_PLAYER");
  LblFullName = AddControl<TVXLabel>("LBL_FULLNAME", "FULL NAME", PnlPlayer);
  LblBank = AddControl<TVXLabel>("LBL_BANK", "BANK", PnlPlayer);
  LblBankV = AddControl<TVXLabel>("LBL_BANKV", "5000$", PnlPlayer);
  LblScrollWelcome = AddControl<TVXLabel>("LBL_SCROLLWELCOME", kWelcomeText);
  LblScrollWelcome->SetWordWrap(false);
  LblScrollWelcome->ScrollMode = smMarquee;
  LblScrollNews = AddControl<TVXLabel>("LBL_SCROLLNEWS", kNewsText);
  LblScrollNews->SetWordWrap(false);
  LblScrollNews->ScrollMode = smMarquee;
  MemoInfo = AddControl<TVXScrollBox>("MEMO_INFO");
  BtnProfile = AddButton(this, "BTN_PROFILE", "PROFILE", "DISPLAYS THE EDIT PROFILE DIALOG");
  BtnStatistics = AddButton(this, "BTN_STATISTICS", "STATISTICS", "DISPLAYS THE STATISTICS WINDOW");
  BtnOptions = AddButton(this, "BTN_OPTIONS", "OPTIONS", "DISPLAYS THE OPTIONS WINDOW");
  BtnHelp = AddButton(this, "BTN_HELP", "HELP", "DISPLAYS THE HELP WINDOW");
  BtnExitGame = AddButton(this, "BTN_EXITGAME", "EXIT",
                          "LEAVES THE LOBBY OF " + vx::UpperCase(casino != nullptr ? casino->Title : std::string()));
  MenuVideoPoker = AddControl<TVXMenu>("MENU_VIDEOPOKER", "Video Poker");
  MenuSlots = AddControl<TVXMenu>("MENU_SLOTS", "Slots");

  if (casino == nullptr) return;
  std::set<int32_t> seen;
  for (TGameInfo* info : casino->Games) {
    // A game named twice in "casino.dat" would put two logos under one theme section.
    if (info == nullptr || !seen.insert(info->ID).second) continue;
    TLobbyGame game;
    game.Info = info;
    game.Logo = AddControl<TVXImage>("IMG_GAME_" + info->IDStr);
    game.Logo->Tag = info->ID;
    game.LogoBack = AddControl<TVXImage>("IMG_GAMELOGOBACK");
    game.LogoBack->Tag = info->ID;
    // Behind its own logo.
    game.LogoBack->SetIndex(game.Logo->IndexInParent());
    games_.push_back(game);
  }
}

const TMainRoomScene::TLobbyGame* TMainRoomScene::FindGame(int32_t id) const {
  for (const TLobbyGame& g : games_) {
    if (g.Info != nullptr && g.Info->ID == id) return &g;
  }
  return nullptr;
}

void TMainRoomScene::LoadTheme(const std::string& casinoName) {
  TVXScene::LoadTheme(casinoName);
  PlaceLogoBacks();
  // The memo holds nothing to scroll: its bar would only be two stray arrows.
  MemoInfo->ScrollBar()->SetVisible(false);
  // Nor does it take the pointer: it lies behind the lobby's buttons, and hovering it after a
  // button would clear that button's hint from the menu bar.
  MemoInfo->Enabled = false;
  BuildPreviewStrip();
}

void TMainRoomScene::PlaceLogoBacks() {
  for (const TLobbyGame& g : games_) {
    const int32_t w = g.LogoBack->Width() > 0 ? g.LogoBack->Width() : g.Logo->Width() + 8;
    const int32_t h = g.LogoBack->Height() > 0 ? g.LogoBack->Height() : g.Logo->Height() + 8;
    g.LogoBack->SetBounds(g.Logo->Left() - (w - g.Logo->Width()) / 2, g.Logo->Top() - (h - g.Logo->Height()) / 2, w, h);
  }
}

void TMainRoomScene::BuildPreviewStrip() {
  const int32_t rows = std::min<int32_t>(static_cast<int32_t>(games_.size()) + 1, MaxPreviewRows);
  if (static_cast<int32_t>(games_.size()) + 1 > MaxPreviewRows) {
    Log("ERROR: Only the first " + std::to_string(MaxPreviewRows - 1) + " games of " + Name() + " have a preview");
  }
  TVXTextureList* textures = ImgGamePreview->Host().Textures();
  const std::string madeFor = ImgGamePreview->TextureInfo.CacheKey() + "|" + ImgGamePreview->TextureInfo.Name();
  const TVXGfxTexture* made = textures != nullptr ? textures->Find(ImgGamePreview->TextureInfo.CacheKey()) : nullptr;
  if (stripMadeFor_ != madeFor || made == nullptr || made->Image() == nullptr) {
    stripMadeFor_.clear();
    if (!MakePreviewStrip(textures, rows)) return;
    stripMadeFor_ = madeFor;
  }
  ImgGamePreview->LoadTexture();
  ImgGamePreview->SetPosition(1);
  ImgGamePreview->DrawTop = ImgGamePreview->TargetDrawTop();
}

bool TMainRoomScene::MakePreviewStrip(TVXTextureList* textures, int32_t rows) {
  TBitmapEx strip;
  strip.SetPixelFormat(pf32bit);
  strip.SetSize(PreviewWidth, PreviewHeight * rows);
  TVXResourceManager* resources = vx::ResourcesIn(Context());
  auto drawRow = [&](const std::string& key, int32_t row) {
    TBitmapEx picture;
    if (resources == nullptr || !resources->LoadBitmap(key, picture)) {
      Log("ERROR: No preview picture " + key);
      return;
    }
    picture.SetPixelFormat(pf32bit);
    picture.PatternWidth = 0;
    picture.PatternHeight = 0;
    picture.DrawPattern(strip, 0, row * PreviewHeight, 0);
  };
  drawRow("MAINROOM\\" + ImgGamePreview->TextureInfo.Name() + ".bmp", 0);
  for (size_t i = 0; i < games_.size(); ++i) {
    TLobbyGame& g = games_[i];
    const int32_t row = static_cast<int32_t>(i) + 1;
    if (row >= rows) {
      g.PreviewIndex = 1;
      continue;
    }
    drawRow("MAINROOM\\IMG_SH_" + g.Info->IDStr + ".bmp", row);
    g.PreviewIndex = row + 1;
  }
  strip.SetAlpha(255);

  if (textures == nullptr) return false;
  // Added once; every later call replaces the picture of the same texture object.
  if (textures->AddFromBitmap(ImgGamePreview->TextureInfo.CacheKey(), strip) == nullptr) {
    Log("ERROR: The preview strip of " + Name() + " could not be made");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// TMainRoom

TMainRoom::TMainRoom(TVXLobbyState& lobby) : lobby_(lobby) {
  // Under the root scene, without an owner: the room frees it.
  auto* scene = new TMainRoomScene(nullptr, lobby.CurrentCasino, &lobby.Context);
  scene_ = scene;
  for (const auto& g : scene->Games()) {
    for (TVXImage* image : {g.Logo, g.LogoBack}) {
      image->OnMouseEnter = [this](TVXComponent* sender) { PreviewGame(sender); };
      image->OnClick = [this](TVXComponent* sender) {
        if (sender != nullptr) EnterGame(sender->Tag);
      };
    }
  }
  scene->ImgLogo->OnClick = [this](TVXComponent*) { vx::ShowAboutDialog(lobby_); };
  scene->BtnProfile->OnClick = [this](TVXComponent*) { vx::ShowProfileDialog(lobby_); };
  scene->BtnStatistics->OnClick = [this](TVXComponent*) { vx::ShowStatisticsDialog(lobby_); };
  scene->BtnOptions->OnClick = [this](TVXComponent*) { vx::ShowOptionsDialog(lobby_); };
  scene->BtnHelp->OnClick = [this](TVXComponent*) { vx::ShowHelpDialog(lobby_); };
  scene->BtnExitGame->OnClick = [this](TVXComponent*) { ExitLobbyClick(); };
  scene->PnlGamePreview->SetVisible(false);
}

TMainRoom::~TMainRoom() {
  CloseGame();
  if (TMainRoomScene* scene = scene_.Get()) {
    // The handlers point at this object.
    for (int32_t i = 0; i < scene->ControlCount(); ++i) {
      if (TVXCustomControl* c = scene->GetControl(i)) {
        c->OnClick = nullptr;
        c->OnMouseEnter = nullptr;
      }
    }
    delete scene;
  }
  if (lobby_.MainRoom == this) lobby_.MainRoom = nullptr;
}

std::unique_ptr<TVXGame> TMainRoom::CreateGame(TGameInfo* info) {
  // The game is given the program's context (through the lobby's screen) and the lobby's side.
  TMainRoomScene* scene = scene_.Get();
  TVXContext* context = scene != nullptr ? scene->Context() : nullptr;
  TVXGameHost* host = lobby_.GameHost;
  if (info != nullptr && info->IsVideoPoker()) return std::make_unique<TPoker>(info, context, host);
  if (info != nullptr && info->IsSlotMachine()) return std::make_unique<TSlots>(info, context, host);
  return nullptr;
}

void TMainRoom::ShowPlayerInfo() {
  TMainRoomScene* scene = scene_.Get();
  if (scene == nullptr) return;
  if (const TVXPlayer* player = vx::CurrentPlayer(lobby_)) {
    TVXPlayers::ShowPlayerInfo(player, scene->LblFullName, scene->LblBankV, nullptr, nullptr);
  } else {
    scene->LblFullName->SetText("");
    scene->LblBankV->SetText("");
  }
}

void TMainRoom::Show() {
  vx::WeakRef<TMainRoomScene> scene(scene_);
  if (!scene) return;
  vx::ScopedCursor hourglass(vx::CursorShape::Wait);
  const std::string casinoName = vx::CasinoNameIn(scene->Context());
  {
    TLoader loader(scene->Context());
    if (TLoaderScene* ls = loader.Scene()) {
      ls->LoadTheme(casinoName);
      ls->Show();
    }
    loader.Begin(scene->Casino != nullptr ? scene->Casino->Title : casinoName, scene->ControlCount());
    loader.ShowFrame();
    if (!scene) return;
    scene->LoadThemeWithProgress(casinoName, loader.ProgressHook());
    if (!scene) return;
    loader.Finish();
    if (TLoaderScene* ls = loader.Scene()) ls->Hide();
  }
  scene->SetVisible(false);
  // The strip starts again at its first picture: a preview left open from before the game
  // would show it under the last game's title.
  scene->PnlGamePreview->SetVisible(false);
  ShowPlayerInfo();
  scene->Show();
  if (TNavigation* nav = lobby_.Navigation) {
    nav->LoadTheme();
    nav->Update();
  }
}

void TMainRoom::PreviewGame(TVXComponent* logo) {
  TMainRoomScene* scene = scene_.Get();
  if (scene == nullptr || scene->Hidden || logo == nullptr) return;
  const TMainRoomScene::TLobbyGame* game = scene->FindGame(logo->Tag);
  if (game == nullptr) return;
  const bool shown = scene->PnlGamePreview->Visible() || scene->PnlGamePreview->FadingIn();
  scene->ImgGamePreview->SetPosition(game->PreviewIndex);
  // The strip rolls from one game to the next only while the preview is on screen; a preview
  // that opens starts on its game instead of rolling past every game before it.
  if (!shown) scene->ImgGamePreview->DrawTop = scene->ImgGamePreview->TargetDrawTop();
  scene->LblGameTitle->SetText(game->Info->Title);
  scene->LblGameDescription->SetText(game->Info->Description);
  scene->PnlGamePreview->ShowFor(1000);
}

void TMainRoom::FreeGame() {
  if (!game_) return;
  // The last round's record is on disk before the game's own saves.
  vx::WaitForRoundSaves();
  // Nothing the player owns goes with the game.
  try {
    game_->SettleOnClose();
  } catch (const std::exception& e) {
    Log(std::string("ERROR: Settling the game failed: ") + e.what());
  }
  vx::SettleRoundRecord();
  if (lobby_.CurrentGame == game_.get()) lobby_.CurrentGame = nullptr;
  game_->StopAttract();
  vx::FreeAfterDispatch(std::move(game_));
}

void TMainRoom::CloseGame() { FreeGame(); }

namespace {

// The folder of a game's theme pictures, known before the game is built.
std::string ThemeFolderOf(const TGameInfo& info) {
  if (info.IsVideoPoker()) {
    const vx::TPokerVariant* variant = vx::FindPokerVariant(info.ID);
    if (variant == nullptr) variant = vx::FindPokerVariant(10);
    return variant != nullptr ? variant->Theme : "";
  }
  const vx::slots::TSlotMachine* machine = vx::slots::FindSlotMachine(info.ID);
  if (machine == nullptr) machine = vx::slots::FindSlotMachine(31);
  return machine != nullptr ? TSlotsScene::ThemeName(machine->Features) : "";
}

}  // namespace

void TMainRoom::EnterGame(int32_t gameID) {
  vx::WeakRef<TMainRoomScene> scene(scene_);
  if (!scene || scene->Hidden) return;
  TVXLobbyState& lobby = lobby_;
  TGameInfo* info = lobby.GameManager != nullptr ? lobby.GameManager->FindGameByID(gameID) : nullptr;
  if (info == nullptr || (!info->IsVideoPoker() && !info->IsSlotMachine())) {
    Log("ERROR: No game " + std::to_string(gameID) + " to enter");
    return;
  }

  scene->Hidden = true;
  vx::ScopedCursor hourglass(vx::CursorShape::Wait);
  const std::string casinoName = vx::CasinoNameIn(scene->Context());
  // The machine's pictures are decoded while the screen fades out.
  TPrefetch prefetch(scene->Context(), {ThemeFolderOf(*info)});
  TLoader loader(scene->Context());
  RenderNow(scene->Context());
  if (TVXMainWindow* main = vx::MainWindowIn(scene->Context())) main->FadeOut();
  if (!scene) return;
  scene->Hide();
  if (TLoaderScene* ls = loader.Scene()) {
    ls->LoadTheme(casinoName);
    ls->Show();
  }

  FreeGame();
  TVXPlayer* player = vx::CurrentPlayer(lobby_);
  // The game comes up in steps. Until its opening credit is taken nothing outside it has
  // changed, so a failure simply drops it; afterwards a failure frees it as closing does,
  // which settles its money into the bank.
  auto failed = [&](const std::string& what) {
    Log("ERROR: The game " + info->Title + " could not be started: " + what);
  };
  std::unique_ptr<TVXGame> game;
  try {
    game = MakeGame ? MakeGame(info) : CreateGame(info);
    if (game && game->GetScene() == nullptr) {
      Log("ERROR: The game " + info->Title + " has no screen");
      game.reset();
    }
    if (game) game->LoadData();
  } catch (const std::exception& e) {
    failed(e.what());
    game.reset();
  }
  if (game) {
    game_ = std::move(game);
    lobby.CurrentGame = game_.get();
    if (player != nullptr && player->Statistics != nullptr) {
      game_->Statistics = player->Statistics->FindGameStatistics(info->IDStr, true);
    }
    game_->Round.OnRoundEnded = [this] { SaveAfterRound(); };
    game_->Round.OnCommit = [this] { SaveAfterRound(true); };
    try {
      game_->TakeOpeningCredit();
      // The credit left the bank: until the first round ends, the record keeps it.
      SaveAfterRound();
      game_->StartAttract();
    } catch (const std::exception& e) {
      failed(e.what());
      FreeGame();
    }
  }
  if (!game_) {
    if (TLoaderScene* ls = loader.Scene()) ls->Hide();
    Show();
    return;
  }

  vx::WeakRef<TVXGame> alive(game_.get());
  TVXGameScene* gameScene = game_->GetScene();
  gameScene->SetVisible(false);
  if (TLoaderScene* ls = loader.Scene()) ls->BringToFront();
  loader.Begin(info->Title, gameScene->LoadSteps());
  loader.ShowFrame();
  if (!alive) return;
  gameScene->LoadThemeWithProgress(casinoName, loader.ProgressHook());
  if (!alive) return;
  // The loader waits for the player now: what the load did not take is not kept meanwhile.
  prefetch.End();
  loader.Finish();
  if (TLoaderScene* ls = loader.Scene()) ls->Hide();
  gameScene->Show();
  if (TNavigation* nav = lobby.Navigation) nav->Update();
}

void TMainRoom::ExitGame() {
  TVXGame* game = game_.get();
  if (game == nullptr || game->Round.Is(vx::rsBusy)) return;
  if (game->Round.InRound()) {
    vx::LobbyAsk(lobby_, "You have a game in progress. You cannot exit now.", mkWarning, mbOK);
    return;
  }
  vx::WeakRef<TVXGame> alive(game);
  if (!vx::DeveloperModeIn(game->Context()) &&
      vx::LobbyAsk(lobby_, "Are you sure you want to exit this game ?", mkConfirmation, mbYes | mbNo) != mrYes)
    return;
  // The question ran a message loop: the game may have moved on meanwhile.
  if (!alive || game_.get() != game || game->Round.InRound()) return;

  TVXLobbyState& lobby = lobby_;
  vx::WaitForRoundSaves();
  game->FinishVisit([](const std::string& what, const std::function<bool()>& step) { RunStep(what, step); });
  if (!alive) return;
  vx::SettleRoundRecord();
  // The bank and the statistics agree on disk whatever happens to the process: one save.
  RunStep("saving the casino statistics and the players",
          [&] { return vx::SaveProgress(lobby.Players, lobby.CasinoManager, {}); });

  // The lobby's pictures that the machine's took the place of in the texture budget are
  // decoded again while the screen fades out.
  const TPrefetch prefetch(game->Context(), {"MAINROOM"});
  if (TVXMainWindow* main = vx::MainWindowIn(game->Context())) main->FadeOut();
  if (!alive || game_.get() != game) return;
  if (TVXGameScene* gameScene = game->GetScene()) gameScene->Hide();
  // Everything is saved and merged: the game goes without settling again.
  if (lobby.CurrentGame == game) lobby.CurrentGame = nullptr;
  game->StopAttract();
  vx::FreeAfterDispatch(std::move(game_));
  Show();
}

void TMainRoom::SaveAfterRound(bool commit) {
  TVXGame* game = game_.get();
  TVXLobbyState& lobby = lobby_;
  TVXPlayer* player = vx::CurrentPlayer(lobby_);
  if (game == nullptr || player == nullptr || lobby.Players == nullptr || lobby.CurrentCasino == nullptr ||
      game->GameInfo == nullptr)
    return;
  auto save = commit ? &vx::CommitRound : &vx::SaveRoundInBackground;
  if (!save(*lobby.Players, *player, *lobby.CurrentCasino, *game->GetGameData(), game->GameInfo->IDStr)) return;
  // The writer's failure, if any, is told soon after, on this thread.
  if (!saveCheck_) {
    saveCheck_ = std::make_unique<vx::PumpTimer>();
    saveCheck_->SetInterval(50);
    saveCheck_->OnTimer = [this] {
      if (vx::CheckRoundSaves()) saveCheck_->SetEnabled(false);
    };
  }
  saveCheck_->SetEnabled(true);
}

void TMainRoom::ExitLobbyClick() {
  TVXLobbyState& lobby = lobby_;
  if (lobby.CurrentCasino != nullptr && !lobby.CurrentCasino->SaveStatistics()) {
    Log("ERROR: The statistics of " + lobby.CurrentCasino->Name + " could not be saved");
  }
  if (TMainRoomScene* scene = scene_.Get()) scene->Hide();
  if (lobby.City != nullptr) lobby.City->EnterMainRoom();
}
