#include "lobby/VXDialogs.h"

#include "core/Log.h"
#include "framework/VXApplication.h"

namespace vx {

int32_t LobbyMessageBox(const std::string& text, int32_t kind, int32_t buttons) {
  if (TVXMainWindow* main = MainWindow()) return main->MessageBox(text, kind, 0, buttons);
  Log("ERROR: No window to show the message \"" + text + "\"");
  return mrNone;
}

TVXComponent* DialogOwner() {
  TVXMainWindow* main = MainWindow();
  if (main == nullptr) return nullptr;
  return main->MainScene();
}

}  // namespace vx
