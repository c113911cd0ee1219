// Bits into a frame bitstream the way the decoder reads them: 16-bit
// little-endian words, each filled from its most significant bit down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkdisc {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

  // The low `count` bits of `value`, most significant first.
  void put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) put_bit((value >> i) & 1u);
  }
  // A code given as a text of '0' and '1'.
  void put_text(const char* bits) {
    for (; *bits; ++bits) put_bit(*bits == '1' ? 1u : 0u);
  }
  // Completes the last word with zero bits.
  void flush() {
    while (used_ != 0) put_bit(0);
  }

 private:
  static constexpr int kWordBits = 16;
  void put_bit(uint32_t bit) {
    word_ = static_cast<uint16_t>((word_ << 1) | bit);
    if (++used_ == kWordBits) {
      out_.push_back(static_cast<uint8_t>(word_));
      out_.push_back(static_cast<uint8_t>(word_ >> 8));
      word_ = 0;
      used_ = 0;
    }
  }
  std::vector<uint8_t>& out_;
  uint16_t word_ = 0;
  int used_ = 0;
};

}  // namespace mkdisc
