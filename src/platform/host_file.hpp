// Host file services the sector source needs: whether an input name is an
// existing file, its absolute path, whether it lies on a CD file system
// (iso9660 or udf mount) and its path below that mount point; and 64-bit
// seeks, sizes and truncation on stdio streams.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct HostFileInfo {
  std::string full_path;   // absolute path of the file
  bool on_cd_mount = false;
  size_t mount_prefix = 0; // on a CD mount: length of the mount point's part of full_path
};

// True when name is an existing host file (anything but a directory); fills
// info. False when nothing of that name exists on the host. On Windows every
// name GetFullPathNameA expands counts, existing or not, and on_cd_mount
// means its drive is a CD-ROM drive or of unknown type (mount_prefix 0).
bool probe_host_file(const char* name, HostFileInfo* info);

struct MountEntry {
  std::string mount_point;
  std::string fs_type;
};

// The mount of /proc/self/mountinfo text that holds the absolute path: the
// longest mount point that is a whole-component prefix of it (a later line
// wins a tie, as a later mount hides an earlier one). False when none does.
bool find_mount(const std::string& mountinfo, const std::string& path, MountEntry* entry);

// True for the file systems of CD-ROMs.
bool is_cd_file_system(const std::string& fs_type);

// Seek to an absolute byte offset; false on failure.
bool seek_file(FILE* file, int64_t offset);

// Reads up to size bytes at the absolute offset without moving the stream's
// position or using its buffer, so that another thread may read the same
// file meanwhile. Returns the bytes read (fewer at the end of the file or on
// a failure), or -1 where the system offers no such read (Windows).
int64_t read_file_at(FILE* file, int64_t offset, uint8_t* dest, size_t size);

// Size of the file in bytes (the stream is left at its end); false on failure.
bool file_size(FILE* file, int64_t* size);

// Cuts the file to length bytes (the stream must have been flushed).
bool truncate_file(FILE* file, int64_t length);

// True when the path names an existing file that is not a directory.
bool host_file_exists(const std::string& path);

// The name of an entry of the directory that equals `name` but for the case
// of the letters A to Z; false when there is none. (Windows file names
// ignore case already: there it is always false.)
bool find_name_ignoring_case(const std::string& directory, const std::string& name, std::string* found);
