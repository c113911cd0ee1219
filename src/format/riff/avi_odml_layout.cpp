#include "format/riff/avi_odml_layout.hpp"

#include <cstring>

#include "base/byte_order.hpp"
#include "format/riff/avi_layout.hpp"

namespace {

constexpr uint32_t kBytesPerPixel = 3;
constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kPictureIndexFlags = 8;   // the key-frame flag 0x10 is not set
constexpr uint32_t kSoundIndexFlags = 0x10;  // a key frame
constexpr uint32_t kBitmapInfoBytes = 40;
constexpr uint32_t kPlanes = 1;
constexpr uint32_t kBitsPerPixel = 24;
constexpr uint32_t kMainHeaderBytes = 56;
constexpr uint32_t kStreamHeaderBytes = 64;
// The sound format is WAVE_FORMAT_EXTENSIBLE, so that the channel layout is
// stated rather than guessed: the 16 bytes of a PCM format, 22 more bytes
// (valid bits, speaker mask, the PCM sub-format identifier).
constexpr uint32_t kWaveFormatBytes = 40;
constexpr uint32_t kExtensibleFormatTag = 0xFFFE;
constexpr uint32_t kExtensionBytes = 22;
constexpr uint32_t kBitsPerSample = 16;
constexpr uint32_t kSpeakerFrontCentre = 0x4;
constexpr uint32_t kSpeakersFrontLeftRight = 0x3;
// KSDATAFORMAT_SUBTYPE_PCM, {00000001-0000-0010-8000-00AA00389B71}, as stored.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint32_t kDmlhBytes = 248;                // total frames, then reserved words
constexpr uint32_t kSuperIndexHeaderBytes = 24;     // after the chunk header
constexpr uint32_t kLongsPerSuperEntry = 4;
constexpr uint32_t kLongsPerStandardEntry = 2;
constexpr uint8_t kIndexOfIndexes = 0;
constexpr uint8_t kIndexOfChunks = 1;
constexpr uint32_t kMoviListOffset = 2036;          // "LIST" size "movi" closes the header
constexpr uint32_t kSecondStreamItem = 220;         // after the picture stream's "strf"

// Header space after the picture stream's format: the list headers and
// chunks that do not depend on the index capacity.
constexpr uint32_t kSoundListFixedBytes = 12 + 8 + kStreamHeaderBytes + 8 + kWaveFormatBytes;
constexpr uint32_t kOdmlListBytes = 12 + 8 + kDmlhBytes;
constexpr uint32_t kJunkHeaderBytes = 8;
constexpr uint32_t kSuperIndexFixedBytes = 8 + kSuperIndexHeaderBytes;

// Writes field after field at a moving offset.
struct Cursor {
  uint8_t* base;
  uint32_t at;
  void u16(uint32_t v) { put_le16(base + at, v); at += 2; }
  void u32(uint32_t v) { put_le32(base + at, v); at += 4; }
  void u64(uint64_t v) { u32(static_cast<uint32_t>(v)); u32(static_cast<uint32_t>(v >> 32)); }
  void fourcc(const char* f) { put_fourcc(base + at, f); at += 4; }
  void skip(uint32_t n) { at += n; }
};

uint32_t image_bytes(const AviStreamsHeader& f) { return f.width * f.height * kBytesPerPixel; }

void main_header(Cursor& c, const AviStreamsHeader& f) {
  c.fourcc("avih");
  c.u32(kMainHeaderBytes);
  c.u32(frame_microseconds(f.rate));
  c.u32(f.rate.rate == 0 ? 0 : static_cast<uint32_t>(uint64_t{image_bytes(f)} * f.rate.rate / f.rate.scale));
  c.u32(0);  // padding granularity
  c.u32(kHasIndex);
  c.u32(f.odml ? f.first_riff_frames : f.frames);
  c.u32(0);  // initial frames
  c.u32(f.has_sound ? 2 : 1);
  c.u32(image_bytes(f));
  c.u32(f.width);
  c.u32(f.height);
  c.skip(16);  // reserved
}

void super_index(Cursor& c, uint32_t stream, const AviSuperIndexEntry* entries, uint32_t count,
                 uint32_t capacity) {
  c.fourcc("indx");
  c.u32(kSuperIndexHeaderBytes + capacity * kAviSuperIndexEntryBytes);
  c.u16(kLongsPerSuperEntry);
  c.base[c.at++] = 0;  // sub-type
  c.base[c.at++] = kIndexOfIndexes;
  c.u32(count);
  c.fourcc(avi_chunk_id(stream));
  c.skip(12);  // reserved
  for (uint32_t i = 0; i < capacity; ++i) {
    if (i < count) {
      c.u64(entries[i].offset);
      c.u32(entries[i].bytes);
      c.u32(entries[i].duration);
    } else {
      c.skip(kAviSuperIndexEntryBytes);
    }
  }
}

void video_stream(Cursor& c, const AviStreamsHeader& f, uint32_t capacity) {
  const uint32_t list = c.at;
  c.fourcc("LIST");
  c.skip(4);  // size, below
  c.fourcc("strl");
  c.fourcc("strh");
  c.u32(kStreamHeaderBytes);
  c.fourcc("vids");
  c.fourcc("DIB ");
  c.u32(0);  // flags
  c.u32(0);  // priority, language
  c.u32(0);  // initial frames
  c.u32(f.rate.scale);
  c.u32(f.rate.rate);
  c.u32(f.video_start);
  c.u32(f.frames);
  c.u32(image_bytes(f));
  c.u32(0);  // quality
  c.u32(0);  // sample size
  c.u32(0);  // frame rectangle
  c.u32(0);
  c.u32(f.width);
  c.u32(f.height);
  c.fourcc("strf");
  c.u32(kBitmapInfoBytes);
  c.u32(kBitmapInfoBytes);
  c.u32(f.width);
  c.u32(f.height);
  c.u16(kPlanes);
  c.u16(kBitsPerPixel);
  c.u32(0);  // compression
  c.u32(image_bytes(f));
  c.skip(16);  // resolutions, colours
  if (f.odml) super_index(c, kAviVideoStream, f.video_index, f.video_index_count, capacity);
  put_le32(c.base + list + 4, c.at - list - 8);
}

void sound_stream(Cursor& c, const AviStreamsHeader& f, uint32_t capacity) {
  const uint32_t block = avi_sound_block_bytes(f.sound);
  const uint32_t list = c.at;
  c.fourcc("LIST");
  c.skip(4);
  c.fourcc("strl");
  c.fourcc("strh");
  c.u32(kStreamHeaderBytes);
  c.fourcc("auds");
  c.u32(0);  // handler
  c.u32(0);  // flags
  c.u32(0);  // priority, language
  c.u32(0);  // initial frames
  c.u32(block);                      // scale: one sample frame ...
  c.u32(f.sound.sample_rate * block);  // ... at the byte rate
  c.u32(0);  // start
  c.u32(f.sound_frames);
  c.u32(f.sound_buffer);
  c.u32(0);  // quality
  c.u32(block);  // sample size
  c.skip(16);  // frame rectangle
  c.fourcc("strf");
  c.u32(kWaveFormatBytes);
  c.u16(kExtensibleFormatTag);
  c.u16(f.sound.channels);
  c.u32(f.sound.sample_rate);
  c.u32(f.sound.sample_rate * block);
  c.u16(block);
  c.u16(kBitsPerSample);
  c.u16(kExtensionBytes);
  c.u16(kBitsPerSample);  // valid bits
  c.u32(f.sound.channels == 1 ? kSpeakerFrontCentre : kSpeakersFrontLeftRight);
  std::memcpy(c.base + c.at, kPcmSubFormat, sizeof kPcmSubFormat);
  c.skip(sizeof kPcmSubFormat);
  if (f.odml) super_index(c, kAviSoundStream, f.sound_index, f.sound_index_count, capacity);
  put_le32(c.base + list + 4, c.at - list - 8);
}

}  // namespace

const char* avi_chunk_id(uint32_t stream) { return stream == kAviVideoStream ? "00db" : "01wb"; }
const char* avi_standard_index_id(uint32_t stream) { return stream == kAviVideoStream ? "ix00" : "ix01"; }

uint32_t avi_super_index_capacity(bool has_sound) {
  uint32_t room = kMoviListOffset - kSecondStreamItem - kOdmlListBytes - kJunkHeaderBytes;
  if (has_sound) room -= kSoundListFixedBytes;
  const uint32_t streams = has_sound ? 2 : 1;
  return (room / streams - kSuperIndexFixedBytes) / kAviSuperIndexEntryBytes;
}

void build_streams_avi_header(uint8_t* h, const AviStreamsHeader& f) {
  std::memset(h, 0, kAviHeaderBytes);
  const uint32_t capacity = avi_super_index_capacity(f.has_sound);
  Cursor c{h, 0};
  c.fourcc("RIFF");
  c.u32(f.riff_size);
  c.fourcc("AVI ");
  c.fourcc("LIST");
  c.skip(4);  // hdrl size, below
  c.fourcc("hdrl");
  main_header(c, f);
  video_stream(c, f, capacity);
  if (f.has_sound) sound_stream(c, f, capacity);
  if (f.odml) {
    c.fourcc("LIST");
    c.u32(kOdmlListBytes - 8);
    c.fourcc("odml");
    c.fourcc("dmlh");
    c.u32(kDmlhBytes);
    c.u32(f.frames);
    c.skip(kDmlhBytes - 4);
  }
  put_le32(h + 16, c.at - 20);  // the hdrl list counts its type
  c.fourcc("JUNK");
  c.u32(kMoviListOffset - c.at - 4);
  c.at = kMoviListOffset;
  c.fourcc("LIST");
  c.u32(f.movi_size);
  c.fourcc("movi");
}

void build_avix_start(uint8_t* out, uint32_t riff_size, uint32_t movi_size) {
  build_avi_chunk_header(out, "RIFF", riff_size);
  put_fourcc(out + 8, "AVIX");
  build_avi_chunk_header(out + 12, "LIST", movi_size);
  put_fourcc(out + 20, "movi");
}

void build_stream_index_entry(uint8_t* e, uint32_t stream, uint32_t offset, uint32_t size) {
  put_fourcc(e, avi_chunk_id(stream));
  put_le32(e + 4, stream == kAviVideoStream ? kPictureIndexFlags : kSoundIndexFlags);
  put_le32(e + 8, offset);
  put_le32(e + 12, size);
}

void build_standard_index_header(uint8_t* out, uint32_t stream, uint32_t entries, uint64_t base) {
  put_le16(out, kLongsPerStandardEntry);
  out[2] = 0;  // sub-type
  out[3] = kIndexOfChunks;
  put_le32(out + 4, entries);
  put_fourcc(out + 8, avi_chunk_id(stream));
  put_le32(out + 12, static_cast<uint32_t>(base));
  put_le32(out + 16, static_cast<uint32_t>(base >> 32));
  put_le32(out + 20, 0);  // reserved
}

void build_standard_index_entry(uint8_t* out, uint32_t data_offset, uint32_t size) {
  put_le32(out, data_offset);
  put_le32(out + 4, size);
}
