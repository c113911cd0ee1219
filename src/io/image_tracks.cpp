// The open container of tracks: a CUE sheet's BIN files or a CHD file, and
// the reads of its data track's sectors.
#include "io/image_tracks.hpp"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/errors.hpp"
#include "format/image/chd_cd_frames.hpp"
#include "format/image/disc_tracks.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/chd_image.hpp"
#include "io/cue_image.hpp"
#include "io/image_faults.hpp"
#include "platform/host_file.hpp"

namespace {

struct OpenImage {
  ImageForm form = ImageForm::Records2336;
  std::string name;
  DiscTrack data;
  CueImage cue;
  ChdImage chd;
  std::vector<uint8_t> record = std::vector<uint8_t>(kRawSectorBytes);
};

OpenImage image;

int32_t clamp_sector(int64_t sector) {
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp<int64_t>(sector, 0, kLargest));
}

}  // namespace

void open_image_tracks(ImageForm form, FILE* file, const std::string& name, int32_t* first, int32_t* end) {
  close_image_tracks();
  image.form = form;
  image.name = name;
  const std::vector<DiscTrack>* tracks = nullptr;
  if (form == ImageForm::CueSheet) {
    open_cue_image(file, name, &image.cue);
    tracks = &image.cue.tracks;
  } else {
    bool needs_parent = false;
    const char* fault = open_chd_image(file, &image.chd, &needs_parent);
    if (fault != nullptr) refuse_image(kErrOpen, name, fault);
    tracks = &image.chd.tracks;
  }
  const DiscTrack* data = first_data_track(*tracks);
  if (data == nullptr) refuse_image(kErrOpen, name, "the disc has no data track");
  image.data = *data;
  *first = clamp_sector(data->first_sector);
  *end = clamp_sector(data->first_sector + data->sectors);
}

bool read_image_track_sector(int64_t sector, uint8_t* out) {
  const DiscTrack& track = image.data;
  const int64_t index = sector - track.first_sector;
  if (index < 0 || index >= track.sectors) return false;
  const uint8_t* record = nullptr;
  if (image.form == ImageForm::CueSheet) {
    const int bytes = track_record_bytes(track.kind);
    FILE* bin = image.cue.files[track.file];
    const int64_t offset = static_cast<int64_t>(track.location) + index * bytes;
    if (!seek_file(bin, offset) || std::fread(image.record.data(), 1, bytes, bin) != static_cast<size_t>(bytes))
      refuse_image(kErrRead, image.cue.paths[track.file], "a track is cut short");
    record = image.record.data();
  } else {
    const char* fault = read_chd_frame(image.chd, track.location + static_cast<uint64_t>(index), &record);
    if (fault != nullptr) refuse_image(kErrRead, image.name, fault);
  }
  record_to_sector_form(track.kind, record, out);
  return true;
}

void close_image_tracks() {
  close_cue_image(&image.cue);
  close_chd_image(&image.chd);
  image.form = ImageForm::Records2336;
}

uint64_t image_hunks_decoded() { return chd_hunks_decoded(image.chd); }
uint64_t image_frames_rebuilt() { return chd_frames_rebuilt(image.chd); }
