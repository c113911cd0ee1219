// Creating the files korvane writes (AVI, WAV, BMP, scan report, sector
// copy) so that none of them is ever anything but a regular file, nor the
// file the run reads, the disc image or a settings file (KORVANE.INI,
// FILE.INF) under another name: each of those is refused with -3 and the
// output's name before anything is created or truncated.
#pragma once

#include <cstddef>
#include <cstdio>

#include "platform/regular_files.hpp"

// The source file, KORVANE.INI and FILE.INF, as far as they exist.
constexpr size_t kProtectedFiles = 3;
struct ProtectedFiles {
  FileIdentity files[kProtectedFiles];
  size_t count = 0;
};

// Every file an output must not be; with_catalogue false leaves FILE.INF
// out (the catalogue itself is written to it).
ProtectedFiles protected_files(bool with_catalogue);

// Creates (or empties) the named output for binary writing, or ends the
// process with -3 and the name.
FILE* create_output_or_fail(const char* name);
