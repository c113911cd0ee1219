// The 2336-byte form of a CD-ROM XA Mode 2 sector: the 8-byte subheader
// (file, channel, submode, coding info, then a copy) and 2328 data bytes.
// The audio and video sector tests are the ones the whole program uses.
#pragma once

#include <cstdint>

constexpr int kSectorBytes = 2336;      // subheader + data: the form read and written
constexpr int kUserDataBytes = 2048;    // Form 1 user data (ISO 9660 structures)
constexpr int kRawSectorBytes = 2352;   // sync + header + the 2336 bytes
constexpr int kSubheaderBytes = 8;      // the data start this far into the 2336-byte form
constexpr int kRawPrefixBytes = 16;     // 12 bytes of sync and 4 of header in the raw form

// Subheader fields, offsets into the 2336-byte form.
constexpr int kFileNumberOffset = 0;
constexpr int kChannelNumberOffset = 1;
constexpr int kSubmodeOffset = 2;
constexpr int kCodingInfoOffset = 3;

// Submode bits.
constexpr uint8_t kSubmodeEndOfRecord = 0x01;
constexpr uint8_t kSubmodeVideo = 0x02;
constexpr uint8_t kSubmodeAudio = 0x04;
constexpr uint8_t kSubmodeData = 0x08;
constexpr uint8_t kSubmodeTrigger = 0x10;
constexpr uint8_t kSubmodeForm2 = 0x20;
constexpr uint8_t kSubmodeRealTime = 0x40;
constexpr uint8_t kSubmodeEndOfFile = 0x80;

// Coding info bits of an audio sector.
constexpr uint8_t kCodingStereo = 0x01;
constexpr uint8_t kCodingHalfRate = 0x04;     // 18900 Hz instead of 37800 Hz
constexpr uint8_t kCodingBitsMask = 0x30;     // 0x10 = 8-bit samples (decoded as 4-bit anyway)
constexpr uint8_t kCodingEmphasis = 0x40;

// The sound format an audio sector's coding byte announces.
constexpr uint32_t kXaFullRate = 37800;
constexpr uint32_t kXaHalfRate = 18900;
struct XaCoding {
  uint32_t sample_rate;  // 37800 or 18900
  uint32_t channels;     // 1 or 2
};
inline XaCoding xa_coding(uint8_t coding) {
  return {(coding & kCodingHalfRate) != 0 ? kXaHalfRate : kXaFullRate,
          (coding & kCodingStereo) != 0 ? 2u : 1u};
}

// The end (exclusive) of a search window: the sectors of one stream lie at
// most `window` sectors apart, and no search goes past the end of the input.
// Worked out in 64 bits, so no window is large enough to wrap around. A
// window that starts before the first sector (a damaged catalogue record)
// is empty: nothing before sector 0 is ever read.
inline int32_t search_window_end(int32_t from, uint32_t window, int32_t end) {
  if (from < 0) return from;
  const int64_t limit = static_cast<int64_t>(from) + window;
  return limit < end ? static_cast<int32_t>(limit) : end;
}

// Audio sector: audio and Form 2 both set.
inline bool is_audio_sector(const uint8_t* sector) {
  return (sector[kSubmodeOffset] & (kSubmodeAudio | kSubmodeForm2)) ==
         (kSubmodeAudio | kSubmodeForm2);
}

// Video sector: data set and Form 2 clear, or the video bit set.
inline bool is_video_sector(const uint8_t* sector) {
  const uint8_t submode = sector[kSubmodeOffset];
  return (submode & (kSubmodeData | kSubmodeForm2)) == kSubmodeData ||
         (submode & kSubmodeVideo) != 0;
}
