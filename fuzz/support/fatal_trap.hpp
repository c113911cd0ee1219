// Fatal errors inside a fuzz target: the installed fatal handler throws
// FatalExit instead of ending the process, so one input's refusal does not
// stop the run.
#pragma once

struct FatalExit {
  int code;
};

// Runs work, catching a fatal exit; returns 0, or the code it ended with.
// (A code outside the program's table, -1 to -13, aborts before the throw.)
template <typename Work>
int run_trapped(Work&& work) {
  try {
    work();
  } catch (const FatalExit& fatal) {
    return fatal.code;
  }
  return 0;
}
