// Appending a whole record on POSIX: flock, a look at the last byte with
// pread, and write(2) on the O_APPEND descriptor until the record is out.
#include "platform/record_append.hpp"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

constexpr char kLineEnd[] = "\r\n";

bool ends_with_line_feed(int fd, bool* ends) {
  struct stat status;
  if (fstat(fd, &status) != 0) return false;
  if (status.st_size == 0) {
    *ends = true;
    return true;
  }
  char last = 0;
  if (pread(fd, &last, 1, status.st_size - 1) != 1) return false;
  *ends = last == '\n';
  return true;
}

bool write_all(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

bool append_whole_record(FILE* file, const char* bytes, size_t size) {
  if (std::fflush(file) != 0) return false;
  const int fd = fileno(file);
  while (flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return false;
  bool ends = true;
  bool written = ends_with_line_feed(fd, &ends);
  if (written) {
    std::string record = ends ? std::string() : std::string(kLineEnd);
    record.append(bytes, size);
    written = write_all(fd, record.data(), record.size());
  }
  flock(fd, LOCK_UN);
  return written;
}
