#pragma once
// Scenes: the base of every screen and dialog. A scene is a node of the control tree that
// does not draw itself; it names a theme section, owns a background image, keeps the list of
// its named controls and styles them from its theme file "theme.scn". Screens are built in
// code (create, name, AddControl, hook events, then LoadTheme); the theme only positions and
// styles controls found by name. TVXMainScene is the root of the main window's tree.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/VXClasses.h"
#include "framework/VXLiveness.h"
#include "framework/VXThemeKeys.h"

class TVXControl;
class TVXImage;
class TVXScene;
class TVXStore;

// Called before each control is themed: the scene, the constant 1, the control's name and
// its index in the scene's control list.
using TVXLoadControlEvent =
    std::function<void(TVXScene* scene, int32_t kind, const std::string& name, int32_t index)>;

class TVXScene : public TVXCustomControl {
public:
  // Hidden and invisible, under the main window's root scene, with its background image.
  // A scene without an owner is given the context it belongs to.
  explicit TVXScene(TVXComponent* owner, TVXContext* context = nullptr);
  // Clears the main window's focused control when it is one of the scene's controls.
  ~TVXScene() override;

  TVXLoadControlEvent OnLoadControl;
  const std::string& SceneName() const { return sceneName_; }
  // Music style started by Show (0: none; 1..5, see the sound manager).
  uint8_t MusicStyle = 0;
  // Where added controls without a parent go: the scene itself unless a subclass says.
  TVXCustomControl* Client = nullptr;
  bool Hidden = true;
  TVXImage* Background = nullptr;
  std::string NoImageFile;
  // A fade on this scene does not advance while set.
  bool Paused = false;

  // The scene's controls in the order added (not owned; a control freed elsewhere drops
  // out of the list).
  int32_t ControlCount() const;
  TVXCustomControl* GetControl(int32_t index) const;
  // The steps LoadTheme reports through OnLoadControl: one a control, and those of what a
  // scene loads beyond its controls.
  virtual int32_t LoadSteps() const { return ControlCount(); }

  // SceneName and the component name.
  void SetSceneName(const std::string& name);
  // Appends to the list; a parentless control goes under Client; an empty texture name
  // becomes the control's name and an empty texture folder the scene name.
  void AddControl(TVXCustomControl* control);
  // A new control owned by the scene, under `parent` (Client when none), given its text (or
  // a check box its caption) when one is given, named and added as above.
  template <class T>
  T* AddControl(const std::string& name, const std::string& caption = {}, TVXCustomControl* parent = nullptr) {
    T* control = new T(this);
    if (parent != nullptr) control->SetParent(parent);
    if constexpr (requires { control->SetText(caption); }) {
      if (!caption.empty()) control->SetText(caption);
    } else if constexpr (requires { control->SetCaption(caption); }) {
      if (!caption.empty()) control->SetCaption(caption);
    }
    control->SetName(name);
    AddControl(control);
    return control;
  }
  // Moves the control to the end of the theming order.
  void MoveControlToEnd(TVXCustomControl* control);
  // The first control of that exact name, or nullptr.
  TVXCustomControl* FindControl(const std::string& name) const;
  TVXScene* GetScene() { return this; }
  void BeginUpdate() {}
  void EndUpdate() {}

  // Starts the scene's music, then shows it.
  virtual void Show();
  virtual void Hide();
  // Styles every control from the theme file of SceneName (through the resource manager).
  // The casino name is not used by the base.
  virtual void LoadTheme(const std::string& casinoName);
  // LoadTheme with a progress hook for this one load: the hook is installed as OnLoadControl
  // for the call and the previous value is put back afterwards, whatever happens.
  void LoadThemeWithProgress(const std::string& casinoName, const TVXLoadControlEvent& progress);

  // The texture steps of theming: folder from the scene, the class's default texture when the
  // picture does not exist, the inner controls its theme class names, then the texture is
  // loaded.
  void PrepareControl(TVXControl* control);
  void LoadControlTexture(TVXControl* control, const std::string& folder, const std::string& fileName);
  void DefaultTexture(TVXControl* control);
  // The five effect records of the control from its section.
  void ApplyEffects(const TVXStore& store, TVXControl* control);
  // Every key of the control's theme class from its section, in order (without the effects).
  void ApplyThemeKeys(const TVXStore& store, TVXControl* control);

private:
  void ApplyKeys(const TVXStore& store, TVXControl* control, const std::vector<TVXThemeKey>& keys);

  std::string sceneName_;
  std::vector<vx::WeakRef<TVXCustomControl>> controls_;
};

class TVXMainScene : public TVXScene {
public:
  // Visible at once; its background does not draw. The root holds the program's context.
  explicit TVXMainScene(TVXComponent* owner, TVXContext* context = nullptr);
  // Ends every control's enabled chain.
  bool IsEnabled() override { return true; }
};
