// Loading the ASPI module at run time: the library named by the environment
// variable KORVANE_ASPI, else wnaspi32.so in the executable's directory, and
// its two entry points GetASPI32SupportInfo and SendASPI32Command.
#pragma once

#include <cstdint>

struct AspiEntryPoints {
  uint32_t (*support_info)() = nullptr;
  uint32_t (*send_command)(void* request) = nullptr;
};

// The module's file name beside the executable.
constexpr const char* kAspiModuleFile = "wnaspi32.so";
// Environment variable naming another module.
constexpr const char* kAspiModuleVariable = "KORVANE_ASPI";

// True when the module loaded and both entry points were found. The module
// stays loaded for the life of the process.
bool load_aspi_module(AspiEntryPoints* entry);
