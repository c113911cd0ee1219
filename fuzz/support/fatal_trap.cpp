// The fuzz targets' fatal handler, installed before any input is run: a
// fatal error throws FatalExit instead of ending the process. The code must
// be one of the table's; the message itself is not printed.
#include "fuzz/support/fatal_trap.hpp"

#include <cstdio>
#include <cstdlib>

#include "platform/errors.hpp"

namespace {

constexpr int kLowestCode = -13;
constexpr int kHighestCode = -1;

[[noreturn]] void trap(int code, const char*, const char*, bool) {
  if (code < kLowestCode || code > kHighestCode) {
    std::fprintf(stderr, "fatal error with code %d outside the table\n", code);
    std::abort();
  }
  throw FatalExit{code};
}

// Linked as an object, so this runs before libFuzzer's main.
const bool installed = [] {
  set_fatal_handler(trap);
  return true;
}();

}  // namespace
