// Program entry: initialise, open the main window, run its message loop until it closes,
// shut down.
#include "app/MainForm.h"
#include "core/Log.h"
#include "platform/SystemMessage.h"
#include "sysutil/SQLiteBinding.h"

int main() {
  // Loaded at start-up and never called; a missing library changes nothing.
  vx::SQLite().Load();

  TfrmMain form;
  if (!form.Create()) {
    vx::ShowSystemMessage(kApplicationTitle, "Cannot initialize DirectX.", vx::SystemMessageKind::Error);
    return 1;
  }
  form.Run();
  form.Finalize();
  return 0;
}
