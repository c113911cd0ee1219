// dlopen/dlsym stand-in for LoadLibraryA/GetProcAddress of the ASPI layer.
#include "platform/aspi_module.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

// The directory of the running executable, with a trailing "/"; empty when
// it cannot be found.
std::string executable_directory() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return {};
  path.resize(static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool load_aspi_module(AspiEntryPoints* entry) {
  const char* named = std::getenv(kAspiModuleVariable);
  const std::string path = (named != nullptr && named[0] != '\0')
                               ? std::string(named)
                               : executable_directory() + kAspiModuleFile;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return false;
  entry->support_info =
      reinterpret_cast<uint32_t (*)()>(dlsym(module, "GetASPI32SupportInfo"));
  entry->send_command =
      reinterpret_cast<uint32_t (*)(void*)>(dlsym(module, "SendASPI32Command"));
  return entry->support_info != nullptr && entry->send_command != nullptr;
}
