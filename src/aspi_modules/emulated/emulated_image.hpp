// The disc in the emulated drive: an image of 2336-byte records, or of raw
// 2352-byte records recognised by the sync pattern at its start.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class EmulatedDisc {
 public:
  ~EmulatedDisc();
  // False when there is no image to serve (no disc in the drive).
  bool open(const std::string& path);
  bool present() const { return file_ != nullptr; }
  uint32_t sectors() const { return sectors_; }
  // The 2336-byte form of one sector; false when it cannot be read.
  bool read(uint32_t lba, uint8_t* sector);

 private:
  FILE* file_ = nullptr;
  uint32_t record_bytes_ = 0;
  uint32_t prefix_bytes_ = 0;
  uint32_t sectors_ = 0;
};
