// Appending a whole record on Windows: LockFileEx over the whole file, the
// last byte read through the stream, then the record written at the end
// and flushed before the lock is released.
#include "platform/record_append.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <io.h>

#include <string>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr DWORD kWholeFile = MAXDWORD;  // lock length, low and high words

bool ends_with_line_feed(FILE* file, bool* ends) {
  if (_fseeki64(file, 0, SEEK_END) != 0) return false;
  const __int64 size = _ftelli64(file);
  if (size < 0) return false;
  if (size == 0) {
    *ends = true;
    return true;
  }
  if (_fseeki64(file, size - 1, SEEK_SET) != 0) return false;
  const int last = std::fgetc(file);
  if (last == EOF) return false;
  *ends = last == '\n';
  return _fseeki64(file, 0, SEEK_END) == 0;
}

}  // namespace

bool append_whole_record(FILE* file, const char* bytes, size_t size) {
  if (std::fflush(file) != 0) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  OVERLAPPED whole = {};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, kWholeFile, kWholeFile, &whole)) return false;
  bool ends = true;
  bool written = ends_with_line_feed(file, &ends);
  if (written) {
    std::string record = ends ? std::string() : std::string(kLineEnd);
    record.append(bytes, size);
    written = std::fwrite(record.data(), 1, record.size(), file) == record.size() &&
              std::fflush(file) == 0;
  }
  UnlockFileEx(handle, 0, kWholeFile, kWholeFile, &whole);
  return written;
}
