// Processor feature query through CPUID.
#include "platform/cpu_features.hpp"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

namespace {
constexpr unsigned kMmxBit = 1u << 23;  // EDX of function 1
}

bool cpu_has_mmx() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return (edx & kMmxBit) != 0;
}
#else
bool cpu_has_mmx() { return false; }
#endif
