#include "app/MainForm.h"

#include <algorithm>
#include <cstdlib>

#include "app/LobbyProgram.h"
#include "core/Log.h"
#include "core/Random.h"
#include "framework/VXAnim.h"
#include "framework/VXControl.h"
#include "framework/VXDebug.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "games/GameManager.h"
#include "lobby/VXRoundSave.h"
#include "platform/Cursor.h"
#include "platform/Files.h"
#include "platform/KeyMap.h"
#include "platform/Signals.h"
#include "platform/SystemMessage.h"
#include "platform/audio/AudioBackend.h"
#include "render/RecDb.h"

// The sound manager's view of the settings.
class TfrmMain::SoundOptions : public TVXSoundOptions {
public:
  explicit SoundOptions(const TVXSetting& setting) : setting_(setting) {}
  bool optSoundEnabled() const override { return setting_.optSoundEnabled; }
  int optSoundVolume() const override { return setting_.optSoundVolume; }
  bool optMusicEnabled() const override { return setting_.optMusicEnabled; }
  int optMusicVolume() const override { return setting_.optMusicVolume; }

private:
  const TVXSetting& setting_;
};

namespace {
constexpr uint16_t kKeyD = 'D';
constexpr uint16_t kKeyF = 'F';
constexpr uint16_t kKeyS = 'S';
constexpr uint16_t kKeyX = 'X';
}  // namespace

TfrmMain::TfrmMain(TfrmMainOptions options) : options_(std::move(options)) {
  ctx_.MainWindow = this;
  ctx_.Host = this;
}

TfrmMain::~TfrmMain() {
  // A window that was never shown down properly still leaves nothing behind.
  if (created_ && !destroyed_) {
    if (vx::MainPump().LoopDepth() == 0) {
      FormDestroy();
    } else {
      Log("ERROR: main window destroyed inside a message loop");
    }
  }
  vx::MessagePump& pump = vx::MainPump();
  if (pump.Handler() == this) pump.SetHandler(nullptr);
  if (windowOpen_) {
    pump.SetEventSource(nullptr);
    window_.Destroy();
    windowOpen_ = false;
  }
}

bool TfrmMain::DeveloperMode() const { return ctx_.AppInfo != nullptr && ctx_.AppInfo->DeveloperMode; }

bool TfrmMain::EngineStarted() const { return engineStarted_; }

vx::PlatformWindow* TfrmMain::Window() const {
  return windowOpen_ ? const_cast<vx::PlatformWindow*>(&window_) : nullptr;
}

// ---------------------------------------------------------------------------------------
// Start-up

bool TfrmMain::FormCreate() {
  if (created_) return engineStarted_;
  created_ = true;
  vx::MessagePump& pump = vx::MainPump();
  if (options_.RealWindow) {
    std::string error;
    windowOpen_ = window_.Create(vx::kProductTitle, vx::kLogicalWidth, vx::kLogicalHeight, &error);
    if (windowOpen_) {
      pump.SetEventSource(&events_);
    } else {
      Log("ERROR: " + error);
    }
  }
  pump.SetHandler(this);
  if (!ClaimProgramFolder()) return false;
  vx::SetXMLFileProblemHandler([this](const vx::XMLFileProblem& problem) { QueueFileProblem(problem); });
  ctx_.Setting = std::make_unique<TVXSetting>(options_.ProgramFolder, options_.SystemTemp);
  CleanUpInterruptedSaves();
  Initialize();
  return engineStarted_;
}

bool TfrmMain::ClaimProgramFolder() {
  const std::string folder = options_.ProgramFolder.empty() ? vx::ProgramFolder() : options_.ProgramFolder;
  std::string error;
  if (folderLock_.Acquire(folder, &error)) return true;
  Log("ERROR: " + error);
  if (folderLock_.Unwritable()) {
    // A folder this copy cannot write to is one it cannot spoil either.
    Log("ERROR: the program folder is used without a lock");
    return true;
  }
  const long holder = folderLock_.HolderPid();
  startError_ = folderLock_.Busy()
                    ? "Orvanta Cards Casino is already running from this folder (" + folder + ")" +
                          (holder > 0 ? ", as process " + std::to_string(holder) : std::string()) +
                          ". Only one copy can use it at a time, so this one closes."
                    : "Orvanta Cards Casino cannot use its folder (" + error + "), so it closes.";
  return false;
}

void TfrmMain::CleanUpInterruptedSaves() {
  // A save interrupted after it was decided is finished; one interrupted before leaves only
  // temporaries, which go.
  std::string error;
  if (!vx::RecoverFileJournal(ctx_.Setting->PlayersFolder + "saves.journal", &error))
    Log("ERROR: An interrupted save could not be finished: " + error);
  // The last round of a run that was interrupted, into the files it would have left.
  vx::ReplayRoundRecord(ctx_.Setting->PlayersFile, ctx_.Setting->CasinosFolder);
  int removed = vx::RemoveStaleTemporaries(ctx_.Setting->ProgramFolder) + vx::RemoveStaleTemporaries(ctx_.Setting->PlayersFolder);
  for (const std::string& casino : vx::ListDirectory(ctx_.Setting->CasinosFolder, false, true))
    removed += vx::RemoveStaleTemporaries(ctx_.Setting->CasinosFolder + casino);
  if (removed > 0) Log("INFO: " + std::to_string(removed) + " files left by interrupted saves removed");
}

std::string TfrmMain::DataProblem() const {
  const std::pair<TRecDb*, std::string> archives[] = {
      {&ctx_.Resources->FontsArchive, ctx_.Setting->DataFolder + "fonts.vxr"},
      {&ctx_.Resources->DataArchive, ctx_.Setting->PakFolder + "default.vxr"},
  };
  for (const auto& [archive, file] : archives) {
    const std::string path = vx::ResolvePath(file);
    if (!vx::FileExists(file)) {
      if (!options_.DataArchivesRequired) continue;
      return "The game's data file " + path + " is missing. Please install the game again.";
    }
    int32_t code = 0;
    std::string key;
    if (archive->Opened()) {
      // Every record is read once here, so that a damaged one stops the start instead of
      // leaving a screen half drawn.
      code = TVXResourceManager::CheckArchive(*archive, &key);
    } else {
      TRecDb probe;
      probe.SetFileName(path);
      probe.SetOpenMode(opReadOnly);
      code = probe.Open();
      if (code == 0) code = errArchiveRead;
    }
    if (code == 0) continue;
    return "The game's data file " + path + " is damaged and cannot be read (" + ErrorString(code) +
           (key.empty() ? std::string() : ", in " + key) + "). Please install the game again.";
  }
  // The screens' theme files and the sounds are read from copies there.
  const std::string probe = vx::ResolvePath(ctx_.Setting->TempFolder + ".space-check");
  std::string error;
  const bool written = vx::WriteFileAtomic(probe, std::string(64 * 1024, '\0'), &error);
  vx::DeleteFile(probe);
  if (!written)
    return "The game cannot write its temporary files in " + vx::ResolvePath(ctx_.Setting->TempFolder) + " (" +
           error + "). Please free some space there, then start the game again.";
  return {};
}

void TfrmMain::ShowSystemMessage(const std::string& text) {
  if (options_.SystemMessage) {
    options_.SystemMessage(text);
    return;
  }
  vx::ShowSystemMessage(vx::kProductTitle, text, vx::SystemMessageKind::Error);
}

std::string TfrmMain::FileProblemText(const vx::XMLFileProblem& problem) {
  const std::string name = vx::ExtractFileName(problem.FileName);
  if (!problem.Damaged)
    return "Your progress cannot be saved: " + problem.Reason + ". You can go on playing, but what you win or lose from now on may not be kept.";
  return "The saved file " + name + " is damaged (" + problem.Reason + ") and was not read whole. " +
         (problem.KeptAs.empty() ? std::string("It is left as it is")
                                 : "It is kept as " + vx::ExtractFileName(problem.KeptAs)) +
         ", and nothing is saved in its place until the game is started again.";
}

void TfrmMain::QueueFileProblem(const vx::XMLFileProblem& problem) { QueueProblem(FileProblemText(problem)); }

void TfrmMain::QueueProblem(const std::string& text) {
  Log("ERROR: " + text);
  problems_.push_back(text);
  if (!tmrProblems_) {
    tmrProblems_ = std::make_unique<vx::PumpTimer>();
    tmrProblems_->SetInterval(50);
    tmrProblems_->OnTimer = [this] { ShowFileProblems(); };
  }
  tmrProblems_->SetEnabled(true);
}

void TfrmMain::ShowFileProblems() {
  if (tmrProblems_) tmrProblems_->SetEnabled(false);
  if (showingProblems_ || problems_.empty() || mainScene_ == nullptr || Closing() || finalized_) return;
  showingProblems_ = true;
  while (!problems_.empty() && !Closing()) {
    const std::string text = problems_.front();
    problems_.erase(problems_.begin());
    MessageBox(text, mkError, 0, mbOK);
  }
  showingProblems_ = false;
}

void TfrmMain::Initialize() {
  // 1. Application information.
  ctx_.AppInfo = std::make_unique<TVXApplicationInfo>();
  if (options_.DeveloperMode) ctx_.AppInfo->DeveloperMode = *options_.DeveloperMode;
  // 2, 3. Caption and client size.
  if (windowOpen_) {
    window_.SetCaption(ctx_.AppInfo->Caption());
    window_.SetClientSize(vx::kLogicalWidth, vx::kLogicalHeight);
  }
  // 4. The log window.
  ctx_.DebugWindow = std::make_unique<TfrmDebug>(ctx_.AppInfo->DeveloperMode, options_.DebugLogFile);
  // 5. The only seeding of the random generator.
  vx::Randomize();
  // 6. Game catalogue, casino manager, resource manager.
  gameManager_ = std::make_unique<TVXGameManager>();
  lobby_ = options_.MakeLobby ? options_.MakeLobby() : nullptr;
  if (!lobby_) lobby_ = std::make_unique<TVXLobbyProgram>(*this);
  lobby_->CreateCasinoManager();
  ctx_.Resources = std::make_unique<TVXResourceManager>(ctx_.Setting->DataFolder, ctx_.Setting->PakFolder, ctx_.Setting->TempFolder);
  ctx_.Resources->OnTempCopyFailed = [this](const std::string& error) {
    QueueProblem("The game could not write a temporary file (" + error +
                 "), so some pictures, screens or sounds may be missing. Please free some space, then start the game again.");
  };
  startError_ = DataProblem();
  if (!startError_.empty()) {
    Log("ERROR: " + startError_);
    return;
  }
  // 7. Centred unless developing or full screen.
  if (windowOpen_ && !ctx_.AppInfo->DeveloperMode && !ctx_.Setting->optFullScreen) window_.Centre();
  // 8. The engine.
  std::unique_ptr<TGfxDevice> device = options_.MakeDevice ? options_.MakeDevice(this) : nullptr;
  ctx_.Engine = std::make_unique<TVXEngine>(this, &vx::MainPump(), ctx_.Setting->optVSync, std::move(device));
  Engine = ctx_.Engine.get();
  ctx_.Engine->SetWidth(vx::kLogicalWidth);
  ctx_.Engine->SetHeight(vx::kLogicalHeight);
  ctx_.Engine->SetFullScreen(ctx_.Setting->optFullScreen);
  ctx_.Engine->ResourceManager = ctx_.Resources.get();
  ctx_.Engine->LoadFonts();
  engineStarted_ = ctx_.Engine->Started();
  if (!engineStarted_) return;

  // 9. Only with a running engine.
  try {
    soundFiles_ = std::make_unique<TVXResourceSoundFiles>(*ctx_.Resources);
    soundOptions_ = std::make_unique<SoundOptions>(*ctx_.Setting);
    ctx_.Sounds = std::make_unique<TVXSounds>(*soundFiles_, *soundOptions_,
                                          options_.MakeAudio ? options_.MakeAudio() : nullptr);
  } catch (const std::exception& e) {
    // The game runs silent rather than not at all.
    Log(std::string("ERROR: ") + e.what());
    ctx_.Sounds.reset();
  }

  mainScene_ = new TVXMainScene(nullptr, &ctx_);
  mainScene_->SetName("MAINSCENE");
  inputScene_ = mainScene_;
  active_.Reset();
  open_.Reset();
  anims_.clear();
  CurrentGame = nullptr;

  lobby_->CreatePlayers();
  ctx_.Engine->Timer()->OnRender = [this](void*) {
    FollowPointer();
    RenderFrame();
  };
  lobby_->CreateCityAndMenuBar();

  tmrStart_ = std::make_unique<vx::PumpTimer>();
  tmrStart_->SetInterval(200);
  tmrStart_->OnTimer = [this] { tmrStartTimer(); };
  tmrStart_->SetEnabled(true);
}

bool TfrmMain::FormShow() {
  // The message waits for the end of shutdown: a box that waits for the player must not
  // keep the folder from the next start.
  if (!startError_.empty() || !engineStarted_) {
    closingMessages_.push_back(!startError_.empty() ? startError_ : "Cannot initialize DirectX.");
    Close();
    return false;
  }
  if (windowOpen_) window_.Show();
  if (ctx_.Engine->Windowed() && DeveloperMode()) ctx_.DebugWindow->ShowWindow();
  return true;
}

void TfrmMain::Run() { vx::MainPump().Run(); }

void TfrmMain::tmrStartTimer() {
  if (tmrStart_) tmrStart_->SetEnabled(false);
  // What was found damaged at start is told before anything else.
  ShowFileProblems();
  if (Closing()) return;
  if (!DeveloperMode()) {
    lobby_->PlayIntro();
    if (Closing()) return;
  }
  if (!lobby_->HasCurrentPlayer()) Login(true);
}

void TfrmMain::Login(bool autoLogin) {
  int32_t result = 0;
  if (autoLogin && !ctx_.Setting->optAutoLoginPlayerName.empty()) {
    result = lobby_->SignIn(ctx_.Setting->optAutoLoginPlayerName, ctx_.Setting->optAutoLoginPlayerPassword);
  }
  if (result != 1 && !Closing()) result = lobby_->ShowLoginDialog();
  if (Closing()) return;
  if (result == 1) {
    lobby_->PlayerChanged();
    if (Closing()) return;
    lobby_->EnterMainRoom();
  } else {
    Close();
  }
}

// ---------------------------------------------------------------------------------------
// Shutdown

void TfrmMain::Finalize() {
  if (finalized_) return;
  if (vx::MainPump().LoopDepth() > 0) {
    // Shutdown belongs after the outermost loop; from inside one it would free what the
    // loops below still use. The close request unwinds them first.
    Log("ERROR: shutdown refused inside a message loop");
    Close();
    return;
  }
  finalized_ = true;
  // No frame may be drawn from here on.
  if (ctx_.Engine && ctx_.Engine->Timer()) ctx_.Engine->Timer()->OnRender = nullptr;
  if (tmrStart_) tmrStart_->SetEnabled(false);

  if (engineStarted_) {
    lobby_->FreeMainRoom();
    lobby_->FreeCity();
    lobby_->FreeMenuBar();
    lobby_->FreePlayers();
    lobby_->FreeCasinoManager();
    gameManager_.reset();
    inputScene_.Reset();
    active_.Reset();
    open_.Reset();
    delete mainScene_;
    mainScene_ = nullptr;
    anims_.clear();
    ctx_.Sounds.reset();
  }
  lobby_.reset();
  gameManager_.reset();
  tmrStart_.reset();
  Engine = nullptr;
  ctx_.Engine.reset();
  ctx_.Resources.reset();
  ctx_.AppInfo.reset();
}

void TfrmMain::FormDestroy() {
  if (destroyed_) return;
  if (vx::MainPump().LoopDepth() > 0) {
    Log("ERROR: shutdown refused inside a message loop");
    Close();
    return;
  }
  Finalize();
  destroyed_ = true;
  if (ctx_.Setting) {
    ctx_.Setting->Save();
    ctx_.Setting.reset();
  }
  // What went wrong once the screen was gone (the saves of shutdown) is still told.
  tmrProblems_.reset();
  closingMessages_.insert(closingMessages_.end(), problems_.begin(), problems_.end());
  problems_.clear();
  vx::SetXMLFileProblemHandler(nullptr);
  // Everything is saved: the next start may have the folder while the player reads.
  folderLock_.Release();
  // The log window goes with the main window; in developer mode it saves the log.
  ctx_.DebugWindow.reset();
  if (!closingMessages_.empty()) {
    // Nothing is left to save, so a stop request may end the program in the middle of a box.
    vx::DefaultCloseSignals();
    for (const std::string& text : closingMessages_) ShowSystemMessage(text);
    closingMessages_.clear();
  }
  vx::MessagePump& pump = vx::MainPump();
  if (pump.Handler() == this) pump.SetHandler(nullptr);
  if (windowOpen_) {
    pump.SetEventSource(nullptr);
    window_.Destroy();
    windowOpen_ = false;
  }
}

// ---------------------------------------------------------------------------------------
// Frames and animations

TVXAnim* TfrmMain::GetAnim(int32_t index) const {
  if (index < 0 || index >= AnimCount()) return nullptr;
  return anims_[static_cast<size_t>(index)];
}

void TfrmMain::AddAnim(TVXAnim* anim) {
  if (anim == nullptr || std::find(anims_.begin(), anims_.end(), anim) != anims_.end()) return;
  anims_.push_back(anim);
  anim->Listed = true;
}

void TfrmMain::RemoveAnim(TVXAnim* anim) {
  auto it = std::find(anims_.begin(), anims_.end(), anim);
  if (it != anims_.end()) anims_.erase(it);
  if (anim != nullptr) anim->Listed = false;
}

void TfrmMain::RemoveStoppedAnims() {
  // From the end, so removals skip nothing.
  for (int32_t i = AnimCount() - 1; i >= 0; --i) {
    if (i < AnimCount() && !anims_[static_cast<size_t>(i)]->Running) RemoveAnim(anims_[static_cast<size_t>(i)]);
  }
}

void TfrmMain::StepAnimations() {
  // Over the count taken now. An animation finishing in its Step leaves the list at once and
  // the next one shifts under the index (it then waits for the next frame). An animation
  // whose Step is further up the stack is not stepped again.
  const int32_t n = AnimCount();
  for (int32_t i = 0; i < n && i < AnimCount(); ++i) anims_[static_cast<size_t>(i)]->StepOnce();
}

void TfrmMain::RenderFrame() {
  // A frame asked for while the tree is being drawn is dropped.
  if (drawingTree_ || finalized_) return;
  RemoveStoppedAnims();
  TGfxDevice* device = ctx_.Engine && engineStarted_ ? ctx_.Engine->Device() : nullptr;
  if (device == nullptr || !ctx_.Engine->DeviceReady()) {
    StepAnimations();
    return;
  }
  // Animations step inside the frame's scene. A frame asked for from a step (one that waits)
  // first closes the scene of the frame that ran the step, so the device never sees a scene
  // begun inside another; that frame begins a fresh one after its steps.
  if (sceneOpen_) {
    device->EndScene();
    sceneOpen_ = false;
  }
  struct Close {
    TGfxDevice* device;
    bool& open;
    bool& tree;
    ~Close() {
      tree = false;
      if (open) device->EndScene();
      open = false;
    }
  } close{device, sceneOpen_, drawingTree_};
  const auto begin = [&] {
    device->Clear(0);
    sceneOpen_ = device->BeginScene() == 0;
    return sceneOpen_;
  };
  const bool begun = begin();
  StepAnimations();
  if (!begun || (!sceneOpen_ && !begin())) return;
  drawingTree_ = true;
  if (mainScene_ != nullptr) mainScene_->Process();
  drawingTree_ = false;
  device->EndScene();
  sceneOpen_ = false;
  device->Present();
}

// ---------------------------------------------------------------------------------------
// Loops

bool TfrmMain::ProcessMessage() { return vx::MainPump().PumpOne(); }

bool TfrmMain::ProcessPendingMessages() { return vx::MainPump().PumpPending(); }

bool TfrmMain::ProcessUntil(const std::function<bool()>& done) { return vx::MainPump().ProcessUntil(done); }

bool TfrmMain::Wait(uint64_t ms) {
  if (ms == 0) return !Closing();
  return vx::MainPump().WaitMs(ms);
}

bool TfrmMain::Closing() { return vx::MainPump().Terminated(); }

void TfrmMain::Close() { vx::MainPump().Terminate(); }

// ---------------------------------------------------------------------------------------
// Input

TVXScene* TfrmMain::InputScene() {
  if (TVXScene* scene = inputScene_.Get()) return scene;
  return mainScene_;
}

void TfrmMain::SetInputScene(TVXScene* scene) { inputScene_ = scene != nullptr ? scene : mainScene_; }

void TfrmMain::FormMouseDown(vx::TMouseButton button, vx::TShiftState shift, int32_t x, int32_t y) {
  vx::DispatchScope dispatch;  // what the handlers free goes after the whole event
  pointer_ = {true, shift, x, y};
  if (TVXScene* scene = InputScene()) scene->MouseDown(nullptr, button, shift, x, y);
  SetOpenControl(nullptr);
  if (ctx_.Engine) {
    ctx_.Engine->CursorX = x;
    ctx_.Engine->CursorY = y;
  }
}

void TfrmMain::FormMouseMove(vx::TShiftState shift, int32_t x, int32_t y) {
  pointer_ = {true, shift, x, y};
  TVXScene* scene = InputScene();
  pointerScene_ = scene;
  // Taken before the handlers run: what they put under the pointer is followed next frame.
  pointerTarget_ = scene != nullptr ? scene->ControlAt(x, y) : nullptr;
  if (scene != nullptr) scene->MouseMove(nullptr, shift, x, y);
}

void TfrmMain::FormMouseUp(vx::TMouseButton button, vx::TShiftState shift, int32_t x, int32_t y) {
  pointer_ = {true, shift, x, y};
  if (TVXScene* scene = InputScene()) scene->MouseUp(nullptr, button, shift, x, y);
}

void TfrmMain::FollowPointer() {
  if (!pointer_.Known || finalized_) return;
  TVXScene* scene = InputScene();
  if (scene == nullptr) return;
  // A move only when something else lies under the pointer: a resting pointer over an
  // unchanged screen hears nothing.
  if (scene == pointerScene_.Get() && scene->ControlAt(pointer_.X, pointer_.Y) == pointerTarget_.Get()) return;
  vx::DispatchScope dispatch;
  FormMouseMove(pointer_.Shift, pointer_.X, pointer_.Y);
}

void TfrmMain::FormKeyDown(uint16_t& key, vx::TShiftState shift) {
  vx::DispatchScope dispatch;
  const bool ctrl = (shift & vx::ssCtrl) != 0;
  const bool alt = (shift & vx::ssAlt) != 0;
  // The developer's emergency exit ends the program at once: no screen may take the key first
  // (a game would read the X as one of its own keys).
  if (alt && key == kKeyX && DeveloperMode()) {
    if (options_.Halt) {
      options_.Halt();
      return;
    }
    std::_Exit(0);
  }
  vx::WeakRef<TVXScene> input(InputScene());
  // An Alt chord is a system key, not the letter a screen reads (Alt+X would hold a card):
  // only the global keys below see it.
  if (vx::IsSystemKeyChord(shift)) input.Reset();
  // 1. The focused control, when it lies in the input scene (a modal frame keeps keys from
  // the screen behind it).
  if (input) SendKeyToActiveControl(input.Get(), key, shift);
  // 2. The input scene.
  if (TVXScene* scene = input.Get()) scene->KeyDown(key, shift);
  // 3. The scenes directly under it, from a snapshot: a handler may add or free scenes.
  if (TVXScene* scene = input.Get()) {
    std::vector<vx::WeakRef<TVXScene>> children;
    for (int32_t i = 0; i < scene->ChildCount(); ++i) {
      if (auto* child = dynamic_cast<TVXScene*>(scene->GetChild(i))) children.emplace_back(child);
    }
    for (auto& child : children) {
      if (TVXScene* c = child.Get()) c->KeyDown(key, shift);
    }
  }
  // 4. Full screen.
  if (ctrl && key == kKeyF && ctx_.Setting) {
    // A switch that fails leaves the option as the display is.
    ctx_.Setting->optFullScreen = !ctx_.Setting->optFullScreen;
    if (ctx_.Engine && !ctx_.Engine->SetFullScreen(ctx_.Setting->optFullScreen)) ctx_.Setting->optFullScreen = !ctx_.Setting->optFullScreen;
  }
  // 5. Developer keys.
  if (!DeveloperMode()) return;
  switch (key) {
    case vx::VK_F5:
      ReloadTheme();
      Log("INFO: Theme reloaded !");
      return;
    case vx::VK_F6:
      FadeOut();
      return;
    case vx::VK_F8:
      vx::DumpControlTree(mainScene_, "log_comp_tree_parents.txt");
      return;
    case vx::VK_F9:
      vx::DumpProcessMemory();
      return;
    case vx::VK_F10:
      vx::DumpTextureList(ctx_.Engine ? ctx_.Engine->Textures() : nullptr, "log_gfxtexture_list.txt");
      return;
    default:
      break;
  }
  if (ctrl && key == kKeyS) {
    if (ctx_.Engine) ctx_.Engine->ScreenShot();
  } else if (ctrl && key == kKeyD) {
    FadeIn();
  }
}

void TfrmMain::SetOpenControl(TVXCustomControl* control) {
  TVXCustomControl* open = open_.Get();
  if (open != nullptr && open != control) {
    open_.Reset();
    vx::CloseDropDown(open);
  }
  open_ = control;
}

void TfrmMain::ShowHint(TVXComponent* sender) {
  auto* control = dynamic_cast<TVXControl*>(sender);
  if (control == nullptr || !lobby_) return;
  lobby_->ShowHint(control->Hint);
}

void TfrmMain::PlaySound(const std::string& name) {
  if (ctx_.Sounds) ctx_.Sounds->PlaySound(name);
}

// ---------------------------------------------------------------------------------------
// Services

void TfrmMain::ReloadTheme() {
  vx::ScopedCursor hourglass(vx::CursorShape::Wait);
  const std::string casino = ctx_.CasinoName();
  Log("INFO: Loading theme: " + casino);
  if (mainScene_ == nullptr) return;
  std::vector<vx::WeakRef<TVXScene>> scenes;
  for (int32_t i = 0; i < mainScene_->ChildCount(); ++i) {
    if (auto* scene = dynamic_cast<TVXScene*>(mainScene_->GetChild(i))) scenes.emplace_back(scene);
  }
  for (auto& scene : scenes) {
    if (TVXScene* s = scene.Get()) s->LoadTheme(casino);
  }
}

void TfrmMain::ShowHelp() {
  if (lobby_) lobby_->ShowHelp();
}

int32_t TfrmMain::MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) {
  if (mainScene_ == nullptr || Closing()) {
    Log("ERROR: no message box can be shown: " + text);
    return mrNone;
  }
  vx::WeakRef<TframeMessage> frame(new TframeMessage(mainScene_, helpContext, buttons, kind, text));
  const int32_t result = frame ? frame->ShowModal() : mrNone;
  delete frame.Get();
  return result;
}

int32_t TfrmMain::PopupFrames(int32_t kind) {
  switch (kind) {
    case 0: return 100;
    case 1: return 150;
    case 3: return 250;
    case 4: return 350;
    default: return 200;
  }
}

void TfrmMain::PopupMessage(const std::string& text, int32_t kind) {
  if (!lobby_) return;
  // Nobody signed in: the first picture rather than none.
  int32_t picture = lobby_->CurrentPlayerPictureID();
  if (picture <= 0) picture = 1;
  lobby_->ShowPopup(text, picture, PopupFrames(kind));
}

void TfrmMain::FadeIn() {
  if (mainScene_ == nullptr || Closing()) return;
  TAnimFade fade(&ctx_);
  fade.FadeIn = true;
  fade.HoldThenFadeOut = false;
  fade.Run();
}

void TfrmMain::FadeOut() {
  if (mainScene_ == nullptr || Closing()) return;
  TAnimFade fade(&ctx_);
  fade.FadeIn = false;
  fade.HoldThenFadeOut = true;
  fade.Run();
}
