// Every file extent of an ISO 9660 directory tree, for the whole-disc scans
// that must not let a stream or movie run from one file into the next. Pure:
// the directory bytes come from a reader the caller supplies.
#pragma once

#include <cstdint>
#include <vector>

#include "format/disc/iso9660_walk.hpp"

// Walks every directory from the root (each at most once, each checked
// against kMaxDirectoryBytes and sector_limit) and collects the extents of
// the files. False when a directory is damaged; files is then incomplete.
bool list_iso_files(const IsoExtent& root, uint32_t sector_limit, DirectoryReader read_directory,
                    void* context, std::vector<IsoExtent>* files);

// The sectors where a file begins or ends, sorted, without repeats.
std::vector<int32_t> file_boundaries(const std::vector<IsoExtent>& files);

// The first boundary above sector, or limit when none lies below it.
int32_t next_file_boundary(const std::vector<int32_t>& boundaries, int32_t sector, int32_t limit);
