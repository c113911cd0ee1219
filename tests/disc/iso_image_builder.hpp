// Small hand-made ISO 9660 images for the disc tests: directory records
// placed byte by byte, sectors filled with recognisable patterns, written as
// 2336-byte or raw 2352-byte records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kBlock = 2048;

// Appends a directory record to a 2048-byte block at offset; returns the
// offset after it. The identifier is written as given ("\x00" for ".").
size_t put_record(uint8_t* block, size_t offset, const std::string& identifier,
                  uint32_t extent, uint32_t length, bool directory);

struct IsoImage {
  std::vector<std::vector<uint8_t>> sectors;  // 2336-byte records

  explicit IsoImage(size_t count);
  uint8_t* user_data(size_t sector) { return sectors[sector].data() + 8; }
  // Root directory record of the primary volume descriptor at sector 16.
  void set_root(uint32_t extent, uint32_t length);
  std::string bytes_2336() const;
  std::string bytes_raw() const;
};

// The image most tests use: root at 18 with MOVIE/ (19) and README.TXT;1
// (20); MOVIE/ holds DEEP/ (22) and OPEN.STR;1 (23, three sectors);
// MOVIE/DEEP holds X.XA;1 (26). Every sector's bytes carry its number.
IsoImage standard_image();
constexpr int32_t kReadmeSector = 20;
constexpr int32_t kOpenStrSector = 23;
constexpr int32_t kOpenStrEnd = 26;
constexpr int32_t kDeepXaSector = 26;
constexpr size_t kStandardSectors = 30;
constexpr size_t kStandardRootEnd = 152;  // first free byte of the root's block
