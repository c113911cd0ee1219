// Record arithmetic of sector files and recognition of the raw 2352-byte form.
#include "format/disc/sector_file_form.hpp"

#include <limits>

#include "format/disc/xa_sector.hpp"

bool starts_with_sync(const uint8_t* start, size_t length) {
  if (length < static_cast<size_t>(kSyncBytes)) return false;
  if (start[0] != 0x00 || start[kSyncBytes - 1] != 0x00) return false;
  for (int i = 1; i < kSyncBytes - 1; ++i)
    if (start[i] != 0xFF) return false;
  return true;
}

int record_bytes(bool raw_form) { return raw_form ? kRawSectorBytes : kSectorBytes; }

int64_t record_offset(int64_t sector, bool raw_form) {
  return sector * record_bytes(raw_form) + (raw_form ? kRawPrefixBytes : 0);
}

int32_t record_count(int64_t file_size, bool raw_form) {
  if (file_size <= 0) return 0;
  const int64_t count = file_size / record_bytes(raw_form);
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(count > kLargest ? kLargest : count);
}

int32_t clamp_to_end(int32_t first, int32_t count, int32_t end) {
  const int64_t room = static_cast<int64_t>(end) - first;
  if (room <= 0 || count <= 0) return 0;
  return static_cast<int32_t>(count < room ? count : room);
}
