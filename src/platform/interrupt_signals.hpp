// Interruption by the user or the system (SIGINT, SIGTERM, SIGHUP; on
// Windows the console's Ctrl+C, Ctrl+Break and close events). The handler
// only notes the signal; the program looks at the note at safe points (every
// sector read, every wait of the viewer) and there finishes the output it is
// writing and ends with the conventional status 128 + the signal's number.
#pragma once

// Installs the handlers. A signal the process was started with ignored
// (nohup, a background job) stays ignored. A second signal of the same kind
// ends the process at once, the default way.
void install_interrupt_handlers();

// The number of the signal that interrupted the run, 0 when none did.
int pending_interrupt();

// Runs the exit finishers (the output's headers are completed), then ends
// the process with 128 + signal.
[[noreturn]] void end_for_interrupt(int signal);

// A safe point: ends the process when a signal has arrived.
inline void stop_if_interrupted() {
  if (const int signal = pending_interrupt(); signal != 0) end_for_interrupt(signal);
}
