// Sound streaming of the viewer: every audio sector the scan meets is
// decoded at once into the next block of a looping buffer (32 blocks of 8064
// bytes for 4-bit sound, 64 of 4032 for 8-bit sound, which carries half the
// samples a sector); silent blocks stand in for audio sectors that did not
// come.
#pragma once

#include <cstdint>

#include "format/disc/xa_sector.hpp"
#include "format/viewer/routine_table.hpp"
#include "format/xa/adpcm_decoder.hpp"
#include "state/viewer_state.hpp"

constexpr uint32_t kSoundBlockBytes = 8064;                  // one 4-bit sector's 4032 samples
constexpr uint32_t kSoundBlockBytes8Bit = 4032;              // one 8-bit sector's 2016 samples
constexpr uint32_t kSoundBufferBlocks = 32;
constexpr uint32_t kSoundBufferBytes = kSoundBlockBytes * kSoundBufferBlocks;  // 258048
static_assert(kSoundBufferBytes % kSoundBlockBytes8Bit == 0, "8-bit blocks never wrap");

// The bytes one audio sector of the stream fills (and one silent block).
uint32_t sound_block_bytes(uint32_t bits);

// One audio sector's sound groups (from its data start) to 4032 samples
// (2016 for 8-bit sound): mono in group and unit order, or stereo as
// interleaved pairs, left from the even units and right from the odd ones.
// 4-bit units go through unit; 8-bit units through viewer_sound_unit_8bit.
void decode_viewer_sound_sector(const uint8_t* groups, uint32_t channels, uint32_t bits,
                                AdpcmHistory& left, AdpcmHistory& right, SoundUnitFn unit,
                                int16_t* block);

// 0 on success (also with Sound OFF), -1 when the sound buffer fails.
int write_sound_sector(const uint8_t* sector);
int write_silence_block();
