#pragma once
// Keeps presents at no more than 60 a second when vertical sync was asked for but the driver
// does not honour it: either the swap interval was refused, or swaps come back at once at a
// rate above the retrace. With honoured vsync the swap itself waits and the pacer never
// sleeps.
#include <functional>

namespace vx {

class PresentPacer {
public:
  using Clock = std::function<double()>;         // seconds, monotonic
  using Sleeper = std::function<void(double)>;   // seconds
  static constexpr double Period = 1.0 / 60.0;
  // Presents per judgement of whether the driver honours the swap interval.
  static constexpr int Window = 30;

  // Defaults to the program's clock (platform/Clock.h) and a real sleep.
  PresentPacer();
  PresentPacer(Clock clock, Sleeper sleeper);

  // requested: vsync on; accepted: the driver took the swap interval.
  void SetVSync(bool requested, bool accepted);
  // Around each swap. BeforeSwap may sleep.
  void BeforeSwap();
  void AfterSwap();
  bool Capping() const;

private:
  Clock clock_;
  Sleeper sleeper_;
  bool requested_ = false;
  bool accepted_ = false;
  bool unhonoured_ = false;  // measured: swaps do not wait
  double last_ = -1.0;       // start of the last swap (after any sleep)
  double swapStart_ = 0.0;
  double windowStart_ = -1.0;
  double swapTotal_ = 0.0;
  int count_ = 0;
};

}  // namespace vx
