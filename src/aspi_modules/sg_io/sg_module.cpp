// wnaspi32.so: the ASPI entry points for the CD drives of this machine,
// through the kernel's SCSI generic interface.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "aspi_modules/aspi_exports.hpp"
#include "aspi_modules/sg_io/sg_aspi.hpp"
#include "aspi_modules/sg_io/sg_backend.hpp"

namespace {

int system_open(const char* path, int flags) { return ::open(path, flags); }
int system_ioctl(int fd, unsigned long request, void* argument) {
  return ::ioctl(fd, request, argument);
}
int system_close(int fd) { return ::close(fd); }
int system_error() { return errno; }

SgAspi& aspi() {
  static SgAspi instance(system_sg_backend());
  return instance;
}

}  // namespace

SgBackend system_sg_backend() {
  return SgBackend{system_open, system_ioctl, system_close, system_error};
}

uint32_t GetASPI32SupportInfo() {
  return aspi().support_info();
}

uint32_t SendASPI32Command(void* request) {
  return aspi().send(static_cast<uint8_t*>(request));
}
