// Building the conversion decoders' grouped tables and direct lookups from
// the code tables of mdec_tables.
#include "format/mdec/code_tables.hpp"

#include <cstdlib>
#include <cstring>

#include "format/mdec/mdec_tables.hpp"

uint32_t code_value(const char* bits) {
  uint32_t v = 0;
  for (const char* p = bits; *p != '\0'; ++p) v = (v << 1) | static_cast<uint32_t>(*p - '0');
  return v;
}

namespace {

struct Triple {
  int length;
  int16_t value, a, b;
};

std::vector<int16_t> group_by_length(const std::vector<Triple>& triples, int longest) {
  std::vector<int16_t> table;
  for (int length = kShortestCodeBits; length <= longest; ++length) {
    const size_t count_at = table.size();
    table.push_back(0);
    for (const Triple& t : triples) {
      if (t.length != length) continue;
      table.insert(table.end(), {t.value, t.a, t.b});
      ++table[count_at];
    }
  }
  table.push_back(kGroupedTableEnd);
  return table;
}

std::vector<int16_t> build_grouped_ac() {
  std::vector<Triple> triples;
  triples.push_back({static_cast<int>(std::strlen(kEndOfBlockBits)),
                     static_cast<int16_t>(code_value(kEndOfBlockBits)), 0, 0});
  triples.push_back({static_cast<int>(std::strlen(kEscapeBits)),
                     static_cast<int16_t>(code_value(kEscapeBits)), 0, 0});
  for (const AcCode& code : kAcCodes) {
    const int length = static_cast<int>(std::strlen(code.bits)) + 1;  // and the sign bit
    const int16_t positive = static_cast<int16_t>(code_value(code.bits) << 1);
    triples.push_back({length, positive, code.run, static_cast<int16_t>(code.level)});
    triples.push_back({length, static_cast<int16_t>(positive | 1), code.run,
                       static_cast<int16_t>(-code.level)});
  }
  return group_by_length(triples, kLongestAcCodeBits);
}

std::vector<int16_t> build_grouped_dc(const char* const* codes) {
  std::vector<Triple> triples;
  for (int size = 0; size < kDcSizeCount; ++size) {
    const int16_t half_range = size == 0 ? 0 : static_cast<int16_t>(1 << (size - 1));
    triples.push_back({static_cast<int>(std::strlen(codes[size])),
                       static_cast<int16_t>(code_value(codes[size])),
                       static_cast<int16_t>(size), half_range});
  }
  return group_by_length(triples, kLongestDcSizeCodeBits);
}

// Calls f(length, value, a, b) for every triple of a grouped table.
template <typename F>
void for_each_triple(const std::vector<int16_t>& table, F f) {
  size_t i = 0;
  for (int length = kShortestCodeBits; table[i] != kGroupedTableEnd; ++length) {
    const int count = table[i++];
    for (int n = 0; n < count; ++n, i += 3) f(length, table[i], table[i + 1], table[i + 2]);
  }
}

AcLookup* build_ac_lookup() {
  auto* lookup = new AcLookup();
  for_each_triple(grouped_ac_table(), [&](int length, int16_t value, int16_t run, int16_t level) {
    AcLookupEntry e;
    e.length = static_cast<uint8_t>(length);
    e.run = static_cast<uint8_t>(run);
    e.level = level;
    // The escape is told by its value first: its run and level are 0 like
    // the end of block's.
    if (value == kEscapeCodeValue)
      e.kind = kAcEscape;
    else if (run == 0 && level == 0)
      e.kind = kAcEndOfBlock;
    else
      e.kind = kAcRunLevel;
    const uint32_t v = static_cast<uint16_t>(value);
    if (length <= kAcPrimaryBits) {
      const uint32_t first = v << (kAcPrimaryBits - length);
      for (uint32_t j = 0; j < (1u << (kAcPrimaryBits - length)); ++j) lookup->primary[first + j] = e;
    } else {
      // Longer codes begin with kAcLongPrefixZeros zeros; a code table
      // breaking that would be caught here at start-up.
      if ((v >> (length - kAcLongPrefixZeros)) != 0) std::abort();
      const uint32_t first = (v << (kLongestAcCodeBits - length)) & ((1u << kAcSecondaryBits) - 1);
      for (uint32_t j = 0; j < (1u << (kLongestAcCodeBits - length)); ++j)
        lookup->secondary[first + j] = e;
    }
  });
  return lookup;
}

DcSizeLookup* build_dc_lookup(const std::vector<int16_t>& grouped) {
  auto* lookup = new DcSizeLookup();
  for_each_triple(grouped, [&](int length, int16_t value, int16_t size, int16_t) {
    const uint32_t first = static_cast<uint32_t>(value) << (kLongestDcSizeCodeBits - length);
    for (uint32_t j = 0; j < (1u << (kLongestDcSizeCodeBits - length)); ++j)
      lookup->entry[first + j] = {static_cast<uint8_t>(length), static_cast<uint8_t>(size)};
  });
  return lookup;
}

}  // namespace

const std::vector<int16_t>& grouped_ac_table() {
  static const std::vector<int16_t> table = build_grouped_ac();
  return table;
}
const std::vector<int16_t>& grouped_dc_luminance_table() {
  static const std::vector<int16_t> table = build_grouped_dc(kDcSizeLuminanceBits);
  return table;
}
const std::vector<int16_t>& grouped_dc_chrominance_table() {
  static const std::vector<int16_t> table = build_grouped_dc(kDcSizeChrominanceBits);
  return table;
}

const AcLookup& ac_lookup() {
  static const AcLookup* lookup = build_ac_lookup();
  return *lookup;
}
const DcSizeLookup& dc_luminance_lookup() {
  static const DcSizeLookup* lookup = build_dc_lookup(grouped_dc_luminance_table());
  return *lookup;
}
const DcSizeLookup& dc_chrominance_lookup() {
  static const DcSizeLookup* lookup = build_dc_lookup(grouped_dc_chrominance_table());
  return *lookup;
}
