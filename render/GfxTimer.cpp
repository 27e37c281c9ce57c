#include "render/GfxTimer.h"

#include <climits>
#include <cmath>

#include "core/Rounding.h"
#include "platform/Clock.h"
#include "platform/MessagePump.h"

TGfxTimer::TGfxTimer(vx::MessagePump* pump) : pump_(pump) {
  highRes_ = vx::QueryPerformanceFrequency(frequency_);
  if (highRes_) vx::QueryPerformanceCounter(lastCounter_);
  lastTick_ = vx::GetTickCount64();
  sampleStart_ = lastTick_;
  if (pump_ != nullptr) {
    pump_->OnIdle = [this](bool& done) {
      IdlePass();
      // While nothing runs the pump may sleep briefly instead of spinning.
      if (mayRender_ || MayProcess || MayRealTime) done = false;
    };
    pump_->OnActivate = [this] { AppActivate(); };
    pump_->OnDeactivate = [this] { AppDeactivate(); };
  }
}

TGfxTimer::~TGfxTimer() {
  if (pump_ != nullptr) {
    pump_->OnIdle = nullptr;
    pump_->OnActivate = nullptr;
    pump_->OnDeactivate = nullptr;
  }
}

void TGfxTimer::SetSpeed(int32_t n) {
  if (n > 0) speed_ = n;
}

void TGfxTimer::SetMayRender(bool on) {
  if (renderSuspended_ && !mayRender_ && on) return;
  mayRender_ = on;
  renderSuspended_ = on;
}

void TGfxTimer::IdlePass() {
  rateWasZero_ = false;
  wasClamped_ = false;
  if (!mayRender_ && !MayProcess && !MayRealTime) return;

  // Frame rate of this pass.
  if (highRes_) {
    uint64_t now = 0;
    vx::QueryPerformanceCounter(now);
    const uint64_t delta = now >= lastCounter_ ? now - lastCounter_ : lastCounter_ - now;
    lastCounter_ = now;
    frameRate_ = delta == 0 ? INT32_MAX : vx::Round32(static_cast<double>(frequency_) / static_cast<double>(delta));
  } else {
    const uint64_t tick = vx::GetTickCount64();
    const uint64_t delta = tick - lastTick_;
    lastTick_ = tick;
    frameRate_ = delta == 0 ? INT32_MAX : vx::Round32(1000.0 / static_cast<double>(delta));
  }

  // Frames per second over a sample of passes; the next sample is longer at higher rates.
  if (++frameCount_ > sampleLength_) {
    const uint64_t now = vx::GetTickCount64();
    const uint64_t elapsed = now - sampleStart_;
    fps_ = elapsed == 0 ? 0 : vx::Round32(static_cast<double>(frameCount_) * 1000.0 / static_cast<double>(elapsed));
    sampleStart_ = now;
    frameCount_ = 0;
    sampleLength_ = fps_ > 120 ? 480 : fps_ > 60 ? 120 : fps_ > 30 ? 60 : 15;
  }

  if (frameRate_ != 0) {
    accumulator_ += static_cast<double>(speed_) / static_cast<double>(frameRate_);
  } else {
    accumulator_ = 1.0;
    rateWasZero_ = true;
  }
  if (accumulator_ >= 8.0) {
    accumulator_ = 8.0;
    wasClamped_ = true;
  }

  if (mayRender_ && OnRender) OnRender(this);
  if (MayRealTime && frameRate_ != 0 && OnRealTime)
    OnRealTime(this, static_cast<double>(speed_) / static_cast<double>(frameRate_));
  if (MayProcess) {
    const auto steps = static_cast<int32_t>(std::trunc(accumulator_));
    accumulator_ -= steps;
    for (int32_t i = 0; i < steps; ++i)
      if (OnProcess) OnProcess(this);
  }
  if (OnAppIdle) OnAppIdle(this);
}

void TGfxTimer::AppDeactivate() {
  if (mayRender_ && StopOnDeactivate) {
    mayRender_ = false;
    renderSuspended_ = true;
  }
  if (OnAppDeactivate) OnAppDeactivate(this);
}

void TGfxTimer::AppActivate() {
  if (renderSuspended_ && StopOnDeactivate) {
    mayRender_ = true;
    renderSuspended_ = false;
  }
  if (OnAppActivate) OnAppActivate(this);
}
