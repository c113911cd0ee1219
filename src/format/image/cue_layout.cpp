// Track positions of a CUE sheet from the sizes of its files.
#include "format/image/cue_layout.hpp"

namespace {

CueLayout fail(const char* fault, int file) {
  CueLayout layout;
  layout.fault = fault;
  layout.fault_file = file;
  return layout;
}

}  // namespace

CueLayout lay_out_cue_sheet(const CueSheet& sheet, const std::vector<int64_t>& file_bytes) {
  if (file_bytes.size() != sheet.files.size()) return fail("file sizes missing", -1);
  CueLayout layout;
  int64_t file_base = 0;  // disc position of the current file's first record, before gaps
  int64_t gaps = 0;       // PREGAP and POSTGAP sectors so far
  int64_t origin = 0;     // disc position of the first track's INDEX 01
  bool have_origin = false;

  for (size_t fi = 0; fi < sheet.files.size(); ++fi) {
    const int file = static_cast<int>(fi);
    const std::vector<CueTrack>& tracks = sheet.files[fi].tracks;
    const int64_t size = file_bytes[fi];
    int64_t start_byte = 0;
    int64_t file_sectors = 0;
    for (size_t k = 0; k < tracks.size(); ++k) {
      const CueTrack& t = tracks[k];
      const int64_t record = track_record_bytes(t.kind);
      const int64_t start = t.index0 >= 0 ? t.index0 : t.index1;
      if (k == 0) {
        start_byte = start * record;
      } else {
        const CueTrack& p = tracks[k - 1];
        const int64_t p_start = p.index0 >= 0 ? p.index0 : p.index1;
        if (start < p.index1) return fail("track positions go backwards", -1);
        start_byte += (start - p_start) * track_record_bytes(p.kind);
      }
      int64_t sectors = 0;
      if (k + 1 < tracks.size()) {
        const CueTrack& n = tracks[k + 1];
        sectors = (n.index0 >= 0 ? n.index0 : n.index1) - start;
      } else {
        if (size < start_byte) return fail("the file is shorter than the sheet says", file);
        sectors = (size - start_byte) / record;
      }
      // INDEX 01 must lie on a stored record.
      if (t.index1 - start >= sectors) return fail("the file is shorter than the sheet says", file);
      gaps += t.pregap;
      DiscTrack track;
      track.number = t.number;
      track.kind = t.kind;
      track.first_sector = file_base + gaps + start;
      track.sectors = sectors;
      track.file = file;
      track.location = static_cast<uint64_t>(start_byte);
      if (!have_origin) {
        origin = track.first_sector + (t.index1 - start);
        have_origin = true;
      }
      layout.tracks.push_back(track);
      gaps += t.postgap;
      file_sectors = start + sectors;
    }
    file_base += file_sectors;
  }
  for (DiscTrack& track : layout.tracks) track.first_sector -= origin;
  return layout;
}
