// FileIdentity: which file a name reached on the host, as the device and
// the file's number on it, so that two names (a link, another spelling of
// the path) can be told to be the same file.
#pragma once

#include <cstddef>
#include <cstdint>

struct FileIdentity {
  uint64_t device = 0;
  uint64_t file = 0;   // inode number (Windows: the file index)
  bool known = false;  // false: no file, or none could be asked about
};

inline bool same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.file == b.file;
}

inline bool same_as_any(const FileIdentity& identity, const FileIdentity* others, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (same_file(identity, others[i])) return true;
  return false;
}
