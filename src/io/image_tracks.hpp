// Disc images that are containers of tracks (a CUE sheet with its BIN
// files, a CHD file), opened by content, and the sectors of their data
// track read in the 2336-byte form. One container is open at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "format/image/image_form.hpp"

// Opens the container of the given form (CueSheet or Chd) that is open as
// `file` under `name`. Ends the process with -3 and the name of the file at
// fault when it cannot be used. Sets *first and *end to the data track's
// range of disc sectors (from sector 0 when the track starts before it).
void open_image_tracks(ImageForm form, FILE* file, const std::string& name, int32_t* first, int32_t* end);

// Reads disc sector `sector` of the data track in the 2336-byte form. False
// when the sector lies outside the data track; a container that cannot be
// read there ends the process with -4 and its name.
bool read_image_track_sector(int64_t sector, uint8_t* out);

// Closes the open container, if any.
void close_image_tracks();

// Hunks decompressed and frames whose sync and parity were rebuilt since
// the CHD was opened (0 for CUE sheets).
uint64_t image_hunks_decoded();
uint64_t image_frames_rebuilt();
