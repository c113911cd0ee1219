// LoadLibraryA/GetProcAddress of WNASPI32.DLL. The normal DLL search order
// applies, so a WNASPI32.DLL beside korvane.exe is found before the system's.
#include "platform/aspi_module.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr const char* kAspiLibrary = "WNASPI32.DLL";

// GetProcAddress answers with a generic function pointer; the plain
// void (*)() step says the real type is known.
template <typename Function>
Function entry_point(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool load_aspi_module(AspiEntryPoints* entry) {
  HMODULE module = LoadLibraryA(kAspiLibrary);
  if (module == nullptr) return false;
  // Both entry points use the C calling convention of the ASPI interface.
  entry->support_info = entry_point<uint32_t (*)()>(module, "GetASPI32SupportInfo");
  entry->send_command = entry_point<uint32_t (*)(void*)>(module, "SendASPI32Command");
  return entry->support_info != nullptr && entry->send_command != nullptr;
}

std::string aspi_module_places() {
  return std::string(kAspiLibrary) + " (the directory of korvane.exe, then the system's DLL search path)";
}
