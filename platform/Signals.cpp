#include "platform/Signals.h"

#include <signal.h>

#include <initializer_list>

namespace vx {
namespace {

volatile sig_atomic_t g_closeSignal = 0;

void NoteCloseSignal(int signal) { g_closeSignal = signal; }

void Handle(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace

void CatchCloseSignals() { Handle(NoteCloseSignal); }

void DefaultCloseSignals() { Handle(SIG_DFL); }

int TakeCloseSignal() {
  const int signal = g_closeSignal;
  if (signal != 0) g_closeSignal = 0;
  return signal;
}

}  // namespace vx
