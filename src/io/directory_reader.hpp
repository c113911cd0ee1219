// Reading ISO 9660 directories from the sector source for the directory
// walks: each directory into a buffer that replaces the previous one.
#pragma once

#include <cstdint>

struct DirectoryBuffer {
  uint8_t* bytes = nullptr;
  ~DirectoryBuffer();
};

// A DirectoryReader (iso9660_walk.hpp) over read_sectors in the 2048-byte
// form; context is a DirectoryBuffer.
const uint8_t* read_directory(void* context, uint32_t location, uint32_t sectors);
