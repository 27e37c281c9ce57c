// Program entry: initialise, build the main window, run its message loop until the window
// closes, shut down in order.
#include "app/MainForm.h"
#include "platform/Signals.h"
#include "sysutil/SQLiteBinding.h"

int main() {
  // A stop request from outside closes the window as its close button would.
  vx::CatchCloseSignals();
  // Loaded at start-up and never called; a missing library changes nothing.
  vx::SQLite().Load();

  TfrmMain form;
  form.FormCreate();
  const bool shown = form.FormShow();
  form.Run();
  form.FormDestroy();
  return shown ? 0 : 1;
}
