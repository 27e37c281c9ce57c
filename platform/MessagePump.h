#pragma once
// The program's message loop. Everything runs on the main thread: PumpOne() dispatches one
// queued window event when there is one, otherwise fires one due timer, otherwise runs one
// idle pass (the frame timer hangs off the idle event). Waits (`Wait`), modal frames and
// blocking animations are loops over PumpOne(), so frames keep coming while they wait.
//
// A close request sets the quit flag. Every loop built on this class returns as soon as the
// flag is set; Run() is the outermost loop and the only place after which shutdown runs.
// Exceptions thrown by a handler, an idle pass or a timer are caught around each dispatch
// and logged as "ERROR: " + message; the loop goes on.
#include <cstdint>
#include <functional>
#include <map>

#include "platform/Events.h"

namespace vx {

// Where the pump's events come from: the SDL window, or a scripted fake in tests.
class IEventSource {
public:
  virtual ~IEventSource() = default;
  // Takes the next queued event without waiting; false when none is queued.
  virtual bool Poll(PlatformEvent& event) = 0;
  // Waits at most `timeoutMs` milliseconds for an event; false when none came.
  virtual bool Wait(PlatformEvent& event, uint32_t timeoutMs) = 0;
};

using TimerId = uint32_t;

class MessagePump {
public:
  // Longest sleep while the idle pass has nothing to do (rendering suspended): short, so a
  // timed wait still ends on time.
  static constexpr uint32_t kIdleWaitMs = 10;
  // Timer intervals below this are raised to it, so a timer cannot starve the idle pass.
  static constexpr uint32_t kMinTimerIntervalMs = 10;

  MessagePump() = default;
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  // Neither is owned; both may be null (then there are no window events / nobody hears them).
  void SetEventSource(IEventSource* source) { source_ = source; }
  void SetHandler(IWindowHandler* handler) { handler_ = handler; }
  IWindowHandler* Handler() const { return handler_; }

  // Application events, taken over by the frame timer. OnIdle is called with done = true;
  // a handler that still has work for the next pass (rendering or processing runs) sets it
  // to false, and the pump then never sleeps. When it stays true the next pass waits for an
  // event for at most kIdleWaitMs.
  std::function<void(bool& done)> OnIdle;
  std::function<void()> OnActivate;
  std::function<void()> OnDeactivate;

  // One step of the loop (see above). Returns false once the quit flag is set.
  bool PumpOne();
  // Dispatches the events already queued and fires the timers already due, then returns
  // without an idle pass or a wait: for a loop that draws its own frames. False once the
  // quit flag is set.
  bool PumpPending();
  // The outermost loop: pumps until the quit flag is set. Called while another loop runs,
  // it logs an error and returns at once (shutdown must only follow the outermost loop).
  void Run();
  // A nested loop: pumps until `done` returns true (checked before every step) or the quit
  // flag is set. True when `done` was reached, false when the loop was ended by quitting.
  bool ProcessUntil(const std::function<bool()>& done);
  // Pumps until the tick count reaches now + ms (0 returns at once). False when quitting.
  bool WaitMs(uint64_t ms);

  // Sets the quit flag (closing the main window).
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Loops currently running on the stack (Run and ProcessUntil).
  int LoopDepth() const { return depth_; }

  // Main-thread timers. A periodic timer fires every `intervalMs` (measured from its last
  // firing; missed periods are not caught up), a one-shot timer once. Callbacks may add and
  // kill timers, their own included, and may run nested loops.
  TimerId SetTimer(uint32_t intervalMs, std::function<void()> onTimer, bool periodic = true);
  void KillTimer(TimerId id);
  bool TimerActive(TimerId id) const { return timers_.count(id) != 0; }

  // Counters for diagnostics and tests.
  struct Stats {
    uint64_t events = 0;
    uint64_t timerTicks = 0;
    uint64_t idlePasses = 0;
    uint64_t waits = 0;  // calls that slept waiting for an event
  };
  const Stats& Statistics() const { return stats_; }

  // Tests only: forget the quit flag, timers, hooks, handler and source.
  void ResetForTests();

private:
  struct Timer {
    uint32_t interval = 0;
    uint64_t due = 0;
    bool periodic = true;
    std::function<void()> onTimer;
  };

  void Dispatch(const PlatformEvent& event);
  bool FireDueTimer();
  void RunIdle();
  uint32_t IdleWaitTimeout() const;
  template <typename F>
  void Guarded(F&& f);

  IEventSource* source_ = nullptr;
  IWindowHandler* handler_ = nullptr;
  bool terminated_ = false;
  bool idleDone_ = false;  // the last idle pass had nothing more to do
  int depth_ = 0;
  TimerId nextTimerId_ = 1;
  std::map<TimerId, Timer> timers_;
  Stats stats_;
};

// The program's one message pump (the window's message loop).
MessagePump& MainPump();

// A main-thread timer object in the manner of a form's timer component: interval, enabled
// switch and event, on the main pump (or another one given at construction).
class PumpTimer {
public:
  explicit PumpTimer(MessagePump& pump = MainPump()) : pump_(pump) {}
  ~PumpTimer() { Stop(); }
  PumpTimer(const PumpTimer&) = delete;
  PumpTimer& operator=(const PumpTimer&) = delete;

  std::function<void()> OnTimer;
  void SetInterval(uint32_t ms);
  uint32_t Interval() const { return interval_; }
  void SetEnabled(bool on);
  bool Enabled() const { return id_ != 0; }

private:
  void Start();
  void Stop();
  MessagePump& pump_;
  uint32_t interval_ = 1000;
  TimerId id_ = 0;
};

}  // namespace vx
