// Reading and writing little- and big-endian fields byte by byte. Every file
// and device layout of the program (STR headers, ISO 9660 records, AVI, BMP,
// WAV, ASPI blocks) goes through these; no struct is ever cast onto a buffer.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint16_t get_le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t get_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t get_be16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t get_be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void put_le16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put_le32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
// Signed 16-bit values (PCM samples) as consecutive little-endian fields. On
// a little-endian host their bytes already stand in that order and are
// copied as they are.
inline void put_le16_array(uint8_t* p, const int16_t* values, size_t count) {
  if (count == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, values, count * sizeof(int16_t));
  } else {
    for (size_t i = 0; i < count; ++i) put_le16(p + 2 * i, static_cast<uint16_t>(values[i]));
  }
}
inline void put_be16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void put_be32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Four ASCII characters as they stand in a RIFF file ("RIFF", "00db", ...).
inline void put_fourcc(uint8_t* p, const char* four) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(four[i]);
}
