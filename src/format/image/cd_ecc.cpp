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

// Multiplication by 2 in the field, by shift and reduction rather than a
// table, so that a loop over many bytes can do it for several at once.
constexpr uint8_t times2(uint8_t x) {
  return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? (kFieldPolynomial & 0xFF) : 0));
}

// The inverse of (x -> x ^ 2x).
constexpr std::array<uint8_t, 256> make_undo() {
  std::array<uint8_t, 256> undo{};
  for (int i = 0; i < 256; ++i) undo[i ^ times2(static_cast<uint8_t>(i))] = static_cast<uint8_t>(i);
  return undo;
}

constexpr std::array<uint8_t, 256> kUndo = make_undo();

// One parity family: `vectors` vectors of `length` bytes each; vector v
// starts at (v / 2) * start_step + (v & 1) and steps by `step` bytes,
// wrapping inside vectors * length bytes. Each vector keeps two running
// sums over its bytes: a (doubled after each byte) and b.
struct Family {
  int vectors;
  int length;
  int start_step;
  int step;
  int offset;
};
constexpr Family kP = {86, 24, 2, 86, kPOffset};
constexpr Family kQ = {52, 43, 86, 88, kQOffset};

// The two parity bytes of each vector from its running sums.
void finish_family(const Family& f, const uint8_t* a, const uint8_t* b, uint8_t* parity) {
  for (int v = 0; v < f.vectors; ++v) {
    const uint8_t p = kUndo[times2(a[v]) ^ b[v]];
    parity[v] = p;
    parity[v + f.vectors] = static_cast<uint8_t>(p ^ b[v]);
  }
}

// P: vector v starts at byte v and steps by a whole row, so the vectors are
// the columns of rows of 86 bytes, all worked on at once, row after row.
static_assert(kP.start_step == 2 && kP.step == kP.vectors);
void compute_p(const uint8_t* source, uint8_t* parity) {
  uint8_t a[kP.vectors] = {}, b[kP.vectors] = {};
  for (int n = 0; n < kP.length; ++n) {
    const uint8_t* row = source + n * kP.vectors;
    for (int v = 0; v < kP.vectors; ++v) {
      a[v] = times2(static_cast<uint8_t>(a[v] ^ row[v]));
      b[v] = static_cast<uint8_t>(b[v] ^ row[v]);
    }
  }
  finish_family(kP, a, b, parity);
}

// Q: the diagonals, each a step further on at every turn, all at once.
void compute_q(const uint8_t* source, uint8_t* parity) {
  constexpr int kSize = kQ.vectors * kQ.length;
  uint8_t a[kQ.vectors] = {}, b[kQ.vectors] = {};
  int index[kQ.vectors];
  for (int v = 0; v < kQ.vectors; ++v) index[v] = (v >> 1) * kQ.start_step + (v & 1);
  for (int n = 0; n < kQ.length; ++n)
    for (int v = 0; v < kQ.vectors; ++v) {
      const uint8_t byte = source[index[v]];
      a[v] = times2(static_cast<uint8_t>(a[v] ^ byte));
      b[v] = static_cast<uint8_t>(b[v] ^ byte);
      index[v] += kQ.step;
      if (index[v] >= kSize) index[v] -= kSize;
    }
  finish_family(kQ, a, b, parity);
}

}  // namespace

void compute_sector_ecc(uint8_t* raw_sector) {
  // Mode 2 parity treats the header as zero bytes: clear it for the
  // computation and put it back.
  uint8_t header[kHeaderBytes] = {};
  const bool mode2 = raw_sector[kModeOffset] == kMode2;
  if (mode2) {
    std::memcpy(header, raw_sector + kHeaderOffset, kHeaderBytes);
    std::memset(raw_sector + kHeaderOffset, 0, kHeaderBytes);
  }
  compute_p(raw_sector + kHeaderOffset, raw_sector + kP.offset);
  compute_q(raw_sector + kHeaderOffset, raw_sector + kQ.offset);
  if (mode2) std::memcpy(raw_sector + kHeaderOffset, header, kHeaderBytes);
}
