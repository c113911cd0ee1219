// Loading the ASPI module at run time: the library named by the environment
// variable KORVANE_ASPI, else wnaspi32.so in the executable's directory, else
// wnaspi32.so in the directory where an installation keeps it (lib/korvane
// beside the bin directory of the executable); and its two entry points
// GetASPI32SupportInfo and SendASPI32Command.
#pragma once

#include <cstdint>
#include <string>

struct AspiEntryPoints {
  uint32_t (*support_info)() = nullptr;
  uint32_t (*send_command)(void* request) = nullptr;
};

// The module's file name beside the executable.
constexpr const char* kAspiModuleFile = "wnaspi32.so";
// Environment variable naming another module.
constexpr const char* kAspiModuleVariable = "KORVANE_ASPI";

// True when a module loaded and both entry points were found. The module
// stays loaded for the life of the process.
bool load_aspi_module(AspiEntryPoints* entry);

// The places load_aspi_module looks for the module, in order, as text for a
// message: full paths joined by " and ".
std::string aspi_module_places();
