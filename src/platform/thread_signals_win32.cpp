// Windows: console interruptions arrive on a thread of their own, and the C
// runtime's signals are raised on the thread that causes them, so there is
// nothing to block.
#include "platform/thread_signals.hpp"

void keep_signals_off_this_thread() {}
