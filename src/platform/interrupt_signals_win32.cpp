// Interruption on Windows: a console control handler, run by the system on
// a thread of its own, notes the event as the signal number a C runtime
// gives it; the main thread finishes at its next safe point.
#include "platform/interrupt_signals.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "base/exit_finishers.hpp"
#include "platform/console.hpp"

namespace {

volatile LONG interrupt_signal = 0;

constexpr int kSignalExitBase = 128;
// A console that is being closed ends the process when the handler
// returns: give the main thread this long to finish the output.
constexpr DWORD kCloseGraceMs = 5000;

BOOL WINAPI note_interrupt(DWORD event) {
  const LONG signal = event == CTRL_C_EVENT ? SIGINT : event == CTRL_BREAK_EVENT ? SIGBREAK : SIGTERM;
  InterlockedCompareExchange(&interrupt_signal, signal, 0);
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(kCloseGraceMs);
  return TRUE;
}

}  // namespace

void install_interrupt_handlers() { SetConsoleCtrlHandler(note_interrupt, TRUE); }

int pending_interrupt() { return static_cast<int>(interrupt_signal); }

void end_for_interrupt(int signal) {
  run_exit_stopper();
  console_text("\n");
  run_exit_finishers();
  std::fflush(nullptr);
  std::exit(kSignalExitBase + signal);
}
