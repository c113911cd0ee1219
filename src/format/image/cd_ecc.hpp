// The error-correction bytes of Mode 1 and Mode 2 Form 1 CD sectors: the P
// and Q parity (Reed-Solomon product code over GF(2^8)) stored in the last
// 276 bytes of the raw 2352-byte sector, and the sync pattern. CHD files
// drop both from sectors whose parity they can rebuild.
#pragma once

#include <cstdint>

constexpr int kCdSyncBytes = 12;
extern const uint8_t kCdSyncPattern[kCdSyncBytes];  // 00, ten FF, 00

// Computes the P and Q parity of a raw 2352-byte sector from its header and
// data and stores them in place. For a Mode 2 sector (mode byte 2) the
// header counts as zero bytes, as Form 1 parity is defined.
void compute_sector_ecc(uint8_t* raw_sector);
