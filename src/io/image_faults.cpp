// Ending the run over a damaged disc image.
#include "io/image_faults.hpp"

#include <cstdio>

#include "platform/errors.hpp"

void refuse_image(int code, const std::string& name, const char* reason) {
  std::fprintf(stderr, "korvane: %s: %s\n", name.c_str(), reason);
  fatal_error_name(code, name.c_str());
}
