// Small CHD files written field by field, for tests and fuzz seeds: a CD of
// one MODE2_RAW track in hunks of eight frames, either without codecs (a
// plain map of block numbers) or with one CD codec under a compressed map
// whose types are coded in four bits each. Every third hunk is stored
// uncompressed and hunks equal to an earlier one are stored as copies of it.
// The caller compresses: the codec's tag and a function that packs the
// sector part and the subcode part of a hunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

using ChdPack = std::function<std::vector<uint8_t>(const uint8_t* data, size_t size)>;

struct ChdCodec {
  char tag[5] = "";  // "cdzl", "cdzs", ...; empty: no codec, a plain map
  ChdPack pack;
};

// Deflate in one stored block: a cdzl packer that needs no library.
std::vector<uint8_t> stored_deflate(const uint8_t* data, size_t size);

// raw_sectors: the track's 2352-byte sectors, one after another.
std::vector<uint8_t> write_test_chd(const std::vector<uint8_t>& raw_sectors, const ChdCodec& codec);
