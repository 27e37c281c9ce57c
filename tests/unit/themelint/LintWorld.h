#pragma once
// The program's singletons without its window: settings and the real resource manager over a
// program folder laid out by the data generator, the engine with its fonts and texture cache
// on a given device (a recording device, or the GPU device headless through EGL), the root
// scene, a players list and the game catalogue. It stands in for the main window: frames are
// drawn as the main window draws them, modal loops run one frame per message, and mouse
// presses are routed through the input scene.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXLiveness.h"
#include "render/GfxDevice.h"

class TGfxDevice;
class TVXAnim;
class TVXGameManager;
class TVXPlayers;
class TVXResourceManager;
class TVXSetting;

namespace themelint {

// The program folder the build laid out for this build tree.
std::string GeneratedProgramFolder();

class LintWorld : public TGfxForm, public TVXEngineHost, public TVXMainWindow {
public:
  // `device` nullptr: the GPU device. Nothing is written to the program folder; copies of
  // archive records go to `systemTemp`.
  LintWorld(const std::string& programFolder, const std::string& systemTemp, std::unique_ptr<TGfxDevice> device);
  ~LintWorld() override;
  LintWorld(const LintWorld&) = delete;
  LintWorld& operator=(const LintWorld&) = delete;

  bool Started() const;
  TVXContext& Context() { return context_; }
  TVXSetting& Settings() { return *context_.Setting; }
  TVXResourceManager& Resources() { return *context_.Resources; }
  TVXPlayers& Players() { return *players_; }
  TVXGameManager& Catalogue() { return *catalogue_; }

  // One frame as the main window draws it: animations stepped, cleared to black, the tree
  // from the root, presented.
  void RenderFrame();
  int32_t FramesDrawn() const { return frames_; }
  // Runs after every frame a modal loop draws; a modal loop with nothing here is ended (a
  // stray dialog never hangs a test), and so is any loop after `MaxFrames`.
  std::function<void()> OnFrame;
  static constexpr int32_t MaxFrames = 2000;
  // A left click at (x, y) routed through the input scene.
  void Click(int32_t x, int32_t y);

  // TVXMainWindow
  TVXMainScene* MainScene() override { return root_; }
  TVXScene* InputScene() override;
  void SetInputScene(TVXScene* scene) override;
  void AddAnim(TVXAnim* anim) override;
  void RemoveAnim(TVXAnim* anim) override;
  void RenderNow() override { RenderFrame(); }
  bool ProcessMessage() override;
  bool ProcessUntil(const std::function<bool()>& done) override;
  bool Wait(uint64_t ms) override;
  bool Closing() override { return closing_; }
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override;
  void PopupMessage(const std::string&, int32_t) override {}
  void FadeIn() override {}
  void FadeOut() override {}

private:
  TVXContext context_;
  std::unique_ptr<TVXPlayers> players_;
  std::unique_ptr<TVXGameManager> catalogue_;
  TVXMainScene* root_ = nullptr;
  vx::WeakRef<TVXScene> input_;
  std::vector<TVXAnim*> anims_;
  int32_t frames_ = 0;
  bool drawing_ = false;
  bool closing_ = false;
};

}  // namespace themelint
