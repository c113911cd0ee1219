// Fuzz target: a CUE sheet parsed and laid out. Input: two bytes that give
// every file of the sheet a size (in records of 2352 bytes, plus a partial
// record), then the sheet's text. Every track laid out must lie inside its
// file and the tracks must follow one another on the disc.
#include <cstdint>
#include <string_view>
#include <vector>

#include "format/image/cue_layout.hpp"
#include "format/image/cue_sheet.hpp"

namespace {
constexpr size_t kSizeBytes = 2;
constexpr int64_t kRecord = 2352;
constexpr int64_t kRecordsPerStep = 16;  // the size counts sixteenths of a record, plus a partial record
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kSizeBytes) return -1;
  const int64_t file_bytes = (static_cast<int64_t>(data[0]) << 8 | data[1]) * kRecord / kRecordsPerStep + data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + kSizeBytes), size - kSizeBytes);
  (void)looks_like_cue_sheet(data + kSizeBytes, size - kSizeBytes);
  const CueParse parse = parse_cue_sheet(text);
  if (parse.fault != nullptr) return 0;
  const std::vector<int64_t> sizes(parse.sheet.files.size(), file_bytes);
  const CueLayout layout = lay_out_cue_sheet(parse.sheet, sizes);
  if (layout.fault != nullptr) return 0;
  for (const DiscTrack& t : layout.tracks) {
    if (t.sectors < 0) __builtin_trap();
    const int64_t end = static_cast<int64_t>(t.location) + t.sectors * track_record_bytes(t.kind);
    if (end > file_bytes) __builtin_trap();
  }
  return 0;
}
