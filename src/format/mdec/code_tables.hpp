// Lookup structures of the conversion decoders, derived once from the code
// tables of mdec_tables (nothing here retypes a code):
// - the grouped tables: by code length from 2 bits upward, a count n and n
//   triples (code value, run, level) for the AC codes, (code value, size,
//   half range) for the DC sizes; a count of -1 after the last length;
// - direct lookups built from the grouped tables, which the decoders use.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kShortestCodeBits = 2;
constexpr int kLongestAcCodeBits = 17;       // sign bit included
constexpr int kLongestDcSizeCodeBits = 10;
constexpr int16_t kGroupedTableEnd = -1;
constexpr int16_t kEscapeCodeValue = 1;      // "000001": no other code has value 1

// Grouped tables as the decoders walk them bit by bit.
const std::vector<int16_t>& grouped_ac_table();
const std::vector<int16_t>& grouped_dc_luminance_table();
const std::vector<int16_t>& grouped_dc_chrominance_table();

enum AcKind : uint8_t { kAcInvalid = 0, kAcEndOfBlock, kAcEscape, kAcRunLevel };

struct AcLookupEntry {
  int16_t level = 0;
  uint8_t run = 0;
  uint8_t length = 0;   // bits of the code, sign included
  AcKind kind = kAcInvalid;
};

// The next 17 bits of the stream select an entry: codes of up to 11 bits by
// their first 11 bits; longer codes all begin with 7 zeros and are found by
// the 10 bits after those.
constexpr int kAcPrimaryBits = 11;
constexpr int kAcLongPrefixZeros = 7;
constexpr int kAcSecondaryBits = kLongestAcCodeBits - kAcLongPrefixZeros;

struct AcLookup {
  AcLookupEntry primary[1 << kAcPrimaryBits];
  AcLookupEntry secondary[1 << kAcSecondaryBits];

  const AcLookupEntry& find(uint32_t next17) const {
    if ((next17 >> (kLongestAcCodeBits - kAcLongPrefixZeros)) != 0)
      return primary[next17 >> (kLongestAcCodeBits - kAcPrimaryBits)];
    return secondary[next17 & ((1u << kAcSecondaryBits) - 1)];
  }
};

struct DcSizeEntry {
  uint8_t length = 0;  // 0: no code (never happens: the size codes are complete)
  uint8_t size = 0;
};

// Indexed by the next 10 bits of the stream.
struct DcSizeLookup {
  DcSizeEntry entry[1 << kLongestDcSizeCodeBits];
};

const AcLookup& ac_lookup();
const DcSizeLookup& dc_luminance_lookup();
const DcSizeLookup& dc_chrominance_lookup();

// A text of '0' and '1' as an unsigned number.
uint32_t code_value(const char* bits);
