// What the processor offers the fast routines: the one processor query of
// the program, made once. Other architectures report none of these.
#pragma once

struct CpuFeatures {
  bool mmx = false;
  bool sse2 = false;
  bool avx = false;
  bool avx2 = false;
  bool avx512 = false;  // AVX-512 Foundation
};

const CpuFeatures& cpu_features();

// True when the processor reports MMX (CPUID function 1, EDX bit 23).
inline bool cpu_has_mmx() { return cpu_features().mmx; }
