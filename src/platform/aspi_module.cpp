// dlopen/dlsym stand-in for LoadLibraryA/GetProcAddress of the ASPI layer.
#include "platform/aspi_module.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

// KORVANE_ASPI_INSTALL_DIR, given by the build from its install rules: where
// an installation puts the module, relative to the executable's directory,
// ending in "/".

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

// directory (ending in "/") followed by a relative path whose leading "../"
// steps are taken out of the directory, so that the result reads plainly.
std::string join_relative(std::string directory, const char* relative) {
  std::string rest = relative;
  while (rest.compare(0, 3, "../") == 0 && directory.size() > 1) {
    const size_t parent = directory.rfind('/', directory.size() - 2);
    if (parent == std::string::npos) break;
    directory.resize(parent + 1);
    rest.erase(0, 3);
  }
  return directory + rest;
}

std::vector<std::string> module_paths() {
  const char* named = std::getenv(kAspiModuleVariable);
  if (named != nullptr && named[0] != '\0') return {named};
  const std::string directory = executable_directory();
  if (directory.empty()) return {kAspiModuleFile};
  return {directory + kAspiModuleFile,
          join_relative(directory, KORVANE_ASPI_INSTALL_DIR) + kAspiModuleFile};
}

}  // namespace

bool load_aspi_module(AspiEntryPoints* entry) {
  void* module = nullptr;
  for (const std::string& path : module_paths()) {
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) break;
  }
  if (module == nullptr) return false;
  entry->support_info =
      reinterpret_cast<uint32_t (*)()>(dlsym(module, "GetASPI32SupportInfo"));
  entry->send_command =
      reinterpret_cast<uint32_t (*)(void*)>(dlsym(module, "SendASPI32Command"));
  return entry->support_info != nullptr && entry->send_command != nullptr;
}

std::string aspi_module_places() {
  std::string places;
  for (const std::string& path : module_paths()) {
    if (!places.empty()) places += " and ";
    places += path;
  }
  return places;
}
