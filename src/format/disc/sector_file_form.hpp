// The two forms of a sector file: headerless 2336-byte records, or raw
// 2352-byte records as CD rippers write them (sync and header before each
// 2336-byte part). Record arithmetic and the recognition of the raw form.
#pragma once

#include <cstddef>
#include <cstdint>

// 00 FF x10 00: the sync pattern that opens every raw sector.
constexpr int kSyncBytes = 12;

// True when the bytes at the start of a file are the sync pattern of a raw
// sector. A valid 2336-byte record can never start this way: its bytes 4 to 7
// repeat bytes 0 to 3, where the pattern has 00 and FF.
bool starts_with_sync(const uint8_t* start, size_t length);

// Bytes per record of the form (2336 or 2352).
int record_bytes(bool raw_form);

// Byte offset of the 2336-byte part of sector n.
int64_t record_offset(int64_t sector, bool raw_form);

// Whole records in a file of the given size (a trailing partial record does
// not count), limited to what a sector number can hold.
int32_t record_count(int64_t file_size, bool raw_form);

// Sectors a bulk read from first may deliver when the range ends at end:
// the requested count cut at end, never negative.
int32_t clamp_to_end(int32_t first, int32_t count, int32_t end);
