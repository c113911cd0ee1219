// The AVI file of a -avi conversion: provisional header, one "00db" chunk a
// frame (bottom row first) and, with -with-sound, "01wb" chunks of 16-bit
// PCM between them; then the index and the completed header.
// Every index entry points at its chunk's real offset and size, so a movie
// whose frame size changes is still readable. When the next chunk would
// carry the first RIFF (with its idx1) past what its 32-bit size can say,
// the file goes on in the OpenDML form: "RIFF AVIX" continuations, each
// with standard indexes of its chunks, a super-index in each stream header.
// A movie without sound that one RIFF holds gets exactly the plain layout.
#include "io/avi_writer.hpp"

#include <algorithm>
#include <cstdio>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "format/riff/avi_layout.hpp"
#include "format/riff/avi_odml_layout.hpp"
#include "format/timing/movie_rate.hpp"
#include "format/timing/sound_placement.hpp"
#include "io/output_file.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kIndexBatchEntries = 256;
constexpr uint64_t kFirstMoviType = kAviMoviTypeOffset;
constexpr int kStandardIndexBytes = kAviChunkHeaderBytes + kAviStandardIndexHeaderBytes;

// The AVI's stdio buffer, larger than the usual 4 KiB: a frame's sound
// chunk (10 KiB at 37800 Hz stereo and 15 frames a second) and the chunk
// headers then join the next frame's write instead of taking writes of
// their own. One AVI is written at a time.
char avi_buffer[32 * 1024];

bool write_bytes(const void* data, size_t bytes) {
  AviState& a = movie.avi;
  if (std::fwrite(data, 1, bytes, a.file) != bytes) return false;
  a.position += bytes;
  return true;
}

void write_or_fail(const void* data, size_t bytes) {
  if (!write_bytes(data, bytes)) fatal_error(kErrWrite, "");
}

// Rewrites bytes already written, then goes back to the end.
bool rewrite_bytes(uint64_t offset, const uint8_t* data, size_t bytes) {
  AviState& a = movie.avi;
  return seek_file(a.file, static_cast<int64_t>(offset)) && std::fwrite(data, 1, bytes, a.file) == bytes &&
         seek_file(a.file, static_cast<int64_t>(a.position));
}

uint64_t chunks_of_stream(const std::vector<AviChunkEntry>& chunks, uint32_t stream) {
  return static_cast<uint64_t>(std::count_if(chunks.begin(), chunks.end(),
                                             [stream](const AviChunkEntry& c) { return c.stream == stream; }));
}

// The standard index chunks of these chunks, one a stream that has any.
uint64_t standard_index_bytes(const std::vector<AviChunkEntry>& chunks, uint64_t extra_video,
                              uint64_t extra_sound) {
  uint64_t bytes = 0;
  for (uint32_t stream : {kAviVideoStream, kAviSoundStream}) {
    const uint64_t n = chunks_of_stream(chunks, stream) + (stream == kAviVideoStream ? extra_video : extra_sound);
    if (n != 0) bytes += kStandardIndexBytes + n * kAviStandardIndexEntryBytes;
  }
  return bytes;
}

// Whether a chunk of `size` data bytes still fits the RIFF being written,
// with the index that must follow it: in the first RIFF its idx1 entry
// (and those of every chunk before it), in a continuation its standard
// index entry.
bool riff_holds(uint32_t stream, uint32_t size) {
  const AviState& a = movie.avi;
  const uint64_t after_chunk = a.position + kAviChunkHeaderBytes + size;
  uint64_t index_bytes;
  if (a.riffs == 1) {
    index_bytes = kAviChunkHeaderBytes + (a.chunks.size() + 1) * uint64_t{kAviIndexEntryBytes};
  } else {
    index_bytes = standard_index_bytes(a.chunks, stream == kAviVideoStream, stream == kAviSoundStream);
  }
  return avi_length_fits(after_chunk + index_bytes - a.riff_start, a.riff_limit);
}

bool write_idx1() {
  AviState& a = movie.avi;
  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, "idx1", static_cast<uint32_t>(a.chunks.size() * kAviIndexEntryBytes));
  if (!write_bytes(chunk_header, sizeof chunk_header)) return false;
  uint8_t batch[kIndexBatchEntries * kAviIndexEntryBytes];
  size_t filled = 0;
  for (const AviChunkEntry& c : a.chunks) {
    build_stream_index_entry(batch + filled * kAviIndexEntryBytes, c.stream, c.movi_offset, c.size);
    if (++filled == kIndexBatchEntries) {
      if (!write_bytes(batch, filled * kAviIndexEntryBytes)) return false;
      filled = 0;
    }
  }
  return filled == 0 || write_bytes(batch, filled * kAviIndexEntryBytes);
}

// "ix00" / "ix01" of the chunks of one RIFF whose "movi" type lies at
// `base`, each entered in its stream's super-index. Fatal when a stream
// header has no room left for another entry.
bool write_standard_indexes(const std::vector<AviChunkEntry>& chunks, uint64_t base) {
  AviState& a = movie.avi;
  const uint32_t capacity = avi_super_index_capacity(a.has_sound);
  for (uint32_t stream : {kAviVideoStream, kAviSoundStream}) {
    const uint64_t n = chunks_of_stream(chunks, stream);
    if (n == 0) continue;
    std::vector<AviSuperIndexEntry>& super = stream == kAviVideoStream ? a.video_index : a.sound_index;
    if (super.size() == capacity) fatal_error(kErrWrite, message_text(Msg::AviTooLarge));
    const uint32_t body = static_cast<uint32_t>(kAviStandardIndexHeaderBytes + n * kAviStandardIndexEntryBytes);
    AviSuperIndexEntry entry;
    entry.offset = a.position;
    entry.bytes = kAviChunkHeaderBytes + body;

    uint8_t head[kStandardIndexBytes];
    build_avi_chunk_header(head, avi_standard_index_id(stream), body);
    build_standard_index_header(head + kAviChunkHeaderBytes, stream, static_cast<uint32_t>(n), base);
    if (!write_bytes(head, sizeof head)) return false;
    uint8_t batch[kIndexBatchEntries * kAviStandardIndexEntryBytes];
    size_t filled = 0;
    uint64_t duration = 0;
    for (const AviChunkEntry& c : chunks) {
      if (c.stream != stream) continue;
      build_standard_index_entry(batch + filled * kAviStandardIndexEntryBytes,
                                 c.movi_offset + kAviChunkHeaderBytes, c.size);
      duration += stream == kAviVideoStream ? 1 : c.size / avi_sound_block_bytes(a.sound);
      if (++filled == kIndexBatchEntries) {
        if (!write_bytes(batch, filled * kAviStandardIndexEntryBytes)) return false;
        filled = 0;
      }
    }
    if (filled != 0 && !write_bytes(batch, filled * kAviStandardIndexEntryBytes)) return false;
    entry.duration = static_cast<uint32_t>(duration);
    super.push_back(entry);
  }
  return true;
}

bool close_first_riff() {
  AviState& a = movie.avi;
  a.first_movi_size = static_cast<uint32_t>(a.position - kFirstMoviType);
  if (!write_idx1()) return false;
  a.first_riff_size = static_cast<uint32_t>(a.position - kAviRiffHeaderBytes);
  a.first_riff_frames = a.frames;
  a.first_riff_chunks = std::move(a.chunks);
  a.chunks.clear();
  return true;
}

bool close_avix() {
  AviState& a = movie.avi;
  if (!write_standard_indexes(a.chunks, a.movi_type)) return false;
  a.chunks.clear();
  uint8_t start[kAviRiffListBytes];
  build_avix_start(start, static_cast<uint32_t>(a.position - a.riff_start - kAviRiffHeaderBytes),
                   static_cast<uint32_t>(a.position - a.movi_type));
  return rewrite_bytes(a.riff_start, start, sizeof start);
}

bool begin_avix() {
  AviState& a = movie.avi;
  a.riff_start = a.position;
  uint8_t start[kAviRiffListBytes];
  build_avix_start(start, 0, 0);  // sizes when it is closed
  if (!write_bytes(start, sizeof start)) return false;
  a.movi_type = a.riff_start + kAviRiffListBytes - kAviFourccBytes;
  ++a.riffs;
  if (a.riffs == 2) {
    // The first RIFF's standard indexes open the second.
    if (!write_standard_indexes(a.first_riff_chunks, kFirstMoviType)) return false;
    a.first_riff_chunks.clear();
    a.first_riff_chunks.shrink_to_fit();
  }
  a.chunks_end = a.position;
  return true;
}

// Appends one chunk, moving on to a new RIFF first when the current one
// cannot hold it. The chunk is indexed once it is whole.
void write_chunk(uint32_t stream, const uint8_t* data, uint32_t size) {
  AviState& a = movie.avi;
  if (!riff_holds(stream, size)) {
    const bool closed = a.riffs == 1 ? close_first_riff() : close_avix();
    if (!closed || !begin_avix()) fatal_error(kErrWrite, "");
  }
  const uint32_t movi_offset = static_cast<uint32_t>(a.position - a.movi_type);
  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, avi_chunk_id(stream), size);
  write_or_fail(chunk_header, sizeof chunk_header);
  write_or_fail(data, size);
  a.chunks.push_back({movi_offset, size, stream});
  a.chunks_end = a.position;
}

FrameRate finished_rate() {
  return movie_frame_rate(movie.rate_evidence, RateTable::conversion,
                          static_cast<uint32_t>(movie.max_chunks));
}

// The index after the last whole chunk (the standard indexes of the last
// continuation, or the first RIFF's idx1) and the completed header.
bool complete_avi(const FrameRate& rate) {
  AviState& a = movie.avi;
  if (a.position != a.chunks_end) {
    if (!seek_file(a.file, static_cast<int64_t>(a.chunks_end))) return false;
    a.position = a.chunks_end;
  }
  const bool odml = a.riffs > 1;
  uint32_t riff_size, movi_size;
  if (odml) {
    if (!close_avix()) return false;
    riff_size = a.first_riff_size;
    movi_size = a.first_movi_size;
  } else {
    movi_size = static_cast<uint32_t>(a.position - kFirstMoviType);
    if (!write_idx1()) return false;
    riff_size = static_cast<uint32_t>(a.position - kAviRiffHeaderBytes);
    a.first_riff_frames = a.frames;
  }
  if (!a.has_sound && !odml) {
    AviTotals totals;
    totals.width = a.width;
    totals.height = a.height;
    totals.frames = a.frames;
    totals.rate = rate;
    totals.riff_size = riff_size;
    totals.movi_size = movi_size;
    complete_avi_header(a.header, totals);
  } else {
    AviStreamsHeader h;
    h.width = a.width;
    h.height = a.height;
    h.rate = rate;
    h.frames = a.frames;
    h.first_riff_frames = a.first_riff_frames;
    h.riff_size = riff_size;
    h.movi_size = movi_size;
    h.has_sound = a.has_sound;
    h.sound = a.sound;
    h.sound_frames = static_cast<uint32_t>(std::min<uint64_t>(a.sound_frames, UINT32_MAX));
    h.sound_buffer = a.sound_buffer;
    h.video_start = a.sync.known ? video_start_frames(a.sync.first_frame_last_sector, a.sync.first_sound_sector,
                                                      a.sync.sectors_per_second, rate)
                                 : 0;
    h.odml = odml;
    h.video_index = a.video_index.data();
    h.video_index_count = static_cast<uint32_t>(a.video_index.size());
    h.sound_index = a.sound_index.data();
    h.sound_index_count = static_cast<uint32_t>(a.sound_index.size());
    build_streams_avi_header(a.header, h);
  }
  // A frame cut short by a failed write is left out of the file.
  if (std::fflush(a.file) != 0 || !truncate_file(a.file, static_cast<int64_t>(a.position))) return false;
  return seek_file(a.file, 0) && std::fwrite(a.header, 1, kAviHeaderBytes, a.file) == kAviHeaderBytes;
}

void release_avi() {
  AviState& a = movie.avi;
  a.file = nullptr;
  a.chunks.clear();
  a.chunks.shrink_to_fit();
  a.video_index.clear();
  a.sound_index.clear();
}

// At a fatal error or an interruption: the chunks written so far become a
// complete file. Failures are not reported again; the process is ending.
void finish_avi_early() {
  AviState& a = movie.avi;
  if (a.file == nullptr) return;
  complete_avi(finished_rate());
  std::fclose(a.file);
  release_avi();
}

}  // namespace

void open_avi() {
  AviState& a = movie.avi;
  a = AviState{};
  a.file = create_output_or_fail(output_name);
  std::setvbuf(a.file, avi_buffer, _IOFBF, sizeof avi_buffer);
  a.movi_type = kFirstMoviType;
  build_provisional_avi_header(a.header);
  write_or_fail(a.header, kAviHeaderBytes);
  a.chunks_end = a.position;
  add_exit_finisher(finish_avi_early);
}

void write_avi_frame() {
  AviState& a = movie.avi;
  const uint32_t width = movie.picture_width;
  const uint32_t height = movie.picture_height;
  const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
  const uint32_t frame_bytes = static_cast<uint32_t>(row_bytes * height);
  write_chunk(kAviVideoStream, movie.frame.picture, frame_bytes);  // already bottom row first
  ++a.frames;
  a.width = width;
  a.height = height;
}

void start_avi_sound(uint32_t sample_rate, uint32_t channels) {
  AviState& a = movie.avi;
  a.has_sound = true;
  a.sound.sample_rate = sample_rate;
  a.sound.channels = channels;
}

void write_avi_sound(const uint8_t* pcm, uint32_t bytes) {
  AviState& a = movie.avi;
  if (bytes == 0) return;
  write_chunk(kAviSoundStream, pcm, bytes);
  a.sound_frames += bytes / avi_sound_block_bytes(a.sound);
  a.sound_buffer = std::max(a.sound_buffer, bytes);
}

void finish_avi() {
  AviState& a = movie.avi;
  if (a.file == nullptr) return;
  remove_exit_finisher(finish_avi_early);
  const FrameRate rate = finished_rate();
  if (rate.rate == 0) console_text(message_text(Msg::FrameRateNotSet));
  if (!complete_avi(rate)) fatal_error(kErrWrite, "");
  if (std::fclose(a.file) != 0) {
    release_avi();
    fatal_error(kErrWrite, "");
  }
  release_avi();
}
