// Fuzz target: what the drives answer, as the ASPI layer reads it. Input:
// the number of host adapters (one byte), then the answers in the order the
// drive scan asks: for a device-type request a status byte and a device
// type; for a SCSI command a status byte, a length byte and that many bytes
// of data (cut at the command's buffer). After the scan, a READ TOC answer
// and the results of the read-size probe come from the rest.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_scan.hpp"
#include "format/aspi/aspi_responses.hpp"

namespace {

constexpr int kMaxAdapters = 8;
constexpr int32_t kProbeLimit = 16;

class Answers {
 public:
  Answers(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Up to count bytes into dest; what the input lacks stays as it was.
  void fill(uint8_t* dest, size_t count) {
    const size_t n = std::min(count, size_ - at_);
    std::memcpy(dest, data_ + at_, n);
    at_ += n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Answers answers(data, size);
  const int adapters = answers.byte() % (kMaxAdapters + 1);

  AspiPort port;
  port.device_type = [&](uint8_t, uint8_t, uint8_t* type) {
    const uint8_t status = answers.byte();
    *type = answers.byte();
    return status;
  };
  port.execute = [&](const ScsiCommand& command) {
    const uint8_t status = answers.byte();
    const size_t length = std::min<size_t>(answers.byte(), command.length);
    answers.fill(command.data, length);
    return status;
  };
  CdDriveTable table;
  scan_drives(port, adapters, &table);
  for (int32_t i = 0; i < table.count; ++i) {
    // The name must end within the inquiry data.
    const CdDrive& drive = table.drives[i];
    if (std::memchr(drive.inquiry, 0, kInquiryBytes + 1) == nullptr) __builtin_trap();
  }

  uint8_t toc[kReadTocBytes] = {};
  answers.fill(toc, sizeof toc);
  const TocRange range = parse_toc(toc, sizeof toc);
  if (range.valid && (range.first < 0 || range.end < range.first)) __builtin_trap();

  probe_largest_read(
      kProbeLimit, [&](int32_t) { return (answers.byte() & 1) != 0; }, [](int32_t) {});
  return 0;
}
