// Fuzz input as a file: a stream over the bytes in memory, or a scratch file
// on disk for code that opens its input by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A read-only stream over a copy of the bytes, closed with the object.
class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size);
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  FILE* get() const { return file_; }

 private:
  char* copy_ = nullptr;
  FILE* file_ = nullptr;
};

// Rewrites this process's scratch file with the bytes and returns its name
// (the same name on every call).
const char* scratch_file(const uint8_t* data, size_t size);
