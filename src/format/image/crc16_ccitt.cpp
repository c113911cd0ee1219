// CRC-16/CCITT by tables computed once at compile time, eight bytes a step:
// table k gives the remainder of a byte followed by k zero bytes, so the
// eight lookups of a step are independent of one another.
#include "format/image/crc16_ccitt.hpp"

#include <array>

namespace {

constexpr uint16_t kPolynomial = 0x1021;
constexpr uint16_t kStart = 0xFFFF;
constexpr int kBytesPerStep = 8;

using Tables = std::array<std::array<uint16_t, 256>, kBytesPerStep>;

constexpr Tables make_tables() {
  Tables t{};
  for (int i = 0; i < 256; ++i) {
    uint16_t crc = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ kPolynomial : crc << 1);
    t[0][i] = crc;
  }
  for (int k = 1; k < kBytesPerStep; ++k)
    for (int i = 0; i < 256; ++i) {
      const uint16_t before = t[k - 1][i];
      t[k][i] = static_cast<uint16_t>((before << 8) ^ t[0][before >> 8]);
    }
  return t;
}

constexpr Tables kTables = make_tables();

}  // namespace

uint16_t crc16_ccitt(const uint8_t* data, size_t length) {
  uint16_t crc = kStart;
  size_t i = 0;
  for (; i + kBytesPerStep <= length; i += kBytesPerStep) {
    const uint8_t* d = data + i;
    crc = static_cast<uint16_t>(kTables[7][d[0] ^ (crc >> 8)] ^ kTables[6][d[1] ^ (crc & 0xFF)] ^
                                kTables[5][d[2]] ^ kTables[4][d[3]] ^ kTables[3][d[4]] ^ kTables[2][d[5]] ^
                                kTables[1][d[6]] ^ kTables[0][d[7]]);
  }
  for (; i < length; ++i) crc = static_cast<uint16_t>((crc << 8) ^ kTables[0][((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}
