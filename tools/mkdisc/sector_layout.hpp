// The CD-ROM XA Mode 2 sector as the synthesiser lays it out: its sizes in
// the 2336-byte and raw 2352-byte forms, the subheader's fields and the bits
// of its submode and coding bytes. Kept apart from korvane's own copy so that
// a mistake in one shows against the other (tests/tools/encoder_tables_test).
#pragma once

#include <cstdint>

namespace mkdisc {

constexpr int kMode2SectorBytes = 2336;  // subheader + 2328 data bytes: what the builders produce
constexpr int kCdSectorBytes = 2352;     // the whole sector as a drive reads it raw
constexpr int kSyncHeaderBytes = 16;     // 12 sync bytes and the 4-byte address and mode before the 2336

// The 8-byte subheader: four bytes, then the same four again.
namespace subheader {
constexpr int kBytes = 8;
constexpr int kFile = 0;
constexpr int kChannel = 1;
constexpr int kSubmode = 2;
constexpr int kCodingInfo = 3;
constexpr int kCopy = 4;
}  // namespace subheader

// The bits of the submode byte.
namespace submode {
constexpr uint8_t kEndOfRecord = 0x01;
constexpr uint8_t kVideo = 0x02;
constexpr uint8_t kAudio = 0x04;
constexpr uint8_t kData = 0x08;
constexpr uint8_t kTrigger = 0x10;
constexpr uint8_t kForm2 = 0x20;
constexpr uint8_t kRealTime = 0x40;
constexpr uint8_t kEndOfFile = 0x80;
}  // namespace submode

// The bits of an audio sector's coding byte that the synthesiser sets.
namespace coding {
constexpr uint8_t kStereo = 0x01;
constexpr uint8_t kHalfRate = 0x04;  // 18900 Hz instead of 37800 Hz
}  // namespace coding

}  // namespace mkdisc
