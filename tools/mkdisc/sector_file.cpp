// Sector lists to bytes and files, in the 2336-byte or raw 2352-byte form.
#include "tools/mkdisc/sector_file.hpp"

#include <algorithm>
#include <cstdio>

namespace mkdisc {

namespace {

constexpr int kSyncBytes = 12;
constexpr uint32_t kLeadInSectors = 150;   // address 0 is 00:02:00
constexpr uint32_t kSectorsPerSecond = 75;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint8_t kMode2 = 2;

uint8_t bcd(uint32_t v) { return static_cast<uint8_t>((v / 10) << 4 | (v % 10)); }

}  // namespace

std::vector<uint8_t> raw_sector(const Sector& sector, uint32_t address) {
  std::vector<uint8_t> out(kCdSectorBytes, 0);
  std::fill(out.begin() + 1, out.begin() + kSyncBytes - 1, 0xFF);
  const uint32_t a = address + kLeadInSectors;
  out[kSyncBytes + 0] = bcd(a / kSectorsPerSecond / kSecondsPerMinute);
  out[kSyncBytes + 1] = bcd(a / kSectorsPerSecond % kSecondsPerMinute);
  out[kSyncBytes + 2] = bcd(a % kSectorsPerSecond);
  out[kSyncBytes + 3] = kMode2;
  std::copy(sector.begin(), sector.end(), out.begin() + kSyncHeaderBytes);
  return out;
}

std::vector<uint8_t> sector_bytes(const SectorList& sectors, SectorForm form, uint32_t first_address) {
  std::vector<uint8_t> out;
  const size_t size = form == SectorForm::raw2352 ? kCdSectorBytes : kMode2SectorBytes;
  out.reserve(sectors.size() * size);
  for (size_t i = 0; i < sectors.size(); ++i) {
    if (form == SectorForm::raw2352) {
      const std::vector<uint8_t> raw = raw_sector(sectors[i], first_address + static_cast<uint32_t>(i));
      out.insert(out.end(), raw.begin(), raw.end());
    } else {
      out.insert(out.end(), sectors[i].begin(), sectors[i].end());
    }
  }
  return out;
}

void write_sector_file(const std::string& path, const SectorList& sectors, SectorForm form, uint32_t first_address) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw Error("cannot create \"" + path + "\"");
  bool ok = true;
  for (size_t i = 0; i < sectors.size() && ok; ++i) {
    if (form == SectorForm::raw2352) {
      const std::vector<uint8_t> raw = raw_sector(sectors[i], first_address + static_cast<uint32_t>(i));
      ok = std::fwrite(raw.data(), 1, raw.size(), f) == raw.size();
    } else {
      ok = std::fwrite(sectors[i].data(), 1, sectors[i].size(), f) == sectors[i].size();
    }
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) throw Error("cannot write \"" + path + "\"");
}

}  // namespace mkdisc
