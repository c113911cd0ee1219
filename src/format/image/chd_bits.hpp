// A reader of bits, most significant first, over the bytes of a CHD hunk
// map. Reading past the end gives zero bits and is remembered.
#pragma once

#include <cstddef>
#include <cstdint>

class ChdBits {
 public:
  ChdBits(const uint8_t* data, size_t length) : data_(data), length_(length) {}

  // The next `count` bits (at most 64) without consuming them.
  uint64_t peek(int count) const {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
      const uint64_t at = position_ + static_cast<uint64_t>(i);
      const uint64_t byte = at / 8;
      const int bit = byte < length_ ? (data_[byte] >> (7 - at % 8)) & 1 : 0;
      value = (value << 1) | static_cast<uint64_t>(bit);
    }
    return value;
  }
  void skip(int count) { position_ += static_cast<uint64_t>(count); }
  uint64_t read(int count) {
    const uint64_t value = peek(count);
    skip(count);
    return value;
  }
  bool overrun() const { return position_ > static_cast<uint64_t>(length_) * 8; }

 private:
  const uint8_t* data_;
  size_t length_;
  uint64_t position_ = 0;
};
