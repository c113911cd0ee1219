// The number of threads: the environment's word, or the core count.
#include "platform/thread_count.hpp"

#include <cstdlib>
#include <thread>

#include "platform/environment.hpp"

namespace {
constexpr unsigned long kMaxThreads = 64;
}  // namespace

unsigned thread_count() {
  if (const char* text = environment_value("KORVANE_THREADS")) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1 && n <= kMaxThreads) return static_cast<unsigned>(n);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : (cores > kMaxThreads ? static_cast<unsigned>(kMaxThreads) : cores);
}
