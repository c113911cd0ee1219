// Checked opening of regular files on Windows: the kind of what a name
// reaches from _stat64, its identity from the volume serial number and file
// index of an open handle, and stdio streams opened only after both checks.
#include "platform/regular_files.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

namespace {

constexpr int kFileIndexHighShift = 32;

FileIdentity identity_of_handle(HANDLE handle) {
  FileIdentity identity;
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return identity;
  identity.device = info.dwVolumeSerialNumber;
  identity.file = (static_cast<uint64_t>(info.nFileIndexHigh) << kFileIndexHighShift) |
                  info.nFileIndexLow;
  identity.known = true;
  return identity;
}

FileIdentity identity_of_stream(FILE* file) {
  return identity_of_handle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

OpenedFile refused(OpenOutcome outcome) {
  OpenedFile opened;
  opened.outcome = outcome;
  return opened;
}

// 1: a regular file, 0: something else, -1: nothing of that name.
int regular_kind(const char* name) {
  struct _stat64 status;
  if (_stat64(name, &status) != 0) return -1;
  return (status.st_mode & _S_IFREG) != 0 ? 1 : 0;
}

OpenedFile opened_stream(FILE* file) {
  OpenedFile opened;
  opened.file = file;
  opened.outcome = OpenOutcome::Opened;
  opened.identity = identity_of_stream(file);
  return opened;
}

}  // namespace

OpenedFile open_input_file(const char* name, InputKind) {
  const int kind = regular_kind(name);
  if (kind < 0) return refused(OpenOutcome::Missing);
  if (kind == 0) return refused(OpenOutcome::NotRegular);
  FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return refused(OpenOutcome::Failed);
  return opened_stream(file);
}

OpenedFile open_output_file(const char* name, OutputKind kind, const FileIdentity* avoid,
                            size_t avoid_count) {
  const int existing = regular_kind(name);
  if (existing == 0) return refused(OpenOutcome::NotRegular);
  if (existing > 0 && same_as_any(identity_of_path(name), avoid, avoid_count))
    return refused(OpenOutcome::Protected);
  if (existing < 0 && kind == OutputKind::Update) return refused(OpenOutcome::Missing);
  const char* mode = kind == OutputKind::Replace ? "wb" : kind == OutputKind::Append ? "a+b" : "r+b";
  FILE* file = std::fopen(name, mode);
  if (file == nullptr) return refused(OpenOutcome::Failed);
  return opened_stream(file);
}

FileIdentity identity_of_path(const char* name) {
  // Asking for no access at all still gives a handle to read the identity
  // from; backup semantics lets it open directories too.
  const HANDLE handle =
      CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileIdentity{};
  const FileIdentity identity = identity_of_handle(handle);
  CloseHandle(handle);
  return identity;
}
