// Checked opening of regular files on POSIX: open(2) without blocking (a
// FIFO with no writer would hold a reading open forever, one without a
// reader a writing one), fstat of what was opened, and only then fdopen.
// Outputs are opened without O_TRUNC and emptied after the checks.
#include "platform/regular_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as fopen does

FileIdentity identity_of(const struct stat& status) {
  FileIdentity identity;
  identity.device = static_cast<uint64_t>(status.st_dev);
  identity.file = static_cast<uint64_t>(status.st_ino);
  identity.known = true;
  return identity;
}

OpenedFile refused(OpenOutcome outcome) {
  OpenedFile opened;
  opened.outcome = outcome;
  return opened;
}

// Blocking reads and writes again, then a stdio stream on the descriptor.
OpenedFile finish_open(int fd, const char* mode, const FileIdentity& identity) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(fd);
    return refused(OpenOutcome::Failed);
  }
  FILE* file = fdopen(fd, mode);
  if (file == nullptr) {
    close(fd);
    return refused(OpenOutcome::Failed);
  }
  OpenedFile opened;
  opened.file = file;
  opened.outcome = OpenOutcome::Opened;
  opened.identity = identity;
  return opened;
}

bool is_missing(int error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace

OpenedFile open_input_file(const char* name, InputKind kind) {
  const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return refused(is_missing(errno) ? OpenOutcome::Missing : OpenOutcome::Failed);
  struct stat status;
  if (fstat(fd, &status) != 0) {
    close(fd);
    return refused(OpenOutcome::Failed);
  }
  const bool accepted = S_ISREG(status.st_mode) ||
                        (kind == InputKind::RegularFileOrBlockDevice && S_ISBLK(status.st_mode));
  if (!accepted) {
    close(fd);
    return refused(OpenOutcome::NotRegular);
  }
  return finish_open(fd, "rb", identity_of(status));
}

OpenedFile open_output_file(const char* name, OutputKind kind, const FileIdentity* avoid,
                            size_t avoid_count) {
  // What the name already reaches is judged before it is opened at all.
  struct stat status;
  if (stat(name, &status) == 0) {
    if (!S_ISREG(status.st_mode)) return refused(OpenOutcome::NotRegular);
    if (same_as_any(identity_of(status), avoid, avoid_count)) return refused(OpenOutcome::Protected);
  }
  int flags = O_NONBLOCK | O_CLOEXEC;
  const char* mode = "wb";
  switch (kind) {
    case OutputKind::Replace:
      flags |= O_WRONLY | O_CREAT;
      break;
    case OutputKind::Append:
      flags |= O_RDWR | O_CREAT | O_APPEND;
      mode = "a+b";
      break;
    case OutputKind::Update:
      flags |= O_RDWR;
      mode = "r+b";
      break;
  }
  const int fd = open(name, flags, kNewFileMode);
  if (fd < 0) return refused(is_missing(errno) ? OpenOutcome::Missing : OpenOutcome::Failed);
  // The name may have been replaced between the look and the open.
  if (fstat(fd, &status) != 0) {
    close(fd);
    return refused(OpenOutcome::Failed);
  }
  const FileIdentity identity = identity_of(status);
  if (!S_ISREG(status.st_mode) || same_as_any(identity, avoid, avoid_count)) {
    close(fd);
    return refused(S_ISREG(status.st_mode) ? OpenOutcome::Protected : OpenOutcome::NotRegular);
  }
  if (kind == OutputKind::Replace && ftruncate(fd, 0) != 0) {
    close(fd);
    return refused(OpenOutcome::Failed);
  }
  return finish_open(fd, mode, identity);
}

FileIdentity identity_of_path(const char* name) {
  struct stat status;
  if (stat(name, &status) != 0) return FileIdentity{};
  return identity_of(status);
}
