// Block positioning and the read-twice loop of the file copy.
#include "format/disc/copy_block.hpp"

#include <cstring>

#include "format/disc/xa_sector.hpp"

CopyBlock plan_copy_block(int32_t current, int32_t end, int32_t block_size) {
  CopyBlock block;
  if (current + block_size <= end) {
    block.read_from = current;
    block.count = block_size;
    block.write = block_size;
    return block;
  }
  const int32_t skip = current + block_size - end;
  block.write = end - current;
  if (current - skip < 0) {
    // Near the start of the disc: read only what is left.
    block.read_from = current;
    block.count = block.write;
    return block;
  }
  block.read_from = current - skip;
  block.count = block_size;
  block.skip = skip;
  return block;
}

CopyOutcome copy_range(int32_t* current, int32_t end, int32_t block_size, uint8_t* first_read,
                       uint8_t* second_read, const CopyIo& io) {
  while (*current < end) {
    io.progress(*current, end);
    const CopyBlock block = plan_copy_block(*current, end, block_size);
    const size_t offset = static_cast<size_t>(block.skip) * kSectorBytes;
    const size_t bytes = static_cast<size_t>(block.write) * kSectorBytes;
    bool agreed = false;
    for (int pair = 0; pair < kCopyReadPairs && !agreed; ++pair) {
      io.read(block.read_from, block.count, first_read);
      io.read(block.read_from, block.count, second_read);
      agreed = std::memcmp(first_read + offset, second_read + offset, bytes) == 0;
    }
    if (!agreed) return CopyOutcome::NeverAgreed;
    if (!io.write(first_read + offset, bytes)) return CopyOutcome::WriteFailed;
    *current += block.write;
  }
  return CopyOutcome::Done;
}
