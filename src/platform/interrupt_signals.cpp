// Interruption on POSIX: sigaction handlers that only store the signal's
// number in a sig_atomic_t, the one thing a handler may safely do here.
#include "platform/interrupt_signals.hpp"

#include <signal.h>

#include <cstdio>
#include <cstdlib>

#include "base/exit_finishers.hpp"
#include "platform/console.hpp"

namespace {

volatile sig_atomic_t interrupt_signal = 0;

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalExitBase = 128;  // the shell's convention for "ended by signal n"

extern "C" void note_interrupt(int signal) {
  if (interrupt_signal == 0) interrupt_signal = signal;
}

}  // namespace

void install_interrupt_handlers() {
  for (const int signal : kInterruptSignals) {
    struct sigaction previous = {};
    if (sigaction(signal, nullptr, &previous) != 0) continue;
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action = {};
    action.sa_handler = note_interrupt;
    sigemptyset(&action.sa_mask);
    // Reads and writes go on after the handler; the handler is used once,
    // so a second signal ends a run that cannot reach a safe point.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(signal, &action, nullptr);
  }
}

int pending_interrupt() { return interrupt_signal; }

void end_for_interrupt(int signal) {
  run_exit_stopper();
  // The progress line ends in "\r"; leave the shell a fresh line.
  console_text("\n");
  run_exit_finishers();
  std::fflush(nullptr);
  std::exit(kSignalExitBase + signal);
}
