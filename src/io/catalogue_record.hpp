// The lines of one FILE.INF record, written in CP932 with CR LF: the 32-byte
// volume label, then per movie its entry name and its start and end sectors,
// then an empty closing line. Each returns false when the stream refused it.
#pragma once

#include <cstdint>
#include <cstdio>

bool write_volume_line(FILE* file, const uint8_t* label);

// The entry buffer already holds the two leading blanks.
bool write_entry_line(FILE* file, const char* entry);

bool write_sector_line(FILE* file, int32_t sector);

bool write_closing_line(FILE* file);
