// The file copy as a kernel: where each block is read, which part of it is
// written, and the double read that must agree before a block is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Pairs of reads tried per block before the copy gives up.
constexpr int kCopyReadPairs = 8;

// One block of the copy, in sectors.
struct CopyBlock {
  int32_t read_from = 0;  // first sector read
  int32_t count = 0;      // sectors read
  int32_t skip = 0;       // leading sectors read but not written
  int32_t write = 0;      // sectors written; current advances by this much
};

// The block at current of a copy up to end with blocks of block_size
// sectors. A block that would pass end is moved back so it ends at end and
// its first sectors are skipped; when that would start before sector 0 the
// block shrinks to the sectors left instead.
CopyBlock plan_copy_block(int32_t current, int32_t end, int32_t block_size);

struct CopyIo {
  std::function<void(int32_t first, int32_t count, uint8_t* dest)> read;
  std::function<bool(const uint8_t* data, size_t bytes)> write;  // false: short write
  std::function<void(int32_t current, int32_t end)> progress;
};

enum class CopyOutcome { Done, NeverAgreed, WriteFailed };

// Copies *current up to end (block_size > 0), each block read into both
// buffers (block_size sectors each) and written from the first when the part
// to be written agrees. *current moves with every block written.
CopyOutcome copy_range(int32_t* current, int32_t end, int32_t block_size, uint8_t* first_read,
                       uint8_t* second_read, const CopyIo& io);
