#include "platform/gl/PresentPacer.h"

#include <chrono>
#include <thread>

namespace vx::gl {

PresentPacer::PresentPacer()
    : PresentPacer(
          [] {
            using namespace std::chrono;
            return duration<double>(steady_clock::now().time_since_epoch()).count();
          },
          [](double seconds) {
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
          }) {}

PresentPacer::PresentPacer(Clock clock, Sleeper sleeper)
    : clock_(std::move(clock)), sleeper_(std::move(sleeper)) {}

void PresentPacer::SetVSync(bool requested, bool accepted) {
  requested_ = requested;
  accepted_ = accepted;
  unhonoured_ = false;
  windowStart_ = -1.0;
  swapTotal_ = 0.0;
  count_ = 0;
}

bool PresentPacer::Capping() const { return requested_ && (!accepted_ || unhonoured_); }

void PresentPacer::BeforeSwap() {
  double now = clock_();
  if (Capping() && last_ >= 0.0 && now - last_ < Period) {
    sleeper_(Period - (now - last_));
    now = clock_();
  }
  swapStart_ = now;
}

void PresentPacer::AfterSwap() {
  const double now = clock_();
  last_ = now;
  if (!requested_ || !accepted_) return;
  if (windowStart_ < 0.0) {
    windowStart_ = swapStart_;
    swapTotal_ = 0.0;
    count_ = 0;
  }
  swapTotal_ += now - swapStart_;
  if (++count_ < Window) return;
  // Judge a window of presents: a swap that waits for the retrace takes a good part of a
  // frame whenever frames come faster than the retrace. Frames slower than 60 a second are
  // never capped, so a slow scene cannot be mistaken for a driver that ignores vsync.
  const double meanSwap = swapTotal_ / count_;
  const double meanInterval = (now - windowStart_) / count_;
  if (!unhonoured_)
    unhonoured_ = meanSwap < 0.001 && meanInterval < Period * 0.9;
  windowStart_ = -1.0;
}

}  // namespace vx::gl
