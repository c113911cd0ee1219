// Host file services of the sector source on POSIX.
#include "platform/host_file.hpp"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr const char* kMountInfoPath = "/proc/self/mountinfo";
constexpr int kMountPointField = 4;  // zero-based field of a mountinfo line
constexpr int kOctalEscapeDigits = 3;

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
std::string unescape_mount_field(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + kOctalEscapeDigits < field.size() &&
        field[i + 1] >= '0' && field[i + 1] <= '7' && field[i + 2] >= '0' &&
        field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += kOctalEscapeDigits;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

bool is_path_prefix(const std::string& mount_point, const std::string& path) {
  if (mount_point == "/") return !path.empty() && path[0] == '/';
  if (path.compare(0, mount_point.size(), mount_point) != 0) return false;
  return path.size() == mount_point.size() || path[mount_point.size()] == '/';
}

}  // namespace

bool find_mount(const std::string& mountinfo, const std::string& path, MountEntry* entry) {
  std::istringstream lines(mountinfo);
  std::string line;
  bool found = false;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    // Optional fields end with a lone "-"; the file system type follows it.
    size_t dash = kMountPointField + 1;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 1 >= fields.size()) continue;
    const std::string mount_point = unescape_mount_field(fields[kMountPointField]);
    if (!is_path_prefix(mount_point, path)) continue;
    if (found && mount_point.size() < entry->mount_point.size()) continue;
    entry->mount_point = mount_point;
    entry->fs_type = fields[dash + 1];
    found = true;
  }
  return found;
}

bool is_cd_file_system(const std::string& fs_type) {
  return fs_type == "iso9660" || fs_type == "udf";
}

bool probe_host_file(const char* name, HostFileInfo* info) {
  struct stat status;
  if (stat(name, &status) != 0 || S_ISDIR(status.st_mode)) return false;
  char resolved[PATH_MAX];
  if (realpath(name, resolved) == nullptr) return false;
  info->full_path = resolved;
  info->on_cd_mount = false;
  info->mount_prefix = 0;

  std::ifstream mountinfo_file(kMountInfoPath);
  if (!mountinfo_file) return true;  // no mount table: an ordinary disk
  std::stringstream text;
  text << mountinfo_file.rdbuf();
  MountEntry mount;
  if (find_mount(text.str(), info->full_path, &mount) && is_cd_file_system(mount.fs_type)) {
    info->on_cd_mount = true;
    info->mount_prefix = mount.mount_point == "/" ? 0 : mount.mount_point.size();
  }
  return true;
}

bool seek_file(FILE* file, int64_t offset) {
  if (offset < 0) return false;
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t read_file_at(FILE* file, int64_t offset, uint8_t* dest, size_t size) {
  const int fd = fileno(file);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = pread(fd, dest + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

bool file_size(FILE* file, int64_t* size) {
  if (fseeko(file, 0, SEEK_END) != 0) return false;
  const off_t end = ftello(file);
  if (end < 0) return false;
  *size = end;
  return true;
}

bool truncate_file(FILE* file, int64_t length) {
  if (length < 0) return false;
  return ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
}

bool host_file_exists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool find_name_ignoring_case(const std::string& directory, const std::string& name, std::string* found) {
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return false;
  bool matched = false;
  while (const dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) {
      *found = entry->d_name;
      matched = true;
      break;
    }
  }
  closedir(dir);
  return matched;
}
