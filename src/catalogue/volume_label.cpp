// Reading the source's volume label.
#include "catalogue/volume_label.hpp"

#include "disc/iso9660_walk.hpp"
#include "disc/sector_source.hpp"

const uint8_t* read_volume_label() {
  set_sector_mode(0);
  read_sectors(kVolumeDescriptorSector, 1, sector_buffer);
  return sector_buffer + kVolumeIdOffset;
}
