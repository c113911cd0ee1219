// The version text, given by the build from the project's version.
#include "base/version.hpp"

const char* program_version() { return KORVANE_VERSION; }
