// The AVI file of a -avi conversion: provisional header, one "00db" chunk a
// frame (bottom row first), then the index and the completed header.
// Every index entry points at its chunk's real offset and size, so a movie
// whose frame size changes is still readable; one-size movies get exactly
// the layout of a fixed frame size.
#include "io/avi_writer.hpp"

#include <cstdio>

#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "format/riff/avi_layout.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kIndexBatchEntries = 256;

void write_or_fail(const void* data, size_t bytes) {
  AviState& a = movie.avi;
  if (std::fwrite(data, 1, bytes, a.file) != bytes) fatal_error(kErrWrite, "");
  a.position += bytes;
}

void write_index() {
  AviState& a = movie.avi;
  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, "idx1", a.frames * kAviIndexEntryBytes);
  write_or_fail(chunk_header, sizeof chunk_header);

  uint8_t batch[kIndexBatchEntries * kAviIndexEntryBytes];
  size_t filled = 0;
  uint32_t offset = kAviFourccBytes;  // the first chunk follows the "movi" type
  for (const AviFrameRun& run : a.runs) {
    for (uint32_t i = 0; i < run.count; ++i) {
      build_avi_index_entry(batch + filled * kAviIndexEntryBytes, offset, run.frame_bytes);
      offset += kAviChunkHeaderBytes + run.frame_bytes;
      if (++filled == kIndexBatchEntries) {
        write_or_fail(batch, filled * kAviIndexEntryBytes);
        filled = 0;
      }
    }
  }
  if (filled != 0) write_or_fail(batch, filled * kAviIndexEntryBytes);
}

}  // namespace

void open_avi() {
  AviState& a = movie.avi;
  a = AviState{};
  a.file = open_or_fail(output_name, "wb");
  build_provisional_avi_header(a.header);
  write_or_fail(a.header, kAviHeaderBytes);
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
  if (!avi_length_fits(length_after)) fatal_error(kErrWrite, message_text(Msg::AviOver4GB));

  uint8_t chunk_header[kAviChunkHeaderBytes];
  build_avi_chunk_header(chunk_header, "00db", frame_bytes);
  write_or_fail(chunk_header, sizeof chunk_header);
  write_or_fail(movie.frame.picture, frame_bytes);  // already bottom row first

  if (a.runs.empty() || a.runs.back().frame_bytes != frame_bytes) a.runs.push_back({frame_bytes, 0});
  ++a.runs.back().count;
  ++a.frames;
}

void finish_avi() {
  AviState& a = movie.avi;
  AviTotals totals;
  totals.width = movie.picture_width;
  totals.height = movie.picture_height;
  totals.frames = a.frames;
  totals.movi_size = static_cast<uint32_t>(a.position - kAviMoviTypeOffset);
  write_index();
  totals.riff_size = static_cast<uint32_t>(a.position - kAviRiffHeaderBytes);
  totals.rate = avi_frame_rate(static_cast<uint32_t>(movie.max_chunks));
  if (totals.rate.rate == 0) console_text(message_text(Msg::FrameRateNotSet));
  complete_avi_header(a.header, totals);
  if (std::fseek(a.file, 0, SEEK_SET) != 0) fatal_error(kErrWrite, "");
  if (std::fwrite(a.header, 1, kAviHeaderBytes, a.file) != kAviHeaderBytes) fatal_error(kErrWrite, "");
  if (std::fclose(a.file) != 0) fatal_error(kErrWrite, "");
  a.file = nullptr;
  a.runs.clear();
  a.runs.shrink_to_fit();
}
