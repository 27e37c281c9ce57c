// Program entry: initialise, open the main window, run its message loop until it closes,
// shut down.
#include "app/MainForm.h"
#include "core/Log.h"
#include "platform/MessagePump.h"
#include "platform/SystemMessage.h"
#include "render/GfxDraw.h"
#include "render/GfxTestPattern.h"
#include "render/GfxTimer.h"
#include "sysutil/SQLiteBinding.h"

namespace {

// Until the engine takes over the window, a GPU device shows the rendering test pattern.
struct WindowForm : TGfxForm {
  explicit WindowForm(vx::PlatformWindow& window) : window(window) {}
  vx::PlatformWindow* Window() const override { return &window; }
  vx::PlatformWindow& window;
};

}  // namespace

int main() {
  // Loaded at start-up and never called; a missing library changes nothing.
  vx::SQLite().Load();

  TfrmMain form;
  if (!form.Create()) {
    vx::ShowSystemMessage(kApplicationTitle, "Cannot initialize DirectX.", vx::SystemMessageKind::Error);
    return 1;
  }
  WindowForm gfxForm(form.Window());
  TGfxDraw draw(&gfxForm);
  draw.SetWidth(vx::kLogicalWidth);
  draw.SetHeight(vx::kLogicalHeight);
  draw.SetVSync(true);
  int32_t code = draw.Initialize();
  if (code == 0) code = draw.InitDevice();
  if (code != 0) {
    Log("ERROR: " + ErrorString(code));
    vx::ShowSystemMessage(kApplicationTitle, "Cannot initialize DirectX.", vx::SystemMessageKind::Error);
    form.Finalize();
    return 1;
  }
  TGfxTimer timer(&vx::MainPump());
  uint32_t frame = 0;
  timer.OnRender = [&](void*) {
    TGfxDevice& device = *draw.Device();
    device.Clear(0xFF000000u);
    device.BeginScene();
    DrawTestPattern(device, frame++);
    device.EndScene();
    device.Present();
  };
  timer.SetMayRender(true);
  form.Run();
  draw.Finalize();
  form.Finalize();
  return 0;
}
