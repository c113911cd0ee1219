// Reading CHD track metadata and laying the tracks out.
#include "format/image/chd_tracks.hpp"

#include <array>
#include <string>
#include "format/image/chd_cd_frames.hpp"

#include "base/byte_order.hpp"
#include "format/image/decimal_text.hpp"

namespace {

constexpr int kLengthMask = 0x00FFFFFF;  // the entry's first byte after the tag holds flags
constexpr int kLargestTrack = 99;
constexpr int64_t kMostFrames = 1000000;

// MODE2_FORM1 holds the 2048 user bytes of each sector like MODE1; Form 2
// sectors without their subheader (MODE2_FORM2) cannot be read as sectors.
constexpr std::array<TrackTypeName, 7> kTypes = {{
    {"MODE1", TrackKind::Mode1},
    {"MODE1_RAW", TrackKind::Mode1Raw},
    {"MODE2", TrackKind::Mode2},
    {"MODE2_FORM1", TrackKind::Mode1},
    {"MODE2_FORM_MIX", TrackKind::Mode2},
    {"MODE2_RAW", TrackKind::Mode2Raw},
    {"AUDIO", TrackKind::Audio},
}};

// The value after "KEY:" up to the next blank, or an empty view.
std::string_view field(std::string_view text, std::string_view key) {
  size_t at = 0;
  while (true) {
    at = text.find(key, at);
    if (at == std::string_view::npos) return {};
    if (at + key.size() < text.size() && text[at + key.size()] == ':' &&
        (at == 0 || text[at - 1] == ' '))
      break;
    ++at;
  }
  const size_t start = at + key.size() + 1;
  size_t end = start;
  while (end < text.size() && text[end] != ' ' && text[end] != '\0') ++end;
  return text.substr(start, end - start);
}

}  // namespace

ChdMetaEntry parse_chd_meta_entry(const uint8_t* bytes) {
  ChdMetaEntry entry;
  entry.tag = get_be32(bytes);
  entry.length = get_be32(bytes + 4) & kLengthMask;
  entry.next = (static_cast<uint64_t>(get_be32(bytes + 8)) << 32) | get_be32(bytes + 12);
  return entry;
}

const char* parse_chd_track_text(std::string_view text, ChdTrackText* track) {
  int64_t value = 0;
  if (!parse_decimal(field(text, "TRACK"), kLargestTrack, &value)) return "a track without a number";
  track->number = static_cast<int>(value);
  const std::string_view type = field(text, "TYPE");
  bool known = false;
  for (const TrackTypeName& t : kTypes)
    if (type == t.name) {
      track->kind = t.kind;
      known = true;
    }
  if (!known) return "a track type this reader does not know";
  if (!parse_decimal(field(text, "FRAMES"), kMostFrames, &track->frames) || track->frames == 0)
    return "a track without frames";
  track->pregap = 0;
  track->postgap = 0;
  track->pregap_stored = false;
  const std::string_view pregap = field(text, "PREGAP");
  if (!pregap.empty() && !parse_decimal(pregap, kMostFrames, &track->pregap)) return "a bad pregap";
  const std::string_view postgap = field(text, "POSTGAP");
  if (!postgap.empty() && !parse_decimal(postgap, kMostFrames, &track->postgap)) return "a bad postgap";
  const std::string_view pregap_type = field(text, "PGTYPE");
  track->pregap_stored = !pregap_type.empty() && pregap_type[0] == 'V';
  if (track->pregap_stored && track->pregap >= track->frames) return "a pregap longer than its track";
  return nullptr;
}

const char* lay_out_chd_tracks(const std::vector<ChdTrackText>& texts, uint64_t units,
                               std::vector<DiscTrack>* tracks) {
  tracks->clear();
  if (texts.empty()) return "no track list";
  int64_t disc = 0;        // disc position, before the origin is placed
  uint64_t frame = 0;      // frame number in the CHD
  int64_t origin = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    const ChdTrackText& t = texts[i];
    if (t.number != static_cast<int>(i) + 1) return "the tracks are not numbered 1, 2, 3, ...";
    if (!t.pregap_stored) disc += t.pregap;
    DiscTrack track;
    track.number = t.number;
    track.kind = t.kind;
    track.first_sector = disc;
    track.sectors = t.frames;
    track.location = frame;
    if (i == 0) origin = disc + (t.pregap_stored ? t.pregap : 0);
    tracks->push_back(track);
    disc += t.frames + t.postgap;
    const uint64_t padded = (static_cast<uint64_t>(t.frames) + kChdTrackPadding - 1) / kChdTrackPadding *
                            kChdTrackPadding;
    frame += padded;
    // The last track's padding need not be stored.
    if (frame - padded + static_cast<uint64_t>(t.frames) > units) return "the tracks do not fit the CHD";
  }
  for (DiscTrack& track : *tracks) track.first_sector -= origin;
  return nullptr;
}
