// P and Q parity of CD sectors. Both are computed over the bytes from the
// header on: P over 86 columns of 24 bytes, Q over 52 diagonals of 43 bytes
// (the P bytes included); each vector yields two parity bytes.
#include "format/image/cd_ecc.hpp"

#include <array>
#include <cstring>

const uint8_t kCdSyncPattern[kCdSyncBytes] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

namespace {

constexpr int kHeaderOffset = 12;
constexpr int kHeaderBytes = 4;
constexpr int kModeOffset = 15;
constexpr uint8_t kMode2 = 2;
constexpr int kPOffset = 0x81C;
constexpr int kQOffset = 0x8C8;
constexpr int kFieldPolynomial = 0x11D;  // x^8 + x^4 + x^3 + x^2 + 1

// Multiplication by 2 in the field, and the inverse of (x -> x ^ 2x).
struct EccTables {
  std::array<uint8_t, 256> times2{};
  std::array<uint8_t, 256> undo{};
};

constexpr EccTables make_tables() {
  EccTables t;
  for (int i = 0; i < 256; ++i) {
    const int doubled = (i << 1) ^ ((i & 0x80) ? kFieldPolynomial : 0);
    t.times2[i] = static_cast<uint8_t>(doubled);
    t.undo[(i ^ doubled) & 0xFF] = static_cast<uint8_t>(i);
  }
  return t;
}

constexpr EccTables kTables = make_tables();

// One parity family: `vectors` vectors of `length` bytes each; vector v
// starts at (v / 2) * start_step + (v & 1) and steps by `step` bytes,
// wrapping inside vectors * length bytes.
struct Family {
  int vectors;
  int length;
  int start_step;
  int step;
  int offset;
};
constexpr Family kP = {86, 24, 2, 86, kPOffset};
constexpr Family kQ = {52, 43, 86, 88, kQOffset};

void compute_family(const uint8_t* source, const Family& f, uint8_t* parity) {
  const int size = f.vectors * f.length;
  for (int v = 0; v < f.vectors; ++v) {
    int index = (v >> 1) * f.start_step + (v & 1);
    uint8_t a = 0, b = 0;
    for (int n = 0; n < f.length; ++n) {
      const uint8_t byte = source[index];
      index += f.step;
      if (index >= size) index -= size;
      a ^= byte;
      b ^= byte;
      a = kTables.times2[a];
    }
    a = kTables.undo[kTables.times2[a] ^ b];
    parity[v] = a;
    parity[v + f.vectors] = static_cast<uint8_t>(a ^ b);
  }
}

}  // namespace

void compute_sector_ecc(uint8_t* raw_sector) {
  // Mode 2 parity treats the header as zero bytes: clear it for the
  // computation and put it back.
  uint8_t header[kHeaderBytes];
  const bool mode2 = raw_sector[kModeOffset] == kMode2;
  if (mode2) {
    std::memcpy(header, raw_sector + kHeaderOffset, kHeaderBytes);
    std::memset(raw_sector + kHeaderOffset, 0, kHeaderBytes);
  }
  compute_family(raw_sector + kHeaderOffset, kP, raw_sector + kP.offset);
  compute_family(raw_sector + kHeaderOffset, kQ, raw_sector + kQ.offset);
  if (mode2) std::memcpy(raw_sector + kHeaderOffset, header, kHeaderBytes);
}
