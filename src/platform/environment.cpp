// Environment look-up through the C library.
#include "platform/environment.hpp"

#include <cstdlib>

const char* environment_value(const char* name) { return std::getenv(name); }
