// The processor query, through the compiler's CPUID-based feature test.
#include "platform/cpu_features.hpp"

namespace {

CpuFeatures probe() {
  CpuFeatures f;
#if defined(__i386__) || defined(__x86_64__)
  __builtin_cpu_init();
  f.mmx = __builtin_cpu_supports("mmx");
  f.sse2 = __builtin_cpu_supports("sse2");
  f.avx = __builtin_cpu_supports("avx");
  f.avx2 = __builtin_cpu_supports("avx2");
  f.avx512 = __builtin_cpu_supports("avx512f");
#endif
  return f;
}

}  // namespace

const CpuFeatures& cpu_features() {
  static const CpuFeatures features = probe();
  return features;
}
