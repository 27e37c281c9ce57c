#pragma once
// The headless platform for tests: a scripted event queue and a virtual clock behind the
// real message pump, so pump, timers, Wait-style loops and input routing run without a
// display and without real time passing.
#include <cstdint>
#include <deque>

#include "platform/MessagePump.h"
#include "support/VirtualClock.h"

namespace vxtest {

// Events are queued now or for a virtual time. Waiting for an event moves the virtual
// clock forward (to the next scripted event or by the whole timeout) instead of sleeping.
class FakeEventSource : public vx::IEventSource {
public:
  explicit FakeEventSource(VirtualClock& clock) : clock_(clock) {}

  bool Poll(vx::PlatformEvent& event) override;
  bool Wait(vx::PlatformEvent& event, uint32_t timeoutMs) override;

  // Queues an event, due now or at a virtual tick count. Events keep their queue order
  // among those that are due.
  void Push(const vx::PlatformEvent& event) { PushAt(0, event); }
  void PushAt(uint64_t tickMs, const vx::PlatformEvent& event);

  // Script helpers, due now. Mouse helpers add the held buttons to the shift state the way
  // the real window does.
  void MouseMove(int x, int y, vx::TShiftState shift = 0);
  void MouseDown(int x, int y, vx::TMouseButton button = vx::mbLeft, vx::TShiftState shift = 0);
  void MouseUp(int x, int y, vx::TMouseButton button = vx::mbLeft, vx::TShiftState shift = 0);
  void Click(int x, int y, vx::TMouseButton button = vx::mbLeft, vx::TShiftState shift = 0);
  void Key(uint16_t virtualKey, vx::TShiftState shift = 0, bool repeat = false);
  void Activate();
  void Deactivate();
  void Close();
  void CloseAt(uint64_t tickMs);

  size_t Pending() const { return queue_.size(); }
  // Virtual time that passes with every Poll (the loop spinning); 0 by default.
  void SetTimePerPollUs(uint64_t us) { perPollUs_ = us; }

  // What the pump asked for.
  uint64_t polls = 0;
  uint64_t waits = 0;
  uint64_t waitedMs = 0;

private:
  struct Scripted {
    uint64_t due;
    vx::PlatformEvent event;
  };
  bool TakeDue(vx::PlatformEvent& event);

  VirtualClock& clock_;
  std::deque<Scripted> queue_;
  vx::TShiftState buttons_ = 0;
  uint64_t perPollUs_ = 0;
};

// Virtual clock + scripted events installed into the program's main pump for the lifetime
// of the object; the pump is reset before and after.
class FakePlatform {
public:
  explicit FakePlatform(uint64_t startMs = 1000);
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // Pumps until the script has run out and no timer is due (at most maxSteps steps).
  void PumpAll(size_t maxSteps = 100000);

  VirtualClock clock;
  FakeEventSource events;
  vx::MessagePump& pump;
};

}  // namespace vxtest
