// The system calls the SCSI generic ASPI module makes, behind function
// pointers so that tests can stand in for the kernel.
#pragma once

struct SgBackend {
  int (*open)(const char* path, int flags);
  int (*ioctl)(int fd, unsigned long request, void* argument);
  int (*close)(int fd);
  int (*last_error)();  // errno after a failed call
};

// The real open, ioctl and close.
SgBackend system_sg_backend();
