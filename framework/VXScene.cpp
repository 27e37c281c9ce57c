#include "framework/VXScene.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXControl.h"
#include "framework/VXDebug.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXPageControl.h"
#include "framework/VXScrollBar.h"
#include "framework/VXMenus.h"
#include "framework/VXParticles.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"

namespace vx {
const char* const kEffectPrefixes[5] = {"NormalEffect_", "RollOverEffect_", "CustomEffect_", "CustomEffect2_",
                                        "CustomEffect3_"};
}  // namespace vx

namespace {

using Int4 = std::array<int32_t, 4>;

// A key of a one-byte value: missing or not a number gives `def`; a number outside 0..255
// keeps the current value instead of wrapping into some other one.
int32_t ReadByte(const TVXStore& store, const std::string& section, const std::string& key, int32_t def,
                 int32_t current) {
  const int32_t v = store.ReadInteger(section, key, def);
  return (v >= 0 && v <= 255) ? v : current;
}

// An integer with a valid range; outside it the current value stays.
int32_t ReadRanged(const TVXStore& store, const std::string& section, const std::string& key, int32_t def,
                   int32_t current, int32_t lo, int32_t hi) {
  const int32_t v = store.ReadInteger(section, key, def);
  return (v >= lo && v <= hi) ? v : current;
}

int32_t ReadSize(const TVXStore& store, const std::string& section, const std::string& key, int32_t current) {
  return std::clamp(store.ReadInteger(section, key, current), 0, vx::kCoordinateLimit);
}

Int4 ToInt4(const TColor4& c) {
  return {static_cast<int32_t>(c[0]), static_cast<int32_t>(c[1]), static_cast<int32_t>(c[2]),
          static_cast<int32_t>(c[3])};
}

TColor4 ToColor4(const Int4& v) {
  return {static_cast<uint32_t>(v[0]), static_cast<uint32_t>(v[1]), static_cast<uint32_t>(v[2]),
          static_cast<uint32_t>(v[3])};
}

// Four alphas; a part outside 0..255 keeps the current one.
TAlpha4 ReadAlpha4(const TVXStore& store, const std::string& section, const TAlpha4& current) {
  const Int4 v = store.ReadInt4(section, "Alpha4", current);
  TAlpha4 out = current;
  for (size_t i = 0; i < 4; ++i) {
    if (v[i] >= 0 && v[i] <= 255) out[i] = v[i];
  }
  return out;
}

TColor4 ReadColor4(const TVXStore& store, const std::string& section, const std::string& key,
                   const TColor4& current) {
  return ToColor4(store.ReadInt4(section, key, ToInt4(current)));
}

// Whether the label keys apply: labels and everything built on them, check boxes, list boxes.
bool TakesTextKeys(TVXControl* c) {
  return dynamic_cast<TVXLabel*>(c) != nullptr || dynamic_cast<TVXCheckBox*>(c) != nullptr ||
         dynamic_cast<TVXListBox*>(c) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TVXScene

TVXScene::TVXScene(TVXComponent* owner, TVXContext* context) : TVXCustomControl(owner) {
  if (context != nullptr) SetContext(context);
  Hidden = true;
  MusicStyle = 0;
  visible_ = false;
  const TVXContext* ctx = Context();
  if (TVXMainWindow* main = ctx != nullptr ? ctx->MainWindow : vx::MainWindow()) {
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

  const TVXSetting* settings = ctx != nullptr ? ctx->Setting.get() : vx::Settings();
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
  if (auto* c = dynamic_cast<TVXControl*>(control)) {
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
  vx::WeakRef<TVXScene> self(this);
  const TVXContext* ctx = Context();
  TVXSounds* sounds = ctx != nullptr ? ctx->Sounds.get() : vx::Program().Sounds;
  if (MusicStyle != 0 && sounds != nullptr) sounds->PlayMusic(MusicStyle);
  if (!self) return;
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
  OnLoadControl = progress;
  LoadTheme(casinoName);
}

void TVXScene::LoadTheme(const std::string& /*casinoName*/) {
  vx::WeakRef<TVXScene> self(this);
  const TVXContext* ctx = Context();
  TVXResourceManager* resources = ctx != nullptr ? ctx->Resources.get() : vx::Program().Resources;
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
    auto* control = dynamic_cast<TVXControl*>(snapshot[i].Get());
    if (control == nullptr) continue;
    vx::WeakRef<TVXControl> alive(control);
    const std::string name = control->Name();
    try {
      if (OnLoadControl) {
        TVXLoadControlEvent hook = OnLoadControl;
        hook(this, 1, name, static_cast<int32_t>(i));
        if (!self) return;
        if (!alive) continue;
      }
      PrepareControl(control);
      if (!self) return;
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
      if (!self) return;
    }
  }
  store.reset();
  if (ctx != nullptr ? ctx->DeveloperMode() : vx::DeveloperMode())
    vx::LogTextureCount(ctx != nullptr ? ctx->Engine.get() : vx::Program().Engine);
}

void TVXScene::PrepareControl(TVXControl* control) {
  if (control == nullptr) return;
  vx::WeakRef<TVXControl> alive(control);
  if (control->TextureInfo.Folder().empty()) control->TextureInfo.SetFolder(sceneName_);
  LoadControlTexture(control, control->TextureInfo.Folder(), control->TextureInfo.Name() + ".bmp");

  if (auto* pages = dynamic_cast<TVXPageControl*>(control)) {
    for (int32_t i = 0; i < pages->PageCount() && alive; ++i) {
      if (TVXTabSheet* sheet = pages->GetSheet(i)) {
        sheet->TextureInfo.SetFolder(pages->TextureInfo.Folder());
        PrepareControl(sheet);
      }
    }
  } else if (auto* list = dynamic_cast<TVXListBox*>(control)) {
    if (TVXScrollBar* bar = list->ScrollBar()) {
      if (TVXButton* up = bar->UpButton()) {
        up->TextureInfo.SetFolder("COMMON");
        up->TextureInfo.SetName("BTN_SCROLLUP");
        PrepareControl(up);
      }
      if (TVXButton* down = bar->DownButton(); down != nullptr && alive) {
        down->TextureInfo.SetFolder("COMMON");
        down->TextureInfo.SetName("BTN_SCROLLDOWN");
        PrepareControl(down);
      }
    }
  } else if (auto* combo = dynamic_cast<TVXComboBox*>(control)) {
    if (TVXListBox* comboList = combo->List()) PrepareControl(comboList);
    if (TVXButton* drop = combo->DropButton(); drop != nullptr && alive) {
      drop->TextureInfo.SetFolder("COMMON");
      drop->TextureInfo.SetName("BTN_SCROLLDOWN");
      PrepareControl(drop);
    }
  } else if (auto* particles = dynamic_cast<TVXParticleSystem*>(control)) {
    for (int32_t i = 0; i < TVXParticleSystem::ImageCount && alive; ++i) {
      if (TVXImage* star = particles->Image(i)) PrepareControl(star);
    }
  }
  if (alive) control->LoadTexture();
}

void TVXScene::LoadControlTexture(TVXControl* control, const std::string& folder, const std::string& fileName) {
  control->TextureInfo.SetFolder(folder);
  const TVXContext* ctx = Context();
  const TVXSetting* settings = ctx != nullptr ? ctx->Setting.get() : vx::Settings();
  if (settings != nullptr) control->TextureInfo.SetPrefix(settings->CasinoFolder);
  TVXResourceManager* resources = ctx != nullptr ? ctx->Resources.get() : vx::Program().Resources;
  if (resources == nullptr) return;
  if (!resources->FileExists(folder + "\\" + fileName)) DefaultTexture(control);
}

void TVXScene::DefaultTexture(TVXControl* control) {
  const char* name = nullptr;
  if (dynamic_cast<TVXCheckBox*>(control) != nullptr) {
    name = "CB_ALL";
  } else if (dynamic_cast<TVXTabSheetButton*>(control) != nullptr) {
    name = "TSBTN_ALL";
  } else if (dynamic_cast<TVXButton*>(control) != nullptr) {
    name = "BTN_ALL";
  }
  if (name == nullptr) return;  // other controls keep their missing texture
  control->TextureInfo.SetFolder("COMMON");
  control->TextureInfo.SetName(name);
}

void TVXScene::ApplyThemeKeys(const TVXStore& s, TVXControl* c) {
  vx::WeakRef<TVXControl> alive(c);
  const std::string sec = c->Name();

  c->SetTop(s.ReadInteger(sec, "Top", c->Top()));
  if (!alive) return;
  c->SetLeft(s.ReadInteger(sec, "Left", c->Left()));
  if (!alive) return;
  c->SetWidth(ReadSize(s, sec, "Width", c->Width()));
  if (!alive) return;
  c->SetHeight(ReadSize(s, sec, "Height", c->Height()));
  if (!alive) return;
  c->SetDisableRenderTheme(s.ReadBool(sec, "DisableRenderTheme", c->DisableRenderTheme()));
  c->SetAutoSize(s.ReadBool(sec, "Autosize", c->AutoSize()));
  c->SetAlpha4(ReadAlpha4(s, sec, c->Alpha4()));
  c->SetColor4(ReadColor4(s, sec, "Color4", c->Color4()));
  if (!alive) return;
  c->SavedColor4 = c->Color4();
  c->Border = s.ReadBool(sec, "Border", false);
  c->SetBorderColor4(ReadColor4(s, sec, "BorderColor4", c->BorderColor4()));

  if (TakesTextKeys(c)) {
    c->Font.SetName(s.ReadString(sec, "FontDXName", "ArialBlack"));
    c->Font.SetSize(s.ReadInteger(sec, "FontSize", c->Font.Size()));
    c->Font.SetColor(static_cast<uint32_t>(s.ReadInteger(sec, "FontColor", static_cast<int32_t>(c->Font.Color()))));
    if (!alive) return;
    c->SetAlignment(ReadByte(s, sec, "Alignment", c->Alignment(), c->Alignment()));
    if (!alive) return;
    c->SetLayout(ReadByte(s, sec, "Layout", c->Layout(), c->Layout()));
    c->SetTextureScaleMode(ReadByte(s, sec, "TextureScaleMode", c->TextureScaleMode(), c->TextureScaleMode()));
  }

  c->SetFadeIn(s.ReadBool(sec, "FadeIn", false));
  c->SetFadeOut(s.ReadBool(sec, "FadeOut", false));
  c->SetFadeSpeed(ReadByte(s, sec, "FadeSpeed", c->FadeSpeed(), c->FadeSpeed()));
  c->SetFlyIn(ReadRanged(s, sec, "FlyIn", 0, c->FlyIn(), 0, 4));
  c->SetFlyOut(ReadRanged(s, sec, "FlyOut", 0, c->FlyOut(), 0, 4));
  c->SetFlySpeed(ReadByte(s, sec, "FlySpeed", c->FlySpeed(), c->FlySpeed()));
  // "MouseCross" and "MouseCrossColor" belong to the theme format, but no control draws a
  // cross-hair: they are accepted and have no effect.

  if (auto* item = dynamic_cast<TVXMenuItem*>(c)) {
    item->SetTopRelativeToMenu(s.ReadInteger(sec, "TopRelativeToMenu", item->TopRelativeToMenu()));
    if (!alive) return;
    item->SetLeftRelativeToMenu(s.ReadInteger(sec, "LeftRelativeToMenu", item->LeftRelativeToMenu()));
    if (!alive) return;
  }
  if (auto* list = dynamic_cast<TVXListBox*>(c)) {
    const TColor4 selection = ReadColor4(s, sec, "SelectionColor4", list->SelectionColor4());
    list->SetSelectionColor4(selection);
    list->SetColumnHeaderHeight(ReadSize(s, sec, "ColumnHeaderHeight", list->ColumnHeaderHeight()));
    list->SetItemHeight(ReadSize(s, sec, "ItemHeight", list->ItemHeight()));
  } else if (auto* combo = dynamic_cast<TVXComboBox*>(c)) {
    const TColor4 current = combo->List() != nullptr ? combo->List()->SelectionColor4() : TColor4{};
    combo->SetSelectionColor4(ReadColor4(s, sec, "SelectionColor4", current));
    combo->SetItemHeight(ReadSize(s, sec, "ItemHeight", combo->ItemHeight()));
  }
}

void TVXScene::ApplyEffects(const TVXStore& s, TVXControl* c) {
  const std::string sec = c->Name();
  for (size_t i = 0; i < 5; ++i) {
    TVXEffects& e = c->Effects[i];
    const std::string p = vx::kEffectPrefixes[i];
    e.ColorEnabled = s.ReadBool(sec, p + "ColorEnabled", false);
    e.ColorContinuous = s.ReadBool(sec, p + "ColorContinuous", e.ColorContinuous);
    e.Color = ReadColor4(s, sec, p + "Color", e.Color);
    e.ColorChangeSpeed = ReadByte(s, sec, p + "ColorChangeSpeed", 0, e.ColorChangeSpeed);
    e.TextColorEnabled = s.ReadBool(sec, p + "TextColorEnabled", false);
    e.TextColorContinuous = s.ReadBool(sec, p + "TextColorContinuous", false);
    e.TextColor = static_cast<uint32_t>(s.ReadInteger(sec, p + "TextColor", static_cast<int32_t>(e.TextColor)));
    e.TextColorChangeSpeed = ReadByte(s, sec, p + "TextColorChangeSpeed", 0, e.TextColorChangeSpeed);
    e.AlphaEnabled = s.ReadBool(sec, p + "AlphaEnabled", false);
    e.AlphaContinuous = s.ReadBool(sec, p + "AlphaContinuous", e.AlphaContinuous);
    e.AlphaBlendValue = ReadByte(s, sec, p + "AlphaBlendValue", e.AlphaBlendValue, e.AlphaBlendValue);
    e.AlphaChangeSpeed = ReadByte(s, sec, p + "AlphaChangeSpeed", 0, e.AlphaChangeSpeed);
    e.ScrollEnabled = s.ReadBool(sec, p + "ScrollEnabled", false);
    // One direction: 1 right, 2 left, 3 down, 4 up (bit n of the set).
    const int32_t n = s.ReadInteger(sec, p + "ScrollOptions", 0);
    if (n >= 0 && n <= 4) e.ScrollOptions = 1u << static_cast<uint32_t>(n);
    e.ScrollDistance = std::clamp(s.ReadInteger(sec, p + "ScrollDistance", e.ScrollDistance), 0, vx::kCoordinateLimit);
    e.ScrollSpeed = ReadByte(s, sec, p + "ScrollSpeed", 0, e.ScrollSpeed);
    e.GrowEnabled = s.ReadBool(sec, p + "GrowEnabled", false);
    e.GrowDistance = std::clamp(s.ReadInteger(sec, p + "GrowDistance", e.GrowDistance), 0, vx::kCoordinateLimit);
  }
}

// ---------------------------------------------------------------------------------------
// TVXMainScene

TVXMainScene::TVXMainScene(TVXComponent* owner, TVXContext* context) : TVXScene(owner, context) {
  SetVisible(true);
  Background->NoRender = true;
}
