// The volume label a catalogue record is filed under: the 32-byte Volume
// Identifier of the primary volume descriptor (sector 16) of the source.
#pragma once

#include <cstdint>

// Reads sector 16 in the 2048-byte form into sector_buffer and returns the
// label's first byte there (kVolumeIdBytes long). Leaves the sector mode at 0.
const uint8_t* read_volume_label();
