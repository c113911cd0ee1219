// Hand-made ISO 9660 images for the disc tests.
#include "tests/disc/iso_image_builder.hpp"

#include <cstring>

#include "base/byte_order.hpp"
#include "format/disc/iso9660_walk.hpp"
#include "format/disc/xa_sector.hpp"

size_t put_record(uint8_t* block, size_t offset, const std::string& identifier,
                  uint32_t extent, uint32_t length, bool directory) {
  size_t size = kRecordIdOffset + identifier.size();
  size += size & 1;  // records have even lengths
  uint8_t* record = block + offset;
  record[kRecordLengthOffset] = static_cast<uint8_t>(size);
  put_le32(record + kRecordExtentOffset, extent);
  put_be32(record + kRecordExtentOffset + 4, extent);
  put_le32(record + kRecordDataLengthOffset, length);
  put_be32(record + kRecordDataLengthOffset + 4, length);
  record[kRecordFlagsOffset] = directory ? kRecordFlagDirectory : 0;
  record[kRecordIdLengthOffset] = static_cast<uint8_t>(identifier.size());
  std::memcpy(record + kRecordIdOffset, identifier.data(), identifier.size());
  return offset + size;
}

IsoImage::IsoImage(size_t count) : sectors(count, std::vector<uint8_t>(kSectorBytes)) {
  for (size_t n = 0; n < count; ++n) {
    // Subheader, then data bytes that name the sector and the position.
    for (int i = 0; i < kSectorBytes; ++i)
      sectors[n][i] = static_cast<uint8_t>(n * 7 + i * 13 + (i >> 8));
    sectors[n][0] = static_cast<uint8_t>(n);
    sectors[n][kSubmodeOffset] = kSubmodeData;
  }
  if (count > static_cast<size_t>(kVolumeDescriptorSector))
    std::memset(user_data(kVolumeDescriptorSector), 0, kBlock);
}

void IsoImage::set_root(uint32_t extent, uint32_t length) {
  put_record(user_data(kVolumeDescriptorSector), kRootRecordOffset, std::string(1, '\0'), extent,
             length, true);
}

std::string IsoImage::bytes_2336() const {
  std::string out;
  for (const auto& s : sectors) out.append(s.begin(), s.end());
  return out;
}

std::string IsoImage::bytes_raw() const {
  std::string out;
  for (size_t n = 0; n < sectors.size(); ++n) {
    std::string prefix(kRawPrefixBytes, '\0');
    for (int i = 1; i < 11; ++i) prefix[i] = '\xFF';
    prefix[12] = static_cast<char>(n & 0xFF);  // header: address and mode 2
    prefix[15] = 2;
    out += prefix;
    out.append(sectors[n].begin(), sectors[n].end());
  }
  return out;
}

IsoImage standard_image() {
  IsoImage image(kStandardSectors);
  image.set_root(18, kBlock);

  auto clear = [&](size_t sector) { std::memset(image.user_data(sector), 0, kBlock); return image.user_data(sector); };
  uint8_t* root = clear(18);
  size_t at = put_record(root, 0, std::string(1, '\0'), 18, kBlock, true);
  at = put_record(root, at, std::string(1, '\1'), 18, kBlock, true);
  at = put_record(root, at, "MOVIE", 19, kBlock, true);
  put_record(root, at, "README.TXT;1", kReadmeSector, 100, false);

  uint8_t* movie = clear(19);
  at = put_record(movie, 0, std::string(1, '\0'), 19, kBlock, true);
  at = put_record(movie, at, std::string(1, '\1'), 18, kBlock, true);
  at = put_record(movie, at, "DEEP", 22, kBlock, true);
  put_record(movie, at, "OPEN.STR;1", kOpenStrSector, 3 * kBlock - 5, false);

  uint8_t* deep = clear(22);
  at = put_record(deep, 0, std::string(1, '\0'), 22, kBlock, true);
  at = put_record(deep, at, std::string(1, '\1'), 19, kBlock, true);
  put_record(deep, at, "X.XA;1", kDeepXaSector, kBlock, false);
  return image;
}
