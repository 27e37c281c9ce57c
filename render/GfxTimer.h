#pragma once
// The frame timer: runs from the message pump's idle pass. Every pass measures the frame
// rate, raises the render event once, the real-time event with the elapsed fraction, and the
// process event a whole number of times so that processing keeps Speed steps a second
// (at most 8 a pass) whatever the frame rate. Rendering stops while the window is inactive.
#include <cstdint>
#include <functional>

#include "render/GfxDevice.h"

namespace vx {
class MessagePump;
}

using TRealTimeEvent = std::function<void(void* sender, double delta)>;

class TGfxTimer {
public:
  // Takes over the pump's idle, activate and deactivate events; without a pump (tests) the
  // owner calls IdlePass, AppActivate and AppDeactivate itself.
  explicit TGfxTimer(vx::MessagePump* pump);
  virtual ~TGfxTimer();
  TGfxTimer(const TGfxTimer&) = delete;
  TGfxTimer& operator=(const TGfxTimer&) = delete;

  int32_t Speed() const { return speed_; }
  // Ignored when n <= 0.
  void SetSpeed(int32_t n);
  bool MayProcess = false;
  bool MayRealTime = false;
  bool StopOnDeactivate = true;
  bool MayRender() const { return mayRender_; }
  // While rendering is suspended by a deactivation, switching it on is ignored (it comes
  // back on activation).
  void SetMayRender(bool on);
  bool RenderSuspended() const { return renderSuspended_; }

  TGfxNotifyEvent OnRender;
  TGfxNotifyEvent OnProcess;
  TGfxNotifyEvent OnAppIdle;
  TGfxNotifyEvent OnAppActivate;
  TGfxNotifyEvent OnAppDeactivate;
  TRealTimeEvent OnRealTime;

  int32_t FPS() const { return fps_; }
  int32_t FrameRate() const { return frameRate_; }
  int32_t SampleLength() const { return sampleLength_; }
  // Set on the last pass: the frame rate was 0; the step count was cut to 8.
  bool RateWasZero() const { return rateWasZero_; }
  bool WasClamped() const { return wasClamped_; }

  // One idle pass (the pump calls it).
  void IdlePass();
  void AppActivate();
  void AppDeactivate();

private:
  vx::MessagePump* pump_;
  int32_t speed_ = 60;
  bool mayRender_ = false;
  bool renderSuspended_ = false;
  bool highRes_ = false;
  uint64_t frequency_ = 0;
  uint64_t lastCounter_ = 0;
  uint64_t lastTick_ = 0;
  uint64_t sampleStart_ = 0;
  int32_t frameRate_ = 0;
  int32_t frameCount_ = 0;
  int32_t sampleLength_ = 30;
  double accumulator_ = 0.0;
  int32_t fps_ = 0;
  bool rateWasZero_ = false;
  bool wasClamped_ = false;
};
