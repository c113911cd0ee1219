// The wrapped fatal_error and fatal_error_name of the fuzz targets. The code
// must be one of the table's; the message itself is not printed.
#include "fuzz/support/fatal_trap.hpp"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLowestCode = -13;
constexpr int kHighestCode = -1;

[[noreturn]] void trap(int code) {
  if (code < kLowestCode || code > kHighestCode) {
    std::fprintf(stderr, "fatal error with code %d outside the table\n", code);
    std::abort();
  }
  throw FatalExit{code};
}

}  // namespace

extern "C" {
// fatal_error(int, const char*) and fatal_error_name(int, const char*).
[[noreturn]] void __wrap__Z11fatal_erroriPKc(int code, const char*) { trap(code); }
[[noreturn]] void __wrap__Z16fatal_error_nameiPKc(int code, const char*) { trap(code); }
}
