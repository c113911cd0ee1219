// MDEC frame encoder: forward DCT, quantisation chosen so that the decoder's
// dequantisation (coef * q * scale / 16, truncated) lands nearest the wanted
// value, then the run/level codes of the encoder's tables.
#include "tools/mkdisc/mdec_encoder.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/byte_order.hpp"
#include "tools/mkdisc/bit_writer.hpp"
#include "tools/mkdisc/dct.hpp"
#include "tools/mkdisc/encoder_tables.hpp"
#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

namespace {

constexpr int kMacroblock = 16;
constexpr int kBlock = 8;
constexpr int kBlocksPerMacroblock = 6;  // two chroma, then four luminance
constexpr int kMaxScale = 63;
constexpr int kDequantDivisor = 16;
constexpr int kLevelMin = -(1 << (escape::kLevelBits - 1));   // -512
constexpr int kLevelMax = (1 << (escape::kLevelBits - 1)) - 1; // 511
constexpr int kDcV3Multiplier = 4;     // version 3 DC values are multiplied by 4
constexpr int kMaxRun = (1 << escape::kRunBits) - 1;  // 63
constexpr int kMaxDcSizeV3 = dc::kSizes - 1;

// The decoder's transform is twice the orthonormal one, so coefficients are
// half the orthonormal DCT of the samples.
constexpr double kTransformGain = 2.0;

// The integer coefficient whose dequantised value is nearest `target`.
int16_t quantise_ac(double target, int step) {
  const double guess = std::round(target * kDequantDivisor / step);
  int best = 0;
  double best_err = std::abs(target);
  for (int d = -1; d <= 1; ++d) {
    const int c = std::clamp(static_cast<int>(guess) + d, kLevelMin, kLevelMax);
    const int v = c * step / kDequantDivisor;  // truncates toward zero like the decoder
    const double err = std::abs(v - target);
    if (err < best_err || (err == best_err && std::abs(c) < std::abs(best))) {
      best = c;
      best_err = err;
    }
  }
  return static_cast<int16_t>(best);
}

CoefficientBlock quantise_block(const double samples[64], const EncodeOptions& o) {
  double freq[64];
  forward_dct_8x8(samples, freq);
  CoefficientBlock b{};
  const double dc = freq[0] / kTransformGain;
  if (o.version == 2)
    b[0] = static_cast<int16_t>(std::clamp(static_cast<int>(std::lround(dc)), kLevelMin, kLevelMax));
  else
    b[0] = static_cast<int16_t>(std::lround(dc / kDcV3Multiplier));
  for (int pos = 1; pos < kBlockCoefficients; ++pos)
    b[kScanIndexAt[pos]] = quantise_ac(freq[pos] / kTransformGain, kQuantMatrix[pos] * o.scale);
  return b;
}

void gather(const std::vector<double>& plane, int stride, int x0, int y0, double out[64]) {
  for (int y = 0; y < kBlock; ++y)
    for (int x = 0; x < kBlock; ++x) out[y * kBlock + x] = plane[static_cast<size_t>(y0 + y) * stride + x0 + x];
}

void put_dc_v3(BitWriter& bw, int diff, bool chroma) {
  const int magnitude = std::abs(diff);
  int size = 0;
  while ((1 << size) <= magnitude) ++size;
  if (size > kMaxDcSizeV3) throw Error("DC difference " + std::to_string(diff) + " does not fit a size code");
  bw.put_text(chroma ? dc::kSizeCodes[size].chrominance : dc::kSizeCodes[size].luminance);
  if (size > 0) bw.put(static_cast<uint32_t>(diff > 0 ? diff : diff + (1 << size) - 1), size);
}

void put_ac(BitWriter& bw, const CoefficientBlock& b, int& nonzero) {
  int run = 0;
  for (int k = 1; k < kBlockCoefficients; ++k) {
    const int level = b[k];
    if (level == 0) {
      ++run;
      continue;
    }
    ++nonzero;
    if (const char* code = ac_code_bits(run, std::abs(level))) {
      bw.put_text(code);
      bw.put(level < 0 ? 1u : 0u, 1);
    } else {
      bw.put_text(escape::kCode);
      bw.put(static_cast<uint32_t>(run), escape::kRunBits);
      bw.put(static_cast<uint32_t>(level) & ((1u << escape::kLevelBits) - 1), escape::kLevelBits);
    }
    run = 0;
  }
  static_assert(kMaxRun >= kBlockCoefficients - 2, "a run always fits the escape");
  bw.put_text(kEndOfBlockCode);
}

}  // namespace

void check_encode_options(const EncodeOptions& o) {
  if (o.version != 2 && o.version != 3)
    throw Error("bitstream version " + std::to_string(o.version) + " is not 2 or 3");
  if (o.scale < 1 || o.scale > kMaxScale)
    throw Error("quantisation scale " + std::to_string(o.scale) + " is outside 1..63");
}

std::vector<CoefficientBlock> quantise_frame(const RgbFrame& padded, const EncodeOptions& o) {
  check_encode_options(o);
  if (padded.width % kMacroblock || padded.height % kMacroblock)
    throw Error("picture size " + std::to_string(padded.width) + "x" + std::to_string(padded.height) +
                " is not a multiple of 16");
  const YccPlanes p = rgb_to_planes(padded, o.colour);
  const int cols = padded.width / kMacroblock, rows = padded.height / kMacroblock;
  const int cw = padded.width / 2;
  std::vector<CoefficientBlock> blocks;
  blocks.reserve(static_cast<size_t>(cols) * rows * kBlocksPerMacroblock);
  double samples[64];
  for (int mx = 0; mx < cols; ++mx)
    for (int my = 0; my < rows; ++my) {
      gather(p.chroma_a, cw, mx * kBlock, my * kBlock, samples);
      blocks.push_back(quantise_block(samples, o));
      gather(p.chroma_b, cw, mx * kBlock, my * kBlock, samples);
      blocks.push_back(quantise_block(samples, o));
      for (int q = 0; q < 4; ++q) {
        gather(p.luma, padded.width, mx * kMacroblock + (q & 1) * kBlock, my * kMacroblock + (q >> 1) * kBlock,
               samples);
        blocks.push_back(quantise_block(samples, o));
      }
    }
  return blocks;
}

std::vector<uint8_t> code_frame(const std::vector<CoefficientBlock>& blocks, const EncodeOptions& o) {
  check_encode_options(o);
  std::vector<uint8_t> out(frame_header::kBytes, 0);
  out.reserve(blocks.size() * 16 + frame_header::kBytes);
  BitWriter bw(out);
  int nonzero = 0;
  int predictor[3] = {0, 0, 0};  // first chroma, second chroma, luminance
  for (size_t i = 0; i < blocks.size(); ++i) {
    const CoefficientBlock& b = blocks[i];
    const int role = static_cast<int>(i % kBlocksPerMacroblock);
    if (o.version == 2) {
      bw.put(static_cast<uint32_t>(b[0]) & ((1u << dc::kVersion2Bits) - 1), dc::kVersion2Bits);
    } else {
      int& pred = predictor[std::min(role, 2)];
      put_dc_v3(bw, b[0] - pred, role < 2);
      pred = b[0];
    }
    put_ac(bw, b, nonzero);
  }
  bw.flush();
  // Pad to whole 32-bit words.
  while (out.size() % 4) out.push_back(0);
  // First word: 32-bit words of decoder input (one DC and one end code per
  // block, one word per coefficient, two to a 32-bit word), rounded up.
  const size_t halfwords = blocks.size() * 2 + static_cast<size_t>(nonzero);
  put_le16(&out[frame_header::kLengthOffset], static_cast<uint32_t>(std::min<size_t>((halfwords + 1) / 2, 0xFFFF)));
  put_le16(&out[frame_header::kMagicOffset], frame_header::kMagic);
  put_le16(&out[frame_header::kScaleOffset], static_cast<uint32_t>(o.scale));
  put_le16(&out[frame_header::kVersionOffset], static_cast<uint32_t>(o.version));
  return out;
}

std::vector<uint8_t> encode_frame(const RgbFrame& frame, const EncodeOptions& o) {
  return code_frame(quantise_frame(pad_to_macroblocks(frame), o), o);
}

}  // namespace mkdisc
