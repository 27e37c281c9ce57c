// The message pump on the fake platform: idle passes, waits, nested loops and the quit
// flag, exceptions, timers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Log.h"
#include "platform/KeyMap.h"
#include "support/FakePlatform.h"

using vx::PlatformEvent;
using vxtest::FakePlatform;

namespace {

// Records every call as a line.
class RecordingHandler : public vx::IWindowHandler {
public:
  std::vector<std::string> calls;
  std::function<void(uint16_t&)> onKey;
  std::function<void()> onMouseDown;

  void OnMouseDown(vx::TMouseButton b, vx::TShiftState s, int x, int y) override {
    calls.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                    std::to_string(y));
    if (onMouseDown) onMouseDown();
  }
  void OnMouseUp(vx::TMouseButton b, vx::TShiftState s, int x, int y) override {
    calls.push_back("up " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                    std::to_string(y));
  }
  void OnMouseMove(vx::TShiftState s, int x, int y) override {
    calls.push_back("move " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnKeyDown(uint16_t& key, vx::TShiftState s) override {
    calls.push_back("key " + std::to_string(key) + " " + std::to_string(s));
    if (onKey) onKey(key);
  }
  void OnActivate() override { calls.push_back("activate"); }
  void OnDeactivate() override { calls.push_back("deactivate"); }
  void OnCloseRequest() override { calls.push_back("close"); }
};

// The frame timer's contract with the pump: while rendering runs, the idle pass always has
// more work; while the window is inactive it has none.
struct FrameTimerStandIn {
  bool rendering = true;
  int frames = 0;
  void Install(vx::MessagePump& pump) {
    pump.OnIdle = [this](bool& done) {
      if (rendering) ++frames;
      done = !rendering;
    };
    pump.OnDeactivate = [this] { rendering = false; };
    pump.OnActivate = [this] { rendering = true; };
  }
};

}  // namespace

TEST(MessagePump, DispatchesScriptedInputInOrderWithButtonsInTheShiftState) {
  FakePlatform fp;
  RecordingHandler h;
  fp.pump.SetHandler(&h);
  fp.events.MouseMove(10, 20);
  fp.events.MouseDown(11, 21);
  fp.events.MouseMove(12, 22);
  fp.events.MouseUp(13, 23, vx::mbLeft, vx::ssShift);
  fp.events.MouseDown(5, 6, vx::mbRight);
  fp.events.MouseUp(5, 6, vx::mbRight);
  fp.events.Key('F', vx::ssCtrl);
  fp.PumpAll();
  EXPECT_EQ(h.calls, (std::vector<std::string>{"move 0 10,20", "down 0 8 11,21", "move 8 12,22", "up 0 1 13,23",
                                               "down 1 16 5,6", "up 1 0 5,6", "key 70 4"}));
  EXPECT_EQ(fp.pump.Statistics().events, 7u);
}

TEST(MessagePump, NeverBlocksWhileRenderingRunsAndSleepsBrieflyWhenSuspended) {
  FakePlatform fp;
  RecordingHandler h;
  fp.pump.SetHandler(&h);
  FrameTimerStandIn timer;
  timer.Install(fp.pump);

  for (int i = 0; i < 50; ++i) fp.pump.PumpOne();
  EXPECT_EQ(timer.frames, 50);
  EXPECT_EQ(fp.events.waits, 0u);
  EXPECT_EQ(fp.clock.TickCount(), 1000u);  // nothing slept

  // Deactivated: the hook hears it before the window does, and the pump now sleeps in
  // short slices instead of spinning.
  fp.events.Deactivate();
  for (int i = 0; i < 20; ++i) fp.pump.PumpOne();
  EXPECT_EQ(h.calls, std::vector<std::string>{"deactivate"});
  EXPECT_FALSE(timer.rendering);
  EXPECT_EQ(timer.frames, 50);
  EXPECT_GT(fp.events.waits, 0u);
  EXPECT_LE(fp.events.waitedMs, fp.events.waits * vx::MessagePump::kIdleWaitMs);

  // An event arriving during the sleep ends it at once.
  fp.events.PushAt(fp.clock.TickCount() + 3, [] {
    PlatformEvent e;
    e.kind = PlatformEvent::Kind::Activate;
    return e;
  }());
  const uint64_t before = fp.clock.TickCount();
  fp.pump.PumpOne();  // the idle pass of the suspended state (done stays true)
  fp.pump.PumpOne();
  fp.pump.PumpOne();
  EXPECT_TRUE(timer.rendering);
  EXPECT_LE(fp.clock.TickCount() - before, 3u + vx::MessagePump::kIdleWaitMs);
  const uint64_t waits = fp.events.waits;
  for (int i = 0; i < 10; ++i) fp.pump.PumpOne();
  EXPECT_EQ(fp.events.waits, waits);
}

TEST(MessagePump, TimedWaitEndsOnTimeUnderTheVirtualClock) {
  {
    // Rendering runs: every pass takes a 16 ms frame.
    FakePlatform fp;
    FrameTimerStandIn timer;
    timer.Install(fp.pump);
    fp.events.SetTimePerPollUs(16000);
    EXPECT_TRUE(fp.pump.WaitMs(500));
    EXPECT_GE(fp.clock.TickCount(), 1500u);
    EXPECT_LT(fp.clock.TickCount(), 1500u + 16 + 1);
    EXPECT_GE(timer.frames, 500 / 16);
    EXPECT_EQ(fp.events.waits, 0u);
  }
  {
    // Rendering suspended: the wait sleeps in slices and still ends on time.
    FakePlatform fp;
    FrameTimerStandIn timer;
    timer.rendering = false;
    timer.Install(fp.pump);
    EXPECT_TRUE(fp.pump.WaitMs(500));
    EXPECT_GE(fp.clock.TickCount(), 1500u);
    EXPECT_LE(fp.clock.TickCount(), 1500u + vx::MessagePump::kIdleWaitMs);
  }
  {
    // Wait(0) returns at once without pumping.
    FakePlatform fp;
    RecordingHandler h;
    fp.pump.SetHandler(&h);
    fp.events.Key(vx::VK_RETURN);
    EXPECT_TRUE(fp.pump.WaitMs(0));
    EXPECT_TRUE(h.calls.empty());
    EXPECT_EQ(fp.pump.Statistics().idlePasses, 0u);
  }
}

TEST(MessagePump, CloseRequestUnwindsNestedLoopsAndShutdownRunsOnceOutermost) {
  FakePlatform fp;
  RecordingHandler h;
  fp.pump.SetHandler(&h);
  FrameTimerStandIn timer;
  timer.rendering = false;
  timer.Install(fp.pump);

  // A key starts a long timed wait; inside it a mouse press opens a "modal" loop that never
  // ends by itself. The window is closed while both are on the stack.
  std::vector<std::string> trace;
  h.onKey = [&](uint16_t&) {
    bool waited = fp.pump.WaitMs(60000);
    trace.push_back(std::string("wait returned ") + (waited ? "done" : "quit") + " at depth " +
                    std::to_string(fp.pump.LoopDepth()));
  };
  h.onMouseDown = [&] {
    bool ended = fp.pump.ProcessUntil([] { return false; });
    trace.push_back(std::string("modal returned ") + (ended ? "done" : "quit"));
    // Further loops started while quitting return at once.
    trace.push_back(std::string("late wait ") + (fp.pump.WaitMs(1000) ? "done" : "quit"));
  };
  fp.events.Key('A');
  fp.events.PushAt(1100, [] {
    PlatformEvent e;
    e.kind = PlatformEvent::Kind::MouseDown;
    return e;
  }());
  fp.events.CloseAt(1500);
  fp.events.CloseAt(1600);  // a second request is not heard again

  int shutdowns = 0;
  fp.pump.Run();
  if (fp.pump.LoopDepth() == 0) ++shutdowns;  // what the program's entry does after Run
  EXPECT_EQ(trace, (std::vector<std::string>{"modal returned quit", "late wait quit", "wait returned quit at depth 1"}));
  EXPECT_EQ(shutdowns, 1);
  EXPECT_TRUE(fp.pump.Terminated());
  EXPECT_LT(fp.clock.TickCount(), 1500u + vx::MessagePump::kIdleWaitMs + 1);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "close"), 1);
  EXPECT_FALSE(fp.pump.PumpOne());

  // Run() inside a running loop is refused: shutdown must follow the outermost loop only.
  FakePlatform fp2;
  RecordingHandler h2;
  fp2.pump.SetHandler(&h2);
  vx::ClearLog();
  h2.onKey = [&](uint16_t&) { fp2.pump.Run(); };
  fp2.events.Key('B');
  fp2.events.Close();
  fp2.pump.Run();
  EXPECT_TRUE(vx::LogContains("ERROR: the main message loop is already running"));
  EXPECT_EQ(fp2.pump.LoopDepth(), 0);
}

TEST(MessagePump, ExceptionsAreLoggedAndTheLoopGoesOn) {
  FakePlatform fp;
  RecordingHandler h;
  fp.pump.SetHandler(&h);
  vx::ClearLog();
  h.onKey = [](uint16_t& key) {
    if (key == 'E') throw Exception("bad key");
    if (key == 'S') throw std::runtime_error("std failure");
    if (key == 'U') throw 42;
  };
  int idle = 0;
  fp.pump.OnIdle = [&](bool& done) {
    done = false;
    if (++idle == 1) throw EOverflow();
  };
  int timerRuns = 0;
  fp.pump.SetTimer(50, [&] {
    ++timerRuns;
    throw Exception("timer failed");
  }, false);

  fp.events.Key('E');
  fp.events.Key('S');
  fp.events.Key('U');
  fp.events.Key('K');
  for (int i = 0; i < 6; ++i) fp.pump.PumpOne();
  fp.clock.AdvanceMs(60);
  fp.pump.PumpOne();
  fp.pump.PumpOne();

  EXPECT_EQ(h.calls.size(), 4u);
  EXPECT_EQ(h.calls.back(), "key 75 0");
  EXPECT_TRUE(vx::LogContains("ERROR: bad key"));
  EXPECT_TRUE(vx::LogContains("ERROR: std failure"));
  EXPECT_TRUE(vx::LogContains("ERROR: unknown exception"));
  EXPECT_TRUE(vx::LogContains("ERROR: Arithmetic overflow"));
  EXPECT_TRUE(vx::LogContains("ERROR: timer failed"));
  EXPECT_EQ(timerRuns, 1);
  EXPECT_GT(idle, 2);
  EXPECT_FALSE(fp.pump.Terminated());
}

TEST(MessagePump, KeyHandlersReceiveTheKeyByReference) {
  // The window's key event reaches the handler as a variable the handler may clear; the
  // pump itself is not affected by what the handler does to it.
  FakePlatform fp;
  RecordingHandler h;
  fp.pump.SetHandler(&h);
  uint16_t seen = 0;
  h.onKey = [&](uint16_t& key) {
    seen = key;
    key = 0;
  };
  fp.events.Key(vx::VK_F5);
  fp.events.Key(vx::VK_F5, 0, true);
  fp.PumpAll();
  EXPECT_EQ(seen, vx::VK_F5);
  EXPECT_EQ(h.calls.size(), 2u);
}

TEST(Timers, FireOnTheVirtualClock) {
  FakePlatform fp;
  std::vector<uint64_t> oneShot, periodic;
  fp.pump.SetTimer(200, [&] { oneShot.push_back(fp.clock.TickCount()); }, false);
  vx::TimerId p = fp.pump.SetTimer(100, [&] { periodic.push_back(fp.clock.TickCount()); });
  fp.pump.OnIdle = [](bool& done) { done = true; };  // sleep between events: time moves on waits
  fp.pump.WaitMs(350);
  EXPECT_EQ(oneShot, std::vector<uint64_t>{1200});
  EXPECT_EQ(periodic, (std::vector<uint64_t>{1100, 1200, 1300}));
  EXPECT_TRUE(fp.pump.TimerActive(p));
  fp.pump.KillTimer(p);
  fp.pump.WaitMs(300);
  EXPECT_EQ(periodic.size(), 3u);

  // Intervals below the minimum are raised to it.
  int fast = 0;
  fp.pump.SetTimer(0, [&] { ++fast; });
  fp.pump.WaitMs(100);
  EXPECT_LE(fast, 100 / static_cast<int>(vx::MessagePump::kMinTimerIntervalMs));
  EXPECT_GE(fast, 9);
}

TEST(Timers, CallbacksMayKillTimersAndRunNestedLoops) {
  FakePlatform fp;
  fp.pump.OnIdle = [](bool& done) { done = true; };
  // The start-up pattern: a periodic timer that disables itself first, then runs a long
  // blocking sequence that pumps. It must not fire again meanwhile.
  vx::PumpTimer start(fp.pump);
  int starts = 0;
  int ticksDuringIntro = 0;
  vx::TimerId other = fp.pump.SetTimer(30, [&] { ++ticksDuringIntro; });
  start.SetInterval(200);
  start.OnTimer = [&] {
    start.SetEnabled(false);
    ++starts;
    fp.pump.WaitMs(1000);
  };
  EXPECT_FALSE(start.Enabled());
  start.SetEnabled(true);
  EXPECT_TRUE(start.Enabled());
  fp.pump.WaitMs(2000);
  EXPECT_EQ(starts, 1);
  EXPECT_FALSE(start.Enabled());
  EXPECT_GE(ticksDuringIntro, 30);  // other timers kept running inside the nested wait

  // A timer that kills itself, and one that frees the timer object that owns it.
  int selfKills = 0;
  vx::TimerId self = 0;
  self = fp.pump.SetTimer(20, [&] {
    ++selfKills;
    fp.pump.KillTimer(self);
  });
  auto owned = std::make_unique<vx::PumpTimer>(fp.pump);
  int ownedRuns = 0;
  owned->SetInterval(20);
  owned->OnTimer = [&] {
    ++ownedRuns;
    owned.reset();
  };
  owned->SetEnabled(true);
  fp.pump.KillTimer(other);
  fp.pump.WaitMs(200);
  EXPECT_EQ(selfKills, 1);
  EXPECT_EQ(ownedRuns, 1);
  EXPECT_FALSE(owned);

  // Changing the interval of a running timer restarts it from now; zero stops it.
  vx::PumpTimer t(fp.pump);
  std::vector<uint64_t> at;
  t.OnTimer = [&] { at.push_back(fp.clock.TickCount()); };
  t.SetInterval(100);
  t.SetEnabled(true);
  const uint64_t t0 = fp.clock.TickCount();
  fp.pump.WaitMs(50);
  t.SetInterval(300);
  fp.pump.WaitMs(320);
  ASSERT_EQ(at.size(), 1u);
  EXPECT_EQ(at[0], t0 + 50 + 300);
  t.SetInterval(0);
  EXPECT_FALSE(t.Enabled());
}
