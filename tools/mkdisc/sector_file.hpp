// Writing sector lists to files: the bare 2336-byte form, or the raw
// 2352-byte form with sync and an addressed header before each sector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

enum class SectorForm { form2336, raw2352 };

// Sync, MSF header (address + 150 sectors of lead-in, BCD) and mode 2, then
// the 2336 bytes. EDC/ECC are left zero.
std::vector<uint8_t> raw_sector(const Sector& sector, uint32_t address);

// All sectors in the chosen form; the first sector gets address `first_address`.
std::vector<uint8_t> sector_bytes(const SectorList& sectors, SectorForm form, uint32_t first_address = 0);

// Throws Error when the file cannot be written.
void write_sector_file(const std::string& path, const SectorList& sectors, SectorForm form,
                       uint32_t first_address = 0);

}  // namespace mkdisc
