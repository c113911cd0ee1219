// Building the lines of a catalogue record.
#include "io/catalogue_record.hpp"

#include <cstdio>
#include <cstring>

#include "format/disc/iso9660_walk.hpp"

namespace {
constexpr char kLineEnd[] = "\r\n";
constexpr size_t kSectorLineBytes = 24;
}  // namespace

void add_volume_line(std::string& record, const uint8_t* label) {
  record.append(reinterpret_cast<const char*>(label), kVolumeIdBytes);
  record += kLineEnd;
}

void add_entry_line(std::string& record, const char* entry) {
  record.append(entry, std::strlen(entry));
  record += kLineEnd;
}

void add_sector_line(std::string& record, int32_t sector) {
  char line[kSectorLineBytes];
  std::snprintf(line, sizeof line, "    %d", static_cast<int>(sector));
  record += line;
  record += kLineEnd;
}

void add_closing_line(std::string& record) { record += kLineEnd; }
