// Sector reads from plain files and disc images, in either record form.
#include "io/file_sectors.hpp"

#include <cstdio>
#include <cstring>

#include "format/disc/sector_file_form.hpp"
#include "format/image/image_form.hpp"
#include "io/image_faults.hpp"
#include "io/image_tracks.hpp"
#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"
#include "platform/regular_files.hpp"
#include "state/mode_flags.hpp"

namespace {

// Raw records are read this many at a time on the bulk path and then packed
// into their 2336-byte parts.
constexpr int kRawBulkRecords = 64;

uint8_t record_buffer[kSectorBytes];
uint8_t raw_bulk_buffer[kRawBulkRecords * kRawSectorBytes];

[[noreturn]] void read_failed() { fatal_error_name(kErrRead, input_name); }

void read_exactly(int64_t offset, uint8_t* dest, size_t bytes) {
  FILE* file = sector_source.file;
  if (!seek_file(file, offset)) read_failed();
  if (std::fread(dest, 1, bytes, file) != bytes) read_failed();
}

// One sector of a CUE sheet's or CHD file's data track, in the 2336-byte form.
void read_track_sector(int64_t sector, uint8_t* dest) {
  if (!read_image_track_sector(sector, dest)) read_failed();
}

void read_bulk(int32_t first, int32_t count, uint8_t* dest) {
  count = clamp_to_end(first, count, end_sector);
  if (count == 0) return;
  if (first < 0) read_failed();
  if (sector_source.tracks) {
    for (int32_t i = 0; i < count; ++i) read_track_sector(static_cast<int64_t>(first) + i, dest + i * kSectorBytes);
    return;
  }
  if (!sector_source.raw_form) {
    read_exactly(record_offset(first, false), dest, static_cast<size_t>(count) * kSectorBytes);
    return;
  }
  for (int32_t done = 0; done < count;) {
    const int32_t chunk = count - done < kRawBulkRecords ? count - done : kRawBulkRecords;
    // Whole raw records from the start of the first one, then their 2336-byte parts.
    const int64_t start = static_cast<int64_t>(first) + done;
    read_exactly(start * kRawSectorBytes, raw_bulk_buffer,
                 static_cast<size_t>(chunk) * kRawSectorBytes);
    for (int32_t i = 0; i < chunk; ++i) {
      std::memcpy(dest, raw_bulk_buffer + i * kRawSectorBytes + kRawPrefixBytes, kSectorBytes);
      dest += kSectorBytes;
    }
    done += chunk;
  }
}

}  // namespace

void open_sector_file(const char* name, const char* failure_name) {
  if (sector_source.file != nullptr) {
    std::fclose(sector_source.file);
    sector_source.file = nullptr;
  }
  close_image_tracks();
  // A FIFO, a directory or a terminal is refused before it is read; a disc
  // in a block device may be read.
  const OpenedFile opened = open_input_file(name, InputKind::RegularFileOrBlockDevice);
  if (opened.outcome != OpenOutcome::Opened) fatal_error_name(kErrOpen, name);
  FILE* file = opened.file;
  sector_source.identity = opened.identity;
  uint8_t head[kImageHeadBytes];
  const size_t got = std::fread(head, 1, sizeof head, file);
  // A stream that opens but cannot be read (a directory) did not open a file.
  if (std::ferror(file)) fatal_error_name(kErrOpen, name);
  int64_t size = 0;
  if (!file_size(file, &size)) fatal_error_name(kErrOpen, failure_name);

  sector_source.file = file;
  // The content decides the form; a name that promises a CHD file or a CUE
  // sheet the content does not hold is a damaged file, not sectors.
  const ImageForm form = recognise_image(head, got);
  const ImageForm named = form_named_by(name);
  if (named != ImageForm::Records2336 && named != form)
    refuse_image(kErrOpen, name, named == ImageForm::Chd ? "not a CHD file (its magic is wrong)" : "not a CUE sheet");
  sector_source.tracks = form == ImageForm::CueSheet || form == ImageForm::Chd;
  sector_source.raw_form = form == ImageForm::Raw2352;
  if (sector_source.tracks) {
    open_image_tracks(form, file, name, &current_sector, &end_sector);
    return;
  }
  current_sector = 0;
  end_sector = record_count(size, sector_source.raw_form);
}

void read_file_sectors(int32_t first, int32_t count, uint8_t* dest) {
  if (sector_source.sector_mode == kSectorMode2336 && sector_source.bulk_reads) {
    read_bulk(first, count, dest);
    return;
  }
  const int out_bytes = sector_source.sector_mode == kSectorMode2336 ? kSectorBytes : kUserDataBytes;
  const int out_offset = sector_source.sector_mode == kSectorMode2336 ? 0 : kSubheaderBytes;
  for (int32_t i = 0; i < count; ++i) {
    const int64_t sector = static_cast<int64_t>(first) + i;
    if (sector < 0) read_failed();
    if (sector_source.tracks)
      read_track_sector(sector, record_buffer);
    else
      read_exactly(record_offset(sector, sector_source.raw_form), record_buffer, kSectorBytes);
    std::memcpy(dest, record_buffer + out_offset, out_bytes);
    dest += out_bytes;
  }
}
