#pragma once
// When the program shows each frame: every device presents through one of three SDL calls,
// which a benchmark linking with -Wl,--wrap for each (see bench_nogpu.cmake) sees here. Frames
// drawn inside a load (the progress screen, a fade) count as well as those of the idle loop.
// Include in one source file of the benchmark only: it defines the wrappers.
#include <SDL.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

#include "bench/BenchRatio.h"

namespace vxbench {

// The wall clock and the main thread's CPU clock (frames are shown on the main thread): a
// busy machine stretches the first; the second is the frame's own.
struct TShown {
  double Wall = 0, Cpu = 0;
};
inline TShown ShownNow() { return {ClockSeconds(CLOCK_MONOTONIC), ClockSeconds(CLOCK_THREAD_CPUTIME_ID)}; }
inline std::vector<TShown>& Shown() {
  static std::vector<TShown> times;
  return times;
}
// Called after each frame is shown.
inline std::function<void()>& OnShown() {
  static std::function<void()> hook;
  return hook;
}
inline void NoteShown() {
  Shown().push_back(ShownNow());
  if (OnShown()) OnShown()();
}

// The longest time without a new frame from `since` to now, on each clock (ms).
inline TShown LongestGapMs(const TShown& since) {
  TShown last = since, longest;
  auto step = [&](const TShown& t) {
    longest.Wall = std::max(longest.Wall, (t.Wall - last.Wall) * 1e3);
    longest.Cpu = std::max(longest.Cpu, (t.Cpu - last.Cpu) * 1e3);
    last = t;
  };
  const auto first = std::lower_bound(Shown().begin(), Shown().end(), since.Wall,
                                      [](const TShown& t, double wall) { return t.Wall < wall; });
  std::for_each(first, Shown().end(), step);
  step(ShownNow());
  return longest;
}

}  // namespace vxbench

extern "C" {
void __real_SDL_GL_SwapWindow(SDL_Window* window);
int __real_SDL_UpdateWindowSurface(SDL_Window* window);
void __real_SDL_RenderPresent(SDL_Renderer* renderer);
void __wrap_SDL_GL_SwapWindow(SDL_Window* window) {
  __real_SDL_GL_SwapWindow(window);
  vxbench::NoteShown();
}
int __wrap_SDL_UpdateWindowSurface(SDL_Window* window) {
  const int code = __real_SDL_UpdateWindowSurface(window);
  vxbench::NoteShown();
  return code;
}
void __wrap_SDL_RenderPresent(SDL_Renderer* renderer) {
  __real_SDL_RenderPresent(renderer);
  vxbench::NoteShown();
}
}
