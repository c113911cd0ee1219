// Environment look-up through GetEnvironmentVariableA.
#include "platform/environment.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <map>
#include <string>

const char* environment_value(const char* name) {
  // Each variable keeps its own text, so an earlier answer stays readable.
  static std::map<std::string, std::string> values;
  const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0) return nullptr;  // not set
  std::string value(needed, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), needed);
  if (length >= needed) return nullptr;  // changed in between
  value.resize(length);  // an empty value reads as empty text
  std::string& kept = values[name];
  kept = value;
  return kept.c_str();
}
