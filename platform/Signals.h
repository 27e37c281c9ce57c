#pragma once
// SIGTERM and SIGINT as a close request. The handler only notes the signal; the message pump
// turns it into the same close request as the window's close button, so shutdown saves
// everything as a normal exit does.
namespace vx {

// Installs the handlers (before SDL starts: SDL then leaves them in place).
void CatchCloseSignals();
// Gives both signals back to the system's default, which ends the process at once: for the
// end of shutdown, when everything is saved and a dialog still waiting for the player must
// not keep a stop request from ending the program.
void DefaultCloseSignals();
// The signal that asked to close since the last call, or 0; the note is cleared.
int TakeCloseSignal();

}  // namespace vx
