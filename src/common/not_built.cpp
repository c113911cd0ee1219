#include "common/not_built.hpp"

#include <cstdio>
#include <cstdlib>

#include "platform/console.hpp"

void not_built(const char* operation) {
  console_raw("\n");
  console_raw(operation);
  console_raw(": not available in this build yet.\n");
  std::exit(EXIT_FAILURE);
}
