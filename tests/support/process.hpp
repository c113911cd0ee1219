// Running the built programs from tests: standard output captured as bytes,
// the exit status as the program's code (a POSIX parent sees the low 8 bits,
// so -2 comes back as 254).
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ProcessResult {
  int status = -1;       // exit status 0..255, or -1 when killed by a signal
  int signal = 0;        // the signal that ended it, if any
  std::string out;       // everything written to standard output
  std::string err;       // everything written to standard error
};

struct ProcessOptions {
  std::string working_directory;                            // empty: the current one
  std::vector<std::pair<std::string, std::string>> env;     // added or replaced
  std::vector<std::string> unset_env;                       // removed
  std::string stdin_data;                                   // fed to standard input
  int timeout_seconds = 300;                                // killed after this
};

ProcessResult run_process(const std::vector<std::string>& argv,
                          const ProcessOptions& options = {});

// The exit status a POSIX parent sees for a negative code (-2 gives 254).
constexpr int exit_status_of(int code) { return code & 0xFF; }

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
