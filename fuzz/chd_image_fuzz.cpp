// Fuzz target: a CHD file opened and the frames of its data track read, as
// with -image:. Input: the file's bytes. Whatever the bytes, opening either
// succeeds with a track list that fits the file's frames or gives a reason,
// and every read gives a frame or a reason.
#include <cstdint>
#include <cstdio>

#include "format/image/disc_tracks.hpp"
#include "fuzz/support/memory_file.hpp"
#include "io/chd_image.hpp"

namespace {
constexpr int64_t kMostFramesRead = 512;  // enough for several hunks, few enough to stay fast
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  ChdImage image;
  bool needs_parent = false;
  if (open_chd_image(file.get(), &image, &needs_parent) != nullptr) return 0;
  const DiscTrack* track = first_data_track(image.tracks);
  if (track == nullptr) return 0;
  for (int64_t i = 0; i < track->sectors && i < kMostFramesRead; ++i) {
    const uint8_t* frame = nullptr;
    if (read_chd_frame(image, track->location + static_cast<uint64_t>(i), &frame) != nullptr) break;
    uint8_t sector[2336];
    record_to_sector_form(track->kind, frame, sector);
  }
  return 0;
}
