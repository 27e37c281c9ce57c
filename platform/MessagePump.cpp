#include "platform/MessagePump.h"

#include <exception>

#include "core/Log.h"
#include "platform/Clock.h"
#include "platform/Signals.h"

namespace vx {

template <typename F>
void MessagePump::Guarded(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    Log("ERROR: " + std::string(e.what()));
  } catch (...) {
    Log("ERROR: unknown exception");
  }
}

void MessagePump::Dispatch(const PlatformEvent& ev) {
  ++stats_.events;
  using K = PlatformEvent::Kind;
  Guarded([&] {
    switch (ev.kind) {
      case K::MouseDown:
        if (handler_) handler_->OnMouseDown(ev.button, ev.shift, ev.x, ev.y);
        break;
      case K::MouseUp:
        if (handler_) handler_->OnMouseUp(ev.button, ev.shift, ev.x, ev.y);
        break;
      case K::MouseMove:
        if (handler_) handler_->OnMouseMove(ev.shift, ev.x, ev.y);
        break;
      case K::KeyDown: {
        uint16_t key = ev.key;
        if (handler_) handler_->OnKeyDown(key, ev.shift);
        break;
      }
      case K::Activate: {
        auto hook = OnActivate;  // a hook may replace itself
        if (hook) hook();
        if (handler_) handler_->OnActivate();
        break;
      }
      case K::Deactivate: {
        auto hook = OnDeactivate;
        if (hook) hook();
        if (handler_) handler_->OnDeactivate();
        break;
      }
      case K::Close:
        if (terminated_) break;  // the window is already closing
        terminated_ = true;
        if (handler_) handler_->OnCloseRequest();
        break;
    }
  });
}

bool MessagePump::FireDueTimer() {
  if (timers_.empty()) return false;
  const uint64_t now = GetTickCount64();
  auto due = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.due <= now && (due == timers_.end() || it->second.due < due->second.due)) due = it;
  }
  if (due == timers_.end()) return false;
  // Copy the callback: it may kill its own timer or free whatever owns it.
  std::function<void()> cb = due->second.onTimer;
  if (due->second.periodic) {
    due->second.due = now + due->second.interval;
  } else {
    timers_.erase(due);
  }
  ++stats_.timerTicks;
  Guarded([&] {
    if (cb) cb();
  });
  return true;
}

void MessagePump::RunIdle() {
  ++stats_.idlePasses;
  bool done = true;
  auto hook = OnIdle;
  Guarded([&] {
    if (hook) hook(done);
  });
  idleDone_ = done;
}

uint32_t MessagePump::IdleWaitTimeout() const {
  uint32_t timeout = kIdleWaitMs;
  const uint64_t now = GetTickCount64();
  for (auto& [id, t] : timers_) {
    uint64_t left = t.due > now ? t.due - now : 0;
    if (left < timeout) timeout = static_cast<uint32_t>(left);
  }
  return timeout;
}

bool MessagePump::PumpOne() {
  if (terminated_) return false;
  PlatformEvent ev;
  if (const int signal = TakeCloseSignal()) {
    Log("INFO: Close requested by signal " + std::to_string(signal));
    ev.kind = PlatformEvent::Kind::Close;
    Dispatch(ev);
    return !terminated_;
  }
  if (source_ && source_->Poll(ev)) {
    Dispatch(ev);
    return !terminated_;
  }
  if (FireDueTimer()) return !terminated_;
  if (idleDone_ && source_) {
    // Nothing to render: sleep until an event comes, a timer is due or the short timeout
    // ends, so timed waits still finish on time.
    const uint32_t timeout = IdleWaitTimeout();
    if (timeout > 0) {
      ++stats_.waits;
      if (source_->Wait(ev, timeout)) {
        Dispatch(ev);
        return !terminated_;
      }
    }
    if (FireDueTimer()) return !terminated_;
  }
  RunIdle();
  return !terminated_;
}

bool MessagePump::PumpPending() {
  PlatformEvent ev;
  while (!terminated_ && source_ && source_->Poll(ev)) Dispatch(ev);
  // A due periodic timer is set again from now, so this ends.
  while (!terminated_ && FireDueTimer()) {
  }
  return !terminated_;
}

void MessagePump::Run() {
  if (depth_ > 0) {
    Log("ERROR: the main message loop is already running");
    return;
  }
  ++depth_;
  while (PumpOne()) {
  }
  --depth_;
}

bool MessagePump::ProcessUntil(const std::function<bool()>& done) {
  struct Depth {
    int& d;
    explicit Depth(int& v) : d(v) { ++d; }
    ~Depth() { --d; }
  } depth(depth_);
  for (;;) {
    if (terminated_) return false;
    bool finished = false;
    Guarded([&] { finished = done(); });
    if (finished) return true;
    PumpOne();
  }
}

bool MessagePump::WaitMs(uint64_t ms) {
  const uint64_t start = GetTickCount64();
  return ProcessUntil([&] { return GetTickCount64() - start >= ms; });
}

TimerId MessagePump::SetTimer(uint32_t intervalMs, std::function<void()> onTimer, bool periodic) {
  if (intervalMs < kMinTimerIntervalMs) intervalMs = kMinTimerIntervalMs;
  TimerId id = nextTimerId_++;
  if (nextTimerId_ == 0) nextTimerId_ = 1;
  Timer t;
  t.interval = intervalMs;
  t.due = GetTickCount64() + intervalMs;
  t.periodic = periodic;
  t.onTimer = std::move(onTimer);
  timers_[id] = std::move(t);
  return id;
}

void MessagePump::KillTimer(TimerId id) { timers_.erase(id); }

void MessagePump::ResetForTests() {
  source_ = nullptr;
  handler_ = nullptr;
  terminated_ = false;
  idleDone_ = false;
  depth_ = 0;
  timers_.clear();
  OnIdle = nullptr;
  OnActivate = nullptr;
  OnDeactivate = nullptr;
  stats_ = Stats();
}

MessagePump& MainPump() {
  static MessagePump pump;
  return pump;
}

void PumpTimer::SetInterval(uint32_t ms) {
  interval_ = ms;
  if (Enabled()) {
    Stop();
    Start();
  }
}

void PumpTimer::SetEnabled(bool on) {
  if (on == Enabled()) return;
  if (on) {
    Start();
  } else {
    Stop();
  }
}

void PumpTimer::Start() {
  if (interval_ == 0) return;  // a zero interval keeps the timer off, as a form timer does
  id_ = pump_.SetTimer(interval_, [this] {
    auto cb = OnTimer;  // the handler may free this object
    if (cb) cb();
  });
}

void PumpTimer::Stop() {
  if (id_ != 0) pump_.KillTimer(id_);
  id_ = 0;
}

}  // namespace vx
