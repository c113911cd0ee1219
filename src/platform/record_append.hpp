// Appending one whole record to a text file that other runs may append to
// at the same moment (FILE.INF): under an exclusive lock of the file, a line
// end first when the file does not end with one (a last line cut short or
// edited by hand), then the record in one write, so that records of runs at
// the same time never mix and every record starts on a line of its own.
#pragma once

#include <cstddef>
#include <cstdio>

// The file is open for reading and appending (OutputKind::Append). The
// record's bytes are written as they are (its line ends already CR LF).
// False when the file could not be read, locked or written.
bool append_whole_record(FILE* file, const char* bytes, size_t size);
