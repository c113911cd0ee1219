// Configuration of the emulated ATAPI drive module, read once from the
// environment when the module is first used:
//
//   KORVANE_EMU_IMAGE       disc image served by every drive, 2336- or
//                           2352-byte records (told apart by the sync
//                           pattern); unset or unreadable: no disc
//   KORVANE_EMU_DRIVES      drives present, "adapter:target[/flag...]" separated by
//                           commas (default "0:0"; empty: none). Flags:
//                             disk      device type 0 (not a CD-ROM)
//                             noform1   cannot read Mode 2 Form 1
//                             noform2   cannot read Mode 2 Form 2
//                             msfail    the first MODE SENSE fails
//                             msfail2   every MODE SENSE fails
//                             shortms   MODE SENSE answers with the header only
//                             inqfail   INQUIRY fails
//                             shortinq  INQUIRY answers 8 bytes only
//                             oddname   the product name holds control bytes
//                             sensefail REQUEST SENSE fails
//   KORVANE_EMU_ADAPTERS    host adapter count reported (default: the highest
//                           adapter of the drives plus one, at least 1)
//   KORVANE_EMU_NO_HOST     "1": GetASPI32SupportInfo reports failure
//   KORVANE_EMU_BUFFER_KB   buffer size on the capabilities page (default 64)
//   KORVANE_EMU_MAX_TRANSFER  largest READ CD in sectors (default: no limit)
//   KORVANE_EMU_TOO_LARGE   "e6": a larger READ CD ends with 0xE6 (transfer
//                           too large); otherwise with an error status
//   KORVANE_EMU_FAIL_READS  the first N READ CD commands fail
//   KORVANE_EMU_DIFFER      the first N reads that repeat the previous READ CD
//                           exactly, counting only every second repeat, come
//                           back altered: N disagreeing read pairs
//   KORVANE_EMU_DIFFER_LBA  the sector altered (default: the last sector of
//                           the transfer); transfers without it are not altered
//   KORVANE_EMU_TOC_ENTRIES 1: the table of contents holds the first track only
//   KORVANE_EMU_LOG         file to which every request is appended, one line each
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EmulatedDrive {
  uint8_t adapter = 0;
  uint8_t target = 0;
  uint8_t device_type = 5;
  bool reads_form1 = true;
  bool reads_form2 = true;
  int mode_sense_failures = 0;  // MODE SENSE commands still to fail
  bool short_mode_sense = false;
  bool inquiry_fails = false;
  bool short_inquiry = false;
  bool odd_name = false;
  bool sense_fails = false;
  uint8_t sense_key = 0;  // the last error, reported by REQUEST SENSE
  uint8_t sense_code = 0;
};

struct EmulatorConfig {
  std::vector<EmulatedDrive> drives;
  int adapters = 1;
  bool host_missing = false;
  std::string image;
  uint32_t buffer_kb = 64;
  uint32_t max_transfer = 0;  // 0: no limit
  bool too_large_e6 = false;
  int fail_reads = 0;
  int differ = 0;
  int64_t differ_lba = -1;  // -1: the last sector of each transfer
  int toc_entries = 2;
  std::string log;
};

// Reads the configuration from the environment.
EmulatorConfig read_emulator_config();

// Parses a KORVANE_EMU_DRIVES value; entries it cannot read are left out.
std::vector<EmulatedDrive> parse_drive_list(const std::string& text);
