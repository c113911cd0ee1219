// Writing the lines of a catalogue record.
#include "io/catalogue_record.hpp"

#include <cstring>

#include "format/disc/iso9660_walk.hpp"
#include "platform/text_file.hpp"

bool write_volume_line(FILE* file, const uint8_t* label) {
  return text_file_write_raw(file, reinterpret_cast<const char*>(label), kVolumeIdBytes) &&
         text_file_write(file, "\n");
}

bool write_entry_line(FILE* file, const char* entry) {
  return text_file_write_raw(file, entry, std::strlen(entry)) && text_file_write(file, "\n");
}

bool write_sector_line(FILE* file, int32_t sector) {
  return text_file_printf(file, "    %d\n", static_cast<int>(sector));
}

bool write_closing_line(FILE* file) { return text_file_write(file, "\n"); }
