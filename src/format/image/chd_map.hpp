// The hunk map of a CHD version 5 file: for every hunk, how it is stored
// (one of the header's four codecs, uncompressed, a copy of an earlier hunk,
// or in a parent), where its bytes lie and the CRC-16 of its decompressed
// bytes. Compressed maps (a 16-byte header, then a bit stream of prefix-coded
// types with run lengths, then lengths, offsets and CRCs) are decoded and
// checked against the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/image/chd_header.hpp"

constexpr size_t kChdMapHeaderBytes = 16;
constexpr size_t kChdPlainMapEntryBytes = 4;

enum class HunkStore : uint8_t {
  Codec0,
  Codec1,
  Codec2,
  Codec3,
  Uncompressed,  // hunk_bytes bytes at offset
  Self,          // the same bytes as hunk number `offset`, an earlier one
  Zeros,         // a hunk of zero bytes (uncompressed maps)
};

struct ChdHunk {
  HunkStore store = HunkStore::Zeros;
  uint32_t length = 0;   // compressed bytes (codecs), hunk_bytes (uncompressed)
  uint64_t offset = 0;   // byte offset in the file, or the hunk copied
  uint16_t crc = 0;      // CRC-16 of the decompressed hunk
  bool has_crc = false;  // uncompressed maps carry none
};

struct ChdMapHeader {
  uint32_t compressed_bytes = 0;
  uint64_t first_offset = 0;
  uint16_t crc = 0;
  int length_bits = 0;
  int self_bits = 0;
  int parent_bits = 0;
};

ChdMapHeader parse_chd_map_header(const uint8_t* bytes);

// Decodes a compressed map's bit stream (the bytes after its header).
// Returns nullptr or the fault; a hunk in a parent is a fault.
const char* decode_chd_map(const ChdHeader& header, const ChdMapHeader& map, const uint8_t* bits,
                           size_t length, uint64_t file_size, std::vector<ChdHunk>* hunks);

// The map of a file without codecs: one 4-byte block number a hunk
// (0: a hunk of zeros).
const char* decode_chd_plain_map(const ChdHeader& header, const uint8_t* entries, uint64_t file_size,
                                 std::vector<ChdHunk>* hunks);
