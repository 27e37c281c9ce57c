#include "support/FakePlatform.h"

namespace vxtest {

using vx::PlatformEvent;
using Kind = vx::PlatformEvent::Kind;

void FakeEventSource::PushAt(uint64_t tickMs, const PlatformEvent& event) {
  // Stable by due time: insert after every event due no later.
  auto it = queue_.end();
  while (it != queue_.begin() && std::prev(it)->due > tickMs) --it;
  queue_.insert(it, Scripted{tickMs, event});
}

bool FakeEventSource::TakeDue(PlatformEvent& event) {
  if (queue_.empty() || queue_.front().due > clock_.TickCount()) return false;
  event = queue_.front().event;
  queue_.pop_front();
  return true;
}

bool FakeEventSource::Poll(PlatformEvent& event) {
  ++polls;
  clock_.AdvanceUs(perPollUs_);
  return TakeDue(event);
}

bool FakeEventSource::Wait(PlatformEvent& event, uint32_t timeoutMs) {
  ++waits;
  if (TakeDue(event)) return true;
  const uint64_t now = clock_.TickCount();
  uint64_t step = timeoutMs;
  if (!queue_.empty() && queue_.front().due - now < step) step = queue_.front().due - now;
  clock_.AdvanceMs(step);
  waitedMs += step;
  return TakeDue(event);
}

void FakeEventSource::MouseMove(int x, int y, vx::TShiftState shift) {
  PlatformEvent e;
  e.kind = Kind::MouseMove;
  e.x = x;
  e.y = y;
  e.shift = static_cast<vx::TShiftState>(shift | buttons_);
  Push(e);
}

namespace {
vx::TShiftState ButtonFlag(vx::TMouseButton b) {
  return b == vx::mbLeft ? vx::ssLeft : b == vx::mbRight ? vx::ssRight : vx::ssMiddle;
}
}  // namespace

void FakeEventSource::MouseDown(int x, int y, vx::TMouseButton button, vx::TShiftState shift) {
  buttons_ |= ButtonFlag(button);
  PlatformEvent e;
  e.kind = Kind::MouseDown;
  e.button = button;
  e.x = x;
  e.y = y;
  e.shift = static_cast<vx::TShiftState>(shift | buttons_);
  Push(e);
}

void FakeEventSource::MouseUp(int x, int y, vx::TMouseButton button, vx::TShiftState shift) {
  buttons_ &= static_cast<vx::TShiftState>(~ButtonFlag(button));
  PlatformEvent e;
  e.kind = Kind::MouseUp;
  e.button = button;
  e.x = x;
  e.y = y;
  e.shift = static_cast<vx::TShiftState>(shift | buttons_);
  Push(e);
}

void FakeEventSource::Click(int x, int y, vx::TMouseButton button, vx::TShiftState shift) {
  MouseDown(x, y, button, shift);
  MouseUp(x, y, button, shift);
}

void FakeEventSource::Key(uint16_t virtualKey, vx::TShiftState shift, bool repeat) {
  PlatformEvent e;
  e.kind = Kind::KeyDown;
  e.key = virtualKey;
  e.shift = static_cast<vx::TShiftState>(shift | buttons_);
  e.repeat = repeat;
  Push(e);
}

void FakeEventSource::Activate() {
  PlatformEvent e;
  e.kind = Kind::Activate;
  Push(e);
}

void FakeEventSource::Deactivate() {
  PlatformEvent e;
  e.kind = Kind::Deactivate;
  Push(e);
}

void FakeEventSource::Close() { CloseAt(0); }

void FakeEventSource::CloseAt(uint64_t tickMs) {
  PlatformEvent e;
  e.kind = Kind::Close;
  PushAt(tickMs, e);
}

FakePlatform::FakePlatform(uint64_t startMs) : clock(startMs), events(clock), pump(vx::MainPump()) {
  pump.ResetForTests();
  pump.SetEventSource(&events);
}

FakePlatform::~FakePlatform() { pump.ResetForTests(); }

void FakePlatform::PumpAll(size_t maxSteps) {
  for (size_t i = 0; i < maxSteps && !pump.Terminated(); ++i) {
    if (events.Pending() == 0) {
      // Let due timers run, then stop.
      const auto ticks = pump.Statistics().timerTicks;
      pump.PumpOne();
      if (pump.Statistics().timerTicks == ticks) break;
      continue;
    }
    pump.PumpOne();
  }
}

}  // namespace vxtest
