// CRC-16/CCITT (polynomial 0x1021, start 0xFFFF, most significant bit
// first), the checksum of CHD hunks and of the decoded CHD hunk map.
#pragma once

#include <cstddef>
#include <cstdint>

uint16_t crc16_ccitt(const uint8_t* data, size_t length);
