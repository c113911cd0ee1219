// The finishers of the outputs that are open, run once at an early end.
#include "base/exit_finishers.hpp"

#include <cstddef>

namespace {

// An AVI or WAV of a conversion, the catalogue record of an analysis: a run
// never has more than a few outputs open at once.
constexpr size_t kMaxFinishers = 4;

ExitFinisher finishers[kMaxFinishers] = {};
size_t finisher_count = 0;
ExitFinisher stopper = nullptr;

}  // namespace

void add_exit_finisher(ExitFinisher finisher) {
  remove_exit_finisher(finisher);
  if (finisher_count < kMaxFinishers) finishers[finisher_count++] = finisher;
}

void remove_exit_finisher(ExitFinisher finisher) {
  for (size_t i = 0; i < finisher_count; ++i) {
    if (finishers[i] != finisher) continue;
    for (size_t j = i + 1; j < finisher_count; ++j) finishers[j - 1] = finishers[j];
    --finisher_count;
    return;
  }
}

void set_exit_stopper(ExitFinisher new_stopper) { stopper = new_stopper; }

void run_exit_stopper() {
  const ExitFinisher s = stopper;
  stopper = nullptr;
  if (s != nullptr) s();
}

void run_exit_finishers() {
  run_exit_stopper();
  while (finisher_count > 0) {
    const ExitFinisher finisher = finishers[--finisher_count];
    finisher();
  }
}
