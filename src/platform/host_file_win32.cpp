// Host file services of the sector source on Windows: the drive check with
// GetFullPathNameA and GetDriveTypeA, and 64-bit seeks on stdio streams.
#include "platform/host_file.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <io.h>

namespace {

constexpr DWORD kFullPathChars = 260;  // MAX_PATH: the buffer the full path is expanded into
constexpr size_t kRootChars = 3;       // "X:\"

}  // namespace

// On Windows every name that GetFullPathNameA can expand takes part in the
// drive check, whether the file exists or not: the root of the full path
// decides. A drive of unknown type or a CD-ROM drive leaves the name to the
// disc lookup (which skips the drive and the leading "\"); every other answer
// makes it a plain file.
bool probe_host_file(const char* name, HostFileInfo* info) {
  char full[kFullPathChars];
  const DWORD length = GetFullPathNameA(name, kFullPathChars, full, nullptr);
  if (length == 0 || length >= kFullPathChars) return false;
  info->full_path.assign(full, length);
  info->mount_prefix = 0;
  char root[kRootChars + 1] = {};
  for (size_t i = 0; i < kRootChars && i < length; ++i) root[i] = full[i];
  const UINT type = GetDriveTypeA(root);
  info->on_cd_mount = type == DRIVE_UNKNOWN || type == DRIVE_CDROM;
  return true;
}

bool seek_file(FILE* file, int64_t offset) {
  if (offset < 0) return false;
  return _fseeki64(file, offset, SEEK_SET) == 0;
}

// A positional ReadFile still moves the handle's position, which the stdio
// stream's own reads rely on: there is no read beside the stream here.
int64_t read_file_at(FILE*, int64_t, uint8_t*, size_t) { return -1; }

bool file_size(FILE* file, int64_t* size) {
  if (_fseeki64(file, 0, SEEK_END) != 0) return false;
  const int64_t end = _ftelli64(file);
  if (end < 0) return false;
  *size = end;
  return true;
}

bool truncate_file(FILE* file, int64_t length) {
  if (length < 0) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  LARGE_INTEGER at;
  at.QuadPart = length;
  return SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}

bool host_file_exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool find_name_ignoring_case(const std::string&, const std::string&, std::string*) { return false; }
