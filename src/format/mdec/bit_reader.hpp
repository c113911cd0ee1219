// The one bit reader of the MDEC decoders: the coded data is a run of 16-bit
// little-endian words read from the most significant bit of each word to the
// least. The reader never looks past the end it was given: bits beyond it
// read as 0, and consuming any of them sets the overrun flag, which the
// decoders turn into the bitstream error.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/byte_order.hpp"

class BitReader {
 public:
  static constexpr int kMaxPeekBits = 32;

  BitReader(const uint8_t* data, size_t size)
      : next_(data), end_(data + (size & ~static_cast<size_t>(1))) {}

  // The next n bits (1..32) as an unsigned number, without consuming them.
  uint32_t peek(int n) {
    if (count_ < n) refill();
    return static_cast<uint32_t>(cache_ >> (64 - n));
  }

  // Consumes n bits (0..32); consuming bits past the end sets the overrun flag.
  void skip(int n) {
    if (n > count_) {
      overrun_ = true;
      cache_ = 0;
      count_ = 0;
      return;
    }
    cache_ = n == 0 ? cache_ : cache_ << n;
    count_ -= n;
  }

  uint32_t read(int n) {
    const uint32_t v = peek(n);
    skip(n);
    return v;
  }

  // n bits as a two's complement number.
  int32_t read_signed(int n) {
    const uint32_t v = read(n);
    const uint32_t sign = 1u << (n - 1);
    return static_cast<int32_t>(v ^ sign) - static_cast<int32_t>(sign);
  }

  bool overrun() const { return overrun_; }

  // Whether fewer than n bits (1..32) of data remain.
  bool fewer_than(int n) {
    if (count_ < n) refill();
    return count_ < n;
  }

 private:
  static constexpr int kWordBits = 16;
  static constexpr int kCacheBits = 64;

  void refill() {
    while (count_ <= kCacheBits - kWordBits && next_ < end_) {
      cache_ |= static_cast<uint64_t>(get_le16(next_)) << (kCacheBits - kWordBits - count_);
      count_ += kWordBits;
      next_ += 2;
    }
  }

  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t cache_ = 0;  // unread bits, first bit at the top
  int count_ = 0;       // how many bits of cache_ are real data
  bool overrun_ = false;
};
