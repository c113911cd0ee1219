// Output names and report lines of the scans: numbers and extensions written
// at the name end of output_name, and the report lines of a conversion.
#pragma once

#include <cstdint>

// Writes "%04d" of number and the extension at the name end. A name that no
// longer fits the name buffer ends with error -3 and the name.
void set_numbered_name(int32_t number, const char* extension);

// Writes the suffix at the name end, with the same check.
void set_name_suffix(const char* suffix);

// Cuts output_name back to the base name given on the command line.
void cut_to_base_name();

// Ends with error -5 when a write to the report was refused.
void report_written(bool written);

// printf-style: a line (or part of one) of the report, its format program
// text; written in turn with the conversions' other output.
void report_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The two offset lines of a conversion from first to one before stop.
void report_offsets(int32_t first, int32_t stop);

// The report lines of an ordinary or -detail stream whose first sector is
// first and whose conversion stopped at current_sector: its name, with the
// hint naming a movie that precedes it, then the offsets.
void report_stream(int32_t first);
