// The read-ahead blocks of the sector file: a few aligned blocks of records,
// each kept in the slot its block number chooses.
#include "io/sector_read_ahead.hpp"

#include <cstring>
#include <vector>

#include "format/disc/sector_file_form.hpp"
#include "format/disc/xa_sector.hpp"
#include "platform/host_file.hpp"

namespace {

constexpr int64_t kBlockRecords = 32;  // records read at once
constexpr int kSlots = 8;              // blocks kept: 256 neighbouring sectors

struct Block {
  int64_t first = -1;  // the first record held; -1 when the slot is empty
  int64_t count = 0;   // whole records held (fewer at the end of the file)
  std::vector<uint8_t> parts;  // their 2336-byte parts, one after another
};

Block slots[kSlots];
std::vector<uint8_t> records;  // a block as read, raw records included
// The file and form the blocks were read from: another drops them.
FILE* blocks_file = nullptr;
bool blocks_raw_form = false;

// Fills the block starting at record first with what the file holds there.
void fill(Block& block, FILE* file, bool raw_form, int64_t first) {
  block.first = first;
  block.count = 0;
  const auto record = static_cast<size_t>(record_bytes(raw_form));
  block.parts.resize(static_cast<size_t>(kBlockRecords) * kSectorBytes);
  // Records of the 2336-byte form are the parts themselves.
  std::vector<uint8_t>& into = raw_form ? records : block.parts;
  into.resize(static_cast<size_t>(kBlockRecords) * record);
  const int64_t offset = first * static_cast<int64_t>(record);
  // A read at the offset spares the seek; where there is none, the stream
  // seeks and reads.
  int64_t got = read_file_at(file, offset, into.data(), into.size());
  if (got < 0) {
    if (!seek_file(file, offset)) return;
    got = static_cast<int64_t>(std::fread(into.data(), 1, into.size(), file));
    std::clearerr(file);
  }
  block.count = got / static_cast<int64_t>(record);
  if (!raw_form) return;
  const size_t prefix = static_cast<size_t>(record_offset(0, true));
  for (int64_t i = 0; i < block.count; ++i)
    std::memcpy(block.parts.data() + i * kSectorBytes, records.data() + static_cast<size_t>(i) * record + prefix,
                kSectorBytes);
}

}  // namespace

const uint8_t* read_ahead_sector(FILE* file, bool raw_form, int64_t sector) {
  if (sector < 0) return nullptr;
  if (file != blocks_file || raw_form != blocks_raw_form) {
    forget_read_ahead();
    blocks_file = file;
    blocks_raw_form = raw_form;
  }
  const int64_t first = sector - sector % kBlockRecords;
  Block& block = slots[(sector / kBlockRecords) % kSlots];
  // A block that ended short is read again: the record asked for may be
  // whole by now, or the read may have failed for a passing reason.
  if (block.first != first || sector - first >= block.count) fill(block, file, raw_form, first);
  if (sector - first >= block.count) return nullptr;
  return block.parts.data() + (sector - first) * kSectorBytes;
}

void forget_read_ahead() {
  blocks_file = nullptr;
  for (Block& block : slots) {
    block.first = -1;
    block.count = 0;
  }
}
