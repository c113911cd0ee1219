#include "fuzz/support/memory_file.hpp"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

MemoryFile::MemoryFile(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer; one spare byte keeps the size honest.
  copy_ = static_cast<char*>(std::malloc(size + 1));
  if (size > 0) std::memcpy(copy_, data, size);
  file_ = size > 0 ? fmemopen(copy_, size, "rb") : fmemopen(copy_, 1, "rb");
  if (file_ == nullptr) std::abort();
  if (size == 0) std::fgetc(file_);  // leave the empty stream at its end
}

MemoryFile::~MemoryFile() {
  std::fclose(file_);
  std::free(copy_);
}

namespace {

constexpr const char* kSharedMemoryDir = "/dev/shm";
const char* scratch_name = nullptr;

void remove_scratch_file() {
  if (scratch_name != nullptr) unlink(scratch_name);
}

}  // namespace

const char* scratch_file(const uint8_t* data, size_t size) {
  // In memory where the system offers it: a file on disk per input is slow.
  static const std::string name = [] {
    const char* dir = std::getenv("TMPDIR");
    if (dir == nullptr || *dir == '\0') dir = access(kSharedMemoryDir, W_OK) == 0 ? kSharedMemoryDir : "/tmp";
    std::string pattern = std::string(dir) + "/korvane-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    std::atexit(remove_scratch_file);
    return pattern;
  }();
  scratch_name = name.c_str();
  FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return name.c_str();
}
