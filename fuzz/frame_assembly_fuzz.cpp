// Fuzz target: the movie conversion over a sector source. Input: one byte
// (bit 0: -width placement), then a sector file of 2336-byte records (or
// raw 2352-byte ones, recognised by the sync pattern). Frames are found,
// checked, assembled, decoded and built into pictures as with -bmp or
// -avi, but nothing is written.
#include <cstdint>
#include <cstdio>

#include "format/disc/sector_file_form.hpp"
#include "fuzz/support/fatal_trap.hpp"
#include "fuzz/support/memory_file.hpp"
#include "io/sector_read_ahead.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/convert_movie.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/records.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Progress lines would only slow the run down.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return -1;
  reset_records();  // keeps the frame buffers from input to input, like the program's
  mode_flags = (data[0] & 1) != 0 ? kModeWidth : 0;
  ++data;
  --size;

  // A new input's file may sit where the last one's did.
  forget_read_ahead();
  MemoryFile file(data, size);
  sector_source.kind = SourceKind::PlainFile;
  sector_source.file = file.get();
  sector_source.raw_form = starts_with_sync(data, size);
  end_sector = record_count(static_cast<int64_t>(size), sector_source.raw_form);

  run_trapped([] { convert_movie(MovieOutput::None); });
  sector_source.file = nullptr;
  return 0;
}
