// CRC-16/CCITT by table, the table computed once at compile time.
#include "format/image/crc16_ccitt.hpp"

#include <array>

namespace {

constexpr uint16_t kPolynomial = 0x1021;
constexpr uint16_t kStart = 0xFFFF;

constexpr std::array<uint16_t, 256> make_table() {
  std::array<uint16_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint16_t crc = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ kPolynomial : crc << 1);
    table[i] = crc;
  }
  return table;
}

constexpr std::array<uint16_t, 256> kTable = make_table();

}  // namespace

uint16_t crc16_ccitt(const uint8_t* data, size_t length) {
  uint16_t crc = kStart;
  for (size_t i = 0; i < length; ++i)
    crc = static_cast<uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}
