#pragma once
// The services of the main window that the control toolkit calls. The toolkit never sees
// the main window itself: a control reaches the host through its tree's program context
// (the shell puts itself there, tests put a fake one). Outside every context the toolkit
// runs on a null host that draws nothing, plays nothing and keeps no focus.
#include <cstdint>
#include <string>

#include "framework/VXLiveness.h"

class TGfxDevice;
class TVXComponent;
class TVXCustomControl;
class TVXEngineFont;
class TVXTextureList;

class TVXToolkitHost {
public:
  virtual ~TVXToolkitHost() = default;

  // Drawing: the current device (nullptr when there is none) and the surface size the clip
  // and the fly transitions are measured against.
  virtual TGfxDevice* Device() = 0;
  virtual int32_t SurfaceWidth() = 0;
  virtual int32_t SurfaceHeight() = 0;

  // Runs the per-frame callback once, at once (press and release hooks).
  virtual void RenderNow() = 0;

  // The focused drawn control and the control whose drop-down is open. Both are weak: a
  // control being destroyed reads as none.
  virtual TVXCustomControl* ActiveControl() = 0;
  virtual void SetActiveControl(TVXCustomControl* control) = 0;
  virtual TVXCustomControl* OpenControl() = 0;
  virtual void SetOpenControl(TVXCustomControl* control) = 0;

  // The application's hint event (the main window shows the sender's hint text).
  virtual void ShowHint(TVXComponent* sender) = 0;
  // Plays a named sound ("SND_MENU").
  virtual void PlaySound(const std::string& name) = 0;

  // The engine's values: the last press position and the caret blink period in frames.
  virtual int32_t CursorX() = 0;
  virtual int32_t CursorY() = 0;
  virtual int32_t CaretPeriod() = 0;

  // Engine fonts and the texture cache (nullptr while the engine does not run).
  virtual TVXEngineFont* FindFont(const std::string& name) = 0;
  virtual TVXTextureList* Textures() = 0;
};

// A host with plain defaults: no device, no sound, the active and open controls kept as
// weak references with the focus log line. The shell and the test fakes derive from it and
// override what they provide.
class TVXHostBase : public TVXToolkitHost {
public:
  TGfxDevice* Device() override { return nullptr; }
  int32_t SurfaceWidth() override { return 800; }
  int32_t SurfaceHeight() override { return 600; }
  void RenderNow() override {}
  TVXCustomControl* ActiveControl() override { return active_.Get(); }
  // Stores the control when it differs and logs "INFO: ACTIVECONTROL IS: " + its name (or
  // "NONE").
  void SetActiveControl(TVXCustomControl* control) override;
  TVXCustomControl* OpenControl() override { return open_.Get(); }
  void SetOpenControl(TVXCustomControl* control) override;
  void ShowHint(TVXComponent*) override {}
  void PlaySound(const std::string&) override {}
  int32_t CursorX() override { return 0; }
  int32_t CursorY() override { return 0; }
  int32_t CaretPeriod() override { return 30; }
  TVXEngineFont* FindFont(const std::string&) override { return nullptr; }
  TVXTextureList* Textures() override { return nullptr; }

protected:
  vx::WeakRef<TVXCustomControl> active_;
  vx::WeakRef<TVXCustomControl> open_;
};

namespace vx {

// The host of components outside every context: draws nothing, plays nothing.
TVXHostBase& NullHost();

}  // namespace vx
