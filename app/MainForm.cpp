#include "app/MainForm.h"

#include "core/Log.h"
#include "platform/MessagePump.h"

const char* const kApplicationTitle = "Orvanta Cards Casino";

TfrmMain::~TfrmMain() { Finalize(); }

bool TfrmMain::Create() {
  std::string error;
  if (!window_.Create(kApplicationTitle, vx::kLogicalWidth, vx::kLogicalHeight, &error)) {
    Log("ERROR: " + error);
    return false;
  }
  window_.Centre();
  vx::MessagePump& pump = vx::MainPump();
  pump.SetEventSource(&events_);
  pump.SetHandler(this);
  window_.Show();
  return true;
}

void TfrmMain::Run() { vx::MainPump().Run(); }

void TfrmMain::Finalize() {
  if (finalized_) return;
  finalized_ = true;
  vx::MessagePump& pump = vx::MainPump();
  if (pump.Handler() == this) {
    pump.SetHandler(nullptr);
    pump.SetEventSource(nullptr);
  }
  window_.Destroy();
}
