// The viewer decoders' code tables, derived once from the conversion
// decoders' grouped tables:
// - AC: for each code length from 2 to 17 an array of 32-bit entries indexed
//   directly by the code value (sign bit included); a null array for lengths
//   without codes (10 and 12), and kViewerTableEnd after length 17.
//   Entry -1: no code of this value; 0: end of block; low 16 bits 127: the
//   escape; otherwise run x 2 (a step in bytes over 16-bit coefficients) in
//   the low 16 bits and the signed level in the high 16 bits.
// - DC sizes: the grouped layout of the conversion tables in 32-bit words.
#pragma once

#include <cstdint>

constexpr int32_t kViewerNoCode = -1;
constexpr int32_t kViewerEndOfBlock = 0;
constexpr int32_t kViewerEscape = 127;   // low 16 bits of the escape entry
constexpr int kViewerMaxAcBits = 17;
constexpr int kViewerLongArrayEntries = 80;  // lengths 7 and up: no value reaches 80

// Marks the end of the per-length arrays (after length 17).
inline const int32_t* viewer_table_end() {
  return reinterpret_cast<const int32_t*>(~static_cast<uintptr_t>(0));
}

struct ViewerCodeTables {
  // ac_by_length[n] for n = 2..17; ac_by_length[18] = viewer_table_end().
  const int32_t* ac_by_length[kViewerMaxAcBits + 2];
  int ac_entries[kViewerMaxAcBits + 2];          // size of each array (0 when null)
  const int32_t* dc_luminance;                    // grouped, ends with -1
  const int32_t* dc_chrominance;
};

const ViewerCodeTables& viewer_code_tables();
