// Record sizes of the track kinds and their 2336-byte form.
#include "format/image/disc_tracks.hpp"

#include <cstring>

#include "format/disc/xa_sector.hpp"

namespace {

constexpr int kMode1DataEnd = kRawPrefixBytes + kUserDataBytes;  // user data ends here in a raw Mode 1 record
constexpr int kMode1EdcBytes = 4;
constexpr int kMode1ZeroBytes = 8;  // the unused bytes between EDC and ECC
constexpr int kMode1EccOffset = kMode1DataEnd + kMode1EdcBytes + kMode1ZeroBytes;

}  // namespace

int track_record_bytes(TrackKind kind) {
  switch (kind) {
    case TrackKind::Mode2: return kSectorBytes;
    case TrackKind::Mode1: return kUserDataBytes;
    case TrackKind::Mode2Raw:
    case TrackKind::Mode1Raw:
    case TrackKind::Audio: break;
  }
  return kRawSectorBytes;
}

const DiscTrack* first_data_track(const std::vector<DiscTrack>& tracks) {
  for (const DiscTrack& track : tracks)
    if (track.kind != TrackKind::Audio) return &track;
  return nullptr;
}

void record_to_sector_form(TrackKind kind, const uint8_t* record, uint8_t* sector) {
  switch (kind) {
    case TrackKind::Mode2Raw:
      std::memcpy(sector, record + kRawPrefixBytes, kSectorBytes);
      return;
    case TrackKind::Mode2:
      std::memcpy(sector, record, kSectorBytes);
      return;
    case TrackKind::Mode1Raw: {
      // Empty subheader, user data, EDC, then the ECC (the zero bytes are left out).
      std::memset(sector, 0, kSubheaderBytes);
      std::memcpy(sector + kSubheaderBytes, record + kRawPrefixBytes, kUserDataBytes + kMode1EdcBytes);
      const int ecc_at = kSubheaderBytes + kUserDataBytes + kMode1EdcBytes;
      std::memcpy(sector + ecc_at, record + kMode1EccOffset, kRawSectorBytes - kMode1EccOffset);
      return;
    }
    case TrackKind::Mode1:
    case TrackKind::Audio:
      break;
  }
  std::memset(sector, 0, kSectorBytes);
  if (kind == TrackKind::Mode1) std::memcpy(sector + kSubheaderBytes, record, kUserDataBytes);
}
