// Reading the source's volume label.
#include "modes/catalogue/volume_label.hpp"

#include "format/disc/iso9660_walk.hpp"
#include "io/sector_source.hpp"

const uint8_t* read_volume_label() {
  set_sector_mode(kSectorMode2048);
  read_sectors(kVolumeDescriptorSector, 1, sector_buffer);
  return sector_buffer + kVolumeIdOffset;
}
