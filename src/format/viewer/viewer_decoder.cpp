// Viewer decoding of one frame bitstream: AC codes through the direct
// lookup arrays (one array read per code length tried), DC as a 10-bit
// value times 16 (version 2) or a size-coded difference times 64 with
// three predictors (version 3). Reads never go past the frame's data.
#include "format/viewer/viewer_decoder.hpp"

#include <cstring>

#include "format/mdec/bit_reader.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "format/viewer/viewer_code_tables.hpp"

namespace {

constexpr int kDcScaleV2 = 16;
constexpr int kDcScaleV3 = 64;
constexpr int kEscapeEntryMask = 0xFFFF;
constexpr int kLastPosition = kCoefficientsPerBlock - 1;
constexpr int kShortestCode = 2;

// The AC codes of one block after its DC, until the end of block.
DecodeStatus decode_ac(BitReader& bits, const ViewerCodeTables& tables, int16_t* block) {
  int position = 1;
  for (;;) {
    const uint32_t next = bits.peek(kViewerMaxAcBits);
    int32_t entry = kViewerNoCode;
    int length = kShortestCode;
    for (; length <= kViewerMaxAcBits; ++length) {
      const int32_t* array = tables.ac_by_length[length];
      if (array == nullptr) continue;
      const uint32_t value = next >> (kViewerMaxAcBits - length);
      if (value < static_cast<uint32_t>(tables.ac_entries[length]) && array[value] != kViewerNoCode) {
        entry = array[value];
        break;
      }
    }
    if (entry == kViewerNoCode) return DecodeStatus::kBadCode;
    bits.skip(length);
    if (bits.overrun()) return DecodeStatus::kPastEnd;
    if (entry == kViewerEndOfBlock) return DecodeStatus::kOk;

    int run;
    int32_t level;
    if ((entry & kEscapeEntryMask) == kViewerEscape) {
      run = static_cast<int>(bits.read(kEscapeRunBits));
      level = bits.read_signed(kEscapeLevelBits);
      if (bits.overrun()) return DecodeStatus::kPastEnd;
    } else {
      run = (entry & kEscapeEntryMask) / 2;  // stored as a step over 16-bit values
      level = entry >> 16;
    }
    position += run;
    if (position > kLastPosition) return DecodeStatus::kRunPastBlock;
    block[position] = static_cast<int16_t>(level);
    ++position;
  }
}

// A size code of the grouped DC table: by length from 2 bits, a count and
// triples (code value, size, half range), -1 at the end.
DecodeStatus read_dc_size(BitReader& bits, const int32_t* table, int* size, int32_t* half) {
  for (int length = kShortestCode;; ++length) {
    const int32_t count = *table++;
    if (count < 0) return DecodeStatus::kBadCode;
    const uint32_t value = bits.peek(length);
    for (int32_t n = 0; n < count; ++n, table += 3) {
      if (static_cast<uint32_t>(table[0]) == value) {
        bits.skip(length);
        *size = table[1];
        *half = table[2];
        return bits.overrun() ? DecodeStatus::kPastEnd : DecodeStatus::kOk;
      }
    }
  }
}

}  // namespace

DecodeStatus viewer_decode_v2(const uint8_t* data, size_t size, uint32_t macroblocks,
                              int16_t* out) {
  const uint32_t blocks = macroblocks * kBlocksPerMacroblock;
  std::memset(out, 0, static_cast<size_t>(blocks) * kCoefficientsPerBlock * sizeof(int16_t));
  const ViewerCodeTables& tables = viewer_code_tables();
  BitReader bits(data, size);
  for (uint32_t b = 0; b < blocks; ++b) {
    int16_t* block = out + static_cast<size_t>(b) * kCoefficientsPerBlock;
    block[0] = static_cast<int16_t>(bits.read_signed(kDcBitsV2) * kDcScaleV2);
    if (bits.overrun()) return DecodeStatus::kPastEnd;
    const DecodeStatus status = decode_ac(bits, tables, block);
    if (status != DecodeStatus::kOk) return status;
  }
  return DecodeStatus::kOk;
}

DecodeStatus viewer_decode_v3(const uint8_t* data, size_t size, uint32_t macroblocks,
                              int16_t* out) {
  const uint32_t blocks = macroblocks * kBlocksPerMacroblock;
  std::memset(out, 0, static_cast<size_t>(blocks) * kCoefficientsPerBlock * sizeof(int16_t));
  const ViewerCodeTables& tables = viewer_code_tables();
  BitReader bits(data, size);
  for (uint32_t b = 0; b < blocks; ++b) {
    int16_t* block = out + static_cast<size_t>(b) * kCoefficientsPerBlock;
    const bool chroma = (b % kBlocksPerMacroblock) < 2;
    int dc_size = 0;
    int32_t half = 0;
    DecodeStatus status =
        read_dc_size(bits, chroma ? tables.dc_chrominance : tables.dc_luminance, &dc_size, &half);
    if (status != DecodeStatus::kOk) return status;
    int32_t difference = 0;
    if (dc_size > 0) {
      difference = static_cast<int32_t>(bits.read(dc_size));
      if (difference < half) difference -= 2 * half - 1;
      if (bits.overrun()) return DecodeStatus::kPastEnd;
    }
    block[0] = static_cast<int16_t>(difference * kDcScaleV3);
    status = decode_ac(bits, tables, block);
    if (status != DecodeStatus::kOk) return status;
  }
  // Differences to values: one predictor for each chroma block, one for the
  // four luminance blocks, 16 bits with wrap-around, never reset in a frame.
  uint16_t predictor[3] = {0, 0, 0};
  for (uint32_t b = 0; b < blocks; ++b) {
    const uint32_t in_macroblock = b % kBlocksPerMacroblock;
    uint16_t& p = predictor[in_macroblock < 2 ? in_macroblock : 2];
    int16_t* dc = out + static_cast<size_t>(b) * kCoefficientsPerBlock;
    p = static_cast<uint16_t>(p + static_cast<uint16_t>(*dc));
    *dc = static_cast<int16_t>(p);
  }
  return DecodeStatus::kOk;
}

void viewer_dequantise(int16_t* buffer, uint32_t block_count, uint32_t scale) {
  for (uint32_t b = 0; b < block_count; ++b) {
    const int16_t* source = buffer + static_cast<size_t>(b + 1) * kCoefficientsPerBlock;
    int16_t* dest = buffer + static_cast<size_t>(b) * kCoefficientsPerBlock;
    dest[0] = source[0];
    for (int k = 1; k < kCoefficientsPerBlock; ++k) {
      const uint32_t product = static_cast<uint32_t>(static_cast<int32_t>(source[k])) *
                               kQuantTable[k] * scale;
      dest[kZigzag[k]] = static_cast<int16_t>(product);
    }
  }
}
