// What the processor offers the viewer's fast routines.
#pragma once

// True when the processor reports MMX (CPUID function 1, EDX bit 23).
// Processors without CPUID, and other architectures, report none.
bool cpu_has_mmx();
