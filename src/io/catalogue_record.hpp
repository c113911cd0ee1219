// The lines of one FILE.INF record, built as the file's bytes (CP932, CR LF
// line ends): the 32-byte volume label, then per movie its entry name and
// its start and end sectors, then an empty closing line. A record is built
// whole in memory and appended to the file in one piece.
#pragma once

#include <cstdint>
#include <string>

void add_volume_line(std::string& record, const uint8_t* label);

// The entry buffer already holds the two leading blanks.
void add_entry_line(std::string& record, const char* entry);

void add_sector_line(std::string& record, int32_t sector);

void add_closing_line(std::string& record);
