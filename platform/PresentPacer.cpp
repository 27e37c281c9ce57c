#include "platform/PresentPacer.h"

#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace vx {

PresentPacer::PresentPacer()
    : PresentPacer(
          [] {
            // The program's clock, so a run on virtual time is paced on virtual time.
            vx::IClock& clock = vx::Clock();
            const uint64_t frequency = clock.CounterFrequency();
            if (frequency == 0) return static_cast<double>(clock.TickCount()) / 1000.0;
            return static_cast<double>(clock.Counter()) / static_cast<double>(frequency);
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
  // A clock replaced since the last present (now behind it) is not waited out.
  if (Capping() && last_ >= 0.0 && now >= last_ && now - last_ < Period) {
    const double due = last_ + Period;
    sleeper_(due - now);
    now = clock_();
    // A sleep runs a little over; counting the period from when the swap was due keeps an
    // even sixty a second, as a retrace would. One late by a whole period starts afresh.
    if (now - due < Period) {
      swapStart_ = due;
      return;
    }
  }
  swapStart_ = now;
}

void PresentPacer::AfterSwap() {
  const double now = clock_();
  // The period runs from the start of a swap, so the swap's own time is inside it and a
  // capped stream keeps an even sixty a second instead of sixty less the swap's share.
  last_ = swapStart_;
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

}  // namespace vx
