#pragma once
// The program's one real window and the handler of everything it delivers.
#include <string>

#include "platform/Events.h"
#include "platform/Window.h"

class TfrmMain : public vx::IWindowHandler {
public:
  TfrmMain() = default;
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // Opens the window and connects it to the main pump. False (with the reason logged)
  // when there is no window to be had.
  bool Create();
  // The outermost message loop: returns once the window has been closed.
  void Run();
  // Shutdown, after the loop: disconnects from the pump and closes the window. Runs once.
  void Finalize();

  vx::PlatformWindow& Window() { return window_; }
  bool Finalized() const { return finalized_; }

private:
  vx::PlatformWindow window_;
  vx::SdlEventSource events_{window_};
  bool finalized_ = false;
};

// The application's title, also the window caption.
extern const char* const kApplicationTitle;
