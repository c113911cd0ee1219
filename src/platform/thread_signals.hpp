// Signals and helper threads: a thread that does background work (decoding
// frames) takes no signals, so an interruption reaches the program's main
// thread, the one that writes the outputs.
#pragma once

// Blocks every blockable signal for the calling thread.
void keep_signals_off_this_thread();
