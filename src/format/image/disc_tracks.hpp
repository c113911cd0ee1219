// The tracks of a CD image as CUE sheets and CHD files describe them: the
// kind of records each track stores, where it lies on the disc (sector
// numbers count from the first track's index 1, as ISO 9660 extents do) and
// where its records lie in the container; and the 2336-byte form of a stored
// record of each data kind.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

enum class TrackKind : uint8_t {
  Mode2Raw,  // 2352-byte records: sync, header, subheader and data
  Mode2,     // 2336-byte records: subheader and data
  Mode1Raw,  // 2352-byte Mode 1 records: sync, header, 2048 data bytes, EDC, 8 zero bytes, ECC
  Mode1,     // 2048-byte records: the user data alone
  Audio,     // 2352-byte CD audio frames, never read as sectors
};

// A kind as a text names it (a CUE sheet's track type, a CHD track's TYPE).
struct TrackTypeName {
  std::string_view name;
  TrackKind kind;
};

// Bytes a record of the kind takes in a file (2352, 2336 or 2048).
int track_record_bytes(TrackKind kind);

struct DiscTrack {
  int number = 0;
  TrackKind kind = TrackKind::Mode2Raw;
  int64_t first_sector = 0;  // disc sector of the first stored record (index 0 when it is stored)
  int64_t sectors = 0;       // stored records
  int file = 0;              // CUE sheets: which of the sheet's files holds the records
  uint64_t location = 0;     // CUE: byte offset of the first record in its file; CHD: its frame number
};

// The first track that is not CD audio, or nullptr when every track is audio.
const DiscTrack* first_data_track(const std::vector<DiscTrack>& tracks);

// Writes the 2336-byte form of one stored record of a data kind: raw records
// lose their sync and header; Mode 1 records get an empty subheader in front
// of their user data (and keep EDC and ECC when they were stored).
void record_to_sector_form(TrackKind kind, const uint8_t* record, uint8_t* sector);
