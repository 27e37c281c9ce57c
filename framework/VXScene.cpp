#include "framework/VXScene.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXControl.h"
#include "framework/VXDebug.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"

// ---------------------------------------------------------------------------------------
// TVXScene

TVXScene::TVXScene(TVXComponent* owner, TVXContext* context) : TVXCustomControl(owner) {
  if (context != nullptr) SetContext(context);
  Hidden = true;
  MusicStyle = 0;
  visible_ = false;
  const TVXContext* ctx = Context();
  if (TVXMainWindow* main = vx::MainWindowIn(ctx)) {
    TVXCustomControl* root = main->MainScene();
    if (root != nullptr) SetParent(root);
  }
  Client = this;
  // A scene draws nothing itself; its children draw.
  NoRender = true;

  Background = new TVXImage(this);
  Background->SetName("IMG_BACKGROUND");
  Background->TextureInfo.SetName("background");
  Background->SetBounds(0, 0, 800, 600);
  Background->SetAutoSize(false);
  AddControl(Background);

  const TVXSetting* settings = vx::SettingIn(ctx);
  NoImageFile = (settings != nullptr ? settings->ProgramFolder : std::string()) + "Editor\\noimage.bmp";
}

TVXScene::~TVXScene() {
  EndLife();
  TVXCustomControl* active = Host().ActiveControl();
  if (active != nullptr) {
    for (const auto& c : controls_) {
      if (c.Get() == active) {
        Host().SetActiveControl(nullptr);
        break;
      }
    }
  }
  controls_.clear();
}

int32_t TVXScene::ControlCount() const { return static_cast<int32_t>(controls_.size()); }

TVXCustomControl* TVXScene::GetControl(int32_t index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return controls_[static_cast<size_t>(index)].Get();
}

void TVXScene::SetSceneName(const std::string& name) {
  sceneName_ = name;
  SetName(name);
}

void TVXScene::AddControl(TVXCustomControl* control) {
  if (control == nullptr) return;
  controls_.emplace_back(control);
  if (control->Parent() == nullptr && Client != nullptr && Client != control) control->SetParent(Client);
  if (TVXControl* c = control->AsControl()) {
    if (c->TextureInfo.Name().empty()) c->TextureInfo.SetName(c->Name());
    if (c->TextureInfo.Folder().empty()) c->TextureInfo.SetFolder(sceneName_);
  }
}

void TVXScene::MoveControlToEnd(TVXCustomControl* control) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [control](const vx::WeakRef<TVXCustomControl>& c) { return c.Get() == control; });
  if (it == controls_.end()) return;
  controls_.erase(it);
  controls_.emplace_back(control);
}

TVXCustomControl* TVXScene::FindControl(const std::string& name) const {
  for (const auto& c : controls_) {
    if (TVXCustomControl* p = c.Get(); p != nullptr && p->Name() == name) return p;
  }
  return nullptr;
}

void TVXScene::Show() {
  const TVXContext* ctx = Context();
  TVXSounds* sounds = (ctx != nullptr ? ctx->Sounds.get() : nullptr);
  if (MusicStyle != 0 && sounds != nullptr) sounds->PlayMusic(MusicStyle);
  SetVisible(true);
  Hidden = false;
}

void TVXScene::Hide() {
  Hidden = true;
  SetVisible(false);
}

void TVXScene::LoadThemeWithProgress(const std::string& casinoName, const TVXLoadControlEvent& progress) {
  // Put back whatever hook was there, also when theming throws; the caller's hook never
  // outlives the call.
  struct Restore {
    vx::WeakRef<TVXScene> scene;
    TVXLoadControlEvent previous;
    ~Restore() {
      if (TVXScene* s = scene.Get()) s->OnLoadControl = std::move(previous);
    }
  } restore{vx::WeakRef<TVXScene>(this), OnLoadControl};
  vx::DispatchScope dispatch;  // the hook may free the scene: a scene's own theming goes on
  OnLoadControl = progress;
  LoadTheme(casinoName);
}

void TVXScene::LoadTheme(const std::string& /*casinoName*/) {
  vx::DispatchScope dispatch;  // the hooks may free the scene
  const TVXContext* ctx = Context();
  TVXResourceManager* resources = vx::ResourcesIn(ctx);
  const std::string themeKey = sceneName_ + "\\" + "theme.scn";
  const std::string fileName = resources != nullptr ? resources->GetFileName(themeKey) : std::string();
  std::unique_ptr<TVXStore> store;
  if (fileName.empty()) {
    Log("ERROR: Cannot load theme-config for scene " + sceneName_);
  } else {
    store = std::make_unique<TVXStore>(fileName);
    if (!store->Loaded()) {
      Log("ERROR: Cannot load theme-config for scene " + sceneName_);
      store.reset();
    }
  }

  // A snapshot: hooks may add controls or free some.
  const std::vector<vx::WeakRef<TVXCustomControl>> snapshot = controls_;
  for (size_t i = 0; i < snapshot.size(); ++i) {
    TVXCustomControl* entry = snapshot[i].Get();
    TVXControl* control = entry != nullptr ? entry->AsControl() : nullptr;
    if (control == nullptr) continue;
    vx::WeakRef<TVXControl> alive(control);
    const std::string name = control->Name();
    try {
      if (OnLoadControl) {
        TVXLoadControlEvent hook = OnLoadControl;
        hook(this, 1, name, static_cast<int32_t>(i));
        if (!alive) continue;
      }
      PrepareControl(control);
      if (!alive) continue;
      if (!name.empty() && store) {
        ApplyThemeKeys(*store, control);
        if (!alive) continue;
        ApplyEffects(*store, control);
        if (!alive) continue;
      }
      control->ApplyEffect(efNormal);
    } catch (const std::exception& e) {
      // One control's failure leaves the rest of the scene themed.
      Log("ERROR: Theme of " + sceneName_ + "\\" + name + ": " + e.what());
    }
  }
  store.reset();
  if (vx::DeveloperModeIn(ctx))
    vx::LogTextureCount(ctx != nullptr ? ctx->Engine.get() : nullptr);
}

void TVXScene::PrepareControl(TVXControl* control) {
  if (control == nullptr) return;
  vx::WeakRef<TVXControl> alive(control);
  if (control->TextureInfo.Folder().empty()) control->TextureInfo.SetFolder(sceneName_);
  LoadControlTexture(control, control->TextureInfo.Folder(), control->TextureInfo.Name() + ".bmp");

  if (const auto& parts = control->ThemeClass().Parts) {
    std::vector<vx::WeakRef<TVXControl>> inner;
    for (TVXControl* part : parts(*control)) inner.emplace_back(part);
    for (const auto& part : inner)
      if (alive && part) PrepareControl(part.Get());
  }
  if (alive) control->LoadTexture();
}

void TVXScene::LoadControlTexture(TVXControl* control, const std::string& folder, const std::string& fileName) {
  control->TextureInfo.SetFolder(folder);
  const TVXContext* ctx = Context();
  const TVXSetting* settings = vx::SettingIn(ctx);
  if (settings != nullptr) control->TextureInfo.SetPrefix(settings->CasinoFolder);
  TVXResourceManager* resources = vx::ResourcesIn(ctx);
  if (resources == nullptr) return;
  if (!resources->FileExists(folder + "\\" + fileName)) DefaultTexture(control);
}

void TVXScene::DefaultTexture(TVXControl* control) {
  const std::string& name = control->ThemeClass().DefaultTexture;
  if (name.empty()) return;  // other controls keep their missing texture
  control->TextureInfo.SetFolder("COMMON");
  auto* box = dynamic_cast<TVXCheckBox*>(control);
  control->TextureInfo.SetName(box != nullptr ? box->StateTextureName(name) : name);
}

void TVXScene::ApplyThemeKeys(const TVXStore& s, TVXControl* c) { ApplyKeys(s, c, c->ThemeClass().Keys); }

void TVXScene::ApplyEffects(const TVXStore& s, TVXControl* c) { ApplyKeys(s, c, vx::EffectThemeKeys()); }

void TVXScene::ApplyKeys(const TVXStore& s, TVXControl* c, const std::vector<TVXThemeKey>& keys) {
  vx::WeakRef<TVXControl> alive(c);
  const std::string section = c->Name();
  // A setter may free the control (a handler of its move): the rest of the keys then go.
  for (const TVXThemeKey& key : keys) {
    if (!alive) return;
    if (key.Apply) key.Apply(s, section, key.Name, *c);
  }
}

// ---------------------------------------------------------------------------------------
// TVXMainScene

TVXMainScene::TVXMainScene(TVXComponent* owner, TVXContext* context) : TVXScene(owner, context) {
  SetVisible(true);
  Background->NoRender = true;
}
