// POSIX: the calling thread's signal mask blocks all it can.
#include "platform/thread_signals.hpp"

#include <pthread.h>
#include <signal.h>

void keep_signals_off_this_thread() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
}
