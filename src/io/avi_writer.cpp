// The AVI file of a -avi conversion: provisional header, one "00db" chunk a
// frame (bottom row first), then the index and the completed header.
// Every index entry points at its chunk's real offset and size, so a movie
// whose frame size changes is still readable; one-size movies get exactly
// the layout of a fixed frame size.
#include "io/avi_writer.hpp"

#include <cstdio>

#include "base/exit_finishers.hpp"
#include "format/mdec/colour.hpp"
#include "format/riff/avi_layout.hpp"
#include "io/output_file.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kIndexBatchEntries = 256;

bool write_bytes(const void* data, size_t bytes) {
  AviState& a = movie.avi;
  if (std::fwrite(data, 1, bytes, a.file) != bytes) return false;
  a.position += bytes;
  return true;
}

void write_or_fail(const void* data, size_t bytes) {
  if (!write_bytes(data, bytes)) fatal_error(kErrWrite, "");
}

bool write_index() {
  AviState& a = movie.avi;
  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, "idx1", a.frames * kAviIndexEntryBytes);
  if (!write_bytes(chunk_header, sizeof chunk_header)) return false;

  uint8_t batch[kIndexBatchEntries * kAviIndexEntryBytes];
  size_t filled = 0;
  uint32_t offset = kAviFourccBytes;  // the first chunk follows the "movi" type
  for (const AviFrameRun& run : a.runs) {
    for (uint32_t i = 0; i < run.count; ++i) {
      build_avi_index_entry(batch + filled * kAviIndexEntryBytes, offset, run.frame_bytes);
      offset += kAviChunkHeaderBytes + run.frame_bytes;
      if (++filled == kIndexBatchEntries) {
        if (!write_bytes(batch, filled * kAviIndexEntryBytes)) return false;
        filled = 0;
      }
    }
  }
  return filled == 0 || write_bytes(batch, filled * kAviIndexEntryBytes);
}

// The index after the last whole frame chunk and the completed header:
// a frame cut short by a failed write is left out of the file.
bool complete_avi(const AviFrameRate& rate) {
  AviState& a = movie.avi;
  AviTotals totals;
  totals.width = a.width;
  totals.height = a.height;
  totals.frames = a.frames;
  totals.movi_size = static_cast<uint32_t>(a.frames_end - kAviMoviTypeOffset);
  if (a.position != a.frames_end) {
    if (!seek_file(a.file, static_cast<int64_t>(a.frames_end))) return false;
    a.position = a.frames_end;
  }
  if (!write_index()) return false;
  totals.riff_size = static_cast<uint32_t>(a.position - kAviRiffHeaderBytes);
  totals.rate = rate;
  complete_avi_header(a.header, totals);
  if (std::fflush(a.file) != 0 || !truncate_file(a.file, static_cast<int64_t>(a.position)))
    return false;
  if (std::fseek(a.file, 0, SEEK_SET) != 0) return false;
  return std::fwrite(a.header, 1, kAviHeaderBytes, a.file) == kAviHeaderBytes;
}

void release_avi() {
  AviState& a = movie.avi;
  a.file = nullptr;
  a.runs.clear();
  a.runs.shrink_to_fit();
}

// At a fatal error or an interruption: the frames written so far become a
// complete file. Failures are not reported again; the process is ending.
void finish_avi_early() {
  AviState& a = movie.avi;
  if (a.file == nullptr) return;
  complete_avi(avi_frame_rate(static_cast<uint32_t>(movie.max_chunks)));
  std::fclose(a.file);
  release_avi();
}

}  // namespace

void open_avi() {
  AviState& a = movie.avi;
  a = AviState{};
  a.file = create_output_or_fail(output_name);
  build_provisional_avi_header(a.header);
  write_or_fail(a.header, kAviHeaderBytes);
  a.frames_end = a.position;
  add_exit_finisher(finish_avi_early);
}

void write_avi_frame() {
  AviState& a = movie.avi;
  const uint32_t width = movie.picture_width;
  const uint32_t height = movie.picture_height;
  const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
  const uint32_t frame_bytes = static_cast<uint32_t>(row_bytes * height);

  // The RIFF sizes are 32 bits: refuse the frame that would leave no room
  // for itself and the index that must follow it.
  const uint64_t length_after = a.position + kAviChunkHeaderBytes + frame_bytes + kAviChunkHeaderBytes +
                                static_cast<uint64_t>(a.frames + 1) * kAviIndexEntryBytes;
  if (!avi_length_fits(length_after)) fatal_error(kErrWrite, "AVIファイルが4GBを超えます.\n");

  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, "00db", frame_bytes);
  write_or_fail(chunk_header, sizeof chunk_header);
  write_or_fail(movie.frame.picture, frame_bytes);  // already bottom row first

  if (a.runs.empty() || a.runs.back().frame_bytes != frame_bytes) a.runs.push_back({frame_bytes, 0});
  ++a.runs.back().count;
  ++a.frames;
  a.frames_end = a.position;
  a.width = width;
  a.height = height;
}

void finish_avi() {
  AviState& a = movie.avi;
  remove_exit_finisher(finish_avi_early);
  const AviFrameRate rate = avi_frame_rate(static_cast<uint32_t>(movie.max_chunks));
  if (rate.rate == 0) {
    console_text("フレームレートが設定できません.\n");
    console_text("velmora.exeで設定してください.\n");
  }
  if (!complete_avi(rate)) fatal_error(kErrWrite, "");
  if (std::fclose(a.file) != 0) {
    release_avi();
    fatal_error(kErrWrite, "");
  }
  release_avi();
}
