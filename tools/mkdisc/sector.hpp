// Sectors as the synthesiser builds them: the 2336-byte form (8-byte XA
// subheader, then 2328 data bytes), lists of them, and the error every
// builder throws for a description it cannot honour.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/mkdisc/sector_layout.hpp"

namespace mkdisc {

using Sector = std::array<uint8_t, kMode2SectorBytes>;
using SectorList = std::vector<Sector>;

// A value the builders cannot use; the message names the value.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Submodes used by real discs.
constexpr uint8_t kVideoSubmode = submode::kData | submode::kRealTime;                     // 0x48
constexpr uint8_t kAudioSubmode = submode::kAudio | submode::kForm2 | submode::kRealTime;  // 0x64
constexpr uint8_t kDataSubmode = submode::kData;                                          // 0x08, Form 1

// A zero sector with its subheader (and the subheader's copy) filled in.
Sector make_sector(int file_number, int channel_number, uint8_t submode, uint8_t coding_info);

// Throws Error when file or channel is outside 0..255 (`what` names the role).
void check_subheader_number(const char* what, int value);

}  // namespace mkdisc
