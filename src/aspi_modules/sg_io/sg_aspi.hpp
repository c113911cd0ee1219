// The ASPI layer over SCSI generic: the CD drives /dev/sr0 to /dev/sr31,
// each known by the kernel's host number (the ASPI adapter) and SCSI id (the
// target), and the two ASPI entry points carried out with SG_IO.
#pragma once

#include <cstdint>
#include <vector>

#include "aspi_modules/sg_io/sg_backend.hpp"

struct SgDrive {
  int fd = -1;
  uint8_t adapter = 0;
  uint8_t target = 0;
  uint8_t device_type = 0;
  uint32_t max_transfer_bytes = 0;  // 0: not known
};

class SgAspi {
 public:
  explicit SgAspi(const SgBackend& backend) : backend_(backend) {}
  ~SgAspi();
  SgAspi(const SgAspi&) = delete;
  SgAspi& operator=(const SgAspi&) = delete;

  // Opens the drives that answer (once; later calls return at once).
  void enumerate();
  const std::vector<SgDrive>& drives() const { return drives_; }

  // GetASPI32SupportInfo: success and the number of adapters (the highest
  // host number plus one, 0 without drives).
  uint32_t support_info();
  // SendASPI32Command: carries the request out and sets its status byte.
  uint32_t send(uint8_t* block);

 private:
  const SgDrive* find(uint8_t adapter, uint8_t target) const;
  uint8_t device_type(uint8_t* block);
  uint8_t execute(uint8_t* block);

  SgBackend backend_;
  std::vector<SgDrive> drives_;
  bool enumerated_ = false;
  int adapters_ = 0;
};
