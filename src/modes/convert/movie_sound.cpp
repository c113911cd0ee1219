// -with-sound: the movie's XA stream followed as its frames are written.
// The stream is found as -audio finds it (first two sectors of the file
// and channel within the search window; the interleave is their distance),
// or as the scan links audio to a movie; it then runs at its interleave
// until a sector does not match. Its sectors are read into a buffer of
// their own and never marked, so the scan's audio pass still writes them
// to the movie's WAV file.
#include "modes/convert/movie_sound.hpp"

#include <algorithm>
#include <cstring>

#include "format/xa/adpcm_decoder.hpp"
#include "format/timing/movie_rate.hpp"
#include "format/timing/sound_placement.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/avi_writer.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/xa_decode.hpp"
#include "state/movie_context.hpp"
#include "state/scan_state.hpp"
#include "state/soundtrack.hpp"

namespace {

constexpr uint32_t kNoSector = UINT32_MAX;
// A long stream after the last frame is written in chunks of at most this
// many bytes, so that no more than this is ever held.
constexpr size_t kLargestSoundChunk = 64 * 8064;

uint8_t sound_sector[kSectorBytes];

bool read_sound_sector(uint32_t sector) {
  read_sectors(static_cast<int32_t>(sector), 1, sound_sector);
  return is_audio_sector(sound_sector);
}

bool of_stream(uint32_t sector) {
  bool audio = false;
  for (KeptSoundSector& k : soundtrack.kept) {
    if (k.sector != sector) continue;
    std::memcpy(sound_sector, k.bytes.data(), kSectorBytes);
    k.sector = UINT32_MAX;
    audio = true;
    break;
  }
  if (!audio) audio = read_sound_sector(sector);
  return audio && sound_sector[kFileNumberOffset] == soundtrack.file_number &&
         sound_sector[kChannelNumberOffset] == soundtrack.channel_number;
}

// The first sector of the stream's file and channel in [from, from + window),
// below read_end.
uint32_t search_stream(uint32_t from) {
  const int32_t limit = search_window_end(static_cast<int32_t>(from), movie.search_window,
                                          static_cast<int32_t>(soundtrack.read_end));
  for (int32_t s = static_cast<int32_t>(from); s < limit; ++s)
    if (of_stream(static_cast<uint32_t>(s))) return static_cast<uint32_t>(s);
  return kNoSector;
}

// With the first sector known: the second, its coding and the interleave.
bool take_second(uint32_t first) {
  soundtrack.first = first;
  const uint32_t second = first + 1 < soundtrack.read_end ? search_stream(first + 1) : kNoSector;
  if (second == kNoSector) return false;
  soundtrack.second = second;
  soundtrack.coding_info = sound_sector[kCodingInfoOffset];
  soundtrack.next = first;
  soundtrack.found = true;
  return true;
}

// The scan's link: the first unused sound sector from search_from on,
// below `limit`, whose stream has a second sector.
void search_scan_link(uint32_t limit) {
  while (!soundtrack.found && soundtrack.search_from < limit) {
    const uint32_t s = soundtrack.search_from++;
    if (sector_is_used(static_cast<int32_t>(s)) || !read_sound_sector(s)) continue;
    soundtrack.file_number = sound_sector[kFileNumberOffset];
    soundtrack.channel_number = sound_sector[kChannelNumberOffset];
    take_second(s);
  }
}

uint32_t sound_sectors_per_second() {
  return disc_sectors_per_second(xa_coding(soundtrack.coding_info), soundtrack.second - soundtrack.first);
}

// Silence before the first sound when the first frame shows before it.
void start_sound() {
  const XaCoding coding = xa_coding(soundtrack.coding_info);
  start_avi_sound(coding.sample_rate, coding.channels);
  soundtrack.sound_started = true;
  AviSoundSync& sync = movie.avi.sync;
  sync.known = soundtrack.frame_seen;
  sync.first_frame_last_sector = soundtrack.first_frame_last_sector;
  sync.first_sound_sector = soundtrack.first;
  sync.sectors_per_second = sound_sectors_per_second();
  if (!sync.known) return;
  const uint64_t silence = leading_silence_frames(sync.first_frame_last_sector, sync.first_sound_sector,
                                                  sync.sectors_per_second, coding.sample_rate);
  soundtrack.pcm.assign(silence * coding.channels * 2, 0);
}

// The stream's sectors below `limit` not yet taken, at most `most` of them,
// into sound; returns false once no more lie below the limit.
bool gather_below(uint32_t limit, size_t most, FrameSound& sound) {
  if (!soundtrack.found || soundtrack.ended || soundtrack.second >= limit) return false;
  sound.coding = xa_coding(soundtrack.coding_info);
  while (soundtrack.next < limit && soundtrack.next < soundtrack.read_end) {
    if (sound.sectors == most) return true;
    if (!of_stream(soundtrack.next)) {
      soundtrack.ended = true;
      break;
    }
    sound.data.insert(sound.data.end(), sound_sector + kSubheaderBytes,
                      sound_sector + kSubheaderBytes + kSoundDataBytes);
    ++sound.sectors;
    soundtrack.next += soundtrack.second - soundtrack.first;
  }
  return false;
}

// The decoded sectors into the AVI: the sound starts with the first of
// them; a chunk is written whenever the largest is reached, and what is
// left once `last`.
void write_pieces(const FrameSound& sound, bool last) {
  if (sound.sectors > 0 && !soundtrack.sound_started) start_sound();
  // A frame's sound with nothing held before it (the usual case) is one
  // chunk as it stands.
  if (last && soundtrack.pcm.empty() && sound.pcm.size() < kLargestSoundChunk) {
    write_avi_sound(sound.pcm.data(), static_cast<uint32_t>(sound.pcm.size()));
    return;
  }
  const size_t piece = sound.sectors == 0 ? 0 : sound.pcm.size() / sound.sectors;
  for (size_t i = 0; i < sound.sectors; ++i) {
    soundtrack.pcm.insert(soundtrack.pcm.end(), sound.pcm.begin() + static_cast<ptrdiff_t>(i * piece),
                          sound.pcm.begin() + static_cast<ptrdiff_t>((i + 1) * piece));
    if (soundtrack.pcm.size() >= kLargestSoundChunk) {
      write_avi_sound(soundtrack.pcm.data(), static_cast<uint32_t>(soundtrack.pcm.size()));
      soundtrack.pcm.clear();
    }
  }
  if (!last) return;
  write_avi_sound(soundtrack.pcm.data(), static_cast<uint32_t>(soundtrack.pcm.size()));
  soundtrack.pcm.clear();
}

// What is done for every frame before its sound is taken.
void before_frame(uint32_t frame_end) {
  if (!soundtrack.frame_seen) {
    soundtrack.frame_seen = true;
    soundtrack.first_frame_last_sector = frame_end - 1;
  }
  if (soundtrack.scan_link) search_scan_link(frame_end);
}

// The stream's sectors below `limit`, a largest chunk's worth at a time, so
// no more than that is ever held.
void emit_below(uint32_t limit) {
  constexpr size_t kSectorsAtOnce = kLargestSoundChunk / kPcmBytesPerSector;
  FrameSound sound;
  for (bool more = true; more;) {
    sound.data.clear();
    sound.sectors = 0;
    more = gather_below(limit, kSectorsAtOnce, sound);
    decode_frame_sound(sound);
    write_pieces(sound, !more);
  }
}

}  // namespace

void begin_soundtrack(SoundtrackChoice choice, uint32_t start, uint32_t read_end) {
  // The stream is looked for before the first frame is read: in the form
  // the movie is read in, whatever form opening the input left behind.
  set_sector_mode(kSectorMode2336);
  soundtrack = Soundtrack{};
  soundtrack.active = true;
  soundtrack.read_end = read_end;
  soundtrack.scan_link = choice == SoundtrackChoice::scan_link;
  if (soundtrack.scan_link) {
    soundtrack.search_from = std::max<int64_t>(int64_t{start} - 1, scan_state.scan_start);
    return;
  }
  soundtrack.file_number = static_cast<uint8_t>(movie.file_number);
  soundtrack.channel_number = static_cast<uint8_t>(movie.channel_number);
  if (start >= read_end) return;
  const uint32_t first = search_stream(start);
  if (first != kNoSector) take_second(first);
}

void offer_sound_sector(uint32_t sector, const uint8_t* bytes) {
  if (!soundtrack.active || !soundtrack.found || soundtrack.ended || sector < soundtrack.next) return;
  if (bytes[kFileNumberOffset] != soundtrack.file_number ||
      bytes[kChannelNumberOffset] != soundtrack.channel_number)
    return;
  for (KeptSoundSector& k : soundtrack.kept) {
    if (k.sector != UINT32_MAX && k.sector >= soundtrack.next) continue;  // still wanted
    k.sector = sector;
    std::memcpy(k.bytes.data(), bytes, kSectorBytes);
    return;
  }
}

void sound_before_frame(uint32_t frame_end) {
  if (!soundtrack.active) return;
  before_frame(frame_end);
  emit_below(frame_end);
}

void gather_frame_sound(uint32_t frame_end, FrameSound& sound) {
  sound.data.clear();
  sound.pcm.clear();
  sound.sectors = 0;
  if (!soundtrack.active) return;
  before_frame(frame_end);
  gather_below(frame_end, SIZE_MAX, sound);
}

void decode_frame_sound(FrameSound& sound) {
  sound.pcm.resize(sound.sectors * kPcmBytesPerSector);
  size_t bytes = 0;
  for (size_t i = 0; i < sound.sectors; ++i)
    bytes += decode_xa_pcm(sound.data.data() + i * kSoundDataBytes, sound.coding, soundtrack.left,
                           soundtrack.right, sound.pcm.data() + bytes);
  sound.pcm.resize(bytes);
}

void write_frame_sound(const FrameSound& sound) {
  if (soundtrack.active) write_pieces(sound, true);
}

void finish_soundtrack(uint32_t end) {
  if (!soundtrack.active) return;
  soundtrack.read_end = std::min(soundtrack.read_end, end);
  if (soundtrack.scan_link) search_scan_link(end);
  emit_below(end);
  soundtrack.active = false;
  soundtrack.pcm.clear();
  soundtrack.pcm.shrink_to_fit();
}
