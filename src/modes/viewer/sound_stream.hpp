// Sound streaming of the viewer: every audio sector the scan meets is
// decoded at once into the next 8064-byte block of a looping 32-block
// buffer; silent blocks stand in for audio sectors that did not come.
#pragma once

#include <cstdint>

#include "format/viewer/routine_table.hpp"
#include "format/xa/adpcm_decoder.hpp"

constexpr uint32_t kSoundBlockBytes = 8064;                  // one sector's 4032 samples
constexpr uint32_t kSoundBufferBlocks = 32;
constexpr uint32_t kSoundBufferBytes = kSoundBlockBytes * kSoundBufferBlocks;  // 258048

// One audio sector's sound groups (from its data start) to 4032 samples:
// mono in group and unit order, or stereo as 2016 interleaved pairs, left
// from the even units and right from the odd ones.
void decode_viewer_sound_sector(const uint8_t* groups, uint32_t channels, AdpcmHistory& left,
                                AdpcmHistory& right, SoundUnitFn unit, int16_t* block);

// 0 on success (also with Sound OFF), -1 when the sound buffer fails.
int write_sound_sector(const uint8_t* sector);
int write_silence_block();
