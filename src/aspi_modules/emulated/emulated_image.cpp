// Reading sectors of the emulated drive's disc image.
#include "aspi_modules/emulated/emulated_image.hpp"

#include <cstring>

#include "format/disc/xa_sector.hpp"

namespace {

constexpr uint8_t kSyncPattern[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

}  // namespace

EmulatedDisc::~EmulatedDisc() {
  if (file_ != nullptr) std::fclose(file_);
}

bool EmulatedDisc::open(const std::string& path) {
  if (path.empty()) return false;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  uint8_t start[sizeof kSyncPattern] = {};
  const bool raw = std::fread(start, 1, sizeof start, file_) == sizeof start &&
                   std::memcmp(start, kSyncPattern, sizeof start) == 0;
  record_bytes_ = raw ? kRawSectorBytes : kSectorBytes;
  prefix_bytes_ = raw ? kRawPrefixBytes : 0;
  if (std::fseek(file_, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file_);
  sectors_ = size > 0 ? static_cast<uint32_t>(size / record_bytes_) : 0;
  return true;
}

bool EmulatedDisc::read(uint32_t lba, uint8_t* sector) {
  if (file_ == nullptr || lba >= sectors_) return false;
  const long offset = static_cast<long>(lba) * record_bytes_ + prefix_bytes_;
  return std::fseek(file_, offset, SEEK_SET) == 0 &&
         std::fread(sector, 1, kSectorBytes, file_) == static_cast<size_t>(kSectorBytes);
}
