// Reading the emulated drive's configuration from the environment.
#include "aspi_modules/emulated/emulated_config.hpp"

#include <cstdlib>
#include <sstream>

namespace {

std::string text_of(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string(fallback);
}

long number_of(const char* name, long fallback) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] == '\0') return fallback;
  return std::strtol(value, nullptr, 10);
}

constexpr int kAlwaysFails = 1 << 30;

bool apply_flag(EmulatedDrive* drive, const std::string& flag) {
  if (flag == "disk") drive->device_type = 0;
  else if (flag == "noform1") drive->reads_form1 = false;
  else if (flag == "noform2") drive->reads_form2 = false;
  else if (flag == "msfail") drive->mode_sense_failures = 1;
  else if (flag == "msfail2") drive->mode_sense_failures = kAlwaysFails;
  else if (flag == "shortms") drive->short_mode_sense = true;
  else if (flag == "inqfail") drive->inquiry_fails = true;
  else if (flag == "shortinq") drive->short_inquiry = true;
  else if (flag == "oddname") drive->odd_name = true;
  else if (flag == "sensefail") drive->sense_fails = true;
  else return false;
  return true;
}

}  // namespace

std::vector<EmulatedDrive> parse_drive_list(const std::string& text) {
  std::vector<EmulatedDrive> drives;
  std::stringstream entries(text);
  std::string entry;
  while (std::getline(entries, entry, ',')) {
    std::stringstream parts(entry);
    std::string address;
    std::getline(parts, address, '/');
    const size_t colon = address.find(':');
    if (colon == std::string::npos) continue;
    EmulatedDrive drive;
    drive.adapter = static_cast<uint8_t>(std::strtol(address.c_str(), nullptr, 10));
    drive.target = static_cast<uint8_t>(std::strtol(address.c_str() + colon + 1, nullptr, 10));
    std::string flag;
    bool known = true;
    while (std::getline(parts, flag, '/')) known = apply_flag(&drive, flag) && known;
    if (known) drives.push_back(drive);
  }
  return drives;
}

EmulatorConfig read_emulator_config() {
  EmulatorConfig config;
  config.drives = parse_drive_list(text_of("KORVANE_EMU_DRIVES", "0:0"));
  int highest = 0;
  for (const EmulatedDrive& drive : config.drives)
    if (drive.adapter > highest) highest = drive.adapter;
  config.adapters = static_cast<int>(number_of("KORVANE_EMU_ADAPTERS", highest + 1));
  config.host_missing = text_of("KORVANE_EMU_NO_HOST", "") == "1";
  config.image = text_of("KORVANE_EMU_IMAGE", "");
  config.buffer_kb = static_cast<uint32_t>(number_of("KORVANE_EMU_BUFFER_KB", 64));
  config.max_transfer = static_cast<uint32_t>(number_of("KORVANE_EMU_MAX_TRANSFER", 0));
  config.too_large_e6 = text_of("KORVANE_EMU_TOO_LARGE", "") == "e6";
  config.fail_reads = static_cast<int>(number_of("KORVANE_EMU_FAIL_READS", 0));
  config.differ = static_cast<int>(number_of("KORVANE_EMU_DIFFER", 0));
  config.differ_lba = number_of("KORVANE_EMU_DIFFER_LBA", -1);
  config.toc_entries = static_cast<int>(number_of("KORVANE_EMU_TOC_ENTRIES", 2));
  config.log = text_of("KORVANE_EMU_LOG", "");
  return config;
}
