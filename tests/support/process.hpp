// Running the built programs from tests: standard output captured as bytes,
// the exit status as the program's code (a POSIX parent sees the low 8 bits,
// so -2 comes back as 254).
#pragma once

#include <functional>
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
  // Largest file the child may write, in bytes (0: no limit); a write
  // beyond it fails as on a full disk (the child ignores SIGXFSZ).
  long long file_size_limit = 0;
  // Something done to the run while it works: when `signal` is not 0 or
  // `meanwhile` is set, the child's standard output and error are left
  // unread (a child that writes much then waits on the full pipe) until the
  // file when_file (relative to the working directory) holds at least
  // when_bytes bytes, or, without a file, until after_ms have passed; then
  // `meanwhile` runs, the signal is sent, and the output is read as usual.
  int signal = 0;
  std::function<void()> meanwhile;
  std::string when_file;
  long long when_bytes = 0;
  int after_ms = 0;
};

ProcessResult run_process(const std::vector<std::string>& argv,
                          const ProcessOptions& options = {});

// The exit status a POSIX parent sees for a negative code (-2 gives 254).
constexpr int exit_status_of(int code) { return code & 0xFF; }

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
