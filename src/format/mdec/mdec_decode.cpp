// The conversion decoders of versions 2 and 3: they share the AC coding and
// differ in the DC of each block (10-bit value, or a size code and a
// difference from the previous block's DC of the same kind).
#include "format/mdec/mdec_decode.hpp"

#include "format/mdec/bit_reader.hpp"
#include "format/mdec/code_tables.hpp"
#include "format/mdec/mdec_tables.hpp"

namespace {

constexpr int kLastPosition = kCoefficientsPerBlock - 1;
constexpr int kChromaBlocks = 2;  // blocks 0 and 1 of each macroblock

// The AC codes of one block after its DC, up to the end of block.
inline DecodeStatus decode_ac(BitReader& bits, const AcLookup& lookup, int16_t* block) {
  int position = 1;
  for (;;) {
    const AcLookupEntry& e = lookup.find(bits.peek(kLongestAcCodeBits));
    if (e.kind == kAcInvalid)
      return bits.fewer_than(kLongestAcCodeBits) ? DecodeStatus::kPastEnd : DecodeStatus::kBadCode;
    bits.skip(e.length);
    if (e.kind == kAcEndOfBlock) break;
    int run;
    int level;
    if (e.kind == kAcEscape) {
      run = static_cast<int>(bits.read(kEscapeRunBits));
      level = bits.read_signed(kEscapeLevelBits);
    } else {
      run = e.run;
      level = e.level;
    }
    position += run;
    if (position > kLastPosition) return DecodeStatus::kRunPastBlock;
    block[position++] = static_cast<int16_t>(level);
  }
  return bits.overrun() ? DecodeStatus::kPastEnd : DecodeStatus::kOk;
}

// A version-3 DC difference: a size code, then that many bits.
inline int16_t decode_dc_difference(BitReader& bits, const DcSizeLookup& lookup) {
  const DcSizeEntry& e = lookup.entry[bits.peek(kLongestDcSizeCodeBits)];
  bits.skip(e.length);
  if (e.size == 0) return 0;
  const int32_t half_range = 1 << (e.size - 1);
  int32_t v = static_cast<int32_t>(bits.read(e.size));
  if (v < half_range) v -= (1 << e.size) - 1;
  return static_cast<int16_t>(v);
}

}  // namespace

DecodeStatus decode_v2(const uint8_t* data, size_t size, uint32_t macroblocks, int16_t* blocks) {
  BitReader bits(data, size);
  const AcLookup& lookup = ac_lookup();
  const uint64_t block_count = static_cast<uint64_t>(macroblocks) * kBlocksPerMacroblock;
  for (uint64_t b = 0; b < block_count; ++b) {
    int16_t* block = blocks + b * kCoefficientsPerBlock;
    block[0] = static_cast<int16_t>(bits.read_signed(kDcBitsV2));
    const DecodeStatus status = decode_ac(bits, lookup, block);
    if (status != DecodeStatus::kOk) return status;
  }
  return DecodeStatus::kOk;
}

DecodeStatus decode_v3(const uint8_t* data, size_t size, uint32_t macroblocks, int16_t* blocks) {
  BitReader bits(data, size);
  const AcLookup& lookup = ac_lookup();
  const DcSizeLookup& luminance = dc_luminance_lookup();
  const DcSizeLookup& chrominance = dc_chrominance_lookup();
  for (uint32_t m = 0; m < macroblocks; ++m) {
    for (int b = 0; b < kBlocksPerMacroblock; ++b) {
      int16_t* block = blocks + (static_cast<uint64_t>(m) * kBlocksPerMacroblock + b) * kCoefficientsPerBlock;
      block[0] = decode_dc_difference(bits, b < kChromaBlocks ? chrominance : luminance);
      const DecodeStatus status = decode_ac(bits, lookup, block);
      if (status != DecodeStatus::kOk) return status;
    }
  }
  // Differences to values: one predictor per chroma block, one for the four
  // luminance blocks, carried across the whole frame with 16-bit wrap-around.
  uint16_t first_chroma = 0, second_chroma = 0, luma = 0;
  for (uint32_t m = 0; m < macroblocks; ++m) {
    int16_t* mb = blocks + static_cast<uint64_t>(m) * kBlocksPerMacroblock * kCoefficientsPerBlock;
    uint16_t* predictors[kBlocksPerMacroblock] = {&first_chroma, &second_chroma, &luma, &luma, &luma, &luma};
    for (int b = 0; b < kBlocksPerMacroblock; ++b) {
      uint16_t& p = *predictors[b];
      p = static_cast<uint16_t>(p + static_cast<uint16_t>(mb[b * kCoefficientsPerBlock]));
      mb[b * kCoefficientsPerBlock] = static_cast<int16_t>(p);
    }
  }
  return DecodeStatus::kOk;
}
