// Finding outside programs (ffmpeg, ffprobe) on PATH, for the tests and the
// benchmark that use them as oracles. Empty when not installed.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string find_on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string rest = path != nullptr ? path : "/usr/bin:/bin";
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string dir = rest.substr(0, colon);
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    if (dir.empty()) continue;
    const std::filesystem::path candidate = std::filesystem::path(dir) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
  }
  return "";
}
